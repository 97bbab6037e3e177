// The one link between the client and the host session: its settings (read
// from and saved to the registry), the adapter, and a lazy connect on the first
// host operation, re-opened when it is lost. Torn down by Terminate
// ("EM3270terminate").
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/trace.h"
#include "hostlink/emulator_request.h"
#include "hostlink/hllapi_layer.h"
#include "hostlink/host_services.h"
#include "hostlink/screen_codec.h"

namespace hostlink {

extern const char* const kInterfaceSettingsKey;  // SOFTWARE\VORNTEK\QORPRT
// The adapter when the settings name none: its built-in host serves the
// sample jobs, for trying the program.
extern const char* const kDefaultLibrary;  // RAZEVU3.DLL

class HostConnection {
 public:
  static constexpr size_t kSessionParametersMax = 255;
  static constexpr size_t kLibraryNameMax = 63;
  // Screens up to this many positions fit the copy buffer.
  static constexpr size_t kScreenWorkSize = 3841;

  // Reads the interface settings from the registry. Traces into trace, which
  // the settings' DEBUG value starts on "QORPRTW.SCR".
  HostConnection(const std::string& settings_path, const HostServices* services,
                 common::Tracer& trace);
  ~HostConnection();
  HostConnection(const HostConnection&) = delete;
  HostConnection& operator=(const HostConnection&) = delete;

  // Reads what can be used; settings_problem says why the rest cannot.
  void ReadInterfaceSettings(const char* key_path);
  // The same reading without a connection, for a check before anything
  // starts: why the settings cannot be used ("" when they can), and whether
  // they name an adapter (value DLL). What the registry reports goes to trace.
  static std::string CheckInterfaceSettings(const char* key_path, bool* library_named,
                                            const common::Tracer& trace);
  void SaveInterfaceSettings(const char* key_path = nullptr);
  // The session parameters, none when unset or longer than 255 characters.
  std::optional<std::string> GetSessionParameters() const;
  void SetSessionParameters(const char* text);

  // Connects when not connected. True when the session is open afterwards;
  // the connect result (1 connected, below 1 failed) goes to *result.
  bool EnsureOpen(int* result = nullptr);
  int OpenLink();  // 1 connected, below 1 failed
  void CloseNetworkLink() {}
  // The session was found gone (host closed it, emulator died): the next host
  // operation opens it afresh.
  void SessionLost();
  // Ends the session on purpose, so that the host gives up whatever it was
  // sending; the next host operation opens a new one.
  void ResetSession();
  // True from a loss until the session is open again.
  bool Lost() const { return lost_; }
  // The request's error text cut to 511 characters, "" when there is none.
  std::string ErrorText() const;
  // "EM3270terminate": disconnect, unload the adapter, forget the settings.
  void Terminate();

  // Settings. The registry may hold more (network names, logon texts, a
  // delay); the 3270 link has no use for them.
  int session_number = 1;
  int timeout = 30;
  int flicker = 5;
  char session_type = 0;  // first letter of "LOOP"
  std::string library_name = " ";
  bool library_named = false;  // by the settings; else the default adapter
  // Why the settings cannot be used as they are: the registry file cannot be
  // read, or a value is longer than it may be (it was skipped). "" when fine.
  std::string settings_problem;
  std::string settings_path;

  // State.
  common::Tracer& trace;
  bool connected = false;
  bool adapter_loaded = false;
  EmulatorRequest request{};
  HllapiLayer layer;
  const HostServices* services;
  // The last screen handed out by Get screen (valid until the next one).
  std::string result;
  // Why the last screen read cannot be trusted as data ("" when nothing is wrong).
  std::string screen_problem;
  // Screen transport: length-prefixed screens ("/CUT"), the run-length carry
  // that continues from one screen into the next, and the copy buffer.
  bool length_prefix = false;
  screen_codec::RunLengthExpander expander;
  std::vector<char> screen_work = std::vector<char>(kScreenWorkSize, '\0');

  char SessionLetter() const { return static_cast<char>('@' + session_number); }
  // The word saved for the session type, and the word the settings window shows.
  static const char* SavedKindWord(char type);
  static const char* ShownKindWord(char type);

 private:
  void ApplySetting(const std::string& name, const std::string& data);
  bool LoadNamedAdapter();
  void ProbeStructuredFields();
  bool Stopping() const;
  int32_t SessionKind() const;
  std::unique_ptr<std::string> session_parameters_;
  bool terminated_ = false;
  bool lost_ = false;
};

}  // namespace hostlink

// The client's message-loop procedure for adapters that take one: dispatches
// pending events; 1 when the queue is empty, 0 when the program-end request came.
// The adapter calls it without context, so the services it pumps are the one
// registration of the process (made by the connection of session type 'I').
extern "C" int QOR_CALL MsgLoopProc(int);
