// FONT: the print font, chosen from the installed families and a list of
// point sizes; the result is the selection's printer_font.
#pragma once

#include <string>
#include <vector>

#include "client/windows/window_context.h"
#include "platform/print/print_device.h"
#include "toolkit/window_manager.h"

namespace client::windows {

struct FontChoice {
  std::string family;
  int points = 0;  // 0: the printer's own size
  bool bold = false;
  bool italic = false;
};

// The sizes offered after "the printer's own".
const std::vector<int>& FontDialogSizes();

// Shows families (in the order given) and sizes, starting on the first
// family and the printer's own size. OK fills *choice and returns true.
bool RunFontDialog(tk::WindowManager& wm, const InterfaceTexts& texts,
                   const std::vector<std::string>& families, FontChoice* choice);

// The print font for a choice, in units of 600 per inch. The choice's size
// becomes a height in device pixels at dpi_y; a choice without a size takes
// the device's default character height and average width (in device
// pixels), and *no_width is set when that width is 0 (the font is made
// anyway, with the family's own proportions). Both dimensions are then
// scaled by 600 / the device's dots per inch, rounded to nearest.
platform::PrintFont PrintFontFor(const FontChoice& choice, int default_char_height,
                                 int default_average_width, int dpi_x, int dpi_y, bool* no_width);

// The FONT action: confirmed, the old printer_font is deleted and the new
// one takes its place; cancelled, nothing changes.
void ChoosePrintFont(PrinterSetup& setup);

}  // namespace client::windows
