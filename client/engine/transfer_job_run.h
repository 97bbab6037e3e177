// What one job has found so far: shared by the steps of the block loop and
// those that settle the job at its destination.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "client/engine/job_file.h"
#include "client/engine/printer.h"
#include "client/engine/transfer_engine.h"

namespace client {

// What one job has found so far, from its first block to its report.
struct TransferEngine::JobRun {
  std::string path;
  bool replace = true;
  std::string name;               // prefix and ident
  std::unique_ptr<JobFile> file;  // null when the job goes to the printer
  bool to_command = false;        // the file is handed to the command once complete
  std::unique_ptr<PrintJob> pdf;  // renders the PDF copy beside the file's temporary name
  std::string pdf_path;           // where that copy is written
  std::string handed_to;          // "the command ..." once it took the job
  std::string wanted;             // the name delivered asked for when not path
  const char* printer_name = "";  // the printer's, for the texts
  bool unattended = false;
  std::vector<std::string> reasons;  // why the job is not complete
  std::vector<std::string> notes;    // more came than the header announced
  std::string fault;                 // the destination failed: what, and why
  std::string damage;                // the first damaged screen
  bool write_failed = false;
  bool timed_out_for_good = false;  // the host stopped answering
  bool interrupted = false;         // the session went, or the client stops
  bool stopped = false;
  bool at_end = false;  // the end marker is on the screen, not yet acknowledged
  std::string delivered, kept;
  JobEnd end = JobEnd::kNone;
  bool acknowledged = false;

  void NoAnswer() {
    reasons.push_back("the host did not answer in time");
    timed_out_for_good = true;
  }
  void SessionLost(TransferHost& host) {
    reasons.push_back(std::string("the host session was lost (") + host.ErrorText() + ")");
    interrupted = true;
  }
  // The destination failed: no more data is taken.
  void DestinationFailed(const std::string& what, const std::string& reason) {
    fault = what;
    reasons.push_back(reason);
  }
};

}  // namespace client
