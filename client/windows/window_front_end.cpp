#include "client/windows/window_front_end.h"

#include "client/engine/text_format.h"
#include "common/trace.h"
#include "platform/clock.h"
#include "toolkit/button.h"

namespace client::windows {

// The host link reports the user's Cancel from its waits by this code.
static_assert(hostlink::HostServices::kCancel == cmd::kCancel);

TransferWindow::TransferWindow(DialogKit& ui, TransferEngine& engine,
                               const std::string& destination)
    : tk::Window({0, 0, kWidth, kHeight}, ui.texts("XFRTITLE")), engine_(engine) {
  const InterfaceTexts& texts = ui.texts;
  Center(ui.wm.ScreenSize());
  const JobHeader& h = engine.header;
  std::string job = FormatTexts(texts("XFRING"), {h.job_prefix, h.job_ident});
  if (job.size() > 45) job.resize(45);
  Add<tk::Text>(tk::Rect{1, 1, 45, 1}, job);
  Add<tk::Text>(tk::Rect{1, 2, 45, 1}, FormatTexts(texts("XFRTO"), {destination.c_str()}));
  pages_ = &Add<tk::NumberText>(tk::Rect{1, 3, 12, 1});
  Add<tk::Label>(tk::Rect{14, 3, 20, 1}, texts("XFRPAGE"));
  lines_ = &Add<tk::NumberText>(tk::Rect{1, 4, 12, 1});
  Add<tk::Label>(tk::Rect{14, 4, 20, 1}, texts("XFRLINE"));
  chars_ = &Add<tk::NumberText>(tk::Rect{1, 5, 12, 1});
  Add<tk::Label>(tk::Rect{14, 5, 20, 1}, texts("XFRCHAR"));
  bar_ = &Add<ProgressBar>(1, 6, 45, 0);
  Add<tk::Button>(tk::Rect{13, 8, 10, 1}, texts("CANCEL"), cmd::kCancel);
  cancel_closes = false;
}

int TransferWindow::HandleEvent(const tk::Event& e) {
  bool cancel = (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) ||
                e.kind == tk::EventKind::kClose;
  if (!cancel) return tk::Window::HandleEvent(e);
  engine_.CancelJob();
  return cmd::kCancel;
}

void TransferWindow::ShowCounts(const TransferCounts& c, bool paint) {
  pages_->SetValue(c.pages);
  lines_->SetValue(c.lines);
  chars_->SetValue(c.characters);
  if (paint && Manager()) Manager()->Redraw();
}

WindowFrontEnd::WindowFrontEnd(DialogKit& ui, tk::EventQueue& queue, ClientShell& shell,
                               TransferEngine& engine)
    : ui_(ui), queue_(queue), shell_(shell), engine_(engine) {}

WindowFrontEnd::~WindowFrontEnd() {
  if (window_) ui_.wm.Remove(*window_);
}

void WindowFrontEnd::ShowStatus(const std::string& text) { shell_.SetStatus(text); }

int WindowFrontEnd::ShowMessage(const std::string& text, const char* help_key, unsigned buttons) {
  return shell_.ShowMessage(text, help_key, buttons);
}

void WindowFrontEnd::JobStarted(const std::string& destination) {
  window_ = std::make_unique<TransferWindow>(ui_, engine_, destination);
  ui_.wm.Add(*window_);
  window_->Bar().SetPercent(0);
  ui_.wm.Redraw();
}

void WindowFrontEnd::JobProgress(const TransferCounts& counts, int percent) {
  if (!window_) return;
  // A job of a thousand screens would spend its time repainting: the bar
  // moves (and paints) only when its percentage does, the counts are painted
  // at most every 50 ms.
  constexpr uint64_t kPaintEveryMs = 50;
  int q = percent * 2 / 5;
  if (q >= 1 && q < 40 && percent != window_->Bar().Percent()) window_->Bar().SetPercent(percent);
  uint64_t now = platform::MonotonicMs();
  bool paint = now - last_paint_ms_ >= kPaintEveryMs;
  if (paint) last_paint_ms_ = now;
  window_->ShowCounts(counts, paint);
}

void WindowFrontEnd::JobEnded() {
  if (window_) ui_.wm.Remove(*window_);
  window_.reset();
  ui_.wm.Redraw();
}

UserTurn WindowFrontEnd::ServeUser(int timeout_ms) {
  tk::Event e;
  if (!(timeout_ms > 0 ? queue_.Wait(e, timeout_ms) : queue_.Poll(e))) return UserTurn::kNothing;
  if (e.kind == tk::EventKind::kQuit) {
    ui_.wm.Dispatch(e);  // recorded: the loops end once the work in hand returns
    return UserTurn::kQuit;
  }
  if (window_) {
    // During a job only its window takes input; the screen is still redrawn.
    if (e.kind == tk::EventKind::kRedisplay)
      ui_.wm.Dispatch(e);
    else
      window_->Deliver(e);
    return UserTurn::kServed;
  }
  if (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) return UserTurn::kCancel;
  ui_.wm.Dispatch(e);
  ui_.wm.Redraw();
  return UserTurn::kServed;
}

bool WindowFrontEnd::EndRequested() const { return ui_.wm.EndRequested(); }

}  // namespace client::windows
