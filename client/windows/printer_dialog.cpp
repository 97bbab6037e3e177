#include "client/windows/printer_dialog.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "client/engine/printer_selection.h"
#include "client/windows/help_window.h"
#include "client/windows/printer_font_dialog.h"
#include "client/windows/printer_mode_dialog.h"
#include "platform/print/printer_profile.h"
#include "toolkit/button.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"

namespace client::windows {

namespace {

// The text in rows of at most width characters, broken between words.
std::vector<std::string> WordRows(const std::string& text, size_t width) {
  std::vector<std::string> rows;
  std::string row;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = std::min(text.find(' ', at), text.size());
    std::string word = text.substr(at, end - at);
    at = end + 1;
    if (!row.empty() && row.size() + 1 + word.size() > width) {
      rows.push_back(row);
      row.clear();
    }
    for (; word.size() > width; word.erase(0, width)) rows.push_back(word.substr(0, width));
    row += (row.empty() ? "" : " ") + word;
  }
  if (!row.empty()) rows.push_back(row);
  return rows;
}

class PrinterWindow : public tk::Window {
 public:
  static constexpr int kWidth = 45, kHeight = 12;

  explicit PrinterWindow(PrinterSetup& setup)
      : tk::Window(tk::Rect{0, 0, kWidth, kHeight}, setup.ui.texts("PRTRTITLE")),
        setup_(setup),
        printers_(ListedPrinterNames(&empty_reason_)) {
    const InterfaceTexts& texts = setup.ui.texts;
    Center(setup.ui.wm.ScreenSize());
    Add<tk::Label>(tk::Rect{1, 1, 10, 1}, texts("PRTR"));
    // Shows the selection; what is typed here is never taken.
    name_ = &Add<tk::TextField>(tk::Rect{12, 1, 30, 1}, 30);
    name_->SetReadOnly(true);
    name_->SetText(setup.printing.PrinterName());
    list_ = &Add<tk::ListBox>(tk::Rect{1, 3, 24, 4});
    list_->select_command = printer_dialog::kFirstPrinter;
    list_->add_index = true;
    for (const std::string& name : printers_) list_->AddItem(name);
    if (printers_.empty()) ExplainEmptyList();
    Add<tk::Button>(tk::Rect{30, 3, 10, 1}, texts("MODE"), printer_dialog::kMode);
    Add<tk::Button>(tk::Rect{30, 5, 10, 1}, texts("FONT"), printer_dialog::kFont);
    Add<tk::Button>(tk::Rect{4, 8, 10, 1}, texts("OK"), cmd::kOk);
    Add<tk::Button>(tk::Rect{16, 8, 10, 1}, texts("CANCEL"), cmd::kCancel);
    Add<tk::Button>(tk::Rect{28, 8, 10, 1}, texts("HELP"), cmd::kHelp);
    // The list row of the preselected printer, without posting a pick.
    for (size_t k = 0; k < printers_.size(); ++k)
      if (strcasecmp(printers_[k].c_str(), setup.printing.PrinterName()) == 0) {
        list_->SetSelected(static_cast<int>(k));
        break;
      }
    SetFocus(list_);
  }

  int HandleEvent(const tk::Event& e) override {
    if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
    const int k = e.code - printer_dialog::kFirstPrinter;
    if (k >= 0 && k < static_cast<int>(printers_.size())) {
      setup_.printing.SetPrinterName(printers_[static_cast<size_t>(k)].c_str());
      name_->SetText(setup_.printing.PrinterName());
      return 0;
    }
    switch (e.code) {
      case cmd::kHelp: ShowHelp(setup_.ui.help, "PRTRHELP"); return 0;
      case printer_dialog::kFont: ChoosePrintFont(setup_); return 0;
      case printer_dialog::kMode: EditPrinterMode(setup_, setup_.printing.PrinterName()); return 0;
      case cmd::kExit: setup_.shell.RequestProgramEnd(); break;
      default: break;
    }
    return tk::Window::HandleEvent(e);
  }

 private:
  // An empty list says why, there and in the transfer log: printing cannot
  // go on, and the user should not have to guess.
  void ExplainEmptyList() {
    if (empty_reason_.empty()) empty_reason_ = "No printers are defined.";
    list_->selectable = false;
    for (std::string& row : WordRows(empty_reason_, 23)) list_->AddItem(std::move(row));
    setup_.log.AddStatusText("No printer to print on: " + empty_reason_);
  }

  PrinterSetup& setup_;
  std::string empty_reason_;  // set before printers_ is filled
  std::vector<std::string> printers_;
  tk::TextField* name_ = nullptr;
  tk::ListBox* list_ = nullptr;
};

}  // namespace

std::vector<std::string> ListedPrinterNames(std::string* empty_reason) {
  std::vector<std::string> names;
  platform::PrinterProfile profile = platform::LoadPrinterProfile();
  for (const platform::PrinterEntry& e : profile.devices)
    if (!e.name.empty() && e.name.size() < PrinterSelection::kNameSize) names.push_back(e.name);
  if (empty_reason != nullptr && names.empty())
    *empty_reason = !profile.empty_reason.empty() ? profile.empty_reason
                                                  : "No printer has a name short enough to use.";
  return names;
}

std::unique_ptr<platform::PrintDevice> RunPrinterDialog(PrinterSetup& setup) {
  Printing& printing = setup.printing;
  printing.SetPrinterName(DefaultPrinterName().c_str());
  int result = 0;
  {
    PrinterWindow window(setup);
    result = setup.ui.wm.RunModal(window, {cmd::kOk, cmd::kCloseModal});
  }
  // kCancel comes only from the program-end request, which the loop has put
  // back for the main loop: nothing is printed on a selection not confirmed.
  if (result == cmd::kCloseModal || result == cmd::kCancel) return nullptr;
  return CreatePrinterDC(printing.selection, setup.trace);
}

}  // namespace client::windows
