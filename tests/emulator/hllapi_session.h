// One HLLAPI session over a real emulator, as a program drives it through the
// provider core: its own sessions text, calls by function number, and whole
// jobs taken the way the client takes them (header, start command and PF6,
// then each data screen decoded and Clear up to the end marker).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "emulator/hllapi_core.h"
#include "emulator/provider_support.h"
#include "reference_decoder.h"

namespace testing_support {

class HllapiSession {
 public:
  explicit HllapiSession(const std::string& line) : sessions_(line + "\n") {
    core_ = std::make_unique<emulator::HllapiCore>(
        emulator::StatusLayout::kNarrow,
        [this] { return emulator::ParseSessions(sessions_, "sessions"); }, emulator::MakeBackend,
        [](const std::string&) {});
  }
  int call(int function, const void* data, int length, int rc = 0, int* length_out = nullptr) {
    int len = length, code = rc;
    core_->Call(function, const_cast<unsigned char*>(static_cast<const unsigned char*>(data)), &len,
                &code);
    if (length_out) *length_out = len;
    return code;
  }
  int text(int function, const std::string& t, int rc = 0) {
    return call(function, t.c_str(), static_cast<int>(t.size()), rc);
  }
  int connect() { return call(1, "A", 1); }
  // The session's largest screen, from Query Session Status.
  int screen_size() {
    unsigned char status[18] = {'A'};
    if (call(22, status, 18) != 0) return 0;
    return (status[11] | status[12] << 8) * (status[13] | status[14] << 8);
  }
  // The screen shown now: as many positions as it has.
  std::string screen() {
    std::vector<char> buffer(3568);
    int copied = 0;
    call(5, buffer.data(), static_cast<int>(buffer.size()), 0, &copied);
    return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
  }
  emulator::HllapiCore& core() { return *core_; }

  struct Job {
    std::string ident;  // as the header showed it
    std::string bytes;
    int screens = 0;  // data screens, the end marker not counted
    bool ended = false;
  };
  // Takes the job the header shows; false when the screen is no job header.
  bool take_job(Job* job) {
    std::string header = screen();
    if (header.compare(0, 8, "QORPRINT") != 0) return false;
    job->ident = header.substr(324, 14);
    if (text(15, "0009,=         ;", 1) != 0 || text(3, "@6") != 0) return false;
    reference::Decoder decoder;
    for (int i = 0; i < 100000; ++i) {
      if (call(4, "<NULL>", 0) != 0) return false;  // waits for the host
      std::string data = screen();
      if (data.empty()) return false;
      std::optional<std::string> block =
          decoder.decode(reference::copy_screen(data, data.size() - 1));
      if (!block) return false;
      if (text(3, "@C") != 0) return false;
      if (block->rfind("$-+ENDPRINT+-$", 0) == 0) {
        job->ended = true;
        return call(4, "<NULL>", 0) == 0;
      }
      job->bytes += *block;
      ++job->screens;
    }
    return false;
  }

 private:
  std::string sessions_;
  std::unique_ptr<emulator::HllapiCore> core_;
};

}  // namespace testing_support
