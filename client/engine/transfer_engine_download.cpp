// The download step: where a job's file goes, then the block loop.
#include <sys/stat.h>

#include <string>

#include "client/engine/download_ledger.h"
#include "client/engine/job_header.h"
#include "client/engine/job_name.h"
#include "client/engine/printer.h"
#include "client/engine/transfer_engine.h"
#include "common/trace.h"
#include "platform/paths.h"

namespace {

void Trace(const std::string& text, const char* tag) {
  if (TracePath) TraceWrite(TracePath, -1, text.c_str(), tag);
}

}  // namespace

int TransferEngine::Download() {
  ClientState& st = state_;
  const JobHeader& h = header;
  Trace("dwnload 1", "QOR_PRINT");
  Trace(st.download_dir, "Path");
  Trace(st.job_file_name, "Name");

  if (st.to_printer) {
    log.AddJobRecord(h.job_ident, h.job_prefix, st.printing.PrinterName());
    return TransferData("");
  }

  std::string original = st.job_file_name;
  if (MakeSafeJobFileName(st.job_file_name))
    Trace("\"" + original + "\" -> \"" + st.job_file_name + "\"", "Name changed");
  std::string target = BuildTargetPath(st.download_dir, st.job_file_name);
  ChangeToTargetDirectory(target);
  Trace("dwnload 2", "QOR_PRINT");
  Trace(target, "setpath name");

  // Unattended, nobody would notice one job replacing another one's file
  // (two idents can share a file name): such a job gets a number instead.
  bool replace = st.duplicate_option == DuplicateOption::kReplace;
  if (st.unattended_active && replace && st.delivered_files.count(target)) {
    std::string numbered = NumberTarget(target);
    log.AddStatusText(std::string("Job ") + h.job_prefix + " " + h.job_ident + ": " + target +
                      " came from an earlier job of this run; this one goes to " + numbered);
    target = numbered;
    replace = false;
  }
  if (st.duplicate_option != DuplicateOption::kReplace) {
    Trace("OPTN != MSG_REPLACE", "QOR-PRINT");
    struct stat info;
    if (::lstat(target.c_str(), &info) == 0) {
      if (st.duplicate_option == DuplicateOption::kCancel) {
        ReportMessage("DUPLFILE", nullptr, "HELP-705");
        return 0;
      }
      target = NumberTarget(target);
    }
  }
  Trace("dwnload 3", "QOR_PRINT");
  // This run enters the directory's ledger before its first job's data comes.
  DownloadLedger::Join(platform::DirectoryPart(target));
  log.AddJobRecord(h.job_ident, h.job_prefix, target.c_str());
  int result = TransferData(target, replace);
  // Whether the delivery found the clients' ledger usable, said when that changes.
  for (const std::string& notice : DownloadLedger::TakeNotices()) log.AddStatusText(notice);
  return result;
}
