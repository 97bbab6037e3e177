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
  Keyboard state = Keyboard::kUnlocked;
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

  Outcome Open(Deadline, std::string* problem) override {
    if (open_fails) {
      *problem = "cannot reach the host";
      return Outcome::kFailed;
    }
    return Outcome::kOk;
  }
  void Close() override { closed = true; }
  Outcome ReadScreen(std::string* text, Deadline) override {
    if (gone) return Outcome::kFailed;
    ++reads;
    *text = screen;
    read_at = changes;
    return Outcome::kOk;
  }
  Outcome WriteAt(int offset, std::string_view text, Deadline) override {
    if (gone) return Outcome::kFailed;
    writes.emplace_back(offset, std::string(text));
    return put(offset, text);
  }
  Outcome Type(std::string_view text, Deadline) override {
    if (gone) return Outcome::kFailed;
    typed.emplace_back(text);
    Outcome o = put(cursor_at, text);
    cursor_at += static_cast<int>(text.size());
    return o;
  }
  Outcome SetCursor(int offset, Deadline) override {
    cursor_at = offset;
    return gone ? Outcome::kFailed : Outcome::kOk;
  }
  int Cursor() const override { return cursor_at; }
  Outcome Press(Key key, Deadline) override {
    if (gone) return Outcome::kFailed;
    keys.push_back(key);
    if (key == Key::kReset) {
      if (state == Keyboard::kInhibited) state = Keyboard::kUnlocked;
    } else if (emulator::IsAttentionKey(key)) {
      state = Keyboard::kHostBusy;
      answer_pending = true;
    }
    return Outcome::kOk;
  }
  Outcome GetKeyboard(Keyboard* s, Deadline) override {
    if (gone) return Outcome::kFailed;
    if (answer_pending && probes_before_answer-- <= 0) answer();
    *s = state;
    return Outcome::kOk;
  }
  Outcome WaitUnlock(Deadline) override {
    ++unlock_waits;
    if (gone) return Outcome::kFailed;
    if (answer_pending) answer();
    return state == Keyboard::kUnlocked ? Outcome::kOk : Outcome::kTimedOut;
  }
  Outcome WaitForChange(Deadline d) override {
    ++change_waits;
    if (gone) return Outcome::kFailed;
    if (changes != read_at) return Outcome::kOk;
    if (answer_pending) {
      answer();
      return Outcome::kOk;
    }
    d.SleepOut();
    return Outcome::kTimedOut;
  }

 private:
  void answer() {
    answer_pending = false;
    state = Keyboard::kUnlocked;
    if (!answers.empty()) {
      paint(answers.front());
      answers.pop_front();
    }
  }
  Outcome put(int offset, std::string_view text) {
    if (state == Keyboard::kInhibited) return Outcome::kProtected;
    for (char c : text) {
      if (offset >= protected_from) {
        state = Keyboard::kInhibited;
        return Outcome::kProtected;
      }
      screen[static_cast<std::size_t>(offset++)] = c;
    }
    return Outcome::kOk;
  }
};

}  // namespace emulator_test
