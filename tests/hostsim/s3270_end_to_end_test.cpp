// A real emulator (s3270, driven through its script pipe) against qorhost on
// a loopback port: header screen, start command, PF6 or PF7, Clear through the
// data screens to the end marker, and the decoded blocks equal the job file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "hostsim/conversation_texts.h"
#include "tests/hostsim/qorhost_process.h"
#include "tests/hostsim/reference_decoder.h"
#include "tests/hostsim/test_support.h"
#include "tests/programs.h"

using namespace testing_support;

namespace {

struct Reply {
  bool ok = false;
  std::vector<std::string> data;
  std::string status;
};

// One command line; the reply is data lines, a status line, then ok or error.
Reply command(Child& s3270, const std::string& line) {
  Reply reply;
  if (!s3270.write_line(line)) return reply;
  std::vector<std::string> lines;
  std::string text;
  while (s3270.read_line(&text, 15000)) {
    if (text == "ok" || text == "error") {
      reply.ok = text == "ok";
      if (!lines.empty()) {
        reply.status = lines.back();
        lines.pop_back();
      }
      for (std::string& l : lines)
        reply.data.push_back(l.rfind("data: ", 0) == 0 ? l.substr(6) : l);
      return reply;
    }
    lines.push_back(text);
  }
  ADD_FAILURE() << "no reply to " << line;
  return reply;
}

std::string whole_screen(Child& s3270) {
  Reply r = command(s3270, "Ascii()");
  EXPECT_TRUE(r.ok);
  std::string screen;
  for (const std::string& row : r.data) screen += row;
  EXPECT_EQ(screen.size(), 1920u);
  return screen;
}

std::string sample(const std::string& name) {
  return read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

void run_job_through_s3270(const std::string& job_name, const std::string& job, bool prefixed) {
  TempDir dir;
  ::mkdir((dir / "spool").c_str(), 0755);
  write_file(dir / ("spool/" + job_name), job);
  QorhostProcess host(dir / "spool", {}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);
  Child s3270({"s3270", "-utf8"}, dir / "s3270.err");
  ASSERT_TRUE(s3270.started());

  ASSERT_TRUE(command(s3270, "Connect(127.0.0.1:" + std::to_string(host.port()) + ")").ok);
  const std::string header = whole_screen(s3270);
  EXPECT_EQ(header.substr(0, 8), "QORPRINT");  // row 1, column 1
  EXPECT_EQ(header[23], 'V');                  // column 24
  EXPECT_EQ(header.substr(hostsim::kIdentPosition, job_name.size() + 1), job_name + ",");

  ASSERT_TRUE(command(s3270, "MoveCursor(0,0)").ok);
  ASSERT_TRUE(command(s3270, "String(\"" + std::string(hostsim::kStartCommand) + "\")").ok);
  ASSERT_TRUE(command(s3270, prefixed ? "PF(7)" : "PF(6)").ok);

  reference::Decoder decoder(prefixed);
  std::string received;
  bool ended = false;
  for (int screens = 0; screens < 20000 && !ended; ++screens) {
    auto block = decoder.decode(reference::copy_screen(whole_screen(s3270)));
    ASSERT_TRUE(block.has_value());
    ended = block->rfind(std::string(hostsim::kEndMarker), 0) == 0;
    if (!ended) received += reference::up_to_zero(*block);
    // What the client stamps before Clear; Clear itself sends only the key.
    ASSERT_TRUE(command(s3270, "MoveCursor(0,0) String(\"OK;;;;;;\") Clear()").ok);
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(received.size(), job.size());
  EXPECT_TRUE(received == job) << "decoded job differs from the job file";
  // The job is delivered and the idle screen follows.
  EXPECT_TRUE(eventually([&] { return file_exists(dir / ("spool/done/" + job_name)); }, 5000));
  EXPECT_EQ(whole_screen(s3270).substr(0, 16), "HOST PRINT QUEUE");
  command(s3270, "Quit()");
  EXPECT_TRUE(s3270.wait_exit(5000));
  host.child().stop();
}

}  // namespace

TEST(S3270EndToEnd, ReportWithPf6PlainScreens) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  run_job_through_s3270("MONTHRPT", sample("MONTHRPT"), false);
}

TEST(S3270EndToEnd, EveryByteValueWithPf7LengthPrefixedScreens) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  run_job_through_s3270("ALLBYTES", sample("ALLBYTES"), true);
}

TEST(S3270EndToEnd, RulersWithPf6) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  run_job_through_s3270("RULERS", sample("RULERS"), false);
}
