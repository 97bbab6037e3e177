// A minimal TN3270 terminal over a loopback socket, for driving qorhost in
// tests: it agrees to what the server asks, keeps the last screen painted, and
// sends keys with the modified field from position 0.
#pragma once

#include <string>

namespace testing_support {

class WireTerminal {
 public:
  explicit WireTerminal(int port);
  ~WireTerminal();
  WireTerminal(const WireTerminal&) = delete;
  WireTerminal& operator=(const WireTerminal&) = delete;

  bool connected() const { return fd_ >= 0; }
  // Waits for the next screen the host paints; false on time-out or when the
  // host closed the connection (then closed_by_host() is true).
  bool next_screen(int timeout_ms = 5000);
  bool closed_by_host() const { return closed_by_host_; }
  // The 1920 displayed characters of the last screen.
  const std::string& screen() const { return screen_; }
  // An attention key; with text, it goes along as the field at position 0.
  bool send_key(unsigned char aid, const std::string& field_text = {});
  void disconnect();

 private:
  bool pump(int timeout_ms);
  void answer_option(unsigned char verb, unsigned char option);
  void apply(const std::string& record);

  int fd_ = -1;
  bool closed_by_host_ = false;
  bool new_screen_ = false;
  std::string screen_;
  struct Reader;
  Reader* reader_;
};

}  // namespace testing_support
