// Process-wide state of the client, built at start and never saved.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "client/engine/delivery_settings.h"
#include "client/engine/printer.h"
#include "client/engine/service_options.h"

namespace client {

enum class DuplicateOption { kReplace, kCancel, kRename };

struct ClientState {
  static constexpr size_t kProgramDirMax = 255;
  static constexpr size_t kDownloadDirMax = 127;

  std::string program_dir;  // up to and including the last separator
  std::string program_name = "QORPRTW";
  std::string download_dir;  // the current directory, or the first plain argument
  std::string job_file_name;
  bool cut_mode = false;
  bool trace_switch = false;      // /D: the client starts its trace afresh
  bool start_unattended = false;  // --unattended: polling starts at once
  bool headless = false;          // --headless: no terminal, lines on standard error
  bool demo = false;              // --demo: unattended on the built-in host is wanted
  std::string trace_file;         // --trace FILE: the trace appends to FILE
  std::string config_dir;         // --config DIR: the configuration files' directory
  ServiceOptions service;         // what a service run reports beyond its log lines
  bool unattended_active = false;
  bool to_printer = false;
  bool to_command = false;  // the job goes to command (unless to_printer)
  CommandDelivery command;
  PdfArchive pdf = PdfArchive::kNone;  // for jobs that go to files
  bool ascii_option = true;
  DuplicateOption duplicate_option = DuplicateOption::kReplace;
  Printing printing;
  // The print job of the transfer under way; it ends when the transfer does.
  std::unique_ptr<PrintJob> current_print_job;
  // The file name last typed in a file dialog.
  std::string file_dialog_name;
  // Files this run delivered: unattended jobs never replace one of them.
  std::set<std::string> delivered_files;
};

// Reads the command line: the options of ClientOptions() ("--headless"
// implies "--unattended"), then the operands from the last to the first:
// "/PDM" (no effect), "/CUT" (cut mode), "/D" (trace_switch); any other
// operand becomes the download directory, so the first plain one stays. Sets
// program_dir from argument 0 and download_dir's default. Returns why the
// command line cannot be used ("" when it can): an unknown option, a missing
// or empty option argument, a service option that cannot be used (see
// ApplyServiceOptions), a download directory longer than kDownloadDirMax,
// which is kept whole, never cut; a command that cannot be split into words,
// a time limit that is not a number of seconds, a print font that is not
// FAMILY[,POINTS].
std::string ApplyCommandLine(int argc, const char* const* argv, ClientState& state);

}  // namespace client
