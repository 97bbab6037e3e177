// Takes one job from the host through an adapter, with the HLLAPI calls the
// client makes: reset, (query sessions), connect, session status, NWAIT,
// structured-field probe, copy the header, start command and PF6, then data
// screens with the "OK;;;;;;" stamp and Clear up to the end marker.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "hostsim/screen_encoder.h"
#include "platform/clock.h"
#include "reference_decoder.h"
#include "tests/adapters/adapter_client.h"

namespace adapter_test {

// 0: the WinHLLAPI adapters; 1: the 32-bit family (qor32pcs); 2: qor32e62.
enum class Family { WinHllapi = 0, Wide = 1, E62 = 2 };

inline int Word(const unsigned char* at) { return at[0] | (at[1] << 8); }

class JobConversation {
 public:
  JobConversation(AdapterLibrary& lib, Family family) : lib_(lib), family_(family) {}

  // Returns the session status reply's rows and columns.
  void connect(int* rows, int* columns) {
    EXPECT_EQ(0, lib_.call(21, nullptr, 0).rc);
    if (family_ == Family::E62) {
      unsigned char sessions[312] = {};
      CallResult q = lib_.call(10, sessions, 312);
      EXPECT_EQ(0, q.rc);
      EXPECT_EQ(1, q.length) << "one session in the list";
      EXPECT_EQ('A', sessions[0]);
      EXPECT_EQ(1920, Word(sessions + 10));
    }
    char id[4] = {'A', 0, 0, 0};
    int length = family_ == Family::Wide ? 4 : family_ == Family::E62 ? 0 : 1;
    CallResult c = lib_.call(1, id, length);
    EXPECT_EQ(3, c.ret);
    EXPECT_EQ(0, c.rc) << "connect";
    unsigned char status[21] = {'A'};
    CallResult s = lib_.call(22, status, family_ == Family::Wide ? 20 : 18);
    EXPECT_EQ(0, s.rc);
    EXPECT_EQ('A', status[0]);
    int at = family_ == Family::Wide ? 14 : 11;
    *rows = Word(status + at);
    *columns = Word(status + at + 2);
    EXPECT_EQ(0, lib_.call_text(9, "NWAIT").rc);
    // Structured-field probe: connect, then disconnect at once.
    unsigned char sf[16] = {'A'};
    CallResult sfc = lib_.call(120, sf, family_ == Family::Wide ? 16 : 11);
    EXPECT_EQ(0, sfc.rc);
    unsigned char sfd[8] = {'A', 0xC1, 0xC1};
    EXPECT_EQ(0, lib_.call(121, sfd, family_ == Family::Wide ? 8 : 3).rc);
  }

  std::string screen() {
    char buffer[1921] = {};
    CallResult r = lib_.call(5, buffer, 1920);
    EXPECT_TRUE(r.rc == 0 || r.rc == 4 || r.rc == 5) << r.rc;
    return std::string(buffer, 1920);
  }

  void write(int position, const std::string& text) {
    std::memcpy(marker_, text.c_str(), 8);
    EXPECT_EQ(0, lib_.call_text(15, text, position).rc) << text;
  }

  void keys(const std::string& keys) { EXPECT_EQ(0, lib_.call_text(3, keys).rc) << keys; }

  // The client's wait for the host: Wait, then the first 8 characters
  // against what it last wrote, with half-second pauses in between.
  bool wait_for_host(int timeout_ms) {
    uint64_t end = platform::MonotonicMs() + static_cast<uint64_t>(timeout_ms);
    while (platform::MonotonicMs() < end) {
      if (lib_.call(4, nullptr, 0).rc == 0) {
        char work[3568];
        std::memset(work, 0x7F, sizeof work);
        lib_.call(5, work, 8);
        if (work[8] != 0x7F) ADD_FAILURE() << "copy with length 8 wrote past 8 bytes";
        if (std::memcmp(work, marker_, 8) != 0) {
          lib_.call(4, nullptr, 1);
          return true;
        }
      }
      lib_.call(18, nullptr, 1);
      ++pauses_;
    }
    return false;
  }

  // From the header screen to the end marker and the job's delivery.
  // Returns the number of data screens; the job's bytes, decoded, into *bytes.
  int transfer(const std::string& job_ident, std::string* bytes = nullptr) {
    reference::Decoder decoder;
    std::string header = screen();
    EXPECT_EQ("QORPRINT", header.substr(0, 8));
    EXPECT_NE(std::string::npos, header.find(job_ident)) << header;
    lib_.call(18, nullptr, 1);
    write(1, "0009,=         ;");
    keys("@6");
    int blocks = 0;
    while (true) {
      if (!wait_for_host(15000)) {
        ADD_FAILURE() << "no answer from the host after block " << blocks;
        return blocks;
      }
      std::string s = screen();
      // The end marker as the host paints it, before shift translation.
      const std::string end = hostsim::EndMarkerScreen(hostsim::ScreenForm::kPlain);
      if (s.compare(0, end.size(), end) == 0) break;
      ++blocks;
      if (bytes) {
        std::optional<std::string> block = decoder.decode(reference::copy_screen(s, s.size() - 1));
        if (!block) ADD_FAILURE() << "data screen " << blocks << " refused";
        if (block) *bytes += *block;
      }
      if (blocks > 10000) {
        ADD_FAILURE() << "no end marker";
        return blocks;
      }
      write(1, "OK;;;;;;");
      keys("@C");
    }
    // Clear on the end marker delivers the job; Reset ends the conversation.
    write(1, "OK;;;;;;");
    keys("@C");
    EXPECT_TRUE(wait_for_host(15000));
    keys("@R");
    return blocks;
  }

  void disconnect() {
    char id[4] = {'A'};
    EXPECT_EQ(0, lib_.call(2, id, 0).rc);
    EXPECT_EQ(0, lib_.call(21, nullptr, 0).rc);
  }

  int pauses() const { return pauses_; }

 private:
  AdapterLibrary& lib_;
  Family family_;
  char marker_[8] = {};
  int pauses_ = 0;
};

}  // namespace adapter_test
