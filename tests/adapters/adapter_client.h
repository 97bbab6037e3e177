// Loads an adapter library the way the client does and issues HLLAPI calls
// through its QOR_HLLAPI with the client's lengths and layouts.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/calling_convention.h"
#include "platform/dynamic_library.h"

namespace adapter_test {

using HllapiFn = int(QOR_CALL*)(int*, char*, int*, int*);
using PlainFn = int(QOR_CALL*)();

struct CallResult {
  int ret = 0;     // what QOR_HLLAPI returned
  int length = 0;  // length word afterwards
  int rc = 0;      // return-code word afterwards
};

class AdapterLibrary {
 public:
  // name: a Windows-style name found in dir ("QOR32PCS.DLL"), or a path.
  AdapterLibrary(const std::string& dir, const std::string& name) {
    std::string path =
        name.find('/') == std::string::npos ? platform::FindLibraryInDirectory(dir, name) : name;
    if (!path.empty()) handle_ = platform::LoadLibrary(path, &error_);
    if (!handle_) {
      return;
    }
    hllapi_ = reinterpret_cast<HllapiFn>(platform::GetProcAddress(handle_, "QOR_HLLAPI"));
    init_ = reinterpret_cast<PlainFn>(platform::GetProcAddress(handle_, "QOR_INIT"));
    term_ = reinterpret_cast<PlainFn>(platform::GetProcAddress(handle_, "QOR_TERM"));
  }
  ~AdapterLibrary() {
    if (handle_) platform::FreeLibrary(handle_);
  }
  AdapterLibrary(const AdapterLibrary&) = delete;
  AdapterLibrary& operator=(const AdapterLibrary&) = delete;

  bool loaded() const { return handle_ && hllapi_ && init_ && term_; }
  const std::string& error() const { return error_; }
  void* handle() const { return handle_; }
  int init() { return init_(); }
  int term() { return term_(); }

  CallResult call(int function, void* data, int length, int rc = 0) {
    CallResult r;
    int f = function;
    r.length = length;
    r.rc = rc;
    static char dummy[] = "<NULL>";
    r.ret = hllapi_(&f, data ? static_cast<char*>(data) : dummy, &r.length, &r.rc);
    return r;
  }
  CallResult call_text(int function, const std::string& text, int rc = 0) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return call(function, copy.data(), static_cast<int>(text.size()), rc);
  }

 private:
  void* handle_ = nullptr;
  HllapiFn hllapi_ = nullptr;
  PlainFn init_ = nullptr, term_ = nullptr;
  std::string error_;
};

}  // namespace adapter_test
