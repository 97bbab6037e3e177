// The registry calls as callers see them, on either system's registry.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "tests/registry_sandbox.h"

using namespace platform;

namespace {

#ifdef _WIN32
constexpr bool kRegistryKeepsCreationOrder = false;
#else
constexpr bool kRegistryKeepsCreationOrder = true;
#endif

class RegistryTest : public ::testing::Test {
 protected:
  TempDir dir;
  RegistrySandbox registry{dir / "sub/registry.reg"};

  std::string Get(const char* sub, const char* name) { return RegistryGet(sub, name); }
  long Put(const char* sub, const char* name, const std::string& value) {
    return RegistryPut(sub, name, value);
  }
};

TEST_F(RegistryTest, NamesIgnoreCaseAndEachValueIsEnumeratedOnce) {
  Put("SOFTWARE\\QORTEST\\A", "Zeta", "1");
  Put("SOFTWARE\\QORTEST\\A", "alpha", "2");
  Put("software\\qortest\\a", "ZETA", "3");  // same value, new data, same place
  RegKey key;
  ASSERT_EQ(RegOpenKey("Software\\QORTEST\\A", &key), kErrorSuccess);
  std::string values;
  for (unsigned index = 0;; ++index) {
    char name[64], data[64];
    size_t ns = sizeof name, ds = sizeof data;
    long rc = RegEnumValue(key, index, name, &ns, data, &ds);
    if (rc != kErrorSuccess) {
      EXPECT_EQ(rc, kErrorNoMoreItems);
      break;
    }
    values += std::string(name) + "=" + data + ";";
  }
  // Creation order on Linux; Windows (and Wine) may keep its own order.
  if (kRegistryKeepsCreationOrder)
    EXPECT_EQ(values, "Zeta=3;alpha=2;");
  else
    EXPECT_TRUE(values == "Zeta=3;alpha=2;" || values == "alpha=2;Zeta=3;") << values;
}

TEST_F(RegistryTest, Win32ResultsForMissingAndTooSmall) {
  RegKey key;
  EXPECT_EQ(RegOpenKey("SOFTWARE\\QORTEST\\NONE", &key), kErrorFileNotFound);
  Put("SOFTWARE\\QORTEST\\A", "V", "0123456789");
  ASSERT_EQ(RegOpenKey("SOFTWARE\\QORTEST\\A", &key), kErrorSuccess);
  char buf[8];
  size_t size = sizeof buf;
  EXPECT_EQ(RegQueryValue(key, "V", buf, &size), kErrorMoreData);
  EXPECT_EQ(size, 11u);
  size = sizeof buf;
  EXPECT_EQ(RegQueryValue(key, "W", buf, &size), kErrorFileNotFound);
  EXPECT_EQ(RegSetValue(key, "X", "two\nlines"), kErrorInvalidParameter);
}

TEST_F(RegistryTest, SubKeysAndDeletion) {
  Put("SOFTWARE\\QORTEST\\V\\B", "x", "1");
  Put("SOFTWARE\\QORTEST\\V\\A", "x", "1");
  RegKey key;
  ASSERT_EQ(RegOpenKey("SOFTWARE\\QORTEST\\V", &key), kErrorSuccess);  // a parent exists implicitly
  std::string names;
  for (unsigned index = 0;; ++index) {
    char name[64];
    size_t size = sizeof name;
    if (RegEnumKey(key, index, name, &size) != kErrorSuccess) break;
    names += name;
  }
  EXPECT_EQ(names, kRegistryKeepsCreationOrder ? "BA" : "AB");          // Windows sorts sub-keys
  EXPECT_EQ(RegDeleteKey("SOFTWARE\\QORTEST\\V"), kErrorAccessDenied);  // still has sub-keys
  EXPECT_EQ(RegDeleteKey("SOFTWARE\\QORTEST\\V\\B"), kErrorSuccess);
  EXPECT_EQ(RegOpenKey("SOFTWARE\\QORTEST\\V\\B", &key), kErrorFileNotFound);
  EXPECT_EQ(Get("SOFTWARE\\QORTEST\\V\\A", "x"), "1");
}

TEST_F(RegistryTest, NamesLongerThanTheCallersBufferAreRefused) {
  std::string long_name(70, 'N');
  ASSERT_EQ(Put("SOFTWARE\\QORTEST\\L", long_name.c_str(), "x"), kErrorSuccess);
  RegKey key;
  ASSERT_EQ(RegOpenKey("SOFTWARE\\QORTEST\\L", &key), kErrorSuccess);
  char name[63], data[63];
  size_t ns = sizeof name, ds = sizeof data;
  EXPECT_EQ(RegEnumValue(key, 0, name, &ns, data, &ds), kErrorMoreData);
  EXPECT_EQ(RegDeleteTree("SOFTWARE\\QORTEST\\L"), kErrorSuccess);
  EXPECT_EQ(RegOpenKey("SOFTWARE\\QORTEST\\L", &key), kErrorFileNotFound);
}

}  // namespace
