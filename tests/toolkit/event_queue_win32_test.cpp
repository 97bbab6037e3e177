// The queue's Windows half: it sleeps on the display's input handles.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win32/windows_api.h"
#include "tests/toolkit/cpu_time.h"
#include "toolkit/display.h"
#include "toolkit/event_queue.h"

namespace tk {
namespace {

// Input is an event object: set, it holds one key.
class HandleDisplay : public Display {
 public:
  HandleDisplay() : input_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~HandleDisplay() override { CloseHandle(input_); }
  Size GetSize() const override { return {80, 25}; }
  void Show(const CellGrid&) override {}
  void SetCursor(Point, bool) override {}
  void Beep() override {}
  bool ReadInput(Event& out) override {
    if (WaitForSingleObject(input_, 0) != WAIT_OBJECT_0) return false;
    ResetEvent(input_);
    out = Event::Key('k');
    return true;
  }
  std::vector<int> InputFds() const override { return {}; }
  std::vector<void*> InputHandles() const override { return {input_}; }
  HANDLE input_;
};

TEST(EventQueueWindows, SleepsOnTheDisplaysHandleAndRefusesDescriptors) {
  HandleDisplay display;
  EventQueue q(&display);
  EXPECT_EQ(q.Watch(0, 1), -1);

  Event e;
  long cpu = CpuMicros();
  auto t = std::chrono::steady_clock::now();
  EXPECT_FALSE(q.Wait(e, 200));
  EXPECT_GE(MillisSince(t), 200);
  EXPECT_LT(CpuMicros() - cpu, 50000);

  std::thread typist([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEvent(display.input_);
  });
  t = std::chrono::steady_clock::now();
  ASSERT_TRUE(q.Wait(e, 10000));
  EXPECT_LT(MillisSince(t), 5000);
  EXPECT_EQ(e.code, 'k');
  typist.join();
}

}  // namespace
}  // namespace tk
