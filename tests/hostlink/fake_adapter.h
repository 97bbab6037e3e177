// A scripted stand-in for an adapter library, built as a shared object and
// loaded by name like a real adapter. Tests reach its state through
// fake_adapter_state() after dlopen'ing the same file.
#pragma once

#include "platform/calling_convention.h"

#include <string>
#include <vector>

struct FakeCall {
  int function;
  std::string data;  // the bytes the call carried (length-bounded)
  int length;
  int retrn;
};

struct FakeAdapterState {
  std::vector<FakeCall> calls;
  int init_calls = 0, term_calls = 0;
  int(QOR_CALL* loop_callback)(int) = nullptr;
  int loop_registrations = 0;

  // Emulator.
  int rows = 24, columns = 80;
  bool novell_status = false;  // 32-bit layout with the Novell fields
  std::string screen = std::string(1920, ' ');
  std::vector<std::string> screens_after_key;  // shown one by one on AIDs
  int connect_rc = 0;
  int status_rc = 0;
  int copy_rc = 0;
  int write_rc = 0;
  int wait_rc = 0;
  int pause_rc = 0;
  std::vector<int> send_key_rcs;  // consumed one per Send Key; then 0
  int sf_connect_rc = 1;
  int sf_disconnect_rc = 0;
  int sf_complete_38_times = 0;
  short sf_completion_code = 0;
  int sessions = 1;

  std::vector<int> Functions() const {
    std::vector<int> f;
    for (const auto& c : calls) f.push_back(c.function);
    return f;
  }
};

extern "C" FakeAdapterState* fake_adapter_state();
