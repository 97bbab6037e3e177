#include "client/windows/run_client.h"

#include "client/windows/about_window.h"
#include "client/windows/client_app.h"
#include "client/windows/interface_windows.h"
#include "client/windows/main_window.h"

namespace client::windows {

int RunClient(int argc, const char* const* argv, tk::Display& display,
              const std::string& program_dir, const common::Tracer* trace) {
  ClientApp app(display);
  if (trace) app.trace = *trace;
  app.messages.SetShowFailure([&app](const char* text) { app.ShowDialog(text, "", 0); });
  StartClient(app, argc, argv, program_dir);
  InstallTransferEngine(app);
  app.commands.interface_settings = [&app] {
    RunInterfaceSettingsWindow(app.ui, *app.connection, app.state.program_dir);
  };
  app.commands.session_parameters = [&app] { RunSessionParametersWindow(app.ui, *app.connection); };
  app.OpenMainWindow();
  if (app.state.start_unattended) {
    // Asked for on the command line: polling starts without the dialog.
    if (app.settings_loaded) app.engine.RunUnattended();
  } else {
    RunAboutWindow(app.ui, app.state, "BMPhello", false);
  }
  if (app.settings_loaded && !app.wm.EndRequested()) app.wm.Run();

  EndClient(app);
  app.wm.Remove(*app.main_window);
  return 0;
}

}  // namespace client::windows
