// qormsgc [--system linux|windows] SOURCE OUTPUT: compiles a readable message
// source into the binary message file the programs of that system (Linux when
// not given) read. Errors are listed as FILE:LINE: messages; on any error
// nothing is written and the exit code is 1 (2 for bad usage).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "messages/message_image.h"
#include "messages/message_source.h"

namespace {

bool ReadWholeFile(const char* path, std::string& out) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buf[8192];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

// Writes to a temporary file beside the target and renames it, so a failed
// or interrupted build never leaves a half-written message file behind.
bool WriteFileAtomically(const std::string& path, const std::string& data) {
  const std::string tmp = path + ".tmp";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (!ok && errno == 0) errno = EIO;
  ok = (std::fclose(f) == 0) && ok;
  if (ok && std::rename(tmp.c_str(), path.c_str()) == 0) return true;
  int saved = errno;
  std::remove(tmp.c_str());
  errno = saved;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  messages::System system = messages::System::kLinux;
  int first = 1;
  if (argc == 5 && std::strcmp(argv[1], "--system") == 0) {
    first = 3;
    if (std::strcmp(argv[2], "windows") == 0)
      system = messages::System::kWindows;
    else if (std::strcmp(argv[2], "linux") != 0)
      first = 0;
  }
  if (first == 0 || argc != first + 2) {
    std::fprintf(stderr, "usage: qormsgc [--system linux|windows] SOURCE OUTPUT\n");
    return 2;
  }
  const char* src = argv[first];
  const char* dst = argv[first + 1];

  std::string text;
  if (!ReadWholeFile(src, text)) {
    std::fprintf(stderr, "%s: error: cannot read: %s\n", src, std::strerror(errno));
    return 1;
  }
  messages::ParsedSource parsed = messages::ParseMessageSource(text, system);
  if (!parsed.errors.empty()) {
    for (const messages::SourceError& e : parsed.errors) {
      if (e.line > 0)
        std::fprintf(stderr, "%s:%d: error: %s\n", src, e.line, e.text.c_str());
      else
        std::fprintf(stderr, "%s: error: %s\n", src, e.text.c_str());
    }
    return 1;
  }
  const std::string image = messages::BuildMessageImage(parsed.entries);
  if (image.size() > messages::kMaxImageSize) {
    // The readers' offsets are plain decimal numbers of limited size.
    std::fprintf(stderr, "%s: error: the compiled file would exceed %zu bytes\n", src,
                 messages::kMaxImageSize);
    return 1;
  }
  if (!WriteFileAtomically(dst, image)) {
    std::fprintf(stderr, "%s: error: cannot write: %s\n", dst, std::strerror(errno));
    return 1;
  }
  return 0;
}
