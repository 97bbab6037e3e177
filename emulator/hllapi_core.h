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
enum class StatusLayout { Narrow, Wide };

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
  void call(int function, unsigned char* data, int* length, int* code);

  // Disconnects and forgets everything (program clean-up).
  void reset();
  // Why the last call failed ("" when it did not).
  const std::string& last_error() const { return last_error_; }
  // True when that failure is the configuration's (no sessions file, no or a
  // bad line for the session, no emulator program): retrying cannot help.
  bool last_error_permanent() const { return last_error_permanent_; }

 private:
  int connect(const unsigned char* data);
  int disconnect();
  int set_parameters(const unsigned char* data, int length);
  int send_key(const unsigned char* data, int length);
  int wait();
  int copy_presentation_space(unsigned char* data, int* length);
  int query_sessions(unsigned char* data, int* length);
  int copy_string(const unsigned char* data, int length, int position);
  int pause(int half_seconds);
  int query_system(unsigned char* data, int length);
  int query_session_status(unsigned char* data, int length);
  int set_cursor(int position);
  int structured_fields(int function, unsigned char* data, int length);

  int keyboard_code(Outcome* outcome);
  int fail(Outcome outcome, const std::string& what);
  void error(const std::string& text);
  Deadline call_deadline() const;

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
