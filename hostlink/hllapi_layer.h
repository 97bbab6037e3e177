// Turns the client's numbered requests into HLLAPI calls through the adapter
// library: loads and binds the adapter, traces every call, interprets return
// codes and leaves a readable error text ("EM3270 ...") for the caller.
#pragma once

#include <cstdint>
#include <string>

#include "common/trace.h"
#include "hostlink/emulator_request.h"
#include "hostlink/host_services.h"
#include "platform/calling_convention.h"

namespace hostlink {

class HllapiLayer {
 public:
  // The adapter's entry points, WINAPI on 32-bit Windows as adapters publish them.
  using HllapiFn = int(QOR_CALL*)(int* func, char* data, int* len, int* retrn);
  using WhichFn = char*(QOR_CALL*)(char*);
  using LoopCallback = int(QOR_CALL*)(int);
  using LoopFn = int(QOR_CALL*)(LoopCallback);
  using InitFn = int(QOR_CALL*)();
  using TermFn = int(QOR_CALL*)();
  // Optional exports of our own providers, found through the adapter.
  using LastErrorFn = const char* (*)();
  using LastErrorPermanentFn = int (*)();

  static constexpr size_t kErrorTextSize = 512;
  static constexpr size_t kKeyBufferSize = 512;
  // The largest screen whose copy fits the work buffers.
  static constexpr int32_t kMaxScreenSize = 3568;

  HllapiLayer(const HostServices* services, const common::Tracer& trace)
      : services_(services), trace_(trace) {}
  ~HllapiLayer();
  HllapiLayer(const HllapiLayer&) = delete;
  HllapiLayer& operator=(const HllapiLayer&) = delete;

  int LoadAdapter(const char* library_name);  // 0 loaded, -1 failed
  void UnloadAdapter(EmulatorRequest* request);
  void RegisterMessageLoop(LoopCallback callback);
  int Dispatch(EmulatorRequest* request, const char* data);
  // An interruptible pause (HLLAPI 18): 1 when the host changed the screen
  // meanwhile, 0 when the time passed, -1 when the session is gone.
  int Pause(EmulatorRequest* request, int half_seconds);

  // True once since a call found the session gone (HLLAPI 1 "not connected"
  // or 9 "system error"): the caller then opens it afresh.
  bool TakeSessionLost() {
    bool lost = session_lost_;
    session_lost_ = false;
    return lost;
  }

  bool Loaded() const { return library_ != nullptr; }
  bool LoopBound() const { return loop_ != nullptr; }
  const char* ErrorText() const { return error_; }
  // What the provider said about the last failure ("" when it says nothing),
  // and whether it is the configuration's, so retrying cannot help.
  const std::string& ProviderError() const { return provider_error_; }
  bool ConfigurationFault() const { return configuration_fault_; }
  void SetErrorText(const std::string& text);

 private:
  int Call(int function, char* data, int length, int retrn, int* out_len = nullptr);
  int CallUntraced(int function, char* data, int length, int retrn, int* out_len = nullptr);
  int Fail(EmulatorRequest* req, const char* label, int code);

  int Connect(EmulatorRequest* req);
  void QuerySessions();
  int Disconnect(EmulatorRequest* req);
  int CopyScreen(EmulatorRequest* req, char* buffer);
  void PauseStep();
  // Notes a return code that says the session is gone; true when it does.
  bool NoteLost(int rc);
  int WaitForReply(EmulatorRequest* req);
  int WriteText(EmulatorRequest* req, const char* text);
  int SendKeys(EmulatorRequest* req, const char* keys);
  int SendKeyPrimitive(const char* keys);
  void StampOk(EmulatorRequest* req);
  int SetParameters(const char* text);
  int SfConnect(EmulatorRequest* req);
  int SfDisconnect(EmulatorRequest* req);
  int SfCompletionWait(EmulatorRequest* req, uint16_t request_id);
  void FreeScreenBuffer(EmulatorRequest* req);

  const HostServices* services_;
  const common::Tracer& trace_;
  void* library_ = nullptr;
  HllapiFn hllapi_ = nullptr;
  WhichFn which_ = nullptr;
  LoopFn loop_ = nullptr;
  InitFn init_ = nullptr;
  TermFn term_ = nullptr;
  LastErrorFn last_error_ = nullptr;
  LastErrorPermanentFn last_error_permanent_ = nullptr;
  std::string provider_error_;
  bool configuration_fault_ = false;
  int func_word_ = 0, len_word_ = 0, rc_word_ = 0;
  char error_[kErrorTextSize] = {};
  char screen_marker_[8] = {};
  char reply_work_[kMaxScreenSize + 1] = {};
  bool session_lost_ = false;
};

// The name of an HLLAPI function number in the trace, "<NULL>" when unknown.
const char* HllapiFunctionName(int function);

}  // namespace hostlink
