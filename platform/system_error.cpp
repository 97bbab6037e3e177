#include "platform/system_error.h"

#include <cstring>

namespace platform {

std::string SystemErrorText(int error_number) {
  char buf[256];
  // GNU strerror_r may return a static string instead of filling buf.
  const char* text = ::strerror_r(error_number, buf, sizeof buf);
  return text ? text : "unknown error";
}

}  // namespace platform
