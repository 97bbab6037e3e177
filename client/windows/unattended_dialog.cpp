#include "client/windows/unattended_dialog.h"

#include "client/engine/printer.h"
#include "client/windows/destination_choices.h"
#include "client/windows/file_dialog.h"
#include "client/windows/printer_dialog.h"
#include "common/trace.h"
#include "platform/paths.h"
#include "toolkit/button.h"

namespace client::windows {

namespace autcmd {
constexpr int kChange = 11304;
}

UnattendedDialog::UnattendedDialog(TransferWork& work)
    : tk::Window({0, 0, kWidth, kHeight}, work.ui.texts("AUTTITLE")), work_(work) {
  const InterfaceTexts& texts = work.ui.texts;
  Center(work.ui.wm.ScreenSize());
  ClientState& st = work.state;
  Add<tk::Label>(tk::Rect{1, 1, 12, 1}, texts("PATH"));
  path_text_ = &Add<tk::Text>(tk::Rect{13, 1, 35, 1}, st.download_dir.substr(0, 127));
  command_field_ = &AddDestinationChoices(*this, st, texts, 2, 5, 20, 9);
  Add<tk::Button>(tk::Rect{27, 6, 16, 1}, texts("AUTCHANGE"), autcmd::kChange);
  Add<tk::Button>(tk::Rect{7, 10, 10, 1}, texts("OK"), cmd::kOk);
  Add<tk::Button>(tk::Rect{19, 10, 10, 1}, texts("CANCEL"), cmd::kCancel);
  Add<tk::Button>(tk::Rect{31, 10, 10, 1}, texts("HELP"), cmd::kHelp);
}

int UnattendedDialog::HandleEvent(const tk::Event& e) {
  if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
  ClientState& st = work_.state;
  if (TakeDestinationChoice(e.code, st)) return 0;
  switch (e.code) {
    case autcmd::kChange: {
      // Start inside the download directory itself, not in its parent.
      std::string start = st.download_dir;
      if (start.empty() || !platform::IsPathSeparator(start.back()))
        start += platform::kPathSeparator;
      std::string chosen;
      if (RunFileDialog(work_.ui, st.file_dialog_name, work_.ui.texts("AUTDIR"),
                        FileChoice::kDirectory, start.c_str(), &chosen)) {
        // The chooser appends a file name.
        std::string dir = platform::LastSeparator(chosen) == std::string::npos
                              ? chosen
                              : platform::ChooserDirectory(chosen);
        st.download_dir = dir.substr(0, ClientState::kDownloadDirMax);
        path_text_->SetText(st.download_dir);
        if (Manager()) Manager()->Redraw();
      }
      return 0;
    }
    case cmd::kOk: return TakeCommandField(st, work_.shell, *command_field_) ? cmd::kOk : 0;
    case cmd::kHelp: ShowHelp(work_.ui.help, "DWNDLOG"); return 0;
    default: return tk::Window::HandleEvent(e);
  }
}

int UnattendedOperation(TransferWork& work) {
  ClientState& st = work.state;
  work.trace.Write("TRANSFER", "MsgUnattend\r\n");
  if (st.download_dir.empty())
    st.download_dir = platform::CurrentDirectory().substr(0, ClientState::kDownloadDirMax);
  int answer;
  {
    UnattendedDialog dialog(work);
    work.ui.wm.Add(dialog);
    answer = work.ui.wm.RunModal(dialog, {cmd::kOk, cmd::kCloseModal});
    if (answer == cmd::kOk && st.to_printer) {
      if (st.current_print_job && !st.unattended_active)
        work.shell.ReportMessage("PRTALRDY", nullptr, "HELP-708");
      // Where the user picks the printer every unattended job will use.
      PrintJob probe(st.printing, RunPrinterDialog(work.printer));
      if (!probe.HasDevice()) answer = -1;
    }
    work.ui.wm.Remove(dialog);
  }
  work.ui.wm.Redraw();
  if (answer == -1) return -1;
  if (answer != cmd::kOk) return 0;

  work.engine.RunUnattended();
  return cmd::kCancel;
}

}  // namespace client::windows
