#include "hostlink/hllapi_layer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/hllapi_codes.h"
#include "common/trace.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"

namespace hostlink {

using namespace common::hllapi;

namespace {

struct FunctionName {
  int number;
  const char* name;
};

const FunctionName kFunctionNames[] = {
    {1, "Connect"},       {2, "Disconnect"},    {3, "Send Key"},      {4, "Wait"},
    {5, "Copy Pspace"},   {15, "String copy"},  {18, "Pause"},        {20, "Query Systm"},
    {21, "Reset Systm"},  {22, "Query SesSt"},  {40, "Set Cursor"},   {120, "SF Connect"},
    {121, "SF Disconct"}, {122, "SF Qry Bsiz"}, {123, "SF Allocate"}, {124, "SF Free"},
    {125, "SF Complete"}, {126, "SF Read"},     {127, "SF Write"},    {999, "<NULL>"},
};

// Key mnemonics behind "~N", N = 1..42; "@" is put in front of each.
const char* const kMnemonics[] = {
    "x",   "y",   "C", "E",   "1", "2", "3", "4", "5", "6", "7", "8", "9",              // 1-13
    "a",   "b",   "c", "d",   "e", "f", "g", "h", "i", "j", "k", "l", "m",   "n", "o",  // 14-28
    "A@H", "A@Q", "F", "A@F", "U", "V", "L", "Z", "0", "T", "B", "N", "A@J", "R"};      // 29-42
constexpr int kMnemonicCount = sizeof kMnemonics / sizeof kMnemonics[0];

// The 3270 query reply presented at a structured-field connect: an OEM
// auxiliary device "ZUDERARA" with destination/origin id C1 C1.
const unsigned char kQueryReply[26] = {0x00, 0x1A, 0x81, 0x8F, 0x00, 0x00, 0xD8, 0xD6, 0xD9,
                                       0xD7, 0xC3, 0xE3, 0xC6, 0xD9, 0xD8, 0xD6, 0xD9, 0xD7,
                                       0xC3, 0xE3, 0xC6, 0xD9, 0x04, 0x01, 0xC1, 0xC1};

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

const char* HllapiFunctionName(int function) {
  for (const FunctionName& f : kFunctionNames)
    if (f.number == function || f.number == 999) return f.name;
  return "<NULL>";
}

HllapiLayer::~HllapiLayer() {
  if (library_) platform::FreeLibrary(library_);
}

void HllapiLayer::SetErrorText(const std::string& text) {
  std::snprintf(error_, sizeof error_, "%s", text.c_str());
}

int HllapiLayer::Call(int function, char* data, int length, int retrn, int* out_len) {
  if (trace_.On()) {
    char preview[11] = {};
    if (data)
      std::strncpy(preview, data, 10);
    else
      std::strcpy(preview, "<NULL>");
    char line[96];
    std::snprintf(line, sizeof line, "hllapi([%d]%s %s %d %d)", function,
                  HllapiFunctionName(function), preview, length, retrn);
    trace_.Write("EMU3270:", line);
  }
  return CallUntraced(function, data, length, retrn, out_len);
}

int HllapiLayer::CallUntraced(int function, char* data, int length, int retrn, int* out_len) {
  func_word_ = function;
  len_word_ = length;
  rc_word_ = retrn;
  if (!hllapi_) {
    rc_word_ = 9;  // never call through a missing entry point
  } else {
    char null_data[] = "<NULL>";  // the adapter may write into what it is given
    hllapi_(&func_word_, data ? data : null_data, &len_word_, &rc_word_);
  }
  if (out_len) *out_len = len_word_;
  return rc_word_;
}

// The return code alone hides the cause (refused, silent host, no sessions
// file): the provider's own text follows it when the provider has one.
int HllapiLayer::Fail(EmulatorRequest* req, const char* label, int code) {
  provider_error_.clear();
  configuration_fault_ = false;
  if (last_error_) {
    const char* text = last_error_();
    if (text) provider_error_.assign(text, strnlen(text, kErrorTextSize));
    configuration_fault_ =
        !provider_error_.empty() && last_error_permanent_ && last_error_permanent_() == 1;
  }
  std::snprintf(error_, sizeof error_, "EM3270 %s Error RC=%d%s%s", label, code,
                provider_error_.empty() ? "" : ": ", provider_error_.c_str());
  req->error_text = error_;
  return -1;
}

int HllapiLayer::LoadAdapter(const char* library_name) {
  if (library_) return 0;
  trace_.Write(library_name, "Loading DLL");
  std::string load_error;
  library_ = platform::LoadLibrary(library_name ? library_name : "", &load_error);
  if (!library_) {
    long code = errno ? errno : 2;
    std::snprintf(error_, sizeof error_, "EM3270 - Cannot load %s (%ld)", library_name, code);
    if (services_ && services_->show_message) {
      // The load-failure box: the DLLLOAD text with name and code, then the
      // system's own words.
      std::string format = services_->message_text ? services_->message_text("DLLLOAD") : "";
      char text[1024];
      if (format.empty()) format = "Cannot load the adapter library %s (%ld).";
      // The message file is ours; only %s and %ld are expected in it.
      std::snprintf(text, sizeof text, "%s", format.c_str());
      std::string shown;
      size_t s = format.find("%s"), l = format.find("%ld");
      if (s != std::string::npos && l != std::string::npos && s < l) {
        std::snprintf(text, sizeof text, "%.*s%s%.*s%ld%s", static_cast<int>(s), format.c_str(),
                      library_name, static_cast<int>(l - s - 2), format.c_str() + s + 2, code,
                      format.c_str() + l + 3);
      }
      shown = std::string(text) + "\r\n" + load_error;
      services_->show_message(shown, ".DLL Load Error");
    }
    trace_.Write("DLL load failed", error_);
    return -1;
  }
  hllapi_ = reinterpret_cast<HllapiFn>(platform::GetProcAddress(library_, "QOR_HLLAPI"));
  if (!hllapi_) {
    std::snprintf(error_, sizeof error_, "QOR_HLLAPI not found RC=%ld", 127L);
    trace_.Write("DLL access failed", error_);
    // Release it, so that a later attempt loads afresh instead of calling
    // through a missing entry point.
    platform::FreeLibrary(library_);
    library_ = nullptr;
    return -1;
  }
  which_ = reinterpret_cast<WhichFn>(platform::GetProcAddress(library_, "QOR_WHICH"));
  loop_ = reinterpret_cast<LoopFn>(platform::GetProcAddress(library_, "QOR_LOOP"));
  init_ = reinterpret_cast<InitFn>(platform::GetProcAddress(library_, "QOR_INIT"));
  term_ = reinterpret_cast<TermFn>(platform::GetProcAddress(library_, "QOR_TERM"));
  // Looked up through the adapter, whose imports (the provider) are searched
  // too; vendors' libraries lack them.
  last_error_ = reinterpret_cast<LastErrorFn>(
      platform::GetProcAddressWithImports(library_, "qor_provider_last_error"));
  last_error_permanent_ = reinterpret_cast<LastErrorPermanentFn>(
      platform::GetProcAddressWithImports(library_, "qor_provider_last_error_permanent"));
  if (init_) {
    int rc = init_();
    if (trace_.On()) {
      char line[48];
      std::snprintf(line, sizeof line, "Initiate RC=%d/%04X", rc, static_cast<unsigned>(rc));
      trace_.Write("EM3270S", line);
    }
  }
  return 0;
}

void HllapiLayer::UnloadAdapter(EmulatorRequest* request) {
  if (!library_) return;
  if (term_) term_();
  bool keep =
      request && (request->session_kind == kKindNovell || request->session_kind == kKindRof52);
  if (!keep) platform::FreeLibrary(library_);
  library_ = nullptr;
  hllapi_ = nullptr;
  which_ = nullptr;
  loop_ = nullptr;
  init_ = nullptr;
  term_ = nullptr;
  last_error_ = nullptr;
  last_error_permanent_ = nullptr;
}

void HllapiLayer::RegisterMessageLoop(LoopCallback callback) {
  if (loop_) loop_(callback);
}

void HllapiLayer::FreeScreenBuffer(EmulatorRequest* req) {
  delete[] req->screen_buffer;
  req->screen_buffer = nullptr;
}

int HllapiLayer::Dispatch(EmulatorRequest* req, const char* data) {
  int result;
  switch (req->request_code) {
    case kRequestConnect:
      result = Connect(req);
      if (result < 1) {
        req->error_text = error_;
        return result;
      }
      break;
    case kRequestWaitForReply: result = WaitForReply(req); break;
    case kRequestCopyScreen: result = CopyScreen(req, const_cast<char*>(data)); break;
    case kRequestWriteText: result = WriteText(req, data); break;
    case kRequestSendKeys: result = SendKeys(req, data); break;
    case kRequestSetParameters: result = SetParameters(data); break;
    case kRequestWait:
      NoteLost(Call(kWait, nullptr, 1, 0));
      result = 0;
      break;
    case kRequestSfConnect: return SfConnect(req);
    case kRequestSfDisconnect: return SfDisconnect(req);
    case kRequestDisconnect: result = Disconnect(req); break;
    default:
      std::snprintf(error_, sizeof error_, "EM3270 - Invalid Request (%02X)",
                    static_cast<unsigned>(req->request_code));
      req->error_text = error_;
      req->result = -1;
      return -1;
  }
  req->result = result;
  if (result < 1) req->error_text = error_;
  return result;
}

int HllapiLayer::Connect(EmulatorRequest* req) {
  char id[4] = {req->short_session_id, 0, 0, 0};
  Call(kResetSystem, nullptr, 0, 0);
  FreeScreenBuffer(req);

  if (req->adapter_family == kFamilyE62) QuerySessions();

  int connect_len = req->adapter_family == kFamilyE62   ? 0
                    : req->adapter_family == kFamilyPcs ? 4
                                                        : 1;
  int rc = Call(kConnect, id, connect_len, 0);
  if (rc != 0 && rc != 4 && rc != 5) return Fail(req, "Connection", rc);

  unsigned char status[21] = {};
  status[0] = static_cast<unsigned char>(req->short_session_id);
  rc = Call(kQuerySessionStatus, reinterpret_cast<char*>(status),
            req->adapter_family == kFamilyPcs ? 20 : 18, 0);
  if (rc == 1) return Fail(req, "Invalid Session Id", rc);
  if (rc != 0) return Fail(req, "Query Session Status", rc);
  trace_.Write("Query Session Status Reply", status, 20);

  int rows, columns;
  if (req->adapter_family == kFamilyPcs) {
    rows = Le16(status + 14);
    columns = Le16(status + 16);
    if (columns == 0 || rows >= 44) {
      columns = Le16(status + 14);
      rows = Le16(status + 12);
      req->session_kind = kKindNovell;
    }
  } else {
    rows = Le16(status + 11);
    columns = Le16(status + 13);
  }
  req->rows = rows & 0xffff;
  req->columns = columns & 0xffff;
  int size = rows * columns;
  // A screen that would not fit the copy buffers is refused, not overrun.
  if (size <= 0 || size > kMaxScreenSize) return Fail(req, "Screen Size", size);
  req->screen_size = size;
  req->screen_buffer = new char[static_cast<size_t>(size)];
  std::memset(req->screen_buffer, ' ', static_cast<size_t>(size));

  char nwait[] = "NWAIT";
  Call(kSetSessionParameters, nwait, 5, 0);
  return 1;
}

// E62 adapters list their sessions first; the list goes to the trace.
void HllapiLayer::QuerySessions() {
  unsigned char sessions[312] = {};
  int count = 0;
  Call(kQuerySessions, reinterpret_cast<char*>(sessions), sizeof sessions, 0, &count);
  if (!trace_.On()) return;
  trace_.Write("EMU3270s", "Query Sessions Returned");
  if (count > 0) {
    long bytes = static_cast<long>(count) * 12;
    if (bytes > static_cast<long>(sizeof sessions)) bytes = sizeof sessions;
    trace_.Write("EM3270s", sessions, bytes);
  } else {
    trace_.Write("EM3270s", "Nada");
  }
}

int HllapiLayer::Disconnect(EmulatorRequest* req) {
  char id[2] = {req->short_session_id, 0};
  Call(kDisconnect, id, 0, 0);
  Call(kResetSystem, nullptr, 0, 0);
  FreeScreenBuffer(req);
  return 1;
}

int HllapiLayer::CopyScreen(EmulatorRequest* req, char* buffer) {
  if (!buffer) return Fail(req, "Copy", 2);
  int copied = 0;
  int rc = Call(kCopyPresentationSpace, buffer, req->screen_size, 0, &copied);
  if (rc != 0 && rc != 4 && rc != 5) {
    NoteLost(rc);
    return Fail(req, "Copy", rc);
  }
  if (copied < 0 || copied > req->screen_size) copied = req->screen_size;
  trace_.Write("Buffer gotted", buffer, copied);
  // A host may show a smaller screen than the session's largest (a job
  // header at 24 x 80 on a 27 x 132 session): only the copied count is screen.
  int end = copied;
  while (end > 0 && buffer[end - 1] == ' ') --end;
  buffer[end] = '\0';
  return 1;
}

void HllapiLayer::PauseStep() { Call(kPause, nullptr, 1, 0); }

bool HllapiLayer::NoteLost(int rc) {
  if (rc != kNotConnected && rc != kSystemError) return false;
  session_lost_ = true;
  return true;
}

// An interruptible pause: 1 when the host changed the screen meanwhile, 0
// when the time passed, -1 when the session is gone.
int HllapiLayer::Pause(EmulatorRequest* req, int half_seconds) {
  int rc = Call(kPause, nullptr, half_seconds > 0 ? half_seconds : 1, 0);
  if (rc == kPauseInterrupted) return 1;
  if (NoteLost(rc)) return Fail(req, "Pause", rc);
  return 0;
}

int HllapiLayer::WaitForReply(EmulatorRequest* req) {
  const uint64_t start = platform::MonotonicMs();
  // Copy PS copies the whole screen whatever the length says: room for any
  // screen the connect accepted.
  char* work = reply_work_;
  for (;;) {
    if (platform::MonotonicMs() - start >= static_cast<uint64_t>(req->timeout) * 1000u) return -1;
    int rc = Call(kWait, nullptr, 0, 0);
    // A session that is gone never answers: say so now, not at the time-out.
    if (NoteLost(rc)) return Fail(req, "Wait", rc);
    if (rc == 0) {
      if (req->session_kind == kKindPause) PauseStep();
      int copied = Call(kCopyPresentationSpace, work, 8, 0);
      if (NoteLost(copied)) return Fail(req, "Copy", copied);
      if (std::memcmp(work, screen_marker_, sizeof screen_marker_) != 0) {
        Call(kWait, nullptr, 1, 0);
        if (req->session_kind == kKindPause) PauseStep();
        return 1;
      }
    }
    PauseStep();
    if (services_ && services_->pump_event && services_->pump_event(0) == HostServices::kStop)
      return -1;
  }
}

int HllapiLayer::WriteText(EmulatorRequest* req, const char* text) {
  if (!text) text = "";
  PauseStep();
  std::memset(screen_marker_, 0, sizeof screen_marker_);
  std::memcpy(screen_marker_, text, strnlen(text, sizeof screen_marker_));
  int position = req->write_position == 0 ? 1 : req->write_position;
  int rc = Call(kCopyStringToPresentationSpace, const_cast<char*>(text),
                static_cast<int>(std::strlen(text)), position);
  if (rc == 0) return 1;
  NoteLost(rc);
  Fail(req, "Send Keys", rc);
  return rc == 4 || rc == 5 ? 0 : -1;
}

int HllapiLayer::SendKeyPrimitive(const char* keys) {
  int rc = Call(kSendKey, const_cast<char*>(keys), static_cast<int>(std::strlen(keys)), 0);
  if (rc == 0) return 1;
  if (NoteLost(rc)) {
    std::snprintf(error_, sizeof error_, "EM3270 %s Error RC=%d", "Send", rc);
    return -1;
  }
  std::snprintf(error_, sizeof error_, "EM3270 %s Error RC=%d", "Send", rc);
  trace_.Write("EM3270S", error_);
  return rc == 4 || rc == 5 ? 0 : -1;
}

void HllapiLayer::StampOk(EmulatorRequest* req) {
  static const char kStamp[] = "OK;;;;;;";
  if (req->session_kind == kKindCut && req->screen_buffer && req->screen_size >= 9) {
    std::memcpy(req->screen_buffer, kStamp, sizeof kStamp);
    Call(kCopyStringToPresentationSpace, req->screen_buffer, req->screen_size, 1);
  } else {
    std::memcpy(screen_marker_, kStamp, sizeof screen_marker_);
    char text[sizeof kStamp];
    std::memcpy(text, kStamp, sizeof kStamp);
    Call(kCopyStringToPresentationSpace, text, 8, 1);
  }
}

int HllapiLayer::SendKeys(EmulatorRequest* req, const char* keys) {
  if (!keys) keys = "";
  // Refuse the whole request before anything is sent when an escape is bad:
  // "~" must be followed by a mnemonic number from 1 to 42.
  for (const char* p = keys; *p; ++p) {
    if (*p != '~') continue;
    unsigned char n = static_cast<unsigned char>(p[1]);
    if (n < 1 || n > kMnemonicCount) {
      std::snprintf(error_, sizeof error_, "EM3270 - Invalid Key Escape (%d)", n);
      req->error_text = error_;
      return -1;
    }
    ++p;
  }

  char buffer[kKeyBufferSize + 1];
  size_t used = 0;
  for (const char* p = keys; *p; ++p) {
    if (*p == '~') {
      if (used > 0) {
        buffer[used] = '\0';
        SendKeyPrimitive(buffer);
      }
      const char* mnemonic = kMnemonics[static_cast<unsigned char>(*++p) - 1];
      if (mnemonic[0] == 'C' || mnemonic[0] == '5') StampOk(req);
      buffer[0] = '@';
      used = 1 + std::strlen(mnemonic);
      std::memcpy(buffer + 1, mnemonic, used - 1);
      continue;
    }
    if (used == kKeyBufferSize) {  // full: send what is there, never overrun
      buffer[used] = '\0';
      SendKeyPrimitive(buffer);
      used = 0;
    }
    buffer[used++] = *p;
  }
  if (used == 0) return 0;
  buffer[used] = '\0';

  int retries = req->timeout == 0 ? 16 : 2 * req->timeout;
  int result;
  do {
    result = SendKeyPrimitive(buffer);
    if (result != 1 && buffer[1] != 'R') {
      char reset[] = "@R";
      SendKeyPrimitive(reset);
      PauseStep();
    }
    if (--retries <= 0 && result != 1) result = -1;
  } while (result == 0);
  return result;
}

int HllapiLayer::SetParameters(const char* text) {
  if (!text) text = "";
  return Call(kSetSessionParameters, const_cast<char*>(text), static_cast<int>(std::strlen(text)),
              0) == 0
             ? 1
             : 0;
}

// Structured-field parameter blocks carry the address of the query reply. On
// this 64-bit platform the address takes 8 bytes: the wide block keeps its 16
// bytes (session id, 3 zero bytes, address, 4 zero bytes) and the narrow block
// grows to 11 (session id, address, 2 zero bytes).
int HllapiLayer::SfConnect(EmulatorRequest* req) {
  unsigned char block[16] = {};
  int length;
  uintptr_t address = reinterpret_cast<uintptr_t>(kQueryReply);
  block[0] = static_cast<unsigned char>(req->short_session_id);
  if (req->wide_sf_parameters) {
    std::memcpy(block + 4, &address, sizeof address);
    length = 16;
  } else {
    std::memcpy(block + 1, &address, sizeof address);
    length = 11;
  }
  int rc = Call(kConnectStructuredFields, reinterpret_cast<char*>(block), length, 0);
  req->dest_origin_id[0] = 0xC1;
  req->dest_origin_id[1] = 0xC1;
  return rc;
}

int HllapiLayer::SfDisconnect(EmulatorRequest* req) {
  unsigned char block[8] = {};
  int length;
  block[0] = static_cast<unsigned char>(req->short_session_id);
  if (req->wide_sf_parameters) {
    block[4] = req->dest_origin_id[0];
    block[5] = req->dest_origin_id[1];
    length = 8;
  } else {
    block[1] = req->dest_origin_id[0];
    block[2] = req->dest_origin_id[1];
    length = 3;
  }
  int rc = Call(kDisconnectStructuredFields, reinterpret_cast<char*>(block), length, 0);
  if (rc == kRequestsOutstanding) {
    SfCompletionWait(req, 0);
    trace_.Write("SF Disconnect", "Disconnect Cleanup");
  }
  return rc;
}

int HllapiLayer::SfCompletionWait(EmulatorRequest* req, uint16_t request_id) {
  if (trace_.On()) {
    char line[24];
    std::snprintf(line, sizeof line, "ReqId=%04X", request_id);
    trace_.Write("SF Wait", line);
  }
  unsigned char block[24] = {};
  int length;
  block[0] = static_cast<unsigned char>(req->short_session_id);
  if (req->wide_sf_parameters) {
    block[4] = 'N';
    block[8] = static_cast<unsigned char>(request_id & 0xff);
    block[9] = static_cast<unsigned char>(request_id >> 8);
    length = 24;
  } else {
    block[1] = 'N';
    block[2] = static_cast<unsigned char>(request_id & 0xff);
    block[3] = static_cast<unsigned char>(request_id >> 8);
    length = 14;
  }
  // Polled many times a second: only the outcome is traced.
  const uint64_t start = platform::MonotonicMs();
  int rc = 38;
  while (rc == kRequestPending &&
         platform::MonotonicMs() - start < static_cast<uint64_t>(req->timeout) * 1000u) {
    rc = CallUntraced(kGetRequestCompletion, reinterpret_cast<char*>(block), length, 38);
    // Block briefly on the event queue instead of spinning on the emulator.
    if (rc == kRequestPending && services_ && services_->pump_event) services_->pump_event(100);
  }
  if (trace_.On()) {
    char line[32];
    std::snprintf(line, sizeof line, "RC=%ld", static_cast<long>(rc));
    trace_.Write("HLSFwait", line);
  }
  if (!req->wide_sf_parameters) {
    int16_t completion = static_cast<int16_t>(block[12] | (block[13] << 8));
    if (completion != 0) return completion;
  }
  return rc;
}

}  // namespace hostlink
