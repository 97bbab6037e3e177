// Jobs taken with the client's own host link (request layer, connection
// manager, screen transport) through the adapters, as the client runs them.
// The decoded bytes must be the job file's bytes.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/trace.h"
#include "hostlink/host_connection.h"
#include "hostlink/screen_transport.h"
#include "qorhost_process.h"
#include "test_support.h"
#include "tests/programs.h"

namespace {

std::string Sample(const std::string& name) {
  return testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

class AdapterClientLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("QOR_REGISTRY", (dir / "registry.reg").c_str(), 1);
    services.pump_event = [](int ms) {
      if (ms > 0) ::poll(nullptr, 0, ms);
      return 0;
    };
    services.show_message = [this](const std::string& text, const std::string& title) {
      messages += title + ": " + text + "\n";
    };
    services.add_status_text = [](const std::string&) {};
    services.message_text = [](const char*) { return std::string(); };
  }
  void TearDown() override {
    for (void* h : preloaded) ::dlclose(h);
    ::unsetenv("QOR_REGISTRY");
  }
  // The client finds adapters beside itself; this test program lives
  // elsewhere, so the adapter is loaded first and found again by its name.
  void preload(const std::string& file) {
    void* h = ::dlopen((BinDir() + "/" + file).c_str(), RTLD_NOW);
    ASSERT_NE(nullptr, h) << ::dlerror();
    preloaded.push_back(h);
  }
  // Header, start command and PF6, then each data screen decoded and Clear,
  // up to the end marker; Clear delivers the job and Reset ends it.
  std::string take_job(const std::string& library, const std::string& ident,
                       int* screens = nullptr) {
    hostlink::HostConnection conn((dir / "QORPRTW.INI").c_str(), &services, trace);
    conn.library_name = library;
    conn.timeout = 10;
    std::string bytes;
    const char* header = GetScreen(&conn, hostlink::ScreenMode::kRaw);
    EXPECT_NE(nullptr, header) << messages;
    if (!header) return bytes;
    EXPECT_EQ(0, std::strncmp(header, "QORPRINT", 8));
    EXPECT_NE(nullptr, std::strstr(header, ident.c_str()));
    EXPECT_EQ(1, SendData(&conn, "0009,=         ;"));
    EXPECT_EQ(1, SendKeys(&conn, "~\x0a"));  // PF6
    for (int blocks = 0; blocks < 10000; ++blocks) {
      WaitForHostReply(&conn);
      const char* data = GetScreen(&conn, hostlink::ScreenMode::kDecoded);
      if (!data || std::strcmp(data, hostlink::kLu2TimeoutText) == 0) {
        ADD_FAILURE() << "no data screen after " << blocks << " blocks: " << messages;
        break;
      }
      if (std::strncmp(data, "$-+ENDPRINT+-$", 14) == 0) break;
      bytes.append(data, conn.result.size());
      if (screens) ++*screens;
      EXPECT_EQ(1, SendKeys(&conn, "~\x03"));  // Clear
    }
    EXPECT_EQ(1, SendKeys(&conn, "~\x03"));
    WaitForHostReply(&conn);
    EXPECT_EQ(1, SendKeys(&conn, "~*"));  // Reset
    conn.Terminate();
    return bytes;
  }

  TempDir dir;
  hostlink::HostServices services;
  common::Tracer trace;
  std::string messages;
  std::vector<void*> preloaded;
};

TEST_F(AdapterClientLink, TakesAJobFromTheDefaultAdapterWithNoEmulator) {
  ASSERT_EQ(0, ::mkdir((dir / "spool").c_str(), 0755));
  testing_support::write_file(dir / "spool/MONTHRPT", Sample("MONTHRPT"));
  ::setenv("QOR_SPOOL", (dir / "spool").c_str(), 1);
  preload("razevu3.so");
  ASSERT_TRUE(trace.Start((dir / "QORPRTW.TRC").c_str(), common::TraceMode::kFresh));
  std::string bytes = take_job("RAZEVU3.DLL", "MONTHRPT");
  ::unsetenv("QOR_SPOOL");
  EXPECT_EQ(Sample("MONTHRPT"), bytes);
  EXPECT_TRUE(testing_support::file_exists(dir / "spool/done/MONTHRPT"));

  // The run's records, in order: load, connect, header, start, data, end.
  std::string text = testing_support::read_file(dir / "QORPRTW.TRC");
  size_t at = 0;
  for (const char* record :
       {" QORCONCT:Load Lib: <>RAZEVU3.DLL", " RAZEVU3.DLL <>Loading DLL",
        " EMU3270: <>hllapi([21]Reset Systm <NULL> 0 0)", " EMU3270: <>hllapi([1]Connect A 1 0)",
        " EMU3270: <>hllapi([22]Query SesSt A 18 0)", " EMU3270: <>hllapi([9]<NULL> NWAIT 5 0)",
        " EMU3270: <>hllapi([5]Copy Pspace ", " Get Screen <>QORPRINT",
        " SendData: <>0009,=         ;", " EMU3270: <>hllapi([15]String copy 0009,=     16 1)",
        " EMU3270: <>hllapi([3]Send Key @6 2 0)", " xlate from IND: <>", " Runlength: <>",
        " EMU3270: <>hllapi([3]Send Key @C 2 0)", " EMU3270: <>hllapi([2]Disconnect A 0 0)",
        " QORCONCT <>EM3270terminate"}) {
    size_t found = text.find(record, at);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << record;
    at = found + 1;
  }
}

class AdapterClientLinkOverS3270 : public AdapterClientLink,
                                   public ::testing::WithParamInterface<const char*> {};

TEST_P(AdapterClientLinkOverS3270, TakesAJobThroughTheAdapterAndARealEmulator) {
  ASSERT_EQ(0, ::mkdir((dir / "spool").c_str(), 0755));
  testing_support::write_file(dir / "spool/ALLBYTES", Sample("ALLBYTES"));
  testing_support::QorhostProcess host(dir / "spool", {}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);
  testing_support::write_file(dir / "sessions",
                              "A s3270 127.0.0.1:" + std::to_string(host.port()) + "\n");
  ::setenv("QOR_SESSIONS", (dir / "sessions").c_str(), 1);
  std::string library = GetParam();
  std::string file = library.substr(0, library.find('.'));
  for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  preload(file + ".so");
  std::string bytes = take_job(library, "ALLBYTES");
  ::unsetenv("QOR_SESSIONS");
  EXPECT_EQ(Sample("ALLBYTES"), bytes);
  EXPECT_TRUE(testing_support::eventually(
      [&] { return testing_support::file_exists(dir / "spool/done/ALLBYTES"); }, 10000));
}

// A model 5 session: the header is read on its 24 x 80 screen, the data
// screens fill 27 x 132, so the same job needs far fewer screens (and host
// round trips) than on model 2.
TEST_F(AdapterClientLink, Model5TakesLongjobInFewerScreens) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  ASSERT_EQ(0, ::mkdir((dir / "spool").c_str(), 0755));
  const std::string job = Sample("LONGJOB");
  testing_support::write_file(dir / "spool/LONGJOB", job);
  testing_support::write_file(dir / "spool/LONGJOB2", job);
  testing_support::QorhostProcess host(dir / "spool", {"--model", "5"}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);
  ::setenv("QOR_SESSIONS", (dir / "sessions").c_str(), 1);
  preload("qor32pcs.so");
  int screens[2] = {0, 0};
  double seconds[2] = {0, 0};
  for (int model : {5, 2}) {
    const int i = model == 5 ? 0 : 1;
    testing_support::write_file(dir / "sessions",
                                "A s3270 127.0.0.1:" + std::to_string(host.port()) +
                                    " timeout=20 model=" + std::to_string(model) + "\n");
    const long long start = testing_support::monotonic_ms();
    std::string bytes = take_job("QOR32PCS.DLL", "LONGJOB", &screens[i]);
    seconds[i] = static_cast<double>(testing_support::monotonic_ms() - start) / 1000.0;
    EXPECT_TRUE(bytes == job) << "model " << model << ": " << bytes.size() << " of " << job.size()
                              << " bytes";
  }
  ::unsetenv("QOR_SESSIONS");
  std::printf("LONGJOB (%zu bytes): model 5 %d screens in %.1f s, model 2 %d screens in %.1f s\n",
              job.size(), screens[0], seconds[0], screens[1], seconds[1]);
  ASSERT_GT(screens[1], 0);
  EXPECT_LE(screens[0], screens[1] * 6 / 10);
  EXPECT_NE(std::string::npos,
            testing_support::read_file(dir / "qorhost.log").find("data screens 27 x 132"));
}

INSTANTIATE_TEST_SUITE_P(All, AdapterClientLinkOverS3270,
                         ::testing::Values("QOR32PCS.DLL", "QOR32E62.DLL", "QOR32HLL.DLL"),
                         [](const auto& info) { return std::string(info.param).substr(0, 8); });

}  // namespace
