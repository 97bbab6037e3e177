// A connection over the fake adapter, with recording user-interface services,
// a private registry file and a trace file.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "common/trace.h"
#include "hostlink/host_connection.h"
#include "hostlink/screen_transport.h"
#include "platform/dynamic_library.h"
#include "tests/hostlink/fake_adapter.h"
#include "tests/registry_sandbox.h"
#include "tests/temp_dir.h"

class LinkTest : public ::testing::Test {
 protected:
  TempDir dir;
  RegistrySandbox registry{dir / "registry.reg"};
  common::Tracer trace;
  std::vector<std::pair<std::string, std::string>> boxes;  // text, title
  std::vector<std::string> status_lines;
  std::vector<int> pumped_timeouts;
  int next_command = 0;
  hostlink::HostServices services;
  void* fake_handles[3] = {};
  FakeAdapterState* fake = nullptr;

  void SetUp() override {
    ASSERT_TRUE(trace.Start((dir / "T.TRC").c_str(), common::TraceMode::kFresh));
    services.show_message = [this](const std::string& t, const std::string& title) {
      boxes.emplace_back(t, title);
    };
    services.add_status_text = [this](const std::string& t) { status_lines.push_back(t); };
    services.message_text = [](const char* key) -> std::string {
      return std::string(key) == "DLLLOAD" ? "Cannot load %s (error %ld)." : "";
    };
    services.pump_event = [this](int timeout_ms) {
      pumped_timeouts.push_back(timeout_ms);
      int code = next_command;
      next_command = 0;
      if (code == 0 && timeout_ms > 0) {
        // Stand in for a blocking wait on the event queue.
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
      }
      return code;
    };
    // Hold the fakes open so their state survives the layer's unloads.
    for (int i = 0; i < 3; ++i) {
      std::string path = std::string(QOR_TEST_DIR) + "/" + platform::SharedObjectName(FakeName(i));
      std::string error;
      fake_handles[i] = platform::LoadLibrary(path, &error);
      ASSERT_NE(fake_handles[i], nullptr) << error;
      auto* state = reinterpret_cast<FakeAdapterState* (*)()>(
          platform::GetProcAddress(fake_handles[i], "fake_adapter_state"))();
      *state = FakeAdapterState{};
    }
    UseFake(0);
  }
  void TearDown() override {
    for (void* h : fake_handles) platform::FreeLibrary(h);
  }
  // 0: plain adapter family, 1: the 32-bit family, 2: the E62 family.
  void UseFake(int which) {
    fake = reinterpret_cast<FakeAdapterState* (*)()>(
        platform::GetProcAddress(fake_handles[which], "fake_adapter_state"))();
  }
  static const char* FakeName(int which) {
    static const char* const names[] = {"QORFAKE.DLL", "QOR32PFAKE.DLL", "QOR32E62FAKE.DLL"};
    return names[which];
  }
  std::string Trace() { return ReadFile(trace.File()->Path()); }
  bool TraceHas(const std::string& s) { return Trace().find(s) != std::string::npos; }
  static std::string Screen(const std::string& text) {
    std::string s = text;
    s.resize(1920, ' ');
    return s;
  }
};
