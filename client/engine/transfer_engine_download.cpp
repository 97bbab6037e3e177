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

namespace client {

int TransferEngine::Download() {
  ClientState& st = state_;
  const JobHeader& h = header;
  trace_.Write("QOR_PRINT", "dwnload 1");
  trace_.Write("Path", st.download_dir.c_str());
  trace_.Write("Name", st.job_file_name.c_str());

  if (st.to_printer) {
    log.AddJobRecord(h.job_ident, h.job_prefix, st.printing.PrinterName());
    return TransferData("");
  }

  std::string original = st.job_file_name;
  if (MakeSafeJobFileName(st.job_file_name))
    trace_.Write("Name changed", ("\"" + original + "\" -> \"" + st.job_file_name + "\"").c_str());
  std::string target = BuildTargetPath(st.download_dir, st.job_file_name);
  ChangeToTargetDirectory(target, trace_);
  trace_.Write("QOR_PRINT", "dwnload 2");
  trace_.Write("setpath name", target.c_str());

  // Unattended, nobody would notice one job replacing another one's file
  // (two idents can share a file name): such a job gets a number instead.
  bool replace = st.duplicate_option == DuplicateOption::kReplace;
  if (st.unattended_active && replace && st.delivered_files.count(target)) {
    std::string numbered = NumberTarget(target);
    log.AddStatusText("Job " + JobKey(h) + ": " + target +
                      " came from an earlier job of this run; this one goes to " + numbered);
    target = numbered;
    replace = false;
  }
  if (st.duplicate_option != DuplicateOption::kReplace) {
    trace_.Write("QOR-PRINT", "OPTN != MSG_REPLACE");
    struct stat info;
    if (::lstat(target.c_str(), &info) == 0) {
      if (st.duplicate_option == DuplicateOption::kCancel) {
        ReportMessage("DUPLFILE", nullptr, "HELP-705");
        return 0;
      }
      target = NumberTarget(target);
    }
  }
  trace_.Write("QOR_PRINT", "dwnload 3");
  // This run enters the directory's ledger before its first job's data comes.
  DownloadLedger::Join(platform::DirectoryPart(target));
  log.AddJobRecord(h.job_ident, h.job_prefix, target.c_str());
  int result = TransferData(target, replace);
  // Whether the delivery found the clients' ledger usable, said when that changes.
  for (const std::string& notice : ledger_notices_.Take()) log.AddStatusText(notice);
  return result;
}

}  // namespace client
