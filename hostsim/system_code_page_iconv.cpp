#include "hostsim/system_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace hostsim {
namespace {

// iconv_open's answer when it has no such conversion.
bool Failed(iconv_t cd) { return cd == reinterpret_cast<iconv_t>(-1); }

bool Convert(iconv_t cd, unsigned char in, unsigned char* out) {
  char in_buf[1] = {static_cast<char>(in)};
  char out_buf[8];
  char* in_p = in_buf;
  char* out_p = out_buf;
  size_t in_left = 1, out_left = sizeof out_buf;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in_p, &in_left, &out_p, &out_left) == static_cast<size_t>(-1)) return false;
  if (sizeof out_buf - out_left != 1) return false;
  *out = static_cast<unsigned char>(out_buf[0]);
  return true;
}

}  // namespace

struct SystemCodePage::Tables {
  iconv_t to_page, from_page;
  ~Tables() {
    iconv_close(to_page);
    iconv_close(from_page);
  }
};

SystemCodePage::SystemCodePage() = default;
SystemCodePage::~SystemCodePage() = default;

bool SystemCodePage::Open(const std::string& ibm_name, std::string* problem) {
  iconv_t out = iconv_open(ibm_name.c_str(), "ISO-8859-1");
  if (Failed(out)) {
    *problem = "the system has no code page " + ibm_name + " (" + std::strerror(errno) + ")";
    return false;
  }
  iconv_t in = iconv_open("ISO-8859-1", ibm_name.c_str());
  if (Failed(in)) {
    *problem = "the system has no code page " + ibm_name + " (" + std::strerror(errno) + ")";
    iconv_close(out);
    return false;
  }
  tables_.reset(new Tables{out, in});
  return true;
}

bool SystemCodePage::FromLatin1(unsigned char in, unsigned char* out) const {
  return Convert(tables_->to_page, in, out);
}

bool SystemCodePage::ToLatin1(unsigned char in, unsigned char* out) const {
  return Convert(tables_->from_page, in, out);
}

}  // namespace hostsim
