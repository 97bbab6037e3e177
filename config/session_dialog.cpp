#include "config/session_dialog.h"

#include <algorithm>
#include <vector>

#include "config/config_texts.h"
#include "config/emulator_list.h"

namespace {

constexpr int kWidth = 84;  // rows of 80 characters
constexpr int kMaxExplanationRows = 6;
constexpr int kWhereLength = 200;

const char* Hint(SessionKindChoice kind) {
  switch (kind) {
    case SessionKindChoice::kS3270: return "HOST:PORT of the host, e.g. mainframe.example.com:23";
    case SessionKindChoice::kScript: return "the emulator's script port: PORT or 127.0.0.1:PORT";
    case SessionKindChoice::kSim: return "the directory holding the job files";
  }
  return "";
}

}  // namespace

SessionDialog::SessionDialog(tk::WindowManager& wm, const std::string& explanation,
                             const std::string& path)
    : Window({0, 0, kWidth, 10}, "Session A"), wm_(wm), path_(path), file_(ReadSessionsFile(path)) {
  tk::Size screen = wm.screen_size();
  int width = std::min(kWidth, std::max(screen.cols - 1, 40));  // whole on the screen
  int inner = width - 4;
  std::vector<std::string> rows = DialogRows(explanation, static_cast<size_t>(inner));
  if (static_cast<int>(rows.size()) > kMaxExplanationRows) rows.resize(kMaxExplanationRows);
  int y = 0;
  for (const std::string& row : rows) Add<tk::Text>(tk::Rect{1, y++, inner, 1}, row);
  if (!rows.empty()) ++y;

  std::string now = FindSessionLine(file_.text, kLetter);
  Add<tk::Text>(tk::Rect{1, y++, inner, 1}, "Sessions file: " + path_);
  std::string shown = !file_.readable ? "cannot be read" : now.empty() ? "no line for session A" : now;
  Add<tk::Text>(tk::Rect{1, y++, inner, 1}, "Now:  " + shown);
  ++y;

  kinds_ = &Add<tk::RadioGroup>(tk::Rect{1, y, inner, 2}, "Session A is");
  kinds_->AddButton({2, 1}, "s&3270", kCmdS3270);
  kinds_->AddButton({16, 1}, "s&cript port", kCmdScript);
  kinds_->AddButton({34, 1}, "built-in &host", kCmdSim);
  y += 3;
  Add<tk::Label>(tk::Rect{1, y, 8, 1}, "&Where:");
  where_ = &Add<tk::TextField>(tk::Rect{9, y, inner - 8, 1}, kWhereLength);
  ++y;
  hint_ = &Add<tk::Text>(tk::Rect{9, y++, inner - 8, 1});
  status_ = &Add<tk::StatusLine>(tk::Rect{1, y++, inner, 1});
  ++y;
  int left = (inner + 2 - 24) / 2;
  Add<tk::Button>(tk::Rect{left, y, 10, 1}, "&Write", tk::cmd::kOk);
  Add<tk::Button>(tk::Rect{left + 14, y, 10, 1}, "&Skip", tk::cmd::kCancel);
  set_rect({0, 0, width, y + 3});
  Center(screen);

  // Start from what the line says now.
  std::vector<std::string> words = SplitWords(now);
  if (words.size() >= 3) {
    if (words[1] == "script") kind_ = SessionKindChoice::kScript;
    if (words[1] == "sim") kind_ = SessionKindChoice::kSim;
    where_->set_text(words[2]);
  }
  ShowKind(kind_);
  SetFocus(where_);
  if (!file_.readable) {
    status_->set_text(file_.error);
    set_title("Session A (the sessions file cannot be read)");
  }
}

void SessionDialog::ShowKind(SessionKindChoice kind) {
  kind_ = kind;
  kinds_->set_checked(static_cast<int>(kind));
  hint_->set_text(Hint(kind));
}

bool SessionDialog::Run() { return wm_.RunModal(*this, {tk::cmd::kOk, tk::cmd::kCloseModal}) == tk::cmd::kOk; }

int SessionDialog::Write() {
  if (!file_.readable) {
    // Writing now could lose the lines we could not read.
    status_->set_text("Not written: " + file_.error);
    Beep();
    return 0;
  }
  std::string target, reason;
  if (!MakeSessionTarget(kind_, where_->text(), &target, &reason)) {
    status_->set_text(reason);
    Beep();
    SetFocus(where_);
    return 0;
  }
  std::string text = ReplaceSessionLine(file_.text, kLetter, kind_, target);
  if (!WriteSessionsFile(path_, text, &reason)) {
    status_->set_text(reason);
    Beep();
    return 0;
  }
  return tk::cmd::kOk;
}

int SessionDialog::HandleEvent(const tk::Event& e) {
  if (e.kind == tk::EventKind::kCommand) {
    switch (e.code) {
      case kCmdS3270: ShowKind(SessionKindChoice::kS3270); return 0;
      case kCmdScript: ShowKind(SessionKindChoice::kScript); return 0;
      case kCmdSim: ShowKind(SessionKindChoice::kSim); return 0;
      case tk::cmd::kOk: return Write();
      default: break;
    }
  }
  return Window::HandleEvent(e);
}

bool OfferSessionLine(tk::WindowManager& wm, const std::string& explanation) {
  SessionDialog dialog(wm, explanation, SessionsFilePath());
  return dialog.Run();
}
