// The one link between the client and the host session: its settings (read
// from and saved to the registry), the adapter, and a lazy connect on the first
// host operation. Torn down by Terminate ("EM3270terminate").
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostlink/emulator_request.h"
#include "hostlink/hllapi_layer.h"
#include "hostlink/host_services.h"

extern const char* const kInterfaceSettingsKey;  // SOFTWARE\VORNTEK\QORPRT

class CONNECT3270 {
 public:
  static constexpr size_t kSessionParametersMax = 255;
  static constexpr size_t kLibraryNameMax = 63;

  // Reads the interface settings from the registry.
  CONNECT3270(const std::string& settings_path, const HostServices* services);
  ~CONNECT3270();
  CONNECT3270(const CONNECT3270&) = delete;
  CONNECT3270& operator=(const CONNECT3270&) = delete;

  void ReadInterfaceSettings(const char* key_path);
  void SaveInterfaceSettings(const char* key_path = nullptr);
  // A copy in a process-wide 256-byte buffer, or null when none or too long.
  const char* GetSessionParameters() const;
  void SetSessionParameters(const char* text);

  int OpenLink();  // 1 connected, below 1 failed
  // The session was found gone (host closed it, emulator died): the next host
  // operation opens it afresh.
  void SessionLost();
  // Ends the session on purpose, so that the host gives up whatever it was
  // sending; the next host operation opens a new one.
  void ResetSession();
  // True from a loss until the session is open again.
  bool lost() const { return lost_; }
  void CloseNetworkLink() {}
  // The request's error text cut to 511 characters, or null.
  const char* ErrorText() const;
  // "EM3270terminate": disconnect, unload the adapter, forget the settings.
  void Terminate();

  // Settings.
  int session_number = 1;
  int timeout = 30;
  int flicker = 5;
  int delay = 100;
  int logon_number = 1;
  int network_port = 4097;
  int network_buffer = 1000;
  int network_retry = 15;
  char connection_choice = ' ';
  char session_type = 0;  // first letter of "LOOP"
  char link_kind = '2';
  std::string library_name = " ";
  std::unique_ptr<std::string> logon_text;
  std::unique_ptr<std::string> logoff_text;
  std::string network_name, network_net_name;
  std::string settings_path;

  // State.
  bool connected = false;
  bool adapter_loaded = false;
  EmulatorRequest request{};
  HllapiLayer layer;
  const HostServices* services;
  // The last screen handed out by Get screen (valid until the next one).
  std::string result;
  // Why the last screen read cannot be trusted as data ("" when nothing is wrong).
  std::string screen_problem;

  char SessionLetter() const { return static_cast<char>('@' + session_number); }
  // The word saved for the session type, and the word the settings window shows.
  static const char* SavedKindWord(char type);
  static const char* ShownKindWord(char type);

 private:
  void ApplySetting(const std::string& name, const std::string& data);
  int32_t SessionKind() const;
  std::unique_ptr<std::string> session_parameters_;
  bool terminated_ = false;
  bool lost_ = false;
};

// The client's message-loop procedure for adapters that take one: dispatches
// pending events; 1 when the queue is empty, 0 when the program-end request came.
extern "C" int MsgLoopProc(int);

// The connection the key operations use (set while a CONNECT3270 exists).
extern CONNECT3270* g_connection;
