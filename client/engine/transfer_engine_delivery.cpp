// The destinations a job's file leads to: a command that takes the whole job
// on its standard input once it has come, and a PDF of the job rendered as
// the printer would print it. Either way the job's file stays until the
// destination has the job, and is kept as incomplete when it does not.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "client/engine/download_ledger.h"
#include "client/engine/job_name.h"
#include "client/engine/transfer_engine.h"
#include "client/engine/transfer_job_run.h"
#include "common/trace.h"
#include "platform/command_run.h"
#include "platform/file_create.h"
#include "platform/file_move.h"
#include "platform/paths.h"
#include "platform/print/print_device.h"
#include "platform/system_error.h"

namespace client {

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// Why a command did not take the job, with what it said last.
std::string CommandFailure(const std::string& line, const platform::CommandResult& r,
                           int time_limit_seconds) {
  std::string why = "the command " + line;
  if (!r.started)
    why += " could not be started: " + r.problem;
  else if (r.timed_out)
    why += " was killed after " + std::to_string(time_limit_seconds) + " s";
  else if (r.exited)
    why += " exited with status " + std::to_string(r.exit_status);
  else
    why += " was ended by signal " + std::to_string(r.signal) + " (" + r.signal_name + ")";
  if (!r.error_tail.empty()) why += ": " + r.error_tail;
  return why;
}

}  // namespace

void TransferEngine::OpenPdfCopy(JobRun& job) {
  job.pdf_path = job.file->Temporary() + ".pdf";
  // The "pdf" driver: none on Windows, where the job is then kept as it came.
  std::unique_ptr<platform::PrintDevice> device = platform::CreatePrintDevice(
      "pdf", "", job.pdf_path.c_str(), state_.printing.selection.printer_devmode.get());
  if (!device) {
    job.DestinationFailed("PDF files cannot be written on this system",
                          "PDF files cannot be written on this system");
    job.pdf_path.clear();
    return;
  }
  job.pdf = std::make_unique<PrintJob>(state_.printing, std::move(device));
}

bool TransferEngine::WritePdfCopy(JobRun& job, const std::string& data) {
  if (!job.pdf || job.pdf->PrintBuffer(data.c_str()) == 0) return true;
  std::string what = "the PDF " + job.pdf_path + " could not be written";
  job.DestinationFailed(what, what);
  return false;
}

// The PDF is complete in its hidden file, or the job is not.
void TransferEngine::FinishPdfCopy(JobRun& job) {
  if (!job.pdf) return;
  // A last line without its line end is still part of the job: the archive
  // shows it, as the text file has it.
  if (job.reasons.empty() && state_.printing.state.line_segment[0] != '\0' &&
      !WritePdfCopy(job, "\r\n"))
    return;
  bool ended = job.reasons.empty() && job.pdf->EndPrint();
  job.pdf.reset();
  if (!job.reasons.empty()) return;
  // A job without a single line makes no page, so no PDF.
  if (ended && !Exists(job.pdf_path) && job.file->Written() == 0) job.pdf_path.clear();
  if (ended && (job.pdf_path.empty() || Exists(job.pdf_path))) return;
  std::string what = "the PDF " + job.pdf_path + " could not be finished";
  job.DestinationFailed(what, what);
}

// The finished PDF under its name: beside the delivered file, or (only) in
// its place, where the duplicate rule applies to the PDF's name.
void TransferEngine::PlacePdfCopy(JobRun& job, bool only) {
  std::string target = (only ? job.path : job.delivered) + ".pdf";
  bool replace = !only || job.replace;
  // As for the text file: from the check to the ledger's entry no other client
  // delivers here, and a PDF another client delivered during this run is
  // never replaced.
  DownloadLedger ledger(platform::DirectoryPart(target), &ledger_notices_);
  const std::string name = target.substr(platform::LastSeparator(target) + 1);
  if (replace && (!ledger.Usable() || ledger.DeliveredByAnotherClient(name))) replace = false;
  int error = 0;
  std::string what = "the PDF could not take its name " + target;
  platform::MoveResult r = platform::MoveResult::kExists;
  for (int attempt = 0; attempt < 100 && r == platform::MoveResult::kExists; ++attempt) {
    r = platform::MoveFile(job.pdf_path, target, replace, &error);
    if (r == platform::MoveResult::kExists) target = NumberTarget(target);
  }
  if (r == platform::MoveResult::kMoved && ledger.Usable())
    ledger.Record(target.substr(platform::LastSeparator(target) + 1));
  // Durable before the host hears the job is done, as the text file is.
  if (r == platform::MoveResult::kMoved && only) {
    if (int e = platform::SyncDirectory(platform::DirectoryPart(target))) {
      error = e;
      what = "the directory of " + target + " could not be flushed to disk";
      r = platform::MoveFile(target, job.pdf_path, false) == platform::MoveResult::kMoved
              ? platform::MoveResult::kFailed
              : platform::MoveResult::kMoved;  // it stays; better named than lost
    }
  }
  if (r == platform::MoveResult::kMoved) {
    if (only) {
      job.file->Discard();
      job.delivered = target;
      job.wanted = job.path + ".pdf";
    }
    return;
  }
  what += ": " + (error ? platform::SystemErrorText(error) : std::string("no free name"));
  if (only) {
    job.DestinationFailed(what, what);
    ::unlink(job.pdf_path.c_str());
  } else {
    // The job itself is delivered; its PDF stays under the hidden name.
    log.AddStatusText("Job " + job.name + ": " + what + "; it lies at " + job.pdf_path);
  }
}

void TransferEngine::SettleJobFile(JobRun& job) {
  FinishPdfCopy(job);
  const bool only_pdf = !job.pdf_path.empty() && state_.pdf == PdfArchive::kOnly;
  if (job.reasons.empty() && job.to_command) HandToCommand(job);
  if (job.reasons.empty() && only_pdf) {
    PlacePdfCopy(job, true);
  } else if (job.reasons.empty() && job.to_command && !state_.command.keep_copy) {
    if (!job.file->Discard())
      log.AddStatusText("Job " + job.name + ": " + job.file->Temporary() +
                        " could not be removed: " + std::strerror(errno));
  } else if (job.reasons.empty()) {
    std::string problem;
    job.delivered = job.file->Deliver(job.replace, &problem);
    if (job.delivered.empty()) {
      if (!quiet_) ReportMessage("FILEWRITE", job.path.c_str(), "HELP-707");
      job.write_failed = true;
      job.DestinationFailed(
          problem.find(job.path) == std::string::npos ? job.path + ": " + problem : problem,
          problem);
    } else if (!job.pdf_path.empty()) {
      PlacePdfCopy(job, false);
    }
  }
  if (job.reasons.empty()) return;
  job.kept = job.file->KeepIncomplete(replacing_);
  if (!job.pdf_path.empty()) ::unlink(job.pdf_path.c_str());
}

// The whole job to the command's standard input; the loop and the stop
// signals are served while it runs.
void TransferEngine::HandToCommand(JobRun& job) {
  const CommandDelivery& command = state_.command;
  platform::CommandRun run;
  std::string problem;
  if (command.shell) {
    run.words = {"/bin/sh", "-c", command.line};
  } else if (!SplitCommandWords(command.line, &run.words, &problem)) {
    job.DestinationFailed(problem, problem);
    return;
  }
  run.input_path = job.file->Temporary();
  run.time_limit_ms = command.time_limit_seconds * 1000;
  run.extra_environment = {
      "QOR_JOB_NAME=" + TrimmedKey(job.name),
      "QOR_JOB_IDENT=" + TrimmedKey(header.job_ident),
      "QOR_JOB_LINES=" + std::to_string(counts.lines),
      "QOR_JOB_PAGES=" + std::to_string(counts.pages),
      "QOR_JOB_BYTES=" + std::to_string(job.file->Written()),
  };
  trace_.Write("QOR_PRINT", ("command " + command.line).c_str());
  platform::CommandResult result = platform::RunCommand(run, [this] {
    front_end_->ServeUser(0);
    return !front_end_->StopRequested();
  });
  if (result.Succeeded()) {
    job.handed_to = "the command " + command.line;
  } else if (result.stopped) {
    job.reasons.push_back("the client was stopped while the command " + command.line + " ran");
    job.interrupted = job.stopped = true;
  } else {
    std::string why = CommandFailure(command.line, result, command.time_limit_seconds);
    job.DestinationFailed(why, why);
  }
}

}  // namespace client
