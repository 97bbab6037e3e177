// What the HLLAPI core needs from a host session, however it is reached: an
// emulator driven over its script protocol, or the in-process host.
#pragma once

#include <string>
#include <string_view>

#include "emulator/deadline.h"

namespace emulator {

// Keys a program can press through Send Key. The first group are attention
// keys: they send the screen to the host and lock the keyboard until it answers.
enum class Key {
  Enter,
  Clear,
  PA1,
  PA2,
  PA3,
  PF1,
  PF2,
  PF3,
  PF4,
  PF5,
  PF6,
  PF7,
  PF8,
  PF9,
  PF10,
  PF11,
  PF12,
  PF13,
  PF14,
  PF15,
  PF16,
  PF17,
  PF18,
  PF19,
  PF20,
  PF21,
  PF22,
  PF23,
  PF24,
  SysReq,
  Attn,
  // Local keys: the host sees nothing until the next attention key.
  Reset,
  EraseEof,
  EraseInput,
  Up,
  Down,
  Left,
  Right,
  Home,
  Tab,
  BackTab,
  NewLine,
  CursorSelect,
  Delete,
  Insert,
  Backspace,
  FieldEnd,
};
inline bool is_attention_key(Key key) { return key <= Key::Attn; }
inline Key pf_key(int n) { return static_cast<Key>(static_cast<int>(Key::PF1) + n - 1); }

enum class Keyboard {
  Unlocked,
  HostBusy,   // locked until the host answers an attention key
  Inhibited,  // operator error (typing into a protected position) until Reset
};

// How a step ended. Every step also ends, at the latest, at its deadline.
enum class Outcome {
  Ok,
  Protected,  // the text hit a protected position or the keyboard is inhibited
  Busy,       // the keyboard is locked waiting for the host
  TimedOut,   // the deadline passed; the session is still usable
  Failed,     // the session is gone (child wedged or dead, host link lost)
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Reaches the host session. On failure, *problem says why.
  virtual Outcome open(Deadline deadline, std::string* problem) = 0;
  virtual void close() = 0;

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  int size() const { return rows_ * columns_; }
  // The largest screen the host may switch to (the model's alternate size),
  // and the host code page's number; what Query Session Status reports.
  int max_rows() const { return max_rows_ * max_columns_ >= size() ? max_rows_ : rows_; }
  int max_columns() const { return max_rows_ * max_columns_ >= size() ? max_columns_ : columns_; }
  int code_page() const { return code_page_; }
  // Why the last step failed or timed out.
  const std::string& problem() const { return problem_; }
  // After a failed open: the session as configured cannot work (its emulator
  // program cannot be started), so trying again changes nothing.
  bool configuration_fault() const { return configuration_fault_; }

  // The whole screen, rows * columns bytes (Latin-1), field attributes and
  // nulls as blanks. Counts as a read for wait_for_change.
  virtual Outcome read_screen(std::string* text, Deadline deadline) = 0;
  // The first length positions only (1 to size()); also counts as a read.
  virtual Outcome read_start(std::string* text, int length, Deadline deadline) {
    Outcome o = read_screen(text, deadline);
    if (o == Outcome::Ok && length < size()) text->resize(static_cast<std::size_t>(length));
    return o;
  }
  // Writes text at a screen offset (0-based); the cursor stays where it was.
  virtual Outcome write_at(int offset, std::string_view text, Deadline deadline) = 0;
  // Types text at the cursor.
  virtual Outcome type(std::string_view text, Deadline deadline) = 0;
  virtual Outcome set_cursor(int offset, Deadline deadline) = 0;
  virtual int cursor() const = 0;
  // Presses a key. An attention key returns at once; the host answers later.
  virtual Outcome press(Key key, Deadline deadline) = 0;
  // The keyboard state now; Failed when the session is gone.
  virtual Outcome keyboard(Keyboard* state, Deadline deadline) = 0;
  // Blocks until the keyboard is unlocked (Ok) or the deadline (TimedOut).
  virtual Outcome wait_unlock(Deadline deadline) = 0;
  // Blocks until the host writes to the screen after the last read (Ok), or
  // the deadline (TimedOut). Returns at once if it already has.
  virtual Outcome wait_for_change(Deadline deadline) = 0;

 protected:
  int rows_ = 24;
  int columns_ = 80;
  int max_rows_ = 24;
  int max_columns_ = 80;
  int code_page_ = 37;
  std::string problem_;
  bool configuration_fault_ = false;
};

}  // namespace emulator
