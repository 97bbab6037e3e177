// Screens, keys and waits over the fake adapter.
#include "tests/hostlink/link_fixture.h"

namespace {

class TransportTest : public LinkTest {
 protected:
  std::unique_ptr<hostlink::HostConnection> conn;
  void SetUp() override {
    LinkTest::SetUp();
    conn = std::make_unique<hostlink::HostConnection>("QORPRTW.INI", &services, trace);
    conn->library_name = FakeName(0);
    conn->timeout = 2;
  }
  void TearDown() override {
    conn.reset();
    LinkTest::TearDown();
  }
  std::vector<FakeCall> CallsOf(int function) {
    std::vector<FakeCall> out;
    for (const auto& c : fake->calls)
      if (c.function == function) out.push_back(c);
    return out;
  }
};

TEST_F(TransportTest, KeyEscapesBecomeMnemonics) {
  ASSERT_EQ(SendKeys(conn.get(), "0009,=         ;~\x0a"), 1);  // PF6
  std::vector<FakeCall> keys = CallsOf(3);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].data, "0009,=         ;");  // text before an escape goes once
  EXPECT_EQ(keys[1].data, "@6");
  fake->calls.clear();
  ASSERT_EQ(SendKeys(conn.get(), "~\x0e~\x1c~\x1d~\x2a"), 1);  // PF10, PF24, SysReq, Reset
  keys = CallsOf(3);
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0].data, "@a");
  EXPECT_EQ(keys[1].data, "@o");
  EXPECT_EQ(keys[2].data, "@A@H");
  EXPECT_EQ(keys[3].data, "@R");
  EXPECT_EQ(SendKeys(conn.get(), ""), 0);
}

TEST_F(TransportTest, ClearAndPf5StampTheScreenFirst) {
  ASSERT_EQ(SendKeys(conn.get(), "~\x03"), 1);
  std::vector<FakeCall> writes = CallsOf(15);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].data, "OK;;;;;;");
  EXPECT_EQ(writes[0].retrn, 1);
  fake->calls.clear();
  conn->request.session_kind = hostlink::kKindCut;  // the cut session writes the whole buffer
  ASSERT_EQ(SendKeys(conn.get(), "~\x09"), 1);
  writes = CallsOf(15);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].length, 1920);
  EXPECT_EQ(writes[0].data.substr(0, 9), std::string("OK;;;;;;\0", 9));
}

// A session the emulator reports gone (1 not connected, 9 system error) is
// closed on our side at once and opened afresh by the next operation.
TEST_F(TransportTest, ALostSessionIsOpenedAfreshByTheNextOperation) {
  ASSERT_EQ(conn->OpenLink(), 1);
  fake->pause_rc = 26;
  EXPECT_EQ(PauseForHost(conn.get(), 2), 1);  // the host painted meanwhile
  EXPECT_EQ(CallsOf(18).back().length, 2);
  fake->pause_rc = 0;
  EXPECT_EQ(PauseForHost(conn.get(), 1), 0);

  fake->copy_rc = 9;
  EXPECT_EQ(GetScreen(conn.get(), hostlink::ScreenMode::kRaw), nullptr);
  EXPECT_FALSE(conn->connected);
  EXPECT_TRUE(conn->Lost());
  fake->calls.clear();
  EXPECT_EQ(PauseForHost(conn.get(), 1), -1);  // nothing to wait on, and no reconnect
  EXPECT_TRUE(fake->calls.empty());

  fake->copy_rc = 0;
  EXPECT_NE(GetScreen(conn.get(), hostlink::ScreenMode::kRaw), nullptr);
  EXPECT_TRUE(conn->connected);
  EXPECT_FALSE(conn->Lost());
  EXPECT_EQ(CallsOf(1).size(), 1u);

  // A wait on a session that is gone ends at once, not at the time-out.
  fake->calls.clear();
  fake->wait_rc = 1;
  WaitForHostReply(conn.get());
  EXPECT_EQ(CallsOf(4).size(), 1u);
  EXPECT_TRUE(conn->Lost());
  fake->wait_rc = 0;
  fake->pause_rc = 9;
  ASSERT_NE(GetScreen(conn.get(), hostlink::ScreenMode::kRaw), nullptr);
  EXPECT_EQ(PauseForHost(conn.get(), 1), -1);
  EXPECT_TRUE(conn->Lost());
  fake->pause_rc = 0;

  // Ending the session on purpose: disconnected, and the next look connects.
  ASSERT_NE(GetScreen(conn.get(), hostlink::ScreenMode::kRaw), nullptr);
  fake->calls.clear();
  conn->ResetSession();
  EXPECT_FALSE(conn->connected);
  EXPECT_FALSE(conn->Lost());
  EXPECT_EQ(CallsOf(2).size(), 1u);
}

TEST_F(TransportTest, BadEscapesAreRefusedBeforeAnythingIsSent) {
  ASSERT_EQ(conn->OpenLink(), 1);
  fake->calls.clear();
  EXPECT_EQ(SendKeys(conn.get(), "ABC~"), -1);
  EXPECT_EQ(SendKeys(conn.get(), "~\x2b"), -1);
  EXPECT_EQ(SendKeys(conn.get(), "~\x01~\xff"), -1);
  EXPECT_TRUE(fake->calls.empty());
  EXPECT_EQ(conn->ErrorText(), "EM3270 - Invalid Key Escape (255)");
}

TEST_F(TransportTest, SoftSendFailuresAreRetriedWithReset) {
  fake->send_key_rcs = {5, 0, 5, 0, 0};  // Enter refused, Reset ok, refused, Reset ok, Enter ok
  ASSERT_EQ(SendKeys(conn.get(), "~\x04"), 1);
  std::vector<FakeCall> keys = CallsOf(3);
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(keys[1].data, "@R");
  EXPECT_EQ(keys[4].data, "@E");
  EXPECT_TRUE(TraceHas(" EM3270S <>EM3270 Send Error RC=5"));
}

TEST_F(TransportTest, RetriesRunOutAfterTwiceTheTimeout) {
  conn->timeout = 1;
  fake->send_key_rcs = std::vector<int>(10, 4);
  EXPECT_EQ(SendKeys(conn.get(), "~\x2a"), -1);  // Reset: no extra Reset between tries
  EXPECT_EQ(CallsOf(3).size(), 2u);
  EXPECT_TRUE(CallsOf(18).empty() || CallsOf(18).size() <= 1);  // no pause without a reset
}

TEST_F(TransportTest, HardSendFailureEndsAtOnce) {
  fake->send_key_rcs = {9};
  EXPECT_EQ(SendKeys(conn.get(), "~\x04"), -1);
  EXPECT_EQ(CallsOf(3).size(), 2u);  // the key and one Reset
}

TEST_F(TransportTest, SendDataWritesAtTheWritePosition) {
  ASSERT_EQ(SendData(conn.get(), "0009,=         ;"), 1);
  std::vector<FakeCall> writes = CallsOf(15);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].retrn, 1);
  EXPECT_EQ(fake->screen.substr(0, 16), "0009,=         ;");
  EXPECT_EQ(CallsOf(18).size(), 1u);  // a pause before the write
  EXPECT_TRUE(TraceHas(" SendData: <>0009,=         ;"));
}

TEST_F(TransportTest, SendDataRetriesAfterResetAndWait) {
  conn->timeout = 1;
  ASSERT_EQ(conn->OpenLink(), 1);
  fake->write_rc = 5;
  EXPECT_EQ(SendData(conn.get(), "X"), 0);
  EXPECT_EQ(CallsOf(15).size(), 2u);  // first try and one retry
  EXPECT_TRUE(TraceHas(" Connection <>Wait(2)"));
  EXPECT_EQ(conn->request.result, 0);
}

TEST_F(TransportTest, WaitForHostReplyEndsWhenTheScreenChanges) {
  fake->screens_after_key = {Screen("DATA SCREEN")};
  ASSERT_EQ(SendData(conn.get(), "0009,=         ;"), 1);
  ASSERT_EQ(SendKeys(conn.get(), "~\x0a"), 1);
  fake->calls.clear();
  EXPECT_EQ(WaitForHostReply(conn.get()), 0);
  EXPECT_EQ(conn->request.result, 1);
  EXPECT_EQ(fake->Functions(), (std::vector<int>{4, 5, 4}));
  EXPECT_EQ(fake->calls[1].length, 8);
}

TEST_F(TransportTest, WaitForHostReplyTimesOut) {
  conn->timeout = 1;  // taken into the request block when the link opens
  ASSERT_EQ(SendData(conn.get(), "SAME SCREEN"), 1);  // the screen keeps starting with the marker
  EXPECT_EQ(WaitForHostReply(conn.get()), 0);
  EXPECT_EQ(conn->request.result, -1);
  conn->request.timeout = 0;
  fake->calls.clear();
  WaitForHostReply(conn.get());
  EXPECT_TRUE(fake->calls.empty());  // a zero timeout fails at once
}

TEST_F(TransportTest, WaitReportsCancelButRunsItsTime) {
  next_command = 10014;
  EXPECT_EQ(Wait(conn.get(), 1), -1);
  EXPECT_EQ(Wait(conn.get(), 0), 0);
  ASSERT_FALSE(pumped_timeouts.empty());
  EXPECT_GT(pumped_timeouts.front(), 0);  // it blocks on the queue, it does not spin
}

TEST_F(TransportTest, RawScreenModeP) {
  fake->screen = Screen("QORPRINT header");
  const char* s = GetScreen(conn.get(), hostlink::ScreenMode::kRaw);
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(s, "QORPRINT header");
  // The copied trailing blanks stay behind the terminating zero.
  EXPECT_EQ(conn->result.size(), 1920u);
  EXPECT_TRUE(TraceHas(" Get Screen <>QORPRINT header"));
}

TEST_F(TransportTest, ModeYTranslatesAndExpandsAcrossScreens) {
  // "*(" gives the run byte '~', "=E" the count 5, ";-" the byte 0x60.
  fake->screen = Screen("=Hi*(=E;-*(");
  const char* s = GetScreen(conn.get(), hostlink::ScreenMode::kDecoded);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(conn->result, std::string("Hi") + std::string(5, '\x60'));
  // The '~' at the end of the screen carries into the next one.
  fake->screen = Screen("=C;.");
  GetScreen(conn.get(), hostlink::ScreenMode::kDecoded);
  EXPECT_EQ(conn->result, std::string(3, '\x4B'));
  EXPECT_TRUE(TraceHas(" xlate from IND: <>"));
  EXPECT_TRUE(TraceHas(" Runlength: <>"));
}

TEST_F(TransportTest, HardCopyFailureGivesNullAndAStatusLine) {
  ASSERT_EQ(conn->OpenLink(), 1);
  fake->copy_rc = 9;
  EXPECT_EQ(GetScreen(conn.get(), hostlink::ScreenMode::kRaw), nullptr);
  ASSERT_EQ(status_lines.size(), 1u);
  EXPECT_EQ(status_lines[0], "EIFcopy error RC=-1 EM3270 Copy Error RC=9");
}

TEST_F(TransportTest, LengthPrefixedScreens) {
  conn->length_prefix = true;
  fake->screen = Screen("0012 ABCDEF{{GHIJ trailing");
  ASSERT_NE(GetScreen(conn.get(), hostlink::ScreenMode::kRaw), nullptr);
  EXPECT_EQ(std::string(conn->result.c_str()), "ABCDEF  GHIJ trailing");
}

TEST_F(TransportTest, UnacceptableScreensEndInTheTimeoutText) {
  conn->length_prefix = true;
  conn->timeout = 0;
  fake->screen = Screen("0012 ABC DEF");
  EXPECT_STREQ(GetScreen(conn.get(), hostlink::ScreenMode::kDecoded), "IV,Timeout in LU2 loop");
  EXPECT_EQ(conn->result.size(), 22u);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "Timeout in LU2 loop");
  EXPECT_TRUE(TraceHas(" QORCONCT <>GetScreen reject reason = 0"));
}

TEST_F(TransportTest, ScreenAcceptedWhenTimeIsUpIsStillReturned) {
  conn->timeout = 0;  // every pass ends past the time-out
  fake->screen = Screen(";ABC");
  const char* s = GetScreen(conn.get(), hostlink::ScreenMode::kTranslated);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(conn->result, "\xC1\xC2\xC3");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TransportTest, ResetKeyboardShowsBadReset) {
  ASSERT_EQ(conn->OpenLink(), 1);
  fake->send_key_rcs = {9};
  ResetKeyboard(conn.get());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].second, "Bad reset");
  EXPECT_EQ(boxes[0].first, "EM3270 Send Error RC=9");
}

}  // namespace
