// A decoder for data screens written straight from the client's rules, kept
// apart from the encoder under test: four shift tables, the run-length code
// with its carry state between screens, 0x15 as a new line, and the
// length-prefix acceptance test.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace reference {

class Decoder {
 public:
  explicit Decoder(bool length_prefix_mode = false) : length_prefix_mode_(length_prefix_mode) {}

  // One screen as the client copies it (trailing blanks already cut). Empty
  // optional when the acceptance test refuses the screen.
  std::optional<std::string> decode(std::string screen);

  std::string translate(const std::string& screen) const;
  std::string expand(const std::string& translated);
  bool carry_pending() const { return pending_tilde_ || pending_count_ >= 0; }

 private:
  bool length_prefix_mode_;
  bool pending_tilde_ = false;
  int pending_count_ = -1;
};

// What a copy of a screen painted with this text gives: the text cut at the
// screen's usable size (1919 on 24 x 80), trailing blanks removed.
std::string copy_screen(const std::string& painted, std::size_t usable = 1919);

// The block as the client uses it: up to its first zero byte.
std::string up_to_zero(const std::string& block);

}  // namespace reference
