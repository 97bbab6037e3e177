#include "config/session_dialog.h"

#include <algorithm>
#include <vector>

#include "config/config_texts.h"
#include "config/text_dialogs.h"

namespace config {

namespace {

constexpr int kWidth = 84;  // rows of 80 characters
constexpr int kMaxExplanationRows = 5;
constexpr int kWhereLength = 200;
constexpr int kPathLength = 200;
constexpr const char* kDefaultCodePage = "(emulator default)";

std::string Hint(common::SessionKind kind) {
  switch (kind) {
    case common::SessionKind::kS3270:
      return "HOST:PORT of the host, e.g. mainframe.example.com:992";
    case common::SessionKind::kScript:
      return "the emulator's script port: PORT or 127.0.0.1:PORT (the rest is the emulator's)";
    case common::SessionKind::kSim: {
      std::string hint = "the directory holding the job files";
      return common::SessionKindOffered(common::SessionKind::kS3270)
                 ? hint + " (the rest is for s3270)"
                 : hint;
    }
  }
  return "";
}

// A kind's button: its label and the room it takes in the row.
struct KindButton {
  common::SessionKind kind;
  const char* label;
  int command;
  int width;
};
constexpr KindButton kKindButtons[] = {
    {common::SessionKind::kS3270, "s&3270", SessionDialog::kCmdS3270, 14},
    {common::SessionKind::kScript, "s&cript port", SessionDialog::kCmdScript, 18},
    {common::SessionKind::kSim, "built-in &host", SessionDialog::kCmdSim, 18},
};

}  // namespace

SessionDialog::SessionDialog(tk::WindowManager& wm, const std::string& explanation,
                             const std::string& path)
    : Window({0, 0, kWidth, 10}, "Session A"), wm_(wm), path_(path), file_(ReadSessionsFile(path)) {
  tk::Size screen = wm.ScreenSize();
  int width = std::min(kWidth, std::max(screen.cols - 1, 40));  // whole on the screen
  int inner = width - 4;
  std::vector<std::string> rows = DialogRows(explanation, static_cast<size_t>(inner));
  if (static_cast<int>(rows.size()) > kMaxExplanationRows) rows.resize(kMaxExplanationRows);
  int y = 0;
  for (const std::string& row : rows) Add<tk::Text>(tk::Rect{1, y++, inner, 1}, row);
  if (!rows.empty()) ++y;

  std::string now = FindSessionLine(file_.text, kLetter);
  Add<tk::Text>(tk::Rect{1, y++, inner, 1}, "Sessions file: " + path_);
  std::string shown = !file_.readable ? "cannot be read"
                      : now.empty()   ? "no line for session A"
                                      : now;
  Add<tk::Text>(tk::Rect{1, y++, inner, 1}, "Now:  " + shown);
  ++y;

  kinds_ = &Add<tk::RadioGroup>(tk::Rect{1, y, inner, 2}, "Session A is");
  int x = 2;
  for (common::SessionKind kind : kinds_offered_) {
    for (const KindButton& b : kKindButtons) {
      if (b.kind != kind) continue;
      kinds_->AddButton({x, 1}, b.label, b.command);
      x += b.width;
    }
  }
  y += 3;
  Add<tk::Label>(tk::Rect{1, y, 8, 1}, "&Where:");
  where_ = &Add<tk::TextField>(tk::Rect{9, y, inner - 8, 1}, kWhereLength);
  ++y;
  hint_ = &Add<tk::Text>(tk::Rect{9, y++, inner - 8, 1});
  if (common::SessionKindOffered(common::SessionKind::kS3270)) AddS3270Fields(y, inner);
  status_ = &Add<tk::StatusLine>(tk::Rect{1, y++, inner, 1});
  ++y;
  int left = (inner + 2 - 24) / 2;
  Add<tk::Button>(tk::Rect{left, y, 10, 1}, "&Write", tk::cmd::kOk);
  Add<tk::Button>(tk::Rect{left + 14, y, 10, 1}, "&Skip", tk::cmd::kCancel);
  SetRect({0, 0, width, y + 3});
  Center(screen);

  ShowLine(now);
  SetFocus(where_);
  if (!file_.readable) {
    status_->SetText(file_.error);
    SetTitle("Session A (the sessions file cannot be read)");
  }
}

// The two rows of what only an s3270 line takes, from row y on.
void SessionDialog::AddS3270Fields(int& y, int inner) {
  tls_ = &Add<tk::CheckBox>(tk::Rect{1, y, 9, 1}, "&TLS", kCmdTls);
  verify_ = &Add<tk::CheckBox>(tk::Rect{11, y, 28, 1}, "&Verify the certificate", kCmdVerify, true);
  Add<tk::Label>(tk::Rect{40, y, 9, 1}, "CA &file:");
  cafile_ = &Add<tk::TextField>(tk::Rect{49, y, inner - 48, 1}, kPathLength);
  ++y;
  Add<tk::Label>(tk::Rect{1, y, 9, 1}, "&LU name:");
  lu_ = &Add<tk::TextField>(tk::Rect{10, y, 10, 1}, 8);
  Add<tk::Label>(tk::Rect{22, y, 11, 1}, "C&ode page:");
  codepage_ = &Add<tk::DropDownList>(tk::Rect{33, y, 22, 1}, kCmdCodePage, 8);
  codepage_->AddItem(kDefaultCodePage);
  for (const std::string& page : common::session_options::HostCodePages()) codepage_->AddItem(page);
  Add<tk::Label>(tk::Rect{57, y, 7, 1}, "&Model:");
  model_ = &Add<tk::DropDownList>(tk::Rect{64, y, 16, 1}, kCmdModel, 4);
  for (const char* m : {"2 (24 x 80)", "3 (32 x 80)", "4 (43 x 80)", "5 (27 x 132)"})
    model_->AddItem(m);
  ++y;
}

// The fields start from what the line says now; a line of a kind this system
// does not offer leaves them at the first kind that it does.
void SessionDialog::ShowLine(const std::string& now) {
  std::vector<std::string> words = common::SessionLineWords(now);
  common::SessionKind kind = kind_;
  if (words.size() >= 3 && common::ParseSessionKind(words[1], &kind) &&
      common::SessionKindOffered(kind)) {
    kind_ = kind;
    where_->SetText(words[2]);
  }
  if (tls_ != nullptr) ShowS3270Choices(ChoicesOfLine(now));
  ShowKind(kind_);
}

void SessionDialog::ShowS3270Choices(const S3270Choices& choices) {
  tls_->SetChecked(choices.tls);
  verify_->SetChecked(choices.verify);
  cafile_->SetText(choices.cafile);
  lu_->SetText(choices.lu);
  if (choices.codepage.empty() || !codepage_->SelectText(choices.codepage))
    codepage_->SetSelected(0);
  model_->SetSelected(choices.model - 2);
}

void SessionDialog::ShowKind(common::SessionKind kind) {
  kind_ = kind;
  for (size_t i = 0; i < kinds_offered_.size(); ++i)
    if (kinds_offered_[i] == kind) kinds_->SetChecked(static_cast<int>(i));
  hint_->SetText(Hint(kind));
}

bool SessionDialog::Run() {
  return wm_.RunModal(*this, {tk::cmd::kOk, tk::cmd::kCloseModal}) == tk::cmd::kOk;
}

// Nothing is written: the reason in a message box and on the status line,
// and the field to correct, when there is one, entered with its text selected.
int SessionDialog::Refuse(const std::string& reason, tk::Control* field) {
  status_->SetText(reason);
  ShowMessageBox(wm_, reason);
  if (field != nullptr) EnterControl(field);
  return 0;
}

int SessionDialog::Write() {
  // Writing over a file we could not read could lose its other lines.
  if (!file_.readable) return Refuse("Not written: " + file_.error, nullptr);
  std::string target, reason;
  if (!MakeSessionTarget(kind_, where_->GetText(), &target, &reason)) return Refuse(reason, where_);
  S3270Choices choices;
  if (kind_ == common::SessionKind::kS3270) {
    const std::string page =
        codepage_->Selected() > 0 ? codepage_->Item(codepage_->Selected()) : "";
    if (!MakeS3270Choices(tls_->Checked(), verify_->Checked(), cafile_->GetText(), lu_->GetText(),
                          page, model_->Selected() + 2, &choices, &reason))
      return Refuse(reason, nullptr);
  }
  std::string text = ReplaceSessionLine(file_.text, kLetter, kind_, target, choices);
  // The line as the providers will read it, by the one grammar they use.
  const std::string line = FindSessionLine(text, kLetter);
  common::SessionLine parsed;
  if (!common::ParseSessionLine(common::SessionLineWords(line), &parsed, &reason))
    return Refuse("Not written: " + reason, where_);
  if (!WriteSessionsFile(path_, text, &reason)) return Refuse(reason, nullptr);
  return tk::cmd::kOk;
}

int SessionDialog::HandleEvent(const tk::Event& e) {
  if (e.kind == tk::EventKind::kCommand) {
    switch (e.code) {
      case kCmdS3270: ShowKind(common::SessionKind::kS3270); return 0;
      case kCmdScript: ShowKind(common::SessionKind::kScript); return 0;
      case kCmdSim: ShowKind(common::SessionKind::kSim); return 0;
      case tk::cmd::kOk: return Write();
      default: break;
    }
  }
  return Window::HandleEvent(e);
}

bool OfferSessionLine(tk::WindowManager& wm, const std::string& explanation) {
  SessionDialog dialog(wm, explanation, common::SessionsFilePath());
  return dialog.Run();
}

}  // namespace config
