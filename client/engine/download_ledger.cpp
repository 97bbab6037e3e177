#include "client/engine/download_ledger.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <unordered_set>

#include "platform/file_lock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/whole_file.h"

namespace client {

namespace {

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// When this run began. An entry from then on (by its time, or by its place
// after this run's own entry) is another client's delivery during this run.
const int64_t g_run_start_ms = WallMs();

// Tells this run's entries from those of an earlier process with the same pid.
const std::string& RunToken() {
  static const std::string token = [] {
    std::random_device device;
    uint64_t bits =
        (static_cast<uint64_t>(device()) << 32) ^ device() ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(platform::CurrentProcessId()) << 16);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bits));
    return std::string(text);
  }();
  return token;
}

// Another client holds the lock for one rename; a longer wait means it is
// stuck, and this delivery numbers its file instead of waiting on.
constexpr int kLockTimeoutMs = 2000;
// Past this size the entries nobody can need any more are dropped.
constexpr size_t kCompactAt = 64 * 1024;
// A ledger larger than this is not ours to read.
constexpr size_t kLargest = 16 * 1024 * 1024;

// A file name as the system compares it.
std::string Compared(std::string name) {
  if (platform::kNamesIgnoreCase)
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

std::string Line(char kind, int64_t time_ms, const std::string& run, const std::string& what) {
  return std::string(1, kind) + " " + std::to_string(time_ms) + " " + run + " " + what + "\n";
}

}  // namespace

void LedgerNotices::Troubled(const std::string& problem) {
  if (troubled_) return;
  troubled_ = true;
  notices_.push_back("Jobs whose file exists are numbered, never replaced, while " + problem);
}

void LedgerNotices::InUse(const std::string& path) {
  if (!troubled_) return;
  troubled_ = false;
  notices_.push_back("The ledger " + path + " is in use again");
}

std::vector<std::string> LedgerNotices::Take() {
  std::vector<std::string> out;
  out.swap(notices_);
  return out;
}

DownloadLedger::DownloadLedger(const std::string& directory, LedgerNotices* notices)
    : notices_(notices) {
  path_ = directory;
  if (!path_.empty() && !platform::IsPathSeparator(path_.back())) path_ += platform::kPathSeparator;
  path_ += kFileName;
  int error = 0;
  fd_ = platform::OpenLockedFile(path_, kLockTimeoutMs, &error);
  if (fd_ < 0) {
    Fail(error == EWOULDBLOCK ? "it stayed locked by another client" : "it cannot be opened",
         error);
    return;
  }
  std::string text;
  if (!ReadAll(&text)) return;
  size_ = text.size();
  ParseEntries(text);
  // Entries may follow a cut line without its end: start ours on a line of its own.
  if (!text.empty() && text.back() != '\n' && !Append("\n")) return;
  if (our_start_ < 0) {
    std::string pid = std::to_string(platform::CurrentProcessId());
    if (!Append(Line('S', g_run_start_ms, RunToken(), pid))) return;
    our_start_ = static_cast<long>(entries_.size());
    entries_.push_back(Entry{'S', g_run_start_ms, RunToken(), pid});
  }
  if (size_ > kCompactAt && !Compact()) return;
  if (notices_) notices_->InUse(path_);
}

bool DownloadLedger::ReadAll(std::string* text) {
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Fail("it cannot be read", errno);
      return false;
    }
    if (n == 0) return true;
    text->append(buffer, static_cast<size_t>(n));
    if (text->size() > kLargest) {
      Fail("it is larger than " + std::to_string(kLargest) + " bytes", 0);
      return false;
    }
  }
}

void DownloadLedger::ParseEntries(const std::string& text) {
  // A line cut short (a client that died mid-write, or a rewrite cut off)
  // is passed over: a last one without its end, or one that does not parse.
  std::istringstream in(text.substr(0, text.rfind('\n') + 1));
  for (std::string line; std::getline(in, line);) {
    Entry e;
    size_t a = line.find(' '), b = a == std::string::npos ? a : line.find(' ', a + 1),
           c = b == std::string::npos ? b : line.find(' ', b + 1);
    if (line.size() < 2 || (line[0] != 'S' && line[0] != 'D') || a != 1 || c == std::string::npos ||
        c + 1 >= line.size())
      continue;
    std::string time_text = line.substr(a + 1, b - a - 1);
    if (time_text.empty() || time_text.size() > 18 ||
        time_text.find_first_not_of("0123456789") != std::string::npos)
      continue;
    e.kind = line[0];
    e.time_ms = std::stoll(time_text);
    e.run = line.substr(b + 1, c - b - 1);
    e.what = line.substr(c + 1);
    if (e.kind == 'S' && e.run == RunToken()) our_start_ = static_cast<long>(entries_.size());
    entries_.push_back(std::move(e));
  }
}

DownloadLedger::~DownloadLedger() {
  if (fd_ >= 0) platform::CloseLockedFile(fd_);
}

void DownloadLedger::Fail(const std::string& what, int error) {
  problem_ = "the ledger " + path_ +
             " of the clients sharing the directory cannot be used: " + what +
             (error ? std::string(" (") + std::strerror(error) + ")" : std::string());
  if (fd_ >= 0) platform::CloseLockedFile(fd_);
  fd_ = -1;
  if (notices_) notices_->Troubled(problem_);
}

bool DownloadLedger::Append(const std::string& line) {
  if (::lseek(fd_, 0, SEEK_END) < 0) {
    Fail("it cannot be appended to", errno);
    return false;
  }
  if (int e = platform::WriteAll(fd_, line)) {
    Fail("it cannot be written", e);
    return false;
  }
  size_ += line.size();
  return true;
}

bool DownloadLedger::DeliveredByAnotherClient(const std::string& name) const {
  const std::string compared = Compared(name);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (e.kind != 'D' || e.run == RunToken() || Compared(e.what) != compared) continue;
    if (static_cast<long>(i) > our_start_ || e.time_ms >= g_run_start_ms) return true;
  }
  return false;
}

bool DownloadLedger::Record(const std::string& name) {
  if (fd_ < 0) return false;
  Entry e{'D', WallMs(), RunToken(), name};
  if (!Append(Line(e.kind, e.time_ms, e.run, e.what))) return false;
  entries_.push_back(std::move(e));
  return true;
}

// Keeps what a running client may still ask about: the entries of running
// clients' runs, and of each file name only the last delivery made since the
// earliest of them began. A client that died mid-rewrite leaves old lines
// after the new ones: they only make others number more.
bool DownloadLedger::Compact() {
  std::vector<bool> live(entries_.size(), false);
  long first_live = -1;
  int64_t earliest = g_run_start_ms;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (e.kind != 'S') continue;
    bool running = e.run == RunToken();
    bool pid = !e.what.empty() && e.what.size() < 10 &&
               e.what.find_first_not_of("0123456789") == std::string::npos;
    if (!running && pid) running = platform::ProcessMayBeRunning(std::stol(e.what));
    if (!running) continue;
    live[i] = true;
    if (first_live < 0) first_live = static_cast<long>(i);
    if (e.time_ms < earliest) earliest = e.time_ms;
  }
  // From the end, so that the last delivery of each name is the one kept.
  std::vector<bool> keep = live;
  std::unordered_set<std::string> named;
  for (size_t i = entries_.size(); i-- > 0;) {
    const Entry& e = entries_[i];
    if (e.kind == 'D' && (static_cast<long>(i) > first_live || e.time_ms >= earliest))
      keep[i] = named.insert(Compared(e.what)).second;
  }
  std::vector<Entry> kept;
  std::string text;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!keep[i]) continue;
    const Entry& e = entries_[i];
    if (e.kind == 'S' && e.run == RunToken()) our_start_ = static_cast<long>(kept.size());
    text += Line(e.kind, e.time_ms, e.run, e.what);
    kept.push_back(e);
  }
  if (::lseek(fd_, 0, SEEK_SET) < 0) {
    Fail("it cannot be rewritten", errno);
    return false;
  }
  if (int e = platform::WriteAll(fd_, text)) {
    Fail("it cannot be rewritten", e);
    return false;
  }
  if (int e = platform::TruncateFile(fd_, static_cast<long long>(text.size()))) {
    Fail("it cannot be shortened", e);
    return false;
  }
  entries_ = std::move(kept);
  size_ = text.size();
  return true;
}

}  // namespace client
