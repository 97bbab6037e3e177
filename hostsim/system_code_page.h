// One EBCDIC code page of the system's own tables, converted a byte at a time
// to and from ISO-8859-1: glibc's iconv on Linux, the national language
// support on Windows.
#pragma once

#include <memory>
#include <string>

namespace hostsim {

class SystemCodePage {
 public:
  SystemCodePage();
  ~SystemCodePage();
  SystemCodePage(const SystemCodePage&) = delete;
  SystemCodePage& operator=(const SystemCodePage&) = delete;

  // ibm_name is "IBMNNN". False with the reason when the system lacks it.
  bool Open(const std::string& ibm_name, std::string* problem);
  // False when the byte has no counterpart.
  bool FromLatin1(unsigned char in, unsigned char* out) const;
  bool ToLatin1(unsigned char in, unsigned char* out) const;

 private:
  struct Tables;  // what each system keeps of an open page
  std::unique_ptr<Tables> tables_;
};

}  // namespace hostsim
