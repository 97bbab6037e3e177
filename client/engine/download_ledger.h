// The ledger of a download directory: which job files the clients sharing the
// directory delivered, so that a client told to replace existing files never
// replaces one that another client delivered while it runs. One hidden file,
// read and appended under an advisory lock; each delivery's check and move
// happen while the lock is held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace client {

// What became of the ledgers a client delivers into: when one stopped being
// usable, and when it became usable again; each change said once. A client
// keeps one for its whole run.
class LedgerNotices {
 public:
  void Troubled(const std::string& problem);
  void InUse(const std::string& path);
  std::vector<std::string> Take();  // the changes not yet told

 private:
  bool troubled_ = false;
  std::vector<std::string> notices_;
};

class DownloadLedger {
 public:
  // Hidden, so nothing watching the directory takes it for a job.
  static constexpr const char kFileName[] = ".qorprt.ledger";

  // Locks and reads the ledger of directory, entering this run in it when it
  // is not there yet. Waits a few seconds at most for another client. Tells
  // notices when the ledger's usability changed (nothing when it is null).
  explicit DownloadLedger(const std::string& directory, LedgerNotices* notices = nullptr);
  // Enters this run in the ledger before its first job there has come, so
  // that it ages no earlier than the run. Says nothing of trouble: the
  // delivery that needs the ledger does.
  static void Join(const std::string& directory) { DownloadLedger{directory}; }
  ~DownloadLedger();  // releases the lock
  DownloadLedger(const DownloadLedger&) = delete;
  DownloadLedger& operator=(const DownloadLedger&) = delete;

  // False when the ledger could not be locked, read or written: problem()
  // names the file and the cause. Deliveries then number every clash.
  bool Usable() const { return fd_ >= 0; }
  const std::string& Problem() const { return problem_; }

  // Whether another client delivered a file of this name since this run began.
  bool DeliveredByAnotherClient(const std::string& name) const;
  // Enters a delivery of this run; false (and problem()) when it could not be written.
  bool Record(const std::string& name);

 private:
  struct Entry {
    char kind;  // 'S' a run began, 'D' a delivery
    int64_t time_ms;
    std::string run, what;  // the run's token; its pid ('S') or the file name ('D')
  };
  void Fail(const std::string& what, int error);
  bool ReadAll(std::string* text);  // false when it failed (Fail has said why)
  void ParseEntries(const std::string& text);
  bool Append(const std::string& line);
  bool Compact();

  std::string path_;
  LedgerNotices* notices_;
  int fd_ = -1;
  std::string problem_;
  std::vector<Entry> entries_;
  size_t size_ = 0;
  long our_start_ = -1;  // index of this run's 'S' entry
};

}  // namespace client
