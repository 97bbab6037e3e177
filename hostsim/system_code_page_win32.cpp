#include "hostsim/system_code_page.h"

#include "platform/win32/windows_api.h"

#include <cstdlib>

namespace hostsim {

struct SystemCodePage::Tables {
  unsigned number;
};

SystemCodePage::SystemCodePage() = default;
SystemCodePage::~SystemCodePage() = default;

// Windows numbers most IBM pages as they are (37, 500, 1047, 1140 ...) and the
// national pages of the 270s to 900s as 20000 + the IBM number (20273 ...).
bool SystemCodePage::Open(const std::string& ibm_name, std::string* problem) {
  unsigned ibm = static_cast<unsigned>(std::strtoul(ibm_name.c_str() + 3, nullptr, 10));
  for (unsigned candidate : {ibm, 20000 + ibm}) {
    if (IsValidCodePage(candidate)) {
      tables_.reset(new Tables{candidate});
      return true;
    }
  }
  *problem = "the system has no code page " + ibm_name;
  return false;
}

bool SystemCodePage::FromLatin1(unsigned char in, unsigned char* out) const {
  wchar_t wide = in;  // ISO-8859-1 is the first 256 code points
  char narrow;
  BOOL defaulted = FALSE;
  int n = WideCharToMultiByte(tables_->number, WC_NO_BEST_FIT_CHARS, &wide, 1, &narrow, 1, nullptr,
                              &defaulted);
  if (n != 1 || defaulted) return false;
  *out = static_cast<unsigned char>(narrow);
  return true;
}

bool SystemCodePage::ToLatin1(unsigned char in, unsigned char* out) const {
  char narrow = static_cast<char>(in);
  wchar_t wide;
  if (MultiByteToWideChar(tables_->number, MB_ERR_INVALID_CHARS, &narrow, 1, &wide, 1) != 1 ||
      wide > 0xFF)
    return false;
  *out = static_cast<unsigned char>(wide);
  return true;
}

}  // namespace hostsim
