#include "emulator/x3270_backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "emulator/latin1.h"
#include "emulator/socket_io.h"

namespace emulator {
namespace {

constexpr int kQuitGraceMs = 500;
// A wait handed to the emulator ends this much before our own deadline, so
// its "Timed out" reply arrives in time.
constexpr int64_t kWaitMarginMs = 150;
// How long a reply stands for the emulator's state while nothing is sent. An
// emulator shows a host's write some time after it arrives anyway; a screen
// or status this young is what a program asking now could have been shown.
constexpr uint64_t kFreshMs = 2;
const char kReadScreen[] = "Ascii()";
// After an attention key the emulator waits this long for the host's answer
// and shows it on the same reply: a host on the same network has answered by
// then, and the program's next step is to look for that answer. Longer
// answers are waited for as before, on the program's own terms.
constexpr int64_t kAnswerWaitMs = 100;

// Commands that change nothing on the screen keep a screen read valid.
bool OnlyLooks(const std::string& command) {
  return command.empty() || command.compare(0, 6, "Ascii(") == 0 ||
         command.compare(0, 6, "Query(") == 0;
}

std::string KeyCommand(Key key) {
  if (key >= Key::kPF1 && key <= Key::kPF24)
    return "PF(" + std::to_string(static_cast<int>(key) - static_cast<int>(Key::kPF1) + 1) + ")";
  switch (key) {
    case Key::kEnter: return "Enter()";
    case Key::kClear: return "Clear()";
    case Key::kPA1: return "PA(1)";
    case Key::kPA2: return "PA(2)";
    case Key::kPA3: return "PA(3)";
    case Key::kSysReq: return "SysReq()";
    case Key::kAttn: return "Attn()";
    case Key::kReset: return "Reset()";
    case Key::kEraseEof: return "EraseEOF()";
    case Key::kEraseInput: return "EraseInput()";
    case Key::kUp: return "Up()";
    case Key::kDown: return "Down()";
    case Key::kLeft: return "Left()";
    case Key::kRight: return "Right()";
    case Key::kHome: return "Home()";
    case Key::kTab: return "Tab()";
    case Key::kBackTab: return "BackTab()";
    case Key::kNewLine: return "Newline()";
    case Key::kCursorSelect: return "CursorSelect()";
    case Key::kDelete: return "Delete()";
    case Key::kInsert: return "Insert()";
    case Key::kBackspace: return "BackSpace()";
    case Key::kFieldEnd: return "FieldEnd()";
    default: return "Reset()";
  }
}

// A data line with control bytes is not text: s3270 follows "Connection
// failed:" with a line of random bytes where the reason should be.
bool IsText(const std::string& line) {
  for (char c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return !line.empty();
}

std::string JoinData(const ScriptReply& reply) {
  std::string out;
  for (const std::string& d : reply.data) {
    if (!IsText(d)) continue;
    if (!out.empty()) out += "; ";
    out += d;
    if (out.size() > 200) break;
  }
  return out.empty() ? "no reason given" : out;
}

// The reason inside ConnectTcp's "cannot reach ... (REASON)", or all of it.
std::string ReasonIn(const std::string& why) {
  std::size_t open = why.rfind(" (");
  if (open == std::string::npos || why.empty() || why.back() != ')') return why;
  return why.substr(open + 2, why.size() - open - 3);
}

bool Mentions(const ScriptReply& reply, std::string_view what) {
  for (const std::string& d : reply.data)
    if (d.find(what) != std::string::npos) return true;
  return false;
}

std::string Seconds(int64_t ms) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(ms) / 1000.0);
  return buf;
}

}  // namespace

std::string QuoteForString(std::string_view text) {
  std::string out = "\"";
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '"') {
      out.push_back('\\');
      out.push_back(ch);
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      out.push_back(' ');
    } else {
      out += Latin1ToUtf8(std::string_view(&ch, 1));
    }
  }
  out.push_back('"');
  return out;
}

std::vector<std::string> S3270Arguments(const common::session_options::Options& o) {
  std::vector<std::string> args{"-utf8", "-model", "3279-" + std::to_string(o.model), "-clear",
                                "aidWait"};
  if (!o.codepage.empty()) args.insert(args.end(), {"-codepage", o.codepage});
  if (o.connect_timeout > 0)
    args.insert(args.end(), {"-connecttimeout", std::to_string(o.connect_timeout)});
  if (!o.proxy.empty()) args.insert(args.end(), {"-proxy", o.proxy});
  if (o.tls) {
    if (!o.verify) args.push_back("-noverifycert");
    if (!o.cafile.empty()) args.insert(args.end(), {"-cafile", o.cafile});
    if (!o.certfile.empty()) args.insert(args.end(), {"-certfile", o.certfile});
    if (!o.keyfile.empty()) args.insert(args.end(), {"-keyfile", o.keyfile});
  }
  return args;
}

std::string ConnectCommand(const std::string& host, int port,
                           const common::session_options::Options& o) {
  std::string target =
      (o.tls ? "L:" : "") + (o.lu.empty() ? "" : o.lu + "@") + host + ":" + std::to_string(port);
  return "Connect(" + QuoteForString(target) + ")";
}

std::unique_ptr<X3270Backend> X3270Backend::OwnChild(std::string host, int port,
                                                     common::session_options::Options options) {
  return std::unique_ptr<X3270Backend>(
      new X3270Backend(true, std::move(host), port, std::move(options)));
}

std::unique_ptr<X3270Backend> X3270Backend::Attach(std::string host, int port) {
  return std::unique_ptr<X3270Backend>(new X3270Backend(false, std::move(host), port, {}));
}

X3270Backend::X3270Backend(bool own_child, std::string host, int port,
                           common::session_options::Options options)
    : own_child_(own_child), host_(std::move(host)), port_(port), options_(std::move(options)) {}

X3270Backend::~X3270Backend() { Close(); }

X3270Backend::Sent X3270Backend::Run(const std::string& command, ScriptReply* reply,
                                     Deadline deadline) {
  if (!OnlyLooks(command)) image_valid_ = false;
  std::string why;
  ChannelResult r = channel_.Run(command, reply, deadline, &why);
  status_ms_ = platform::MonotonicMs();
  if (r != ChannelResult::kOk) {
    problem_ = why;
    Lost();
    return Sent::kLost;
  }
  status_ = reply->status;
  rows_ = status_.rows;
  columns_ = status_.columns;
  if (status_.keyboard_unlocked) inhibited_ = false;
  if (!status_.connected) {
    problem_ = "the emulator lost its host connection";
    Lost();
    return Sent::kLost;
  }
  return reply->ok ? Sent::kOk : Sent::kRefused;
}

bool X3270Backend::Fresh(uint64_t at_ms) const {
  return platform::MonotonicMs() - at_ms <= kFreshMs;
}

// The screen text is the reply's last rows lines (a wait before the read
// says nothing), one per row.
void X3270Backend::KeepImage(const ScriptReply& reply) {
  std::size_t rows = static_cast<std::size_t>(rows_), width = static_cast<std::size_t>(columns_);
  image_valid_ = reply.data.size() >= rows;
  if (!image_valid_) return;
  image_.clear();
  image_.reserve(rows * width);
  for (std::size_t row = reply.data.size() - rows; row < reply.data.size(); ++row) {
    std::string line = Utf8ToLatin1(reply.data[row]);
    line.resize(width, ' ');
    image_ += line;
  }
  image_ms_ = status_ms_;
}

// The emulator cannot be trusted any more: an owned child is killed, an
// attached emulator is let go.
Outcome X3270Backend::Lost() {
  image_valid_ = false;
  channel_.Close();
  child_.Kill();
  open_ = false;
  return Outcome::kFailed;
}

Outcome X3270Backend::Open(Deadline deadline, std::string* problem) {
  int fd = -1;
  if (own_child_) {
    const char* program = std::getenv("QOR_S3270");
    std::string prog = program && *program ? program : "s3270";
    fd = child_.Start(prog, S3270Arguments(options_), problem);
    if (fd < 0) {
      configuration_fault_ = true;  // no emulator program: retrying cannot help
      return Outcome::kFailed;
    }
    channel_.Attach(fd, false);
  } else {
    fd = ConnectTcp(host_, port_, deadline, problem);
    if (fd < 0) return Outcome::kFailed;
    channel_.Attach(fd, true);
  }
  open_ = true;
  ScriptReply reply;
  std::string command =
      own_child_ ? ConnectCommand(host_, port_, options_) : "Toggle(aidWait,clear)";
  std::string why;
  const std::string where = host_ + ":" + std::to_string(port_);
  ChannelResult r = channel_.Run(command, &reply, deadline, &why);
  if (r != ChannelResult::kOk) {
    if (r == ChannelResult::kStopped)
      *problem = "stopped while connecting to " + where;
    else if (!own_child_)
      *problem = why;
    else if (r == ChannelResult::kTimedOut)
      *problem = "cannot connect to " + where + ": no 3270 session in time (" +
                 std::to_string(options_.timeout_seconds) + " s; the host does not answer" +
                 (options_.tls ? ", or not over TLS)" : ")");
    else
      *problem = "cannot connect to " + where + ": s3270 failed (" + why + ")";
    Lost();
    return Outcome::kFailed;
  }
  status_ = reply.status;
  rows_ = status_.rows;
  columns_ = status_.columns;
  if (!reply.ok || !status_.connected || status_.mode != 'I') {
    if (!reply.ok) {
      *problem = "cannot connect to " + where + ": " + ConnectFailure(reply, deadline);
    } else {
      *problem = own_child_ ? "the host at " + host_ + ":" + std::to_string(port_) +
                                  " did not start a 3270 session"
                            : "the emulator at " + host_ + ":" + std::to_string(port_) +
                                  " is not connected to a host in 3270 mode";
    }
    Lost();
    return Outcome::kFailed;
  }
  LearnSession(deadline);
  if (!open_) {
    *problem = problem_;
    return Outcome::kFailed;
  }
  return Outcome::kOk;
}

// s3270 drops the system's reason for a failed connect: a connect of our own
// finds it (refused, unreachable, unknown host). A host that takes our
// connect failed in s3270's part: the proxy or the TLS handshake.
std::string X3270Backend::ConnectFailure(const ScriptReply& reply, Deadline deadline) {
  std::string reason = JoinData(reply);
  if (options_.proxy.empty()) {
    std::string why;
    int fd = ConnectTcp(host_, port_, deadline.Min(Deadline::InMs(2000)), &why);
    if (fd >= 0)
      CloseSocket(fd);
    else if (why != "stopped")
      return ReasonIn(why);
  }
  // s3270 gives no reason of its own when the TLS handshake fails.
  if (options_.tls)
    reason +=
        " (over TLS: a host certificate no CA vouches for is refused; see cafile= and verify=no)";
  return reason;
}

// An emulator that cannot answer these queries keeps the sizes seen on its
// status line and code page 37.
void X3270Backend::LearnSession(Deadline deadline) {
  ScriptReply reply;
  if (Run("Query(ScreenSizeMax)", &reply, deadline) == Sent::kOk && !reply.data.empty()) {
    int rows = 0, columns = 0;
    if (std::sscanf(reply.data[0].c_str(), "rows %d columns %d", &rows, &columns) == 2 &&
        rows > 0 && columns > 0 && rows <= 255 && columns <= 255) {
      max_rows_ = rows;
      max_columns_ = columns;
    }
  }
  if (!open_) return;
  if (Run("Query(CodePage)", &reply, deadline) == Sent::kOk && !reply.data.empty()) {
    std::size_t at = reply.data[0].find("cpgid ");
    int number = at == std::string::npos ? 0 : std::atoi(reply.data[0].c_str() + at + 6);
    if (number > 0 && number < 65536) code_page_ = number;
  }
}

void X3270Backend::Close() {
  if (!open_) {
    Lost();
    return;
  }
  ScriptReply reply;
  std::string why;
  Deadline soon = Deadline::InMs(kQuitGraceMs);
  if (own_child_) {
    channel_.Close();  // s3270 ends at the end of its input
    child_.Stop(kQuitGraceMs);
  } else {
    channel_.Run("Toggle(aidWait,set)", &reply, soon, &why);
    channel_.Close();
  }
  open_ = false;
}

Outcome X3270Backend::ReadScreen(std::string* text, Deadline deadline) {
  if (!open_) return Outcome::kFailed;
  if (!ImageFresh()) {
    ScriptReply reply;
    Sent s = Run(kReadScreen, &reply, deadline);
    if (s == Sent::kLost) return Outcome::kFailed;
    if (s == Sent::kRefused) {
      problem_ = "the emulator refused to show the screen: " + JoinData(reply);
      return Lost();
    }
    reply.data.resize(static_cast<std::size_t>(rows_));  // rows it did not send are blank
    KeepImage(reply);
  }
  *text = image_;
  return Outcome::kOk;
}

// A short copy (the client compares the first 8 positions while it waits)
// costs far less than the whole screen.
Outcome X3270Backend::ReadStart(std::string* text, int length, Deadline deadline) {
  if (length >= GetSize()) return ReadScreen(text, deadline);
  if (!open_) return Outcome::kFailed;
  if (ImageFresh()) {
    *text = image_.substr(0, static_cast<std::size_t>(length < 1 ? 1 : length));
    return Outcome::kOk;
  }
  ScriptReply reply;
  Sent s = Run("Ascii(0,0," + std::to_string(length < 1 ? 1 : length) + ")", &reply, deadline);
  if (s == Sent::kLost) return Outcome::kFailed;
  if (s == Sent::kRefused) {
    problem_ = "the emulator refused to show the screen: " + JoinData(reply);
    return Lost();
  }
  text->clear();
  std::size_t width = static_cast<std::size_t>(columns_);
  for (const std::string& line : reply.data) {
    std::string row = Utf8ToLatin1(line);
    if (row.size() > width) row.resize(width);
    *text += row;
  }
  text->resize(static_cast<std::size_t>(length), ' ');
  return Outcome::kOk;
}

Outcome X3270Backend::RefusedTyping(const ScriptReply& reply) {
  if (Mentions(reply, "Operator error") || Mentions(reply, "Keyboard locked")) {
    inhibited_ = !status_.keyboard_unlocked;
    return Outcome::kProtected;
  }
  problem_ = "the emulator refused the text: " + JoinData(reply);
  return Lost();
}

Outcome X3270Backend::ReadyForInput(Deadline deadline) {
  Keyboard state;
  Outcome o = GetKeyboard(&state, deadline);
  if (o != Outcome::kOk) return o;
  if (state == Keyboard::kInhibited) return Outcome::kProtected;
  if (state == Keyboard::kHostBusy) return Outcome::kBusy;
  return Outcome::kOk;
}

Outcome X3270Backend::WriteAt(int offset, std::string_view text, Deadline deadline) {
  Outcome o = ReadyForInput(deadline);
  if (o != Outcome::kOk) return o;
  int back = Cursor();
  ScriptReply reply;
  Sent s = Run("MoveCursor(" + std::to_string(offset) + ") String(" + QuoteForString(text) +
                   ") MoveCursor(" + std::to_string(back) + ")",
               &reply, deadline);
  if (s == Sent::kLost) return Outcome::kFailed;
  if (s == Sent::kRefused) return RefusedTyping(reply);
  return Outcome::kOk;
}

Outcome X3270Backend::Type(std::string_view text, Deadline deadline) {
  Outcome o = ReadyForInput(deadline);
  if (o != Outcome::kOk) return o;
  ScriptReply reply;
  Sent s = Run("String(" + QuoteForString(text) + ")", &reply, deadline);
  if (s == Sent::kLost) return Outcome::kFailed;
  if (s == Sent::kRefused) return RefusedTyping(reply);
  return Outcome::kOk;
}

Outcome X3270Backend::SetCursor(int offset, Deadline deadline) {
  Outcome o = ReadyForInput(deadline);
  if (o != Outcome::kOk) return o;
  ScriptReply reply;
  Sent s = Run("MoveCursor(" + std::to_string(offset) + ")", &reply, deadline);
  if (s == Sent::kLost) return Outcome::kFailed;
  if (s == Sent::kRefused) {
    problem_ = "the emulator refused to move the cursor: " + JoinData(reply);
    return Lost();
  }
  return Outcome::kOk;
}

int X3270Backend::Cursor() const {
  return status_.cursor_row * status_.columns + status_.cursor_column;
}

Outcome X3270Backend::Press(Key key, Deadline deadline) {
  if (key == Key::kReset) {
    // A real terminal's Reset does not end the wait for the host; the
    // emulator's would, and a second attention key would then overtake the
    // host's answer.
    Keyboard state;
    Outcome o = GetKeyboard(&state, deadline);
    if (o != Outcome::kOk) return o;
    if (state == Keyboard::kHostBusy) return Outcome::kOk;
  } else {
    // An attention key sent while locked would be queued (host busy) or
    // silently dropped (operator error).
    Outcome o = ReadyForInput(deadline);
    if (o != Outcome::kOk) return o;
  }
  std::string command = KeyCommand(key);
  int64_t answer_ms = std::min(kAnswerWaitMs, deadline.RemainingMs() - kWaitMarginMs);
  const bool look_for_answer = IsAttentionKey(key) && answer_ms >= 10;
  if (look_for_answer) command += " Wait(" + Seconds(answer_ms) + ",Unlock) " + kReadScreen;
  ScriptReply reply;
  Sent s = Run(command, &reply, deadline);
  if (s == Sent::kLost) return Outcome::kFailed;
  if (look_for_answer) {
    if (s == Sent::kRefused && Mentions(reply, "Timed out"))
      return Outcome::kOk;  // the key went; no answer yet
    if (s == Sent::kOk) KeepImage(reply);
  }
  if (s == Sent::kRefused) {
    if (!status_.keyboard_unlocked) return Outcome::kProtected;
    problem_ = "the emulator refused a key: " + JoinData(reply);
    return Lost();
  }
  if (key == Key::kReset) inhibited_ = false;
  return Outcome::kOk;
}

Outcome X3270Backend::GetKeyboard(Keyboard* state, Deadline deadline) {
  if (!open_) return Outcome::kFailed;
  if (!status_.keyboard_unlocked && !Fresh(status_ms_)) {
    // Only the host unlocks, so a locked keyboard is looked at afresh.
    ScriptReply reply;
    if (Run("", &reply, deadline) == Sent::kLost) return Outcome::kFailed;
  }
  *state = status_.keyboard_unlocked ? Keyboard::kUnlocked
           : inhibited_              ? Keyboard::kInhibited
                                     : Keyboard::kHostBusy;
  return Outcome::kOk;
}

Outcome X3270Backend::WaitFor(const char* what, Deadline deadline, bool then_read) {
  if (!open_) return Outcome::kFailed;
  int64_t ms = deadline.RemainingMs() - kWaitMarginMs;
  if (ms < 10) return Outcome::kTimedOut;
  ScriptReply reply;
  Sent s = Run(
      "Wait(" + Seconds(ms) + "," + what + ")" + (then_read ? std::string(" ") + kReadScreen : ""),
      &reply, deadline);
  if (s == Sent::kOk && then_read) KeepImage(reply);
  if (s == Sent::kLost) return Outcome::kFailed;
  if (s == Sent::kRefused) {
    if (Mentions(reply, "Timed out")) return Outcome::kTimedOut;
    problem_ = std::string("the emulator cannot wait for ") + what + ": " + JoinData(reply);
    return Lost();
  }
  return Outcome::kOk;
}

Outcome X3270Backend::WaitUnlock(Deadline deadline) {
  Keyboard state;
  Outcome o = GetKeyboard(&state, deadline);
  if (o != Outcome::kOk || state == Keyboard::kUnlocked) return o;
  if (state == Keyboard::kInhibited) return Outcome::kProtected;
  o = WaitFor("Unlock", deadline, false);
  if (o != Outcome::kOk) return o;
  return status_.keyboard_unlocked ? Outcome::kOk : Outcome::kTimedOut;
}

// What the host wrote is read on the same line: the program reads it next.
Outcome X3270Backend::WaitForChange(Deadline deadline) { return WaitFor("Output", deadline, true); }

}  // namespace emulator
