// Opening the link through each adapter family, and what failures show.
#include <algorithm>

#include "tests/hostlink/link_fixture.h"

namespace {

TEST_F(LinkTest, ConnectSequenceOfThePlainFamily) {
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(0);
  ASSERT_EQ(conn.OpenLink(), 1);
  EXPECT_TRUE(conn.connected);
  EXPECT_EQ(fake->init_calls, 1);
  EXPECT_EQ(fake->Functions(), (std::vector<int>{21, 1, 22, 9, 120}));
  EXPECT_EQ(fake->calls[1].data, "A");
  EXPECT_EQ(fake->calls[1].length, 1);
  EXPECT_EQ(fake->calls[2].length, 18);
  EXPECT_EQ(fake->calls[3].data, "NWAIT");
  EXPECT_EQ(conn.request.rows, 24);
  EXPECT_EQ(conn.request.columns, 80);
  EXPECT_EQ(conn.request.screen_size, 1920);
  // One trace line per call, with the call's words as they were before it.
  EXPECT_TRUE(TraceHas(" EMU3270: <>hllapi([21]Reset Systm <NULL> 0 0)"));
  EXPECT_TRUE(TraceHas(" EMU3270: <>hllapi([1]Connect A 1 0)"));
  EXPECT_TRUE(TraceHas(" EMU3270: <>hllapi([9]<NULL> NWAIT 5 0)"));
  EXPECT_TRUE(TraceHas(" QORCONCT:Load Lib: <>QORFAKE.DLL"));
  EXPECT_TRUE(TraceHas(" STRUCT.FIELDS <>S/F RC=1"));  // no structured fields: no 121
}

TEST_F(LinkTest, ThirtyTwoBitFamilyReadsItsOwnStatusLayout) {
  UseFake(1);
  fake->rows = 32;
  fake->columns = 80;
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = "qor32pfake.dll";  // family chosen ignoring case
  ASSERT_EQ(conn.OpenLink(), 1);
  EXPECT_EQ(conn.request.adapter_family, hostlink::kFamilyPcs);
  EXPECT_EQ(fake->calls[1].length, 4);
  EXPECT_EQ(fake->calls[2].length, 20);
  EXPECT_EQ(conn.request.rows, 32);
  EXPECT_EQ(conn.request.columns, 80);
  EXPECT_NE(conn.request.session_kind, hostlink::kKindNovell);
}

TEST_F(LinkTest, NovellStatusLayoutIsRereadAndTheAdapterIsKept) {
  UseFake(1);
  fake->novell_status = true;
  {
    hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
    conn.library_name = FakeName(1);
    ASSERT_EQ(conn.OpenLink(), 1);
    EXPECT_EQ(conn.request.rows, 24);
    EXPECT_EQ(conn.request.columns, 80);
    EXPECT_EQ(conn.request.session_kind, hostlink::kKindNovell);
  }
  EXPECT_EQ(fake->term_calls, 1);  // terminated, but the library stays loaded
}

TEST_F(LinkTest, E62FamilyQueriesSessionsFirst) {
  UseFake(2);
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(2);
  ASSERT_EQ(conn.OpenLink(), 1);
  EXPECT_EQ(fake->Functions()[1], 10);
  EXPECT_EQ(fake->calls[1].length, 312);
  EXPECT_EQ(fake->calls[2].length, 0);  // connect with length 0
  EXPECT_TRUE(TraceHas(" EMU3270s <>Query Sessions Returned"));
  std::string entry("A\0\0\0\0\0\0\0\0\0\0\0", 12);
  EXPECT_TRUE(TraceHas(" EM3270s <>" + entry));
}

TEST_F(LinkTest, SessionLetterFromSettingsAndNovellSendsNoLetter) {
  {
    hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
    conn.library_name = FakeName(0);
    conn.session_number = 2;
    ASSERT_EQ(conn.OpenLink(), 1);
    EXPECT_EQ(fake->calls[1].data, "B");
  }
  fake->calls.clear();
  hostlink::HostConnection novell("QORPRTW.INI", &services, trace);
  novell.library_name = FakeName(0);
  novell.session_type = 'N';
  ASSERT_EQ(novell.OpenLink(), 1);
  EXPECT_EQ(novell.request.short_session_id, 0);
}

TEST_F(LinkTest, ConnectFailureIsShownAndRetriedNextTime) {
  fake->connect_rc = 11;
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(0);
  EXPECT_EQ(conn.OpenLink(), -1);
  EXPECT_FALSE(conn.connected);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], std::make_pair(std::string("EM3270 Connection Error RC=11"),
                                     std::string("Connection Error")));
  EXPECT_TRUE(TraceHas(" EMUBLK: <>"));
  EXPECT_EQ(conn.ErrorText(), "EM3270 Connection Error RC=11");
  fake->connect_rc = 5;  // keyboard locked still counts as connected
  EXPECT_EQ(conn.OpenLink(), 1);
  EXPECT_EQ(fake->init_calls, 1);  // the adapter was loaded once
}

TEST_F(LinkTest, StatusFailuresHaveTheirOwnTexts) {
  fake->status_rc = 1;
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(0);
  EXPECT_EQ(conn.OpenLink(), -1);
  EXPECT_EQ(boxes.back().first, "EM3270 Invalid Session Id Error RC=1");
  fake->status_rc = 9;
  EXPECT_EQ(conn.OpenLink(), -1);
  EXPECT_EQ(boxes.back().first, "EM3270 Query Session Status Error RC=9");
}

TEST_F(LinkTest, OversizedScreenIsRefusedNotOverrun) {
  fake->rows = 62;
  fake->columns = 160;
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(0);
  EXPECT_EQ(conn.OpenLink(), -1);
  EXPECT_EQ(boxes.back().first, "EM3270 Screen Size Error RC=9920");
}

TEST_F(LinkTest, MissingLibraryShowsTheLoadErrorBox) {
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = "NOSUCHAD.DLL";
  EXPECT_EQ(conn.OpenLink(), -1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].second, ".DLL Load Error");
  EXPECT_EQ(boxes[0].first.rfind("Cannot load NOSUCHAD.DLL (error ", 0), 0u);
  EXPECT_NE(boxes[0].first.find("\r\n" + platform::SharedObjectName("NOSUCHAD.DLL")),
            std::string::npos);
  EXPECT_TRUE(TraceHas(" DLL load failed <>EM3270 - Cannot load NOSUCHAD.DLL ("));
  EXPECT_TRUE(TraceHas(" QORCONCT:Load Error: <>"));
  EXPECT_FALSE(conn.adapter_loaded);
}

TEST_F(LinkTest, LibraryWithoutTheEntryPointNeverGetsCalled) {
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = "QORNOENTRY.DLL";
  EXPECT_EQ(conn.OpenLink(), -1);
  EXPECT_TRUE(TraceHas(" DLL access failed <>QOR_HLLAPI not found RC="));
  EXPECT_EQ(conn.OpenLink(), -1);  // a second attempt fails the same way, safely
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LinkTest, StructuredFieldProbeConnectsAndDisconnects) {
  fake->sf_connect_rc = 0;
  fake->sf_disconnect_rc = 40;
  fake->sf_complete_38_times = 2;
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(0);
  ASSERT_EQ(conn.OpenLink(), 1);
  std::vector<int> f = fake->Functions();
  EXPECT_EQ(std::vector<int>(f.begin() + 4, f.end()), (std::vector<int>{120, 121, 125, 125, 125}));
  // Narrow blocks: the session id, then the query reply's 8-byte address.
  EXPECT_EQ(fake->calls[4].length, 11);
  EXPECT_EQ(fake->calls[4].data[0], 'A');
  EXPECT_EQ(fake->calls[5].data, std::string("A\xC1\xC1", 3));
  EXPECT_EQ(conn.request.dest_origin_id[0], 0xC1);
  std::string trace = Trace();
  EXPECT_NE(trace.find(" SF Wait <>ReqId=0000"), std::string::npos);
  EXPECT_NE(trace.find(" HLSFwait <>RC=0"), std::string::npos);
  EXPECT_NE(trace.find(" SF Disconnect <>Disconnect Cleanup"), std::string::npos);
  EXPECT_EQ(trace.find("hllapi([125]"), std::string::npos);  // silenced while polling
}

TEST_F(LinkTest, TerminateDisconnectsUnloadsAndTracesOnce) {
  {
    hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
    conn.library_name = FakeName(0);
    ASSERT_EQ(conn.OpenLink(), 1);
    fake->calls.clear();
    conn.Terminate();
    EXPECT_EQ(fake->Functions(), (std::vector<int>{2, 21}));
    EXPECT_EQ(fake->term_calls, 1);
    EXPECT_FALSE(conn.connected);
  }
  std::string trace = Trace();
  size_t first = trace.find("EM3270terminate");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(trace.find("EM3270terminate", first + 1), std::string::npos);
}

TEST_F(LinkTest, SessionParametersAreSetAfterConnect) {
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  conn.library_name = FakeName(0);
  conn.SetSessionParameters("IPAUSE,TWAIT");
  ASSERT_EQ(conn.OpenLink(), 1);
  EXPECT_EQ(fake->Functions(), (std::vector<int>{21, 1, 22, 9, 9, 120}));
  EXPECT_EQ(fake->calls[4].data, "IPAUSE,TWAIT");
}

}  // namespace
