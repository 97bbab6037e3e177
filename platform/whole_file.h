// Whole-file reads and crash-safe whole-file replacement.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Reads the whole file. Returns 0 or the errno of the failure.
int ReadWholeFile(const std::string& path, std::string* contents);

// Writes contents to a temporary file beside path, flushes it to disk and
// renames it over path, so readers see the old file or the new one, never a
// part. Keeps the old file's permission bits. Returns 0 or the errno of the
// failure (the old file is then untouched).
int ReplaceFileAtomically(const std::string& path, const std::string& contents);

// Writes all of data to fd, going on after short writes and interruptions.
// Returns 0 or the errno of the failure (EIO when the system wrote nothing);
// *written, when given, gets how much was written either way.
int WriteAll(int fd, const char* data, size_t size, size_t* written = nullptr);
inline int WriteAll(int fd, const std::string& data, size_t* written = nullptr) {
  return WriteAll(fd, data.data(), data.size(), written);
}

// Creates each missing directory of path (mode 0700). Returns 0 or errno.
int MakeDirectories(const std::string& path);

}  // namespace platform
