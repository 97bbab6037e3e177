// The HLLAPI functions the client uses, for sessions named by letter, over a
// Backend per session. The exported entry points of every provider library
// call into one HllapiCore.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "emulator/backend.h"
#include "emulator/session_config.h"
#include "emulator/session_parameters.h"

namespace emulator {

// Query Session Status reply: 18 bytes with rows and columns at offsets 11
// and 13 (16-bit interface), or 20 bytes with them at 14 and 16 (32-bit).
enum class StatusLayout { kNarrow, kWide };

using BackendFactory =
    std::function<std::unique_ptr<Backend>(const SessionLine& line, std::string* problem)>;
using SessionSource = std::function<SessionTable()>;
using ErrorSink = std::function<void(const std::string& text)>;

class HllapiCore {
 public:
  HllapiCore(StatusLayout layout, SessionSource sessions, BackendFactory factory, ErrorSink errors);
  ~HllapiCore();

  // One call: function number, data string (may be null), length and return
  // code (also the position for functions 15 and 40), both in and out.
  void Call(int function, unsigned char* data, int* length, int* code);

  // Disconnects and forgets everything (program clean-up).
  void Reset();
  // Why the last call failed ("" when it did not).
  const std::string& LastError() const { return last_error_; }
  // True when that failure is the configuration's (no sessions file, no or a
  // bad line for the session, no emulator program): retrying cannot help.
  bool LastErrorPermanent() const { return last_error_permanent_; }

 private:
  int Connect(const unsigned char* data);
  int Disconnect();
  int SetParameters(const unsigned char* data, int length);
  int SendKey(const unsigned char* data, int length);
  int Wait();
  int CopyPresentationSpace(unsigned char* data, int* length);
  int QuerySessions(unsigned char* data, int* length);
  int CopyString(const unsigned char* data, int length, int position);
  int Pause(int half_seconds);
  int QuerySystem(unsigned char* data, int length);
  int QuerySessionStatus(unsigned char* data, int length);
  int SetCursor(int position);
  int StructuredFields(int function, unsigned char* data, int length);

  int KeyboardCode(Outcome* outcome);
  int Fail(Outcome outcome, const std::string& what);
  void Error(const std::string& text);
  Deadline CallDeadline() const;

  StatusLayout layout_;
  SessionSource sessions_;
  BackendFactory factory_;
  ErrorSink errors_;
  SessionParameters parameters_;
  std::string last_error_;
  bool last_error_permanent_ = false;

  // The one connected session.
  std::unique_ptr<Backend> backend_;
  SessionLine line_;
  bool pause_saw_change_ = false;  // a pause ended early and nothing was read since
  bool sf_connected_ = false;
  bool sf_read_outstanding_ = false;
};

}  // namespace emulator
