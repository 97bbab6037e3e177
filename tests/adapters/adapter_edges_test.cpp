// The adapters' own rules, checked through the built libraries: each copied
// into a scratch directory beside a recording stand-in for its vendor
// library, which the adapter finds through its $ORIGIN run path.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"
#include "tests/adapters/adapter_client.h"
#include "tests/programs.h"

namespace {

using adapter_test::AdapterLibrary;
using adapter_test::CallResult;

struct FakeRecord {
  int startups, calls, cleanups;
  uint32_t function, length, return_code;
  uint32_t requested_version, preset_version;
  int description_first;
  const void *function_at, *length_at, *return_code_at, *data;
};

struct AdapterCase {
  const char* adapter;
  const char* vendor;
  bool wide;
  uint16_t preset_version, requested_version;
};

void PrintTo(const AdapterCase& c, std::ostream* os) { *os << c.adapter; }

const AdapterCase kAdapters[] = {
    {"qor32hll", "whllapi", false, 0, 0x0110},
    {"qor32whl", "whlapi32", false, 0, 0x0110},
    {"qor32e62", "whlapi32", false, 1, 0x0001},
    {"qor32pcs", "pcshll32", true, 0, 0},
};

// An adapter copied beside the fake vendor library.
class AdapterWithFake {
 public:
  explicit AdapterWithFake(const AdapterCase& c) {
    namespace fs = std::filesystem;
    fs::copy_file(BinDir() + "/" + c.adapter + ".so", dir_ / (std::string(c.adapter) + ".so"));
    fs::copy_file(std::string(QOR_FAKE_DIR) + "/" + c.vendor + ".so",
                  dir_ / (std::string(c.vendor) + ".so"));
    lib_ = std::make_unique<AdapterLibrary>("", dir_ / (std::string(c.adapter) + ".so"));
    fake_ = ::dlopen((dir_ / (std::string(c.vendor) + ".so")).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (fake_) {
      record_ = reinterpret_cast<const FakeRecord* (*)()>(::dlsym(fake_, "fake_record"))();
      reply_ = reinterpret_cast<void (*)(uint32_t, uint32_t)>(::dlsym(fake_, "fake_reply"));
      startup_result_ = reinterpret_cast<void (*)(int)>(::dlsym(fake_, "fake_startup_result"));
    }
  }
  ~AdapterWithFake() {
    lib_.reset();
    if (fake_) ::dlclose(fake_);
  }
  bool ready() const { return lib_->loaded() && record_; }
  AdapterLibrary& lib() { return *lib_; }
  const FakeRecord& record() const { return *record_; }
  void reply(uint32_t length, uint32_t code) { reply_(length, code); }
  void startup_result(int r) { startup_result_(r); }

 private:
  TempDir dir_;
  std::unique_ptr<AdapterLibrary> lib_;
  void* fake_ = nullptr;
  const FakeRecord* record_ = nullptr;
  void (*reply_)(uint32_t, uint32_t) = nullptr;
  void (*startup_result_)(int) = nullptr;
};

class AdapterEdges : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(AdapterEdges, HandsTheVendorItsOwnWordsAndReturnsThree) {
  AdapterWithFake a(GetParam());
  ASSERT_TRUE(a.ready()) << a.lib().error();
  int func = 0x10016, len = 0x2000A, rc = 0x30001;
  char data[] = "<NULL>";
  a.reply(18, 0);
  int ret = reinterpret_cast<int (*)(int*, char*, int*, int*)>(
      ::dlsym(a.lib().handle(), "QOR_HLLAPI"))(&func, data, &len, &rc);
  EXPECT_EQ(3, ret);
  EXPECT_EQ(1, a.record().calls);
  EXPECT_EQ(data, a.record().data) << "the data pointer passes unchanged";
  EXPECT_NE(static_cast<const void*>(&func), a.record().function_at);
  EXPECT_NE(static_cast<const void*>(&len), a.record().length_at);
  EXPECT_NE(static_cast<const void*>(&rc), a.record().return_code_at);
  EXPECT_EQ(0x10016, func) << "the function number is not written back";
  if (GetParam().wide) {
    EXPECT_EQ(0x10016u, a.record().function);
    EXPECT_EQ(0x2000Au, a.record().length);
    EXPECT_EQ(0x30001u, a.record().return_code);
  } else {
    // Only the low 16 bits of each word reach a WinHLLAPI vendor.
    EXPECT_EQ(0x16u, a.record().function);
    EXPECT_EQ(0xAu, a.record().length);
    EXPECT_EQ(1u, a.record().return_code);
  }
  EXPECT_EQ(18, len);
  EXPECT_EQ(0, rc);
}

TEST_P(AdapterEdges, HighBitWordsComeBackPositiveAndFailuresStillReturnThree) {
  AdapterWithFake a(GetParam());
  ASSERT_TRUE(a.ready()) << a.lib().error();
  a.reply(0x8001, 0xFFFF);
  CallResult r = a.lib().call(5, nullptr, 1920);
  EXPECT_EQ(3, r.ret);
  if (GetParam().wide) {
    EXPECT_EQ(0x8001, r.length);
    EXPECT_EQ(0xFFFF, r.rc);
  } else {
    EXPECT_EQ(32769, r.length) << "zero-extended, not sign-extended";
    EXPECT_EQ(65535, r.rc);
  }
  a.reply(0, 9);
  EXPECT_EQ(3, a.lib().call(1, nullptr, 1).ret);
}

TEST_P(AdapterEdges, StartsAndEndsTheVendorLibraryAsItsFamilyRequires) {
  AdapterWithFake a(GetParam());
  ASSERT_TRUE(a.ready()) << a.lib().error();
  a.startup_result(0x1234);
  int init = a.lib().init();
  if (GetParam().wide) {
    EXPECT_EQ(0, init);
    EXPECT_EQ(0, a.record().startups);
    EXPECT_EQ(0, a.record().calls) << "QOR_INIT of the 32-bit adapter touches nothing";
  } else {
    EXPECT_EQ(0x1234, init) << "the vendor start-up result passes through";
    EXPECT_EQ(1, a.record().startups);
    EXPECT_EQ(GetParam().requested_version, a.record().requested_version);
    EXPECT_EQ(GetParam().preset_version, a.record().preset_version);
    EXPECT_EQ(0, a.record().description_first);
  }
  EXPECT_EQ(0, a.lib().term());
  EXPECT_EQ(GetParam().wide ? 0 : 1, a.record().cleanups);
  EXPECT_EQ(0, a.record().calls);
}

TEST_P(AdapterEdges, PublishesOnlyThreeEntryPointsUnderPlainNames) {
  AdapterWithFake a(GetParam());
  ASSERT_TRUE(a.ready()) << a.lib().error();
  EXPECT_EQ(nullptr, ::dlsym(a.lib().handle(), "QOR_WHICH"));
  EXPECT_EQ(nullptr, ::dlsym(a.lib().handle(), "QOR_LOOP"));
  auto which =
      reinterpret_cast<const char* (*)(char*)>(::dlsym(a.lib().handle(), "_Z9QOR_WHICHPc"));
  ASSERT_NE(nullptr, which);
  char ignored[4] = "abc";
  EXPECT_STREQ("RIDEVOR.DLL vsn: 1.1.1.0", which(ignored));
  EXPECT_STREQ("abc", ignored);
  auto loop =
      reinterpret_cast<int (*)(int (*)(int))>(::dlsym(a.lib().handle(), "_Z8QOR_LOOPPFiiE"));
  ASSERT_NE(nullptr, loop);
  EXPECT_EQ(0, loop(nullptr));
}

TEST_P(AdapterEdges, FailsToLoadWithoutItsVendorLibrary) {
  TempDir dir;
  std::string copy = dir / (std::string(GetParam().adapter) + ".so");
  std::filesystem::copy_file(BinDir() + "/" + GetParam().adapter + ".so", copy);
  AdapterLibrary lib("", copy);
  EXPECT_FALSE(lib.loaded());
  EXPECT_NE(std::string::npos, lib.error().find(std::string(GetParam().vendor) + ".so"))
      << lib.error();
}

INSTANTIATE_TEST_SUITE_P(All, AdapterEdges, ::testing::ValuesIn(kAdapters),
                         [](const auto& info) { return std::string(info.param.adapter); });

}  // namespace
