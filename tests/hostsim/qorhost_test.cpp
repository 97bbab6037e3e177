// qorhost as a process, driven by scripted terminals over loopback sockets.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>

#include <map>
#include <vector>

#include "hostsim/conversation_texts.h"
#include "hostsim/fault_plan.h"
#include "tests/hostsim/qorhost_process.h"
#include "tests/hostsim/reference_decoder.h"
#include "tests/hostsim/test_support.h"
#include "tests/hostsim/wire_terminal.h"

using namespace testing_support;

namespace {

constexpr unsigned char kPf6 = 0xF6, kPf7 = 0xF7, kClear = 0x6D, kEnter = 0x7D;

std::string job_text(const std::string& name, int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += name + " line " + std::to_string(i) + "                    ========\r\n";
  }
  return text + "\f";
}

std::string ident_on(const WireTerminal& t) {
  return t.screen().substr(hostsim::kIdentPosition, 14);
}

// Reads one data screen of a running job; true once it was the end marker.
bool take_block(WireTerminal& t, reference::Decoder& decoder, std::string* job) {
  auto block = decoder.decode(reference::copy_screen(t.screen()));
  EXPECT_TRUE(block.has_value());
  if (!block) return true;
  const bool end = block->rfind(std::string(hostsim::kEndMarker), 0) == 0;
  if (!end) *job += reference::up_to_zero(*block);
  EXPECT_TRUE(t.send_key(kClear));
  EXPECT_TRUE(t.next_screen());
  return end;
}

}  // namespace

TEST(Qorhost, TwoSessionsAtOnceKeepTheirJobsApart) {
  TempDir dir;
  ::mkdir((dir / "spool").c_str(), 0755);
  const std::map<std::string, std::string> jobs = {{"ALPHA", job_text("alpha", 300)},
                                                   {"BRAVO", job_text("bravo", 250)}};
  for (const auto& [name, text] : jobs) write_file(dir / ("spool/" + name), text);
  QorhostProcess host(dir / "spool", {"--capacity", "300"}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);

  WireTerminal a(host.port()), b(host.port());
  ASSERT_TRUE(a.next_screen() && b.next_screen());
  ASSERT_EQ(a.screen().substr(0, 8), "QORPRINT");
  ASSERT_EQ(b.screen().substr(0, 8), "QORPRINT");
  const std::string name_a = ident_on(a).substr(0, 5), name_b = ident_on(b).substr(0, 5);
  ASSERT_NE(name_a, name_b);

  ASSERT_TRUE(a.send_key(kPf6, std::string(hostsim::kStartCommand) + " LEVEL V"));
  ASSERT_TRUE(b.send_key(kPf7, std::string(hostsim::kStartCommand)));
  ASSERT_TRUE(a.next_screen() && b.next_screen());
  reference::Decoder plain, prefixed(true);
  std::string got_a, got_b;
  bool done_a = false, done_b = false;
  for (int round = 0; round < 1000 && !(done_a && done_b); ++round) {
    if (!done_a) done_a = take_block(a, plain, &got_a);
    if (!done_b) done_b = take_block(b, prefixed, &got_b);
  }
  EXPECT_EQ(got_a, jobs.at(name_a));
  EXPECT_EQ(got_b, jobs.at(name_b));
  EXPECT_TRUE(eventually([&] { return list_directory(dir / "spool/done").size() == 2; }, 5000));
  // Both go idle: nothing else waits.
  EXPECT_EQ(a.screen().substr(0, 16), "HOST PRINT QUEUE");
}

TEST(Qorhost, DroppedTerminalLeavesItsJobInTheSpool) {
  TempDir dir;
  ::mkdir((dir / "spool").c_str(), 0755);
  write_file(dir / "spool/KEEPME", job_text("keep", 200));
  QorhostProcess host(dir / "spool", {"--capacity", "200"}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);
  {
    WireTerminal t(host.port());
    ASSERT_TRUE(t.next_screen());
    ASSERT_TRUE(t.send_key(kPf6, std::string(hostsim::kStartCommand)));
    ASSERT_TRUE(t.next_screen());
    ASSERT_TRUE(t.send_key(kClear));
    ASSERT_TRUE(t.next_screen());
  }  // gone mid-job
  WireTerminal again(host.port());
  ASSERT_TRUE(again.next_screen());
  EXPECT_EQ(ident_on(again).substr(0, 7), "KEEPME,");
  EXPECT_TRUE(file_exists(dir / "spool/KEEPME"));
  EXPECT_FALSE(file_exists(dir / "spool/done/KEEPME"));
}

TEST(Qorhost, DroppedOrStalledJobsAreServedToTheNextSession) {
  // The first connection draws stream 1 of the seed: pick a seed whose first
  // draw there is the fault, and would not be on some other stream.
  auto random_faults = [](hostsim::Fault fault) {
    auto first_draw = [](uint32_t seed, uint32_t stream) {
      return hostsim::FaultDice(seed, stream, 100).Roll();
    };
    uint32_t seed = 1;
    while (first_draw(seed, 1) != fault || first_draw(seed, 0) == fault) ++seed;
    return std::to_string(seed) + ":100";
  };
  struct Case {
    std::vector<std::string> options;
    int blocks_before_fault;
    bool stalls;  // else the host closes the connection
    std::string logged;
  };
  for (const Case& c :
       {Case{{"--drop-after", "2"}, 2, false, "dropping the connection before block 3"},
        Case{{"--random-faults", random_faults(hostsim::Fault::kDrop)},
             0,
             false,
             "dropping the connection before block 1 (random)"},
        Case{{"--random-faults", random_faults(hostsim::Fault::kStall)},
             0,
             true,
             "stalling before block 1 (random)"}}) {
    SCOPED_TRACE(c.logged);
    TempDir dir;
    ::mkdir((dir / "spool").c_str(), 0755);
    write_file(dir / "spool/DROP", job_text("drop", 200));
    std::vector<std::string> options{"--capacity", "200"};
    options.insert(options.end(), c.options.begin(), c.options.end());
    QorhostProcess host(dir / "spool", options, dir / "qorhost.log");
    ASSERT_GT(host.port(), 0);
    {
      WireTerminal t(host.port());
      ASSERT_TRUE(t.next_screen());
      ASSERT_TRUE(t.send_key(kPf6, std::string(hostsim::kStartCommand)));
      for (int block = 0; block < c.blocks_before_fault; ++block) {
        ASSERT_TRUE(t.next_screen());
        ASSERT_TRUE(t.send_key(kClear));
      }
      EXPECT_FALSE(t.next_screen(c.stalls ? 300 : 5000));
      EXPECT_EQ(t.closed_by_host(), !c.stalls);
    }  // a stalled session holds its job until the terminal goes
    EXPECT_TRUE(file_exists(dir / "spool/DROP"));
    WireTerminal again(host.port());
    ASSERT_TRUE(again.next_screen());
    EXPECT_EQ(ident_on(again).substr(0, 5), "DROP,");
    EXPECT_NE(read_file(dir / "qorhost.log").find(c.logged), std::string::npos);
  }
}

TEST(Qorhost, IdleScreenTurnsIntoAHeaderWhenAJobArrivesAndDelayIsHonoured) {
  TempDir dir;
  ::mkdir((dir / "spool").c_str(), 0755);
  QorhostProcess host(dir / "spool", {"--job-poll-ms", "50", "--delay-ms", "150"},
                      dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);
  WireTerminal t(host.port());
  ASSERT_TRUE(t.next_screen());
  EXPECT_EQ(t.screen().substr(0, 16), "HOST PRINT QUEUE");
  write_file(dir / "spool/.LATE", "arrived later");
  ::rename((dir / "spool/.LATE").c_str(), (dir / "spool/LATE").c_str());
  ASSERT_TRUE(t.next_screen());  // painted without any key
  EXPECT_EQ(t.screen().substr(0, 8), "QORPRINT");
  const long long before = monotonic_ms();
  ASSERT_TRUE(t.send_key(kEnter));
  ASSERT_TRUE(t.next_screen());
  EXPECT_GE(monotonic_ms() - before, 140);
}

TEST(Qorhost, BadOptionsAreRefused) {
  TempDir dir;
  Child bad({qorhost_path(), "--port", "70000", "--spool", dir.path()}, dir / "err.log");
  int status = 0;
  ASSERT_TRUE(bad.wait_exit(5000, &status));
  EXPECT_NE(status, 0);
  Child missing({qorhost_path(), "--port", "0"}, dir / "err2.log");
  ASSERT_TRUE(missing.wait_exit(5000, &status));
  EXPECT_NE(status, 0);
  Child no_spool({qorhost_path(), "--spool", dir / "absent"}, dir / "err3.log");
  ASSERT_TRUE(no_spool.wait_exit(5000, &status));
  EXPECT_NE(status, 0);
  for (const char* faults : {"7", "7:", ":3", "-7:3", "7:101", "7:3x", "4294967296:3"}) {
    Child bad_faults({qorhost_path(), "--spool", dir.path(), "--random-faults", faults},
                     dir / "err4.log");
    ASSERT_TRUE(bad_faults.wait_exit(5000, &status)) << faults;
    EXPECT_NE(status, 0) << faults;
  }
  // New flags with values they cannot take, each said on stderr.
  write_file(dir / "not.pem", "not a certificate\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--model", "6"}, "--model"},
      {{"--codepage", "cp437"}, "not an EBCDIC"},
      {{"--codepage", "klingon"}, "not a code page"},
      {{"--capacity", "3564"}, "--capacity"},
      {{"--tls-cert", dir / "not.pem"}, "go together"},
      {{"--tls-cert", dir / "not.pem", "--tls-key", dir / "not.pem"}, "not.pem"},
  };
  for (const auto& [options, said] : refused) {
    std::vector<std::string> argv{qorhost_path(), "--spool", dir.path(), "--port", "0"};
    argv.insert(argv.end(), options.begin(), options.end());
    Child c(argv, dir / "err5.log");
    ASSERT_TRUE(c.wait_exit(5000, &status)) << options[0];
    EXPECT_NE(status, 0) << options[0];
    EXPECT_NE(read_file(dir / "err5.log").find(said), std::string::npos)
        << read_file(dir / "err5.log");
  }
  Child help({qorhost_path(), "--help"}, dir / "help.log");
  std::string text, line;
  while (help.read_line(&line, 5000)) text += line + "\n";
  for (const char* flag :
       {"--model", "--codepage", "--tls-cert", "--tls-key", "--no-tn3270e", "lu/NAME"})
    EXPECT_NE(text.find(flag), std::string::npos) << flag << " missing from --help:\n" << text;
}
