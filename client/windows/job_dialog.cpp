#include "client/windows/job_dialog.h"

#include <cstring>

#include "client/engine/job_header.h"
#include "client/engine/printer.h"
#include "client/engine/transfer_host.h"
#include "client/windows/destination_choices.h"
#include "client/windows/file_dialog.h"
#include "client/windows/printer_dialog.h"
#include "common/trace.h"
#include "platform/paths.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"

namespace client::windows {

namespace jobcmd {
constexpr int kChange = 11304, kAscii = 11310;
}

JobDialog::JobDialog(TransferWork& work)
    : tk::Window({0, 0, kWidth, kHeight}, work.ui.texts("DWNTITLE")),
      work_(work),
      directory_(work.state.download_dir),
      file_name_(work.state.job_file_name) {
  const InterfaceTexts& texts = work.ui.texts;
  Center(work.ui.wm.ScreenSize());
  const JobHeader& h = work.engine.header;
  ClientState& st = work.state;
  Add<tk::Label>(tk::Rect{1, 1, 8, 1}, "POWER");
  Add<tk::Text>(tk::Rect{10, 1, 4, 1}, h.job_prefix);
  Add<tk::Text>(tk::Rect{15, 1, 20, 1}, h.job_ident);
  Add<tk::Text>(tk::Rect{36, 1, 4, 1}, h.job_code);
  Add<tk::Label>(tk::Rect{10, 2, 15, 1}, texts("DWNLINES"));
  Add<tk::NumberText>(tk::Rect{26, 2, 11, 1}, h.job_lines);
  Add<tk::Label>(tk::Rect{10, 3, 15, 1}, texts("DWNPAGES"));
  Add<tk::NumberText>(tk::Rect{26, 3, 11, 1}, h.job_pages);

  Add<tk::Label>(tk::Rect{1, 7, 12, 1}, texts("FILENAME"));
  name_text_ = &Add<tk::Text>(tk::Rect{13, 7, 20, 1});
  Add<tk::Label>(tk::Rect{1, 8, 12, 1}, texts("PATH"));
  path_text_ = &Add<tk::Text>(tk::Rect{13, 8, 35, 1});
  ShowPath();
  command_field_ = &AddDestinationChoices(*this, st, texts, 4, 9, 24, 13);
  Add<tk::Button>(tk::Rect{27, 10, 16, 1}, texts("DWNCHANGE"), jobcmd::kChange);
  Add<tk::CheckBox>(tk::Rect{27, 12, 30, 1}, texts("DWNASCII"), jobcmd::kAscii, st.ascii_option);
  Add<tk::Button>(tk::Rect{7, 14, 10, 1}, texts("OK"), cmd::kOk);
  Add<tk::Button>(tk::Rect{19, 14, 10, 1}, texts("CANCEL"), cmd::kCancel);
  Add<tk::Button>(tk::Rect{31, 14, 10, 1}, texts("HELP"), cmd::kHelp);
}

void JobDialog::ShowPath() {
  name_text_->SetText(file_name_.substr(0, 13));
  path_text_->SetText(directory_.substr(0, 127));
  if (Manager()) Manager()->Redraw();
}

int JobDialog::HandleEvent(const tk::Event& e) {
  if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
  ClientState& st = work_.state;
  if (TakeDestinationChoice(e.code, st)) return 0;
  switch (e.code) {
    case jobcmd::kAscii: st.ascii_option = !st.ascii_option; return 0;
    case jobcmd::kChange: {
      std::string chosen;
      if (RunFileDialog(work_.ui, st.file_dialog_name, work_.ui.texts("DWNFILE"), FileChoice::kFile,
                        nullptr, &chosen)) {
        size_t sep = platform::LastSeparator(chosen);
        std::string name = sep == std::string::npos ? chosen : chosen.substr(sep + 1);
        if (sep != std::string::npos) directory_ = platform::ChooserDirectory(chosen);
        if (name != "*.*") file_name_ = name;
        ShowPath();
      }
      return 0;
    }
    case cmd::kOk:
      if (!TakeCommandField(st, work_.shell, *command_field_)) return 0;
      st.download_dir = directory_.substr(0, ClientState::kDownloadDirMax);
      st.job_file_name = file_name_;
      return cmd::kOk;
    case cmd::kHelp: ShowHelp(work_.ui.help, "DWNDLOG"); return 0;
    default: return tk::Window::HandleEvent(e);
  }
}

int RunJobDialog(TransferWork& work) {
  ClientState& st = work.state;
  int answer;
  {
    JobDialog dialog(work);
    answer = work.ui.wm.RunModal(dialog, {cmd::kOk, cmd::kCloseModal});
  }
  work.ui.wm.Redraw();
  if (answer != cmd::kOk) return 0;
  if (st.to_printer) {
    if (st.current_print_job && !st.unattended_active) {
      work.shell.ReportMessage("PRTALRDY", nullptr, "HELP-708");
      return 0;
    }
    auto job = std::make_unique<PrintJob>(st.printing, RunPrinterDialog(work.printer));
    if (!job->HasDevice()) return -1;
    st.current_print_job = std::move(job);
  }
  return work.engine.Download();
}

int ImmediateTransfer(TransferWork& work) {
  work.trace.Write("TRANSFER", "MsgImmediate\r\n");
  TransferHost* host = &work.engine.GetHost();
  size_t length = 0;
  const char* screen = host->GetScreen(hostlink::ScreenMode::kRaw, &length);
  if (!screen) {
    work.shell.ReportMessage("3270ERR", host->ErrorText().c_str(), "HELP-702");
    return 0;
  }
  if (!IsJobHeader(screen, length)) {
    std::string first(screen, length < 32 ? length : 32);
    work.trace.Write("NOT QOR", screen, static_cast<long>(length));
    work.shell.ReportMessage("NOTQOR", first.c_str(), "HELP-703");
    return 0;
  }
  if (ParseJobHeader(screen, length, work.engine.header, work.state) == 1) {
    work.trace.Write("BAD LVL", screen, static_cast<long>(length));
    work.shell.ReportMessage("NOTLEVEL", nullptr, "HELP-704");
    return 0;
  }
  return RunJobDialog(work);
}

}  // namespace client::windows
