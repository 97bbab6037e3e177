#include "client/windows/window_front_end.h"

#include "client/engine/text_format.h"
#include "client/windows/client_app.h"
#include "client/windows/job_dialog.h"
#include "client/windows/log_window.h"
#include "client/windows/unattended_dialog.h"
#include "common/trace.h"
#include "platform/clock.h"
#include "toolkit/button.h"

// The host link reports the user's Cancel from its waits by this code.
static_assert(hostlink::HostServices::kCancel == cmd::kCancel);

TransferWindow::TransferWindow(ClientApp& app, const std::string& destination)
    : tk::Window({0, 0, kWidth, kHeight}, app.texts("XFRTITLE")), app_(app) {
  Center(app.wm.ScreenSize());
  const JobHeader& h = app.engine.header;
  std::string job = FormatTexts(app.texts("XFRING"), {h.job_prefix, h.job_ident});
  if (job.size() > 45) job.resize(45);
  Add<tk::Text>(tk::Rect{1, 1, 45, 1}, job);
  Add<tk::Text>(tk::Rect{1, 2, 45, 1}, FormatTexts(app.texts("XFRTO"), {destination.c_str()}));
  pages_ = &Add<tk::NumberText>(tk::Rect{1, 3, 12, 1});
  Add<tk::Label>(tk::Rect{14, 3, 20, 1}, app.texts("XFRPAGE"));
  lines_ = &Add<tk::NumberText>(tk::Rect{1, 4, 12, 1});
  Add<tk::Label>(tk::Rect{14, 4, 20, 1}, app.texts("XFRLINE"));
  chars_ = &Add<tk::NumberText>(tk::Rect{1, 5, 12, 1});
  Add<tk::Label>(tk::Rect{14, 5, 20, 1}, app.texts("XFRCHAR"));
  bar_ = &Add<ProgressBar>(1, 6, 45, 0);
  Add<tk::Button>(tk::Rect{13, 8, 10, 1}, app.texts("CANCEL"), cmd::kCancel);
  cancel_closes = false;
}

int TransferWindow::HandleEvent(const tk::Event& e) {
  bool cancel = (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) ||
                e.kind == tk::EventKind::kClose;
  if (!cancel) return tk::Window::HandleEvent(e);
  app_.engine.CancelJob();
  return cmd::kCancel;
}

void TransferWindow::ShowCounts(const TransferCounts& c, bool paint) {
  pages_->SetValue(c.pages);
  lines_->SetValue(c.lines);
  chars_->SetValue(c.characters);
  if (paint && Manager()) Manager()->Redraw();
}

WindowFrontEnd::WindowFrontEnd(ClientApp& app) : app_(app) {}

WindowFrontEnd::~WindowFrontEnd() {
  if (window_) app_.wm.Remove(*window_);
}

void WindowFrontEnd::ShowStatus(const std::string& text) { app_.SetStatus(text); }

int WindowFrontEnd::ShowMessage(const std::string& text, const char* help_key, unsigned buttons) {
  return ::ShowMessage(app_, text, help_key, buttons);
}

void WindowFrontEnd::JobStarted(const std::string& destination) {
  window_ = std::make_unique<TransferWindow>(app_, destination);
  app_.wm.Add(*window_);
  window_->Bar().SetPercent(0);
  app_.wm.Redraw();
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
  if (window_) app_.wm.Remove(*window_);
  window_.reset();
  app_.wm.Redraw();
}

UserTurn WindowFrontEnd::ServeUser(int timeout_ms) {
  tk::Event e;
  if (!(timeout_ms > 0 ? app_.queue.Wait(e, timeout_ms) : app_.queue.Poll(e)))
    return UserTurn::kNothing;
  if (e.kind == tk::EventKind::kQuit) {
    app_.wm.Dispatch(e);  // recorded: the loops end once the work in hand returns
    return UserTurn::kQuit;
  }
  if (window_) {
    // During a job only its window takes input; the screen is still redrawn.
    if (e.kind == tk::EventKind::kRedisplay)
      app_.wm.Dispatch(e);
    else
      window_->Deliver(e);
    return UserTurn::kServed;
  }
  if (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) return UserTurn::kCancel;
  app_.wm.Dispatch(e);
  app_.wm.Redraw();
  return UserTurn::kServed;
}

bool WindowFrontEnd::EndRequested() const { return app_.wm.EndRequested(); }

void InstallTransferEngine(ClientApp& app) {
  app.front_end = std::make_unique<WindowFrontEnd>(app);
  app.engine.SetFrontEnd(app.front_end.get());
  // Menu commands stay live during a job (its waits dispatch events), but a
  // second conversation on the same host session would garble both.
  app.commands.immediate = [&app] {
    if (app.engine.running)
      app.wm.Beep();
    else
      ImmediateTransfer(app);
  };
  app.commands.unattended = [&app] {
    if (app.engine.running)
      app.wm.Beep();
    else
      UnattendedOperation(app);
  };
  app.commands.transfer_log = [&app] { ShowTransferLog(app); };
  app.engine.ServeHostLink(app.services);
}
