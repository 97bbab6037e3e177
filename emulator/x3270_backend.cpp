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
  if (key >= Key::PF1 && key <= Key::PF24)
    return "PF(" + std::to_string(static_cast<int>(key) - static_cast<int>(Key::PF1) + 1) + ")";
  switch (key) {
    case Key::Enter: return "Enter()";
    case Key::Clear: return "Clear()";
    case Key::PA1: return "PA(1)";
    case Key::PA2: return "PA(2)";
    case Key::PA3: return "PA(3)";
    case Key::SysReq: return "SysReq()";
    case Key::Attn: return "Attn()";
    case Key::Reset: return "Reset()";
    case Key::EraseEof: return "EraseEOF()";
    case Key::EraseInput: return "EraseInput()";
    case Key::Up: return "Up()";
    case Key::Down: return "Down()";
    case Key::Left: return "Left()";
    case Key::Right: return "Right()";
    case Key::Home: return "Home()";
    case Key::Tab: return "Tab()";
    case Key::BackTab: return "BackTab()";
    case Key::NewLine: return "Newline()";
    case Key::CursorSelect: return "CursorSelect()";
    case Key::Delete: return "Delete()";
    case Key::Insert: return "Insert()";
    case Key::Backspace: return "BackSpace()";
    case Key::FieldEnd: return "FieldEnd()";
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

std::vector<std::string> S3270Arguments(const session_options::Options& o) {
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

std::string ConnectCommand(const std::string& host, int port, const session_options::Options& o) {
  std::string target =
      (o.tls ? "L:" : "") + (o.lu.empty() ? "" : o.lu + "@") + host + ":" + std::to_string(port);
  return "Connect(" + QuoteForString(target) + ")";
}

std::unique_ptr<X3270Backend> X3270Backend::OwnChild(std::string host, int port,
                                                     session_options::Options options) {
  return std::unique_ptr<X3270Backend>(
      new X3270Backend(true, std::move(host), port, std::move(options)));
}

std::unique_ptr<X3270Backend> X3270Backend::Attach(std::string host, int port) {
  return std::unique_ptr<X3270Backend>(new X3270Backend(false, std::move(host), port, {}));
}

X3270Backend::X3270Backend(bool own_child, std::string host, int port,
                           session_options::Options options)
    : own_child_(own_child), host_(std::move(host)), port_(port), options_(std::move(options)) {}

X3270Backend::~X3270Backend() { close(); }

X3270Backend::Sent X3270Backend::run(const std::string& command, ScriptReply* reply,
                                     Deadline deadline) {
  if (!OnlyLooks(command)) image_valid_ = false;
  std::string why;
  ChannelResult r = channel_.run(command, reply, deadline, &why);
  status_ms_ = platform::MonotonicMs();
  if (r != ChannelResult::Ok) {
    problem_ = why;
    lost();
    return Sent::Lost;
  }
  status_ = reply->status;
  rows_ = status_.rows;
  columns_ = status_.columns;
  if (status_.keyboard_unlocked) inhibited_ = false;
  if (!status_.connected) {
    problem_ = "the emulator lost its host connection";
    lost();
    return Sent::Lost;
  }
  return reply->ok ? Sent::Ok : Sent::Refused;
}

bool X3270Backend::fresh(uint64_t at_ms) const {
  return platform::MonotonicMs() - at_ms <= kFreshMs;
}

// The screen text is the reply's last rows lines (a wait before the read
// says nothing), one per row.
void X3270Backend::keep_image(const ScriptReply& reply) {
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
Outcome X3270Backend::lost() {
  image_valid_ = false;
  channel_.close();
  child_.kill();
  open_ = false;
  return Outcome::Failed;
}

Outcome X3270Backend::open(Deadline deadline, std::string* problem) {
  int fd = -1;
  if (own_child_) {
    const char* program = std::getenv("QOR_S3270");
    std::string prog = program && *program ? program : "s3270";
    fd = child_.start(prog, S3270Arguments(options_), problem);
    if (fd < 0) {
      configuration_fault_ = true;  // no emulator program: retrying cannot help
      return Outcome::Failed;
    }
    channel_.attach(fd, false);
  } else {
    fd = ConnectTcp(host_, port_, deadline, problem);
    if (fd < 0) return Outcome::Failed;
    channel_.attach(fd, true);
  }
  open_ = true;
  ScriptReply reply;
  std::string command =
      own_child_ ? ConnectCommand(host_, port_, options_) : "Toggle(aidWait,clear)";
  std::string why;
  const std::string where = host_ + ":" + std::to_string(port_);
  ChannelResult r = channel_.run(command, &reply, deadline, &why);
  if (r != ChannelResult::Ok) {
    if (r == ChannelResult::Stopped)
      *problem = "stopped while connecting to " + where;
    else if (!own_child_)
      *problem = why;
    else if (r == ChannelResult::TimedOut)
      *problem = "cannot connect to " + where + ": no 3270 session in time (" +
                 std::to_string(options_.timeout_seconds) + " s; the host does not answer" +
                 (options_.tls ? ", or not over TLS)" : ")");
    else
      *problem = "cannot connect to " + where + ": s3270 failed (" + why + ")";
    lost();
    return Outcome::Failed;
  }
  status_ = reply.status;
  rows_ = status_.rows;
  columns_ = status_.columns;
  if (!reply.ok || !status_.connected || status_.mode != 'I') {
    if (!reply.ok) {
      *problem = "cannot connect to " + where + ": " + connect_failure(reply, deadline);
    } else {
      *problem = own_child_ ? "the host at " + host_ + ":" + std::to_string(port_) +
                                  " did not start a 3270 session"
                            : "the emulator at " + host_ + ":" + std::to_string(port_) +
                                  " is not connected to a host in 3270 mode";
    }
    lost();
    return Outcome::Failed;
  }
  learn_session(deadline);
  if (!open_) {
    *problem = problem_;
    return Outcome::Failed;
  }
  return Outcome::Ok;
}

// s3270 drops the system's reason for a failed connect: a connect of our own
// finds it (refused, unreachable, unknown host). A host that takes our
// connect failed in s3270's part: the proxy or the TLS handshake.
std::string X3270Backend::connect_failure(const ScriptReply& reply, Deadline deadline) {
  std::string reason = JoinData(reply);
  if (options_.proxy.empty()) {
    std::string why;
    int fd = ConnectTcp(host_, port_, deadline.min(Deadline::in_ms(2000)), &why);
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
void X3270Backend::learn_session(Deadline deadline) {
  ScriptReply reply;
  if (run("Query(ScreenSizeMax)", &reply, deadline) == Sent::Ok && !reply.data.empty()) {
    int rows = 0, columns = 0;
    if (std::sscanf(reply.data[0].c_str(), "rows %d columns %d", &rows, &columns) == 2 &&
        rows > 0 && columns > 0 && rows <= 255 && columns <= 255) {
      max_rows_ = rows;
      max_columns_ = columns;
    }
  }
  if (!open_) return;
  if (run("Query(CodePage)", &reply, deadline) == Sent::Ok && !reply.data.empty()) {
    std::size_t at = reply.data[0].find("cpgid ");
    int number = at == std::string::npos ? 0 : std::atoi(reply.data[0].c_str() + at + 6);
    if (number > 0 && number < 65536) code_page_ = number;
  }
}

void X3270Backend::close() {
  if (!open_) {
    lost();
    return;
  }
  ScriptReply reply;
  std::string why;
  Deadline soon = Deadline::in_ms(kQuitGraceMs);
  if (own_child_) {
    channel_.close();  // s3270 ends at the end of its input
    child_.stop(kQuitGraceMs);
  } else {
    channel_.run("Toggle(aidWait,set)", &reply, soon, &why);
    channel_.close();
  }
  open_ = false;
}

Outcome X3270Backend::read_screen(std::string* text, Deadline deadline) {
  if (!open_) return Outcome::Failed;
  if (!image_fresh()) {
    ScriptReply reply;
    Sent s = run(kReadScreen, &reply, deadline);
    if (s == Sent::Lost) return Outcome::Failed;
    if (s == Sent::Refused) {
      problem_ = "the emulator refused to show the screen: " + JoinData(reply);
      return lost();
    }
    reply.data.resize(static_cast<std::size_t>(rows_));  // rows it did not send are blank
    keep_image(reply);
  }
  *text = image_;
  return Outcome::Ok;
}

// A short copy (the client compares the first 8 positions while it waits)
// costs far less than the whole screen.
Outcome X3270Backend::read_start(std::string* text, int length, Deadline deadline) {
  if (length >= size()) return read_screen(text, deadline);
  if (!open_) return Outcome::Failed;
  if (image_fresh()) {
    *text = image_.substr(0, static_cast<std::size_t>(length < 1 ? 1 : length));
    return Outcome::Ok;
  }
  ScriptReply reply;
  Sent s = run("Ascii(0,0," + std::to_string(length < 1 ? 1 : length) + ")", &reply, deadline);
  if (s == Sent::Lost) return Outcome::Failed;
  if (s == Sent::Refused) {
    problem_ = "the emulator refused to show the screen: " + JoinData(reply);
    return lost();
  }
  text->clear();
  std::size_t width = static_cast<std::size_t>(columns_);
  for (const std::string& line : reply.data) {
    std::string row = Utf8ToLatin1(line);
    if (row.size() > width) row.resize(width);
    *text += row;
  }
  text->resize(static_cast<std::size_t>(length), ' ');
  return Outcome::Ok;
}

Outcome X3270Backend::refused_typing(const ScriptReply& reply) {
  if (Mentions(reply, "Operator error") || Mentions(reply, "Keyboard locked")) {
    inhibited_ = !status_.keyboard_unlocked;
    return Outcome::Protected;
  }
  problem_ = "the emulator refused the text: " + JoinData(reply);
  return lost();
}

Outcome X3270Backend::ready_for_input(Deadline deadline) {
  Keyboard state;
  Outcome o = keyboard(&state, deadline);
  if (o != Outcome::Ok) return o;
  if (state == Keyboard::Inhibited) return Outcome::Protected;
  if (state == Keyboard::HostBusy) return Outcome::Busy;
  return Outcome::Ok;
}

Outcome X3270Backend::write_at(int offset, std::string_view text, Deadline deadline) {
  Outcome o = ready_for_input(deadline);
  if (o != Outcome::Ok) return o;
  int back = cursor();
  ScriptReply reply;
  Sent s = run("MoveCursor(" + std::to_string(offset) + ") String(" + QuoteForString(text) +
                   ") MoveCursor(" + std::to_string(back) + ")",
               &reply, deadline);
  if (s == Sent::Lost) return Outcome::Failed;
  if (s == Sent::Refused) return refused_typing(reply);
  return Outcome::Ok;
}

Outcome X3270Backend::type(std::string_view text, Deadline deadline) {
  Outcome o = ready_for_input(deadline);
  if (o != Outcome::Ok) return o;
  ScriptReply reply;
  Sent s = run("String(" + QuoteForString(text) + ")", &reply, deadline);
  if (s == Sent::Lost) return Outcome::Failed;
  if (s == Sent::Refused) return refused_typing(reply);
  return Outcome::Ok;
}

Outcome X3270Backend::set_cursor(int offset, Deadline deadline) {
  Outcome o = ready_for_input(deadline);
  if (o != Outcome::Ok) return o;
  ScriptReply reply;
  Sent s = run("MoveCursor(" + std::to_string(offset) + ")", &reply, deadline);
  if (s == Sent::Lost) return Outcome::Failed;
  if (s == Sent::Refused) {
    problem_ = "the emulator refused to move the cursor: " + JoinData(reply);
    return lost();
  }
  return Outcome::Ok;
}

int X3270Backend::cursor() const {
  return status_.cursor_row * status_.columns + status_.cursor_column;
}

Outcome X3270Backend::press(Key key, Deadline deadline) {
  if (key == Key::Reset) {
    // A real terminal's Reset does not end the wait for the host; the
    // emulator's would, and a second attention key would then overtake the
    // host's answer.
    Keyboard state;
    Outcome o = keyboard(&state, deadline);
    if (o != Outcome::Ok) return o;
    if (state == Keyboard::HostBusy) return Outcome::Ok;
  } else {
    // An attention key sent while locked would be queued (host busy) or
    // silently dropped (operator error).
    Outcome o = ready_for_input(deadline);
    if (o != Outcome::Ok) return o;
  }
  std::string command = KeyCommand(key);
  int64_t answer_ms = std::min(kAnswerWaitMs, deadline.remaining_ms() - kWaitMarginMs);
  const bool look_for_answer = is_attention_key(key) && answer_ms >= 10;
  if (look_for_answer) command += " Wait(" + Seconds(answer_ms) + ",Unlock) " + kReadScreen;
  ScriptReply reply;
  Sent s = run(command, &reply, deadline);
  if (s == Sent::Lost) return Outcome::Failed;
  if (look_for_answer) {
    if (s == Sent::Refused && Mentions(reply, "Timed out"))
      return Outcome::Ok;  // the key went; no answer yet
    if (s == Sent::Ok) keep_image(reply);
  }
  if (s == Sent::Refused) {
    if (!status_.keyboard_unlocked) return Outcome::Protected;
    problem_ = "the emulator refused a key: " + JoinData(reply);
    return lost();
  }
  if (key == Key::Reset) inhibited_ = false;
  return Outcome::Ok;
}

Outcome X3270Backend::keyboard(Keyboard* state, Deadline deadline) {
  if (!open_) return Outcome::Failed;
  if (!status_.keyboard_unlocked && !fresh(status_ms_)) {
    // Only the host unlocks, so a locked keyboard is looked at afresh.
    ScriptReply reply;
    if (run("", &reply, deadline) == Sent::Lost) return Outcome::Failed;
  }
  *state = status_.keyboard_unlocked ? Keyboard::Unlocked
           : inhibited_              ? Keyboard::Inhibited
                                     : Keyboard::HostBusy;
  return Outcome::Ok;
}

Outcome X3270Backend::wait_for(const char* what, Deadline deadline, bool then_read) {
  if (!open_) return Outcome::Failed;
  int64_t ms = deadline.remaining_ms() - kWaitMarginMs;
  if (ms < 10) return Outcome::TimedOut;
  ScriptReply reply;
  Sent s = run(
      "Wait(" + Seconds(ms) + "," + what + ")" + (then_read ? std::string(" ") + kReadScreen : ""),
      &reply, deadline);
  if (s == Sent::Ok && then_read) keep_image(reply);
  if (s == Sent::Lost) return Outcome::Failed;
  if (s == Sent::Refused) {
    if (Mentions(reply, "Timed out")) return Outcome::TimedOut;
    problem_ = std::string("the emulator cannot wait for ") + what + ": " + JoinData(reply);
    return lost();
  }
  return Outcome::Ok;
}

Outcome X3270Backend::wait_unlock(Deadline deadline) {
  Keyboard state;
  Outcome o = keyboard(&state, deadline);
  if (o != Outcome::Ok || state == Keyboard::Unlocked) return o;
  if (state == Keyboard::Inhibited) return Outcome::Protected;
  o = wait_for("Unlock", deadline, false);
  if (o != Outcome::Ok) return o;
  return status_.keyboard_unlocked ? Outcome::Ok : Outcome::TimedOut;
}

// What the host wrote is read on the same line: the program reads it next.
Outcome X3270Backend::wait_for_change(Deadline deadline) {
  return wait_for("Output", deadline, true);
}

}  // namespace emulator
