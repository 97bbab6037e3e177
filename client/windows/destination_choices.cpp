#include "client/windows/destination_choices.h"

#include "client/engine/client_state.h"
#include "client/engine/interface_texts.h"
#include "toolkit/button.h"

namespace {
constexpr int kReplace = 11301, kRefuse = 11302, kRename = 11303, kToPrinter = 11305,
              kToFile = 11306;
}  // namespace

void AddDestinationChoices(tk::Window& window, const ClientState& st, const InterfaceTexts& texts,
                           int dest_y, int dupl_y, int dupl_width) {
  auto& dest = window.Add<tk::RadioGroup>(tk::Rect{1, dest_y, 40, 2}, texts("DWNDEST"));
  if (st.to_printer) {
    dest.AddButton({21, 1}, texts("DWNTOPRTR"), kToPrinter);
    dest.AddButton({2, 1}, texts("DWNTOFILE"), kToFile);
  } else {
    dest.AddButton({2, 1}, texts("DWNTOFILE"), kToFile);
    dest.AddButton({21, 1}, texts("DWNTOPRTR"), kToPrinter);
  }
  auto& dupl = window.Add<tk::RadioGroup>(tk::Rect{1, dupl_y, dupl_width, 4}, texts("DWNDUPL"));
  dupl.AddButton({2, 1}, texts("DWNREP"), kReplace);
  dupl.AddButton({2, 2}, texts("DWNCAN"), kRefuse);
  dupl.AddButton({2, 3}, texts("DWNREN"), kRename);
  dupl.SetChecked(static_cast<int>(st.duplicate_option));
}

bool TakeDestinationChoice(int code, ClientState& st) {
  switch (code) {
    case kToPrinter: st.to_printer = true; return true;
    case kToFile: st.to_printer = false; return true;
    case kReplace: st.duplicate_option = DuplicateOption::kReplace; return true;
    case kRefuse: st.duplicate_option = DuplicateOption::kCancel; return true;
    case kRename: st.duplicate_option = DuplicateOption::kRename; return true;
    default: return false;
  }
}
