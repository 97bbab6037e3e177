// Feeds arbitrary bytes to the message-file reader as a whole file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/message_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int fd = memfd_create("qor", 0);
  if (fd < 0) return 0;
  if (write(fd, data, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return 0;
  }
  std::string path = "/proc/self/fd/" + std::to_string(fd);
  common::MessageFile reader([](const char*) {});
  if (reader.MessageFileOpen(path.c_str()) == 1) {
    for (const char* key : {"OK", "GENERAL", "", "HELP-702"}) {
      reader.MessageText(key, common::MessageFile::TextLife::kUntilNextLookup);
      reader.MessageText(key, common::MessageFile::TextLife::kPermanent);
      reader.MessageLines(key);
      reader.MessageLinesJoined(key);
    }
  }
  reader.Close();
  close(fd);
  return 0;
}
