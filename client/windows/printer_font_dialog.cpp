#include "client/windows/printer_font_dialog.h"

#include <cmath>
#include <memory>

#include "client/engine/printer_selection.h"
#include "client/windows/message_dialog.h"
#include "platform/print/print_fonts.h"
#include "toolkit/button.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"

namespace client::windows {

namespace {

constexpr char kOwnSize[] = "Printer's";

// A button text as a window title: without its hot-key mark and dots.
std::string ButtonTitle(const std::string& text) {
  std::string title;
  for (char c : text)
    if (c != '&' && c != '.') title += c;
  return title.empty() ? "Font" : title;
}

class FontWindow : public tk::Window {
 public:
  FontWindow(tk::Size screen, const InterfaceTexts& texts, const std::vector<std::string>& families)
      : tk::Window(tk::Rect{0, 0, 61, 15}, ButtonTitle(texts("FONT"))) {
    Center(screen);
    Add<tk::Label>(tk::Rect{1, 0, 20, 1}, "F&amily:");
    families_ = &Add<tk::ListBox>(tk::Rect{1, 1, 32, 10});
    for (const std::string& f : families) families_->AddItem(f);
    if (families.empty()) families_->AddItem("monospace");
    families_->SetSelected(0);
    Add<tk::Label>(tk::Rect{35, 0, 10, 1}, "&Size:");
    sizes_ = &Add<tk::ListBox>(tk::Rect{35, 1, 11, 10});
    sizes_->AddItem(kOwnSize);
    for (int points : FontDialogSizes()) sizes_->AddItem(std::to_string(points));
    sizes_->SetSelected(0);
    bold_ = &Add<tk::CheckBox>(tk::Rect{48, 1, 11, 1}, "&Bold", 0);
    italic_ = &Add<tk::CheckBox>(tk::Rect{48, 3, 11, 1}, "&Italic", 0);
    Add<tk::Button>(tk::Rect{14, 12, 10, 1}, texts("OK"), cmd::kOk);
    Add<tk::Button>(tk::Rect{30, 12, 10, 1}, texts("CANCEL"), cmd::kCancel);
    SetFocus(families_);
  }

  FontChoice Chosen() const {
    FontChoice c;
    c.family = families_->Item(families_->Selected() < 0 ? 0 : families_->Selected());
    const int size = sizes_->Selected();
    c.points = size <= 0 ? 0 : FontDialogSizes()[static_cast<size_t>(size - 1)];
    c.bold = bold_->Checked();
    c.italic = italic_->Checked();
    return c;
  }

 private:
  tk::ListBox* families_ = nullptr;
  tk::ListBox* sizes_ = nullptr;
  tk::CheckBox* bold_ = nullptr;
  tk::CheckBox* italic_ = nullptr;
};

int ScaleToDeviceUnits(int value, int dpi) {
  if (dpi <= 0) return value;
  return static_cast<int>(
      std::lround(static_cast<double>(value) * platform::kDeviceUnitsPerInch / dpi));
}

}  // namespace

const std::vector<int>& FontDialogSizes() {
  static const std::vector<int> sizes = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36};
  return sizes;
}

bool RunFontDialog(tk::WindowManager& wm, const InterfaceTexts& texts,
                   const std::vector<std::string>& families, FontChoice* choice) {
  FontWindow window(wm.ScreenSize(), texts, families);
  if (wm.RunModal(window, {cmd::kOk, cmd::kCloseModal}) != cmd::kOk) return false;
  *choice = window.Chosen();
  return true;
}

platform::PrintFont PrintFontFor(const FontChoice& choice, int default_char_height,
                                 int default_average_width, int dpi_x, int dpi_y, bool* no_width) {
  *no_width = false;
  int height = static_cast<int>(std::lround(choice.points * static_cast<double>(dpi_y) / 72.0));
  // A chosen size keeps width 0: the family's own proportions at that height.
  int width = 0;
  if (height == 0) {
    height = default_char_height;
    width = default_average_width;
    *no_width = width == 0;
  }
  platform::PrintFont font;
  font.family = choice.family;
  font.height = ScaleToDeviceUnits(height, dpi_y);
  font.width = ScaleToDeviceUnits(width, dpi_x);
  font.bold = choice.bold;
  font.italic = choice.italic;
  return font;
}

void ChoosePrintFont(PrinterSetup& setup) {
  PrinterSetupHooks& hooks = setup.printing.hooks;
  // The device is released when this returns, whatever the outcome.
  std::unique_ptr<platform::PrintDevice> device =
      hooks.create_device ? hooks.create_device()
                          : CreatePrinterDC(setup.printing.selection, setup.trace);
  if (!device) {
    setup.shell.ShowDialog("Cannot OpenPrinter", "ZEZUVODU", kButtonOk);
    return;
  }
  std::vector<std::string> families =
      hooks.list_families ? hooks.list_families() : platform::ListFontFamilies();
  FontChoice choice;
  if (!RunFontDialog(setup.ui.wm, setup.ui.texts, families, &choice)) return;

  PrinterSelection& selection = setup.printing.selection;
  selection.printer_font.reset();
  int char_height = 0, average_width = 0;
  device->DefaultFontMetrics(&char_height, &average_width);
  bool no_width = false;
  // Device metrics are already in units of 600 per inch.
  platform::PrintFont font =
      PrintFontFor(choice, char_height, average_width, platform::kDeviceUnitsPerInch,
                   platform::kDeviceUnitsPerInch, &no_width);
  if (no_width) setup.shell.ShowDialog("Width ain't gonna work", "ZEZUVODU", kButtonOk);
  selection.printer_font = std::make_unique<platform::PrintFont>(font);
}

}  // namespace client::windows
