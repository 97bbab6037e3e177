// A host session in memory for the HLLAPI core's tests: a 24 x 80 screen with
// one unprotected field from 0 to protected_from, and a host that answers
// each attention key with the next queued screen.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "emulator/backend.h"

namespace emulator_test {

using emulator::Deadline;
using emulator::Key;
using emulator::Keyboard;
using emulator::Outcome;

class FakeBackend : public emulator::Backend {
 public:
  std::string screen = std::string(1920, ' ');
  int protected_from = 1919;  // the field attribute sits here
  Keyboard state = Keyboard::Unlocked;
  bool gone = false;  // every step fails
  bool open_fails = false;
  std::deque<std::string> answers;  // screens the host paints, one per attention key
  bool answer_pending = false;
  int probes_before_answer = 0;  // keyboard() calls that still see the host busy
  int changes = 0, read_at = 0;
  int cursor_at = 0;
  std::vector<Key> keys;
  std::vector<std::string> typed;
  std::vector<std::pair<int, std::string>> writes;
  int reads = 0, change_waits = 0, unlock_waits = 0;
  bool closed = false;

  void paint(const std::string& text) {
    screen = text;
    screen.resize(1920, ' ');
    ++changes;
  }

  Outcome open(Deadline, std::string* problem) override {
    if (open_fails) {
      *problem = "cannot reach the host";
      return Outcome::Failed;
    }
    return Outcome::Ok;
  }
  void close() override { closed = true; }
  Outcome read_screen(std::string* text, Deadline) override {
    if (gone) return Outcome::Failed;
    ++reads;
    *text = screen;
    read_at = changes;
    return Outcome::Ok;
  }
  Outcome write_at(int offset, std::string_view text, Deadline) override {
    if (gone) return Outcome::Failed;
    writes.emplace_back(offset, std::string(text));
    return put(offset, text);
  }
  Outcome type(std::string_view text, Deadline) override {
    if (gone) return Outcome::Failed;
    typed.emplace_back(text);
    Outcome o = put(cursor_at, text);
    cursor_at += static_cast<int>(text.size());
    return o;
  }
  Outcome set_cursor(int offset, Deadline) override {
    cursor_at = offset;
    return gone ? Outcome::Failed : Outcome::Ok;
  }
  int cursor() const override { return cursor_at; }
  Outcome press(Key key, Deadline) override {
    if (gone) return Outcome::Failed;
    keys.push_back(key);
    if (key == Key::Reset) {
      if (state == Keyboard::Inhibited) state = Keyboard::Unlocked;
    } else if (emulator::is_attention_key(key)) {
      state = Keyboard::HostBusy;
      answer_pending = true;
    }
    return Outcome::Ok;
  }
  Outcome keyboard(Keyboard* s, Deadline) override {
    if (gone) return Outcome::Failed;
    if (answer_pending && probes_before_answer-- <= 0) answer();
    *s = state;
    return Outcome::Ok;
  }
  Outcome wait_unlock(Deadline) override {
    ++unlock_waits;
    if (gone) return Outcome::Failed;
    if (answer_pending) answer();
    return state == Keyboard::Unlocked ? Outcome::Ok : Outcome::TimedOut;
  }
  Outcome wait_for_change(Deadline d) override {
    ++change_waits;
    if (gone) return Outcome::Failed;
    if (changes != read_at) return Outcome::Ok;
    if (answer_pending) {
      answer();
      return Outcome::Ok;
    }
    d.sleep_out();
    return Outcome::TimedOut;
  }

 private:
  void answer() {
    answer_pending = false;
    state = Keyboard::Unlocked;
    if (!answers.empty()) {
      paint(answers.front());
      answers.pop_front();
    }
  }
  Outcome put(int offset, std::string_view text) {
    if (state == Keyboard::Inhibited) return Outcome::Protected;
    for (char c : text) {
      if (offset >= protected_from) {
        state = Keyboard::Inhibited;
        return Outcome::Protected;
      }
      screen[static_cast<std::size_t>(offset++)] = c;
    }
    return Outcome::Ok;
  }
};

}  // namespace emulator_test
