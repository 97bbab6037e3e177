#include "config/session_check.h"

#include <strings.h>

#include <cstdint>
#include <string_view>

#include "common/hllapi_codes.h"
#include "platform/calling_convention.h"
#include "platform/dynamic_library.h"

namespace config {

namespace {

using HllapiFn = int(QOR_CALL*)(int* func, char* data, int* len, int* retrn);
using InitFn = int(QOR_CALL*)();
using LastErrorFn = const char* (*)();

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// One loaded adapter; unloaded (QOR_TERM first) when it goes.
class Adapter {
 public:
  explicit Adapter(const std::string& name) : library_(platform::LoadLibrary(name, &error_)) {
    if (!library_) return;
    hllapi_ = reinterpret_cast<HllapiFn>(platform::GetProcAddress(library_, "QOR_HLLAPI"));
    term_ = reinterpret_cast<InitFn>(platform::GetProcAddress(library_, "QOR_TERM"));
    last_error_ = reinterpret_cast<LastErrorFn>(
        platform::GetProcAddressWithImports(library_, "qor_provider_last_error"));
    if (!hllapi_) error_ = name + " is not an emulator adapter (it has no QOR_HLLAPI)";
    if (auto init = reinterpret_cast<InitFn>(platform::GetProcAddress(library_, "QOR_INIT")))
      init();
  }
  ~Adapter() {
    if (!library_) return;
    if (term_) term_();
    platform::FreeLibrary(library_);
  }
  Adapter(const Adapter&) = delete;
  Adapter& operator=(const Adapter&) = delete;

  bool Usable() const { return hllapi_ != nullptr; }
  const std::string& Error() const { return error_; }
  int Call(int function, char* data, int length) {
    int rc = 0;
    char none[] = "";
    hllapi_(&function, data ? data : none, &length, &rc);
    return rc;
  }
  // "RC=n" and the provider's own words when it has some.
  std::string Cause(const char* what, int rc) const {
    std::string cause = std::string(what) + " failed, RC=" + std::to_string(rc);
    const char* text = last_error_ ? last_error_() : nullptr;
    return text && *text ? cause + ": " + text : cause;
  }

 private:
  std::string error_;
  void* library_;
  HllapiFn hllapi_ = nullptr;
  InitFn term_ = nullptr;
  LastErrorFn last_error_ = nullptr;
};

}  // namespace

SessionReport CheckSession(const std::string& adapter_name, char letter) {
  SessionReport report;
  Adapter adapter(adapter_name);
  if (!adapter.Usable()) {
    report.cause = "the adapter " + adapter_name + " cannot be loaded: " + adapter.Error();
    return report;
  }
  report.loaded = true;
  // The adapter family follows from the name, as the client reads it.
  const bool pcs = strncasecmp(adapter_name.c_str(), "QOR32P", 6) == 0;
  const bool e62 = strncasecmp(adapter_name.c_str(), "QOR32E62", 8) == 0;
  adapter.Call(common::hllapi::kResetSystem, nullptr, 0);
  char id[4] = {letter, 0, 0, 0};
  int rc = adapter.Call(common::hllapi::kConnect, id, e62 ? 0 : pcs ? 4 : 1);
  if (rc != common::hllapi::kOk && rc != common::hllapi::kHostBusy &&
      rc != common::hllapi::kInhibited) {
    report.cause = adapter.Cause("Connect", rc);
    return report;
  }
  unsigned char status[21] = {static_cast<unsigned char>(letter)};
  rc = adapter.Call(common::hllapi::kQuerySessionStatus, reinterpret_cast<char*>(status),
                    pcs ? 20 : 18);
  if (rc == common::hllapi::kOk) {
    report.connected = true;
    report.rows = pcs ? Le16(status + 14) : Le16(status + 11);
    report.columns = pcs ? Le16(status + 16) : Le16(status + 13);
    report.code_page = pcs ? Le16(status + 18) : Le16(status + 15);
  } else {
    report.cause = adapter.Cause("Query Session Status", rc);
  }
  adapter.Call(common::hllapi::kDisconnect, id, 0);
  adapter.Call(common::hllapi::kResetSystem, nullptr, 0);
  return report;
}

}  // namespace config
