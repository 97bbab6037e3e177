#include "hostlink/host_connection.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/registry_access.h"
#include "common/trace.h"
#include "platform/registry.h"

namespace {

const hostlink::HostServices* g_loop_services = nullptr;

long LeadingNumber(const std::string& s) { return std::strtol(s.c_str(), nullptr, 10); }

}  // namespace

extern "C" int QOR_CALL MsgLoopProc(int) {
  if (!g_loop_services || !g_loop_services->pump_event) return 1;
  for (int i = 0; i < 1000; ++i) {  // bounded: never starve the caller
    int code = g_loop_services->pump_event(0);
    if (code == hostlink::HostServices::kQuit) return 0;
    if (code == 0) return 1;
  }
  return 1;
}

namespace hostlink {

const char* const kInterfaceSettingsKey = "SOFTWARE\\VORNTEK\\QORPRT";
const char* const kDefaultLibrary = "RAZEVU3.DLL";

HostConnection::HostConnection(const std::string& path, const HostServices* host_services,
                               common::Tracer& tracer)
    : settings_path(path), trace(tracer), layer(host_services, tracer), services(host_services) {
  request.write_position = 1;
  ReadInterfaceSettings(kInterfaceSettingsKey);
  if (session_type == 'I') {
    g_loop_services = services;
    layer.RegisterMessageLoop(MsgLoopProc);
  }
}

HostConnection::~HostConnection() {
  Terminate();
  if (g_loop_services == services) g_loop_services = nullptr;
}

const char* HostConnection::SavedKindWord(char type) {
  switch (type) {
    case 'I': return "IRMA";
    case 'N': return "Novel";
    case 'C': return "Cut";
    case 'R': return "ROF52";
    case 'E': return "E62";
    case 'W': return "WAIT";
    case 'P': return "Pause";
    default: return "ANY";
  }
}

const char* HostConnection::ShownKindWord(char type) {
  switch (type) {
    case 'I': return "IRMA";
    case 'N': return "NOVEL";
    case 'C': return "CUT";
    case 'R': return "ROF52";
    default: return "ANY";
  }
}

namespace {

const char* const kSettingNames[] = {
    "SESSION",       "CONSPEC",    "CON1ST",       "FLICKER",     "TIMEOUT", "SESPARMS",
    "DELAY",         "LOOP",       "DLL",          "LOGON",       "LOGOFF",  "TCP/IPNAME",
    "TCP/IPNETNAME", "TCP/IPPORT", "TCP/IPMAXBUF", "TCP/IPRETRY", "DEBUG"};

// The line is the name, a blank and the data; names match as prefixes in this
// fixed order, the first match deciding (so that "DELAYED" stops at DELAY).
const char* SettingMatched(const std::string& name, const std::string& data) {
  std::string line = name + " " + data;
  for (const char* n : kSettingNames)
    if (line.starts_with(n)) return n;
  return nullptr;
}

// Calls apply(name, data) for each value of the key, each read whole. Returns
// why the settings cannot be used: the registry file cannot be read, or a
// value the link uses is longer than it can hold (cutting it would connect
// somewhere else than asked, quietly). Such a value is traced and skipped, so
// it never takes the values after it down with it. "" when all is well.
template <typename Apply>
std::string ForEachSetting(const char* key_path, const common::Tracer& trace, Apply apply) {
  if (std::string problem = platform::RegistryFileProblem(); !problem.empty()) return problem;
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);  // traces a missing key
  if (reg.Open(key_path, common::RegistryOpen::kExisting) != 0) return "";
  platform::RegKey key;
  if (platform::RegOpenKey(key_path, &key) != platform::kErrorSuccess) return "";
  std::string problem;
  std::vector<char> name(64), data(HostConnection::kSessionParametersMax + 1);
  for (unsigned index = 0;;) {
    size_t name_size = name.size(), data_size = data.size();
    long rc = platform::RegEnumValue(key, index, name.data(), &name_size, data.data(), &data_size);
    if (rc == platform::kErrorNoMoreItems) break;
    if (rc == platform::kErrorMoreData) {  // the sizes needed came back: read it again
      // A store that cannot say what it needs gets twice the room, up to a
      // bound past which the value is skipped rather than read for ever.
      constexpr size_t kLargestValue = 1u << 20;
      bool grew = name_size > name.size() || data_size > data.size();
      if (!grew && data.size() >= kLargestValue) {
        ++index;
        continue;
      }
      name.resize(grew ? std::max(name.size(), name_size) : name.size() * 2);
      data.resize(grew ? std::max(data.size(), data_size) : data.size() * 2);
      continue;
    }
    if (rc != platform::kErrorSuccess) break;
    std::string n(name.data()), d(data.data());
    const char* match = SettingMatched(n, d);
    size_t limit = !match                                ? 0
                   : std::strcmp(match, "DLL") == 0      ? HostConnection::kLibraryNameMax
                   : std::strcmp(match, "SESPARMS") == 0 ? HostConnection::kSessionParametersMax
                                                         : 0;
    if (limit && d.size() > limit) {
      if (problem.empty())
        problem = platform::RegistryValueLocation(key, n) + ": the value " + n + " is " +
                  std::to_string(d.size()) + " characters long; at most " + std::to_string(limit) +
                  " fit";
      if (trace.On()) {
        char line[160];
        std::snprintf(line, sizeof line,
                      "Subkey[O]=%.60s value %u (%.20s) over %lu characters skipped", key_path,
                      index, n.c_str(), static_cast<unsigned long>(limit));
        trace.Write("Registry Browse Error", line);
      }
    } else {
      apply(n, d);
    }
    ++index;
  }
  return problem;
}

}  // namespace

void HostConnection::ReadInterfaceSettings(const char* key_path) {
  library_named = false;
  settings_problem = ForEachSetting(
      key_path, trace,
      [this](const std::string& name, const std::string& data) { ApplySetting(name, data); });
  library_named = !library_name.empty() && static_cast<unsigned char>(library_name[0]) >= '!';
  if (!library_named) library_name = kDefaultLibrary;
}

std::string HostConnection::CheckInterfaceSettings(const char* key_path, bool* library_named,
                                                   const common::Tracer& trace) {
  bool named = false;
  std::string problem =
      ForEachSetting(key_path, trace, [&named](const std::string& name, const std::string& data) {
        const char* match = SettingMatched(name, data);
        if (match && std::strcmp(match, "DLL") == 0)
          named = !data.empty() && static_cast<unsigned char>(data[0]) >= '!';
      });
  if (library_named) *library_named = named;
  return problem;
}

void HostConnection::ApplySetting(const std::string& name, const std::string& data) {
  const char* match = SettingMatched(name, data);
  if (!match) return;
  std::string m = match;
  if (m == "SESSION") {
    if (!data.empty()) session_number = static_cast<unsigned char>(data[0]) - 64;
  } else if (m == "FLICKER") {
    flicker = static_cast<int>(LeadingNumber(data));
  } else if (m == "TIMEOUT") {
    timeout = static_cast<int>(LeadingNumber(data));
  } else if (m == "SESPARMS") {
    session_parameters_ = std::make_unique<std::string>(data);
  } else if (m == "LOOP") {
    session_type = data.empty() ? 0 : data[0];
  } else if (m == "DLL") {
    library_name = data;
  } else if (m == "DEBUG") {
    trace.Start("QORPRTW.SCR", common::TraceMode::kAppend);
  }
  // The other names are recognised and change nothing on a 3270 link.
}

void HostConnection::SaveInterfaceSettings(const char* key_path) {
  const char* key = key_path ? key_path : kInterfaceSettingsKey;
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  char letter[2] = {SessionLetter(), 0};
  reg.PutValue(key, "SESSION", letter, common::RegistryOpen::kCreate);
  reg.PutValue(key, "FLICKER", std::to_string(flicker).c_str(), common::RegistryOpen::kCreate);
  reg.PutValue(key, "TIMEOUT", std::to_string(timeout).c_str(), common::RegistryOpen::kCreate);
  reg.PutValue(key, "SESPARMS", GetSessionParameters().value_or("").c_str(),
               common::RegistryOpen::kCreate);
  reg.PutValue(key, "LOOP", SavedKindWord(session_type), common::RegistryOpen::kCreate);
  reg.PutValue(key, "DLL", library_name.c_str(), common::RegistryOpen::kCreate);
}

std::optional<std::string> HostConnection::GetSessionParameters() const {
  if (!session_parameters_ || session_parameters_->size() > kSessionParametersMax)
    return std::nullopt;
  return *session_parameters_;
}

void HostConnection::SetSessionParameters(const char* text) {
  if (text)
    session_parameters_ = std::make_unique<std::string>(text);
  else
    session_parameters_.reset();
}

int32_t HostConnection::SessionKind() const {
  switch (session_type) {
    case 'I': return kKindIrma;
    case 'C': return kKindCut;
    case 'R': return kKindRof52;
    case 'P': return kKindPause;
    default: return kKindDefault;
  }
}

bool HostConnection::EnsureOpen(int* open_result) {
  int rc = connected ? 1 : OpenLink();
  if (open_result) *open_result = rc;
  return connected;
}

bool HostConnection::Stopping() const {
  return services && services->stop_requested && services->stop_requested();
}

int HostConnection::OpenLink() {
  // A stopped program opens nothing: the look that follows a stop is no retry.
  if (Stopping()) {
    layer.SetErrorText("EM3270 stopped");
    request.error_text = layer.ErrorText();
    return -1;
  }
  if (!adapter_loaded && !LoadNamedAdapter()) return -1;
  request.screen_size = 1920;
  request.result = 0;
  request.rows = 0;
  request.columns = 0;
  request.session_kind = SessionKind();
  request.error_text = nullptr;
  request.short_session_id = session_type == 'N' ? 0 : SessionLetter();
  request.timeout = timeout;

  request.request_code = kRequestConnect;
  int result = layer.Dispatch(&request, nullptr);
  if (result == 1) {
    connected = true;
    lost_ = false;
    std::optional<std::string> parms = GetSessionParameters();
    if (parms && !parms->empty()) {
      request.request_code = kRequestSetParameters;
      result = layer.Dispatch(&request, parms->c_str());
    }
  } else {
    trace.Write("EMUBLK:", &request, sizeof request);
    // A connect the stop cut short is not shown; nor is the rest of the
    // conversation tried.
    if (Stopping()) return result;
    if (layer.ConfigurationFault() && services && services->configuration_fault)
      services->configuration_fault(layer.ProviderError());
    else if (services && services->show_message)
      services->show_message(request.error_text ? request.error_text : "", "Connection Error");
  }

  ProbeStructuredFields();
  return result;
}

// The adapter family follows from the library's name.
bool HostConnection::LoadNamedAdapter() {
  trace.Write("QORCONCT:Load Lib:", library_name.c_str());
  if (strncasecmp(library_name.c_str(), "QOR32P", 6) == 0) {
    request.adapter_family = kFamilyPcs;
    request.wide_sf_parameters = 1;
  } else if (strncasecmp(library_name.c_str(), "QOR32E62", 8) == 0) {
    request.adapter_family = kFamilyE62;
    request.wide_sf_parameters = 0;
  } else {
    request.adapter_family = kFamilyWinHllapi;
    request.wide_sf_parameters = 0;
  }
  if (layer.LoadAdapter(library_name.c_str()) != 0) {
    trace.Write("QORCONCT:Load Error:", layer.ErrorText());
    return false;
  }
  adapter_loaded = true;
  return true;
}

// Whether the emulator takes structured fields: connected and let go again.
void HostConnection::ProbeStructuredFields() {
  request.request_code = kRequestSfConnect;
  int sf = layer.Dispatch(&request, nullptr);
  if (sf == 0) {
    request.request_code = kRequestSfDisconnect;
    layer.Dispatch(&request, nullptr);
  } else if (trace.On()) {
    char line[32];
    std::snprintf(line, sizeof line, "S/F RC=%d", sf);
    trace.Write("STRUCT.FIELDS", line);
  }
}

void HostConnection::SessionLost() {
  trace.Write("QORCONCT:Session lost:", ErrorText().c_str());
  connected = false;
  lost_ = true;
  result.clear();
}

void HostConnection::ResetSession() {
  if (connected) {
    request.request_code = kRequestDisconnect;
    layer.Dispatch(&request, nullptr);
  }
  trace.Write("QORCONCT", "session ended to start afresh");
  connected = false;
  result.clear();
}

std::string HostConnection::ErrorText() const {
  if (!request.error_text) return "";
  return std::string(request.error_text, strnlen(request.error_text, 511));
}

void HostConnection::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  if (connected) {
    request.request_code = kRequestDisconnect;
    layer.Dispatch(&request, nullptr);
    if (session_type == 'I') layer.RegisterMessageLoop(nullptr);
    connected = false;
    result.clear();
  }
  if (session_type == 'I') layer.RegisterMessageLoop(nullptr);
  trace.Write("QORCONCT", "EM3270terminate");
  layer.UnloadAdapter(&request);
  adapter_loaded = false;
  delete[] request.screen_buffer;
  request = EmulatorRequest{};
  session_parameters_.reset();
}

}  // namespace hostlink
