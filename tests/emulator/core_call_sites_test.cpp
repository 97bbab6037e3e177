// The HLLAPI calls the client makes, with its lengths, layouts and return-code
// expectations, against the core over an in-memory host session.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "emulator/hllapi_core.h"
#include "platform/clock.h"
#include "tests/emulator/fake_backend.h"

namespace {

using emulator::HllapiCore;
using emulator::Key;
using emulator::Keyboard;
using emulator::SessionKind;
using emulator::SessionLine;
using emulator::SessionTable;
using emulator::StatusLayout;
using emulator_test::FakeBackend;

int Word(const unsigned char* at) { return at[0] | (at[1] << 8); }

class EmulatorCore : public ::testing::Test {
 protected:
  void make(StatusLayout layout = StatusLayout::kNarrow) {
    SessionLine a;
    a.letter = 'A';
    a.kind = SessionKind::kSim;
    a.target = "/nowhere";
    a.timeout_seconds = 2;
    table.sessions.push_back(a);
    core = std::make_unique<HllapiCore>(
        layout, [this] { return table; },
        [this](const SessionLine&, std::string*) {
          auto b = std::make_unique<FakeBackend>();
          b->paint("QORPRINT         LEVEL V");
          b->open_fails = open_fails;
          fake = b.get();
          return b;
        },
        [this](const std::string& text) { errors.push_back(text); });
  }
  struct Result {
    int length, rc;
  };
  Result call(int function, const void* data, int length, int rc = 0) {
    int len = length, code = rc;
    core->Call(function, const_cast<unsigned char*>(static_cast<const unsigned char*>(data)), &len,
               &code);
    return {len, code};
  }
  Result text(int function, const std::string& t, int rc = 0) {
    return call(function, t.c_str(), static_cast<int>(t.size()), rc);
  }
  void connect() {
    ASSERT_EQ(0, call(21, "<NULL>", 0).rc);
    char id[4] = {'A'};
    ASSERT_EQ(0, call(1, id, 1).rc);
    ASSERT_NE(nullptr, fake);
  }

  SessionTable table;
  std::unique_ptr<HllapiCore> core;
  FakeBackend* fake = nullptr;
  bool open_fails = false;
  std::vector<std::string> errors;
};

TEST_F(EmulatorCore, ConnectAcceptsEveryIdLengthTheFamiliesUseAndRefusesUnknownSessions) {
  make();
  for (int length : {1, 0, 4}) {
    EXPECT_EQ(0, call(21, "<NULL>", 0).rc);
    char id[4] = {'A'};
    EXPECT_EQ(0, call(1, id, length).rc) << "length " << length;
  }
  char other[4] = {'B'};
  EXPECT_EQ(1, call(1, other, 1).rc);
  EXPECT_FALSE(errors.empty());
  open_fails = true;
  call(21, "<NULL>", 0);
  char id[4] = {'A'};
  EXPECT_EQ(9, call(1, id, 1).rc) << "a host that cannot be reached is a system error";
  EXPECT_NE(std::string::npos, errors.back().find("cannot reach the host"));
}

TEST_F(EmulatorCore, ConnectReportsAKeyboardStillLockedAsBusyNotAsFailure) {
  make();
  connect();
  fake->state = Keyboard::kHostBusy;
  fake->probes_before_answer = 100;
  fake->answer_pending = true;
  char id[4] = {'A'};
  EXPECT_EQ(4, call(1, id, 1).rc);
}

TEST_F(EmulatorCore, QuerySessionsListsTwelveByteEntriesAndCountsThemInTheLength) {
  make();
  SessionLine b = table.sessions.size() ? table.sessions[0] : SessionLine{};
  b.letter = 'B';
  table.sessions.push_back(b);
  unsigned char buffer[312];
  std::memset(buffer, 0xEE, sizeof buffer);
  Result r = call(10, buffer, 312);
  EXPECT_EQ(0, r.rc);
  EXPECT_EQ(2, r.length);
  EXPECT_EQ('A', buffer[0]);
  EXPECT_EQ('H', buffer[9]);
  EXPECT_EQ(1920, Word(buffer + 10));
  EXPECT_EQ('B', buffer[12]);
  EXPECT_EQ(0xEE, buffer[24]) << "nothing written past the entries";
  // Room for one entry only: the count still says two, and nothing overflows.
  std::memset(buffer, 0xEE, sizeof buffer);
  r = call(10, buffer, 12);
  EXPECT_EQ(2, r.rc);
  EXPECT_EQ(2, r.length);
  EXPECT_EQ(0xEE, buffer[12]);
}

TEST_F(EmulatorCore, SessionStatusPutsRowsAndColumnsAtTheOffsetsOfEachLayout) {
  for (StatusLayout layout : {StatusLayout::kNarrow, StatusLayout::kWide}) {
    table = {};
    make(layout);
    connect();
    unsigned char status[21] = {'A'};
    std::memset(status + 1, 0xEE, 20);
    bool wide = layout == StatusLayout::kWide;
    Result r = call(22, status, wide ? 20 : 18);
    EXPECT_EQ(0, r.rc);
    EXPECT_EQ('A', status[0]);
    EXPECT_EQ(24, Word(status + (wide ? 14 : 11)));
    EXPECT_EQ(80, Word(status + (wide ? 16 : 13)));
    EXPECT_EQ(0xEE, status[wide ? 20 : 18]) << "the reply keeps to its size";
    status[0] = 'Q';
    EXPECT_EQ(1, call(22, status, wide ? 20 : 18).rc) << "unknown session id";
    status[0] = 'A';
    EXPECT_EQ(2, call(22, status, wide ? 18 : 17).rc) << "too short for the reply";
  }
}

TEST_F(EmulatorCore, SessionParametersTakeNwaitAndRefuseUnknownWords) {
  make();
  EXPECT_EQ(0, text(9, "NWAIT").rc);
  EXPECT_EQ(0, text(9, "TWAIT,IPAUSE NORESET,ESC=@,STRLEN").rc);
  EXPECT_EQ(2, text(9, "NWAIT,BOGUS").rc);
}

TEST_F(EmulatorCore, CopyPresentationSpaceFillsTheScreenSizeAndReportsTheKeyboard) {
  make();
  connect();
  char buffer[1921];
  std::memset(buffer, 0x7F, sizeof buffer);
  Result r = call(5, buffer, 1920);
  EXPECT_EQ(0, r.rc);
  EXPECT_EQ(1920, r.length);
  EXPECT_EQ("QORPRINT", std::string(buffer, 8));
  EXPECT_EQ(' ', buffer[1919]) << "the field attribute shows as a blank";
  EXPECT_EQ(0x7F, buffer[1920]);
  fake->state = Keyboard::kInhibited;
  EXPECT_EQ(5, call(5, buffer, 1920).rc);
  fake->state = Keyboard::kHostBusy;
  fake->answer_pending = true;
  fake->probes_before_answer = 100;
  EXPECT_EQ(4, call(5, buffer, 1920).rc);
}

TEST_F(EmulatorCore, CopyWithLengthEightIntoTheWorkBufferWritesEightBytes) {
  make();
  connect();
  char work[3568];
  std::memset(work, 0x7F, sizeof work);
  Result r = call(5, work, 8);
  EXPECT_EQ(0, r.rc);
  EXPECT_EQ("QORPRINT", std::string(work, 8));
  EXPECT_EQ(0x7F, work[8]);
}

TEST_F(EmulatorCore, CopyStringWritesAtThePositionInTheReturnCodeWord) {
  make();
  connect();
  EXPECT_EQ(0, text(15, "0009,=         ;", 1).rc);
  EXPECT_EQ(0, fake->writes.back().first);
  EXPECT_EQ("0009,=         ;", fake->screen.substr(0, 16));
  EXPECT_EQ(0, text(15, "XY", 81).rc);
  EXPECT_EQ(80, fake->writes.back().first);
  EXPECT_EQ(7, text(15, "XY", 0).rc) << "positions count from 1";
  EXPECT_EQ(7, text(15, "XY", 1921).rc);
  EXPECT_EQ(2, text(15, "", 1).rc);
}

TEST_F(EmulatorCore, CopyStringOverAProtectedPositionGivesFiveAndLeavesTheKeyboardUsable) {
  make();
  connect();
  // The stamp of the 'C' session kind: the whole screen buffer at position 1.
  std::string whole(1920, 'x');
  EXPECT_EQ(5, text(15, whole, 1).rc);
  EXPECT_EQ(Key::kReset, fake->keys.back());
  EXPECT_EQ(Keyboard::kUnlocked, fake->state);
  EXPECT_EQ(0, text(3, "@C").rc);
  // A text longer than the rest of the screen is cut there.
  fake->protected_from = 1920;
  EXPECT_EQ(6, text(15, "abcdef", 1919).rc);
  EXPECT_EQ("ab", fake->writes.back().second);
}

TEST_F(EmulatorCore, SendKeyTranslatesMnemonicsAndSplitsText) {
  make();
  connect();
  EXPECT_EQ(0, text(3, "@6").rc);
  EXPECT_EQ(Key::kPF6, fake->keys.back());
  fake->state = Keyboard::kUnlocked;
  fake->answer_pending = false;
  EXPECT_EQ(0, text(3, "@R").rc);
  EXPECT_EQ(Key::kReset, fake->keys.back());
  EXPECT_EQ(0, text(3, "ab@@c@T").rc);
  EXPECT_EQ("ab@c", fake->typed.back());
  EXPECT_EQ(Key::kTab, fake->keys.back());
  const std::pair<const char*, Key> mnemonics[] = {
      {"@x", Key::kPA1},      {"@y", Key::kPA2},
      {"@C", Key::kClear},    {"@E", Key::kEnter},
      {"@1", Key::kPF1},      {"@9", Key::kPF9},
      {"@a", Key::kPF10},     {"@o", Key::kPF24},
      {"@A@H", Key::kSysReq}, {"@A@Q", Key::kAttn},
      {"@F", Key::kEraseEof}, {"@A@F", Key::kEraseInput},
      {"@U", Key::kUp},       {"@V", Key::kDown},
      {"@L", Key::kLeft},     {"@Z", Key::kRight},
      {"@0", Key::kHome},     {"@B", Key::kBackTab},
      {"@N", Key::kNewLine},  {"@A@J", Key::kCursorSelect},
  };
  for (const auto& [keys, key] : mnemonics) {
    fake->state = Keyboard::kUnlocked;
    fake->answer_pending = false;
    EXPECT_EQ(0, text(3, keys).rc) << keys;
    EXPECT_EQ(key, fake->keys.back()) << keys;
  }
  EXPECT_EQ(2, text(3, "@").rc) << "an escape at the end";
  EXPECT_EQ(2, text(3, "@W").rc) << "an unknown mnemonic";
}

TEST_F(EmulatorCore, SendKeyWhileTheHostWorksIsSoftAndResetClearsAnOperatorError) {
  make();
  connect();
  EXPECT_EQ(0, text(3, "@C").rc);
  fake->probes_before_answer = 100;
  EXPECT_EQ(4, text(3, "@C").rc) << "host busy: the client retries";
  fake->answer_pending = false;
  fake->state = Keyboard::kInhibited;
  EXPECT_EQ(0, text(9, "NORESET").rc);
  EXPECT_EQ(5, text(3, "@E").rc) << "inhibited, and no automatic reset";
  EXPECT_EQ(0, text(3, "@R").rc);
  EXPECT_EQ(0, text(9, "AUTORESET").rc);
  fake->state = Keyboard::kInhibited;
  EXPECT_EQ(0, text(3, "@E").rc);
  EXPECT_EQ(Key::kReset, fake->keys[fake->keys.size() - 2]);
}

TEST_F(EmulatorCore, WaitWithNwaitReportsTheKeyboardAtOnce) {
  make();
  connect();
  EXPECT_EQ(0, text(9, "NWAIT").rc);
  EXPECT_EQ(0, call(4, "<NULL>", 0).rc);
  text(3, "@C");
  fake->probes_before_answer = 100;
  uint64_t start = platform::MonotonicMs();
  EXPECT_EQ(4, call(4, "<NULL>", 0).rc);
  EXPECT_EQ(4, call(4, "<NULL>", 1).rc);
  EXPECT_LT(platform::MonotonicMs() - start, 200u);
  EXPECT_EQ(0, fake->unlock_waits);
  // The default waits for the host.
  EXPECT_EQ(0, text(9, "TWAIT").rc);
  EXPECT_EQ(0, call(4, "<NULL>", 0).rc);
  EXPECT_EQ(1, fake->unlock_waits);
}

TEST_F(EmulatorCore, PauseEndsWhenTheScreenChangesAndANewPauseWaitsForANewerChange) {
  make();
  connect();
  char work[3568];
  call(5, work, 8);
  fake->answers.push_back("next screen");
  text(3, "@C");
  fake->probes_before_answer = 100;
  uint64_t start = platform::MonotonicMs();
  EXPECT_EQ(26, call(18, "<NULL>", 1).rc);
  EXPECT_LT(platform::MonotonicMs() - start, 300u);
  // Without a read in between, the same change must not end the next pause
  // at once, or the client's wait loop would spin.
  int reads = fake->reads;
  start = platform::MonotonicMs();
  EXPECT_EQ(0, call(18, "<NULL>", 1).rc);
  EXPECT_GE(platform::MonotonicMs() - start, 450u);
  EXPECT_EQ(reads + 1, fake->reads);
  // FPAUSE always waits the full time.
  EXPECT_EQ(0, text(9, "FPAUSE").rc);
  fake->paint("changed");
  start = platform::MonotonicMs();
  EXPECT_EQ(0, call(18, "<NULL>", 1).rc);
  EXPECT_GE(platform::MonotonicMs() - start, 450u);
}

TEST_F(EmulatorCore, StructuredFieldProbeConnectsAndDisconnectsInBothLayouts) {
  make();
  connect();
  unsigned char block[24] = {'A'};
  for (int narrow_length : {7, 11}) {
    EXPECT_EQ(0, call(120, block, narrow_length).rc);
    EXPECT_EQ(0, call(121, block, 3).rc);
  }
  EXPECT_EQ(0, call(120, block, 16).rc);
  EXPECT_EQ(0, call(121, block, 8).rc);
  EXPECT_EQ(2, call(120, block, 5).rc);
  EXPECT_EQ(1, call(121, block, 3).rc) << "not connected for structured fields";
  block[0] = 'B';
  EXPECT_NE(0, call(120, block, 11).rc);
}

TEST_F(EmulatorCore, DisconnectWithAReadOutstandingGivesFortyAndTheCompletionWaitEnds) {
  make();
  connect();
  unsigned char block[24] = {'A'};
  ASSERT_EQ(0, call(120, block, 11).rc);
  ASSERT_EQ(0, call(126, block, 14).rc);
  EXPECT_EQ(38, call(125, block, 14).rc) << "the read is still pending";
  EXPECT_EQ(40, call(121, block, 3).rc);
  unsigned char wait[24] = {'A', 'N'};
  EXPECT_EQ(0, call(125, wait, 14, 38).rc);
  EXPECT_EQ(0, call(125, wait, 24, 38).rc);
}

TEST_F(EmulatorCore, DisconnectAndResetSystemCloseTheSession) {
  make();
  connect();
  char id[4] = {'A'};
  FakeBackend* first = fake;
  EXPECT_EQ(0, call(2, id, 0).rc);
  EXPECT_EQ(1, call(2, id, 0).rc) << "already disconnected";
  EXPECT_EQ(1, call(5, id, 1).rc);
  EXPECT_EQ(1, text(3, "@E").rc);
  (void)first;
  connect();
  EXPECT_EQ(0, call(21, "<NULL>", 0).rc);
  EXPECT_EQ(1, call(4, "<NULL>", 0).rc);
}

TEST_F(EmulatorCore, ASessionThatFailsIsDroppedAndUnknownFunctionsAreRefused) {
  make();
  connect();
  fake->gone = true;
  char buffer[1921];
  EXPECT_EQ(9, call(5, buffer, 1920).rc);
  EXPECT_EQ(1, call(5, buffer, 1920).rc) << "the session is gone until the next connect";
  connect();
  EXPECT_EQ(301, call(99, "<NULL>", 0).rc);
  EXPECT_EQ(301, call(65536 + 5, "<NULL>", 0).rc);
}

}  // namespace
