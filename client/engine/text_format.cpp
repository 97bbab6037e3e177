#include "client/engine/text_format.h"

#include <cstring>

namespace client {

std::string FormatTexts(const char* format, std::initializer_list<const char*> args) {
  std::string out;
  if (!format) return out;
  const char* const* next = args.begin();
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    if (p[1] == '%') {
      out += '%';
      ++p;
      continue;
    }
    const char* q = p + 1;
    size_t precision = std::string::npos;
    if (*q == '.') {
      ++q;
      precision = 0;
      while (*q >= '0' && *q <= '9' && precision < 100000)
        precision = precision * 10 + static_cast<size_t>(*q++ - '0');
    }
    if (*q == 's' && next != args.end()) {
      const char* arg = *next++;
      if (!arg) arg = "";
      size_t n = std::strlen(arg);
      out.append(arg, n < precision ? n : precision);
      p = q;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace client
