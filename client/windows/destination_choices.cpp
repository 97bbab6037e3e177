#include "client/windows/destination_choices.h"

#include <vector>

#include "client/engine/client_state.h"
#include "client/engine/interface_texts.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"

namespace client::windows {

namespace {
constexpr int kReplace = 11301, kRefuse = 11302, kRename = 11303, kToPrinter = 11305,
              kToFile = 11306, kToCommand = 11307, kToPdf = 11308;
constexpr size_t kCommandMax = 1000;

int CurrentDestination(const ClientState& st) {
  if (st.to_printer) return kToPrinter;
  if (st.to_command) return kToCommand;
  return st.pdf == PdfArchive::kOnly ? kToPdf : kToFile;
}
}  // namespace

tk::TextField& AddDestinationChoices(tk::Window& window, const ClientState& st,
                                     const InterfaceTexts& texts, int dest_y, int dupl_y,
                                     int dupl_width, int command_y) {
  auto& dest = window.Add<tk::RadioGroup>(tk::Rect{1, dest_y, 40, 3}, texts("DWNDEST"));
  struct Choice {
    tk::Point at;
    const char* key;
    int code;
  };
  const std::vector<Choice> choices = {{{2, 1}, "DWNTOFILE", kToFile},
                                       {{21, 1}, "DWNTOPRTR", kToPrinter},
                                       {{2, 2}, "DWNTOCMD", kToCommand},
                                       {{21, 2}, "DWNTOPDF", kToPdf}};
  const int current = CurrentDestination(st);
  for (const Choice& c : choices)
    if (c.code == current) dest.AddButton(c.at, texts(c.key), c.code);
  for (const Choice& c : choices)
    if (c.code != current) dest.AddButton(c.at, texts(c.key), c.code);
  auto& dupl = window.Add<tk::RadioGroup>(tk::Rect{1, dupl_y, dupl_width, 4}, texts("DWNDUPL"));
  dupl.AddButton({2, 1}, texts("DWNREP"), kReplace);
  dupl.AddButton({2, 2}, texts("DWNCAN"), kRefuse);
  dupl.AddButton({2, 3}, texts("DWNREN"), kRename);
  dupl.SetChecked(static_cast<int>(st.duplicate_option));
  window.Add<tk::Label>(tk::Rect{1, command_y, 12, 1}, texts("DWNCMD"));
  auto& field = window.Add<tk::TextField>(tk::Rect{13, command_y, 35, 1}, kCommandMax);
  field.SetText(st.command.line);
  return field;
}

bool TakeDestinationChoice(int code, ClientState& st) {
  // PDF file replaces the text file; a PDF beside it (--pdf) stays with File.
  auto to = [&](bool printer, bool command, bool pdf_only) {
    st.to_printer = printer;
    st.to_command = command;
    if (pdf_only) st.pdf = PdfArchive::kOnly;
    if (!pdf_only && st.pdf == PdfArchive::kOnly) st.pdf = PdfArchive::kNone;
  };
  switch (code) {
    case kToPrinter: to(true, false, false); return true;
    case kToFile: to(false, false, false); return true;
    case kToCommand: to(false, true, false); return true;
    case kToPdf: to(false, false, true); return true;
    case kReplace: st.duplicate_option = DuplicateOption::kReplace; return true;
    case kRefuse: st.duplicate_option = DuplicateOption::kCancel; return true;
    case kRename: st.duplicate_option = DuplicateOption::kRename; return true;
    default: return false;
  }
}

bool TakeCommandField(ClientState& st, ClientShell& shell, const tk::TextField& field) {
  st.command.line = field.GetText();
  if (!st.to_command) return true;
  std::vector<std::string> words;
  std::string problem;
  if (st.command.shell ? !st.command.line.empty()
                       : SplitCommandWords(st.command.line, &words, &problem))
    return true;
  if (problem.empty()) problem = "the command is empty";
  shell.ReportMessage("CMDERR", problem.c_str(), "HELP-706");
  return false;
}

}  // namespace client::windows
