// What the HLLAPI core needs from a host session, however it is reached: an
// emulator driven over its script protocol, or the in-process host.
#pragma once

#include <string>
#include <string_view>

#include "emulator/deadline.h"

namespace emulator {

// Keys a program can press through Send Key. The first group are attention
// keys: they send the screen to the host and lock the keyboard until it answers.
// clang-format off
enum class Key {
  kEnter, kClear, kPA1, kPA2, kPA3,
  kPF1, kPF2, kPF3, kPF4, kPF5, kPF6, kPF7, kPF8, kPF9, kPF10, kPF11, kPF12,
  kPF13, kPF14, kPF15, kPF16, kPF17, kPF18, kPF19, kPF20, kPF21, kPF22, kPF23, kPF24,
  kSysReq, kAttn,
  // Local keys: the host sees nothing until the next attention key.
  kReset, kEraseEof, kEraseInput, kUp, kDown, kLeft, kRight, kHome, kTab, kBackTab, kNewLine,
  kCursorSelect, kDelete, kInsert, kBackspace, kFieldEnd,
};
// clang-format on
inline bool IsAttentionKey(Key key) { return key <= Key::kAttn; }
inline Key PfKey(int n) { return static_cast<Key>(static_cast<int>(Key::kPF1) + n - 1); }

enum class Keyboard {
  kUnlocked,
  kHostBusy,   // locked until the host answers an attention key
  kInhibited,  // operator error (typing into a protected position) until Reset
};

// How a step ended. Every step also ends, at the latest, at its deadline.
enum class Outcome {
  kOk,
  kProtected,  // the text hit a protected position or the keyboard is inhibited
  kBusy,       // the keyboard is locked waiting for the host
  kTimedOut,   // the deadline passed; the session is still usable
  kFailed,     // the session is gone (child wedged or dead, host link lost)
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Reaches the host session. On failure, *problem says why.
  virtual Outcome Open(Deadline deadline, std::string* problem) = 0;
  virtual void Close() = 0;

  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  int GetSize() const { return rows_ * columns_; }
  // The largest screen the host may switch to (the model's alternate size),
  // and the host code page's number; what Query Session Status reports.
  int MaxRows() const { return max_rows_ * max_columns_ >= GetSize() ? max_rows_ : rows_; }
  int MaxColumns() const { return max_rows_ * max_columns_ >= GetSize() ? max_columns_ : columns_; }
  int GetCodePage() const { return code_page_; }
  // Why the last step failed or timed out.
  const std::string& Problem() const { return problem_; }
  // After a failed open: the session as configured cannot work (its emulator
  // program cannot be started), so trying again changes nothing.
  bool ConfigurationFault() const { return configuration_fault_; }

  // The whole screen, rows * columns bytes (Latin-1), field attributes and
  // nulls as blanks. Counts as a read for wait_for_change.
  virtual Outcome ReadScreen(std::string* text, Deadline deadline) = 0;
  // The first length positions only (1 to size()); also counts as a read.
  virtual Outcome ReadStart(std::string* text, int length, Deadline deadline) {
    Outcome o = ReadScreen(text, deadline);
    if (o == Outcome::kOk && length < GetSize()) text->resize(static_cast<std::size_t>(length));
    return o;
  }
  // Writes text at a screen offset (0-based); the cursor stays where it was.
  virtual Outcome WriteAt(int offset, std::string_view text, Deadline deadline) = 0;
  // Types text at the cursor.
  virtual Outcome Type(std::string_view text, Deadline deadline) = 0;
  virtual Outcome SetCursor(int offset, Deadline deadline) = 0;
  virtual int Cursor() const = 0;
  // Presses a key. An attention key returns at once; the host answers later.
  virtual Outcome Press(Key key, Deadline deadline) = 0;
  // The keyboard state now; Failed when the session is gone.
  virtual Outcome GetKeyboard(Keyboard* state, Deadline deadline) = 0;
  // Blocks until the keyboard is unlocked (Ok) or the deadline (TimedOut).
  virtual Outcome WaitUnlock(Deadline deadline) = 0;
  // Blocks until the host writes to the screen after the last read (Ok), or
  // the deadline (TimedOut). Returns at once if it already has.
  virtual Outcome WaitForChange(Deadline deadline) = 0;

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
