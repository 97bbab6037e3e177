// Whole-file reads and crash-safe whole-file replacement.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Who may read what a program creates: only its user (the per-user settings
// and state), or everyone (a configuration directory that a service's user
// reads though an administrator wrote it, status files for monitoring).
enum class FileSharing { kPrivate, kReadableByAll };

// Reads the whole file. Returns 0 or the errno of the failure.
int ReadWholeFile(const std::string& path, std::string* contents);

// Writes contents to a temporary file beside path, flushes it to disk and
// renames it over path, so readers see the old file or the new one, never a
// part. Keeps the old file's permission bits; a new file gets 0600, or 0644
// when readable by all. Returns 0 or the errno of the failure (the old file
// is then untouched).
int ReplaceFileAtomically(const std::string& path, const std::string& contents,
                          FileSharing sharing = FileSharing::kPrivate);

// Writes all of data to fd, going on after short writes and interruptions.
// Returns 0 or the errno of the failure (EIO when the system wrote nothing);
// *written, when given, gets how much was written either way.
int WriteAll(int fd, const char* data, size_t size, size_t* written = nullptr);
inline int WriteAll(int fd, const std::string& data, size_t* written = nullptr) {
  return WriteAll(fd, data.data(), data.size(), written);
}

// Creates each missing directory of path (mode 0700, or 0755 when readable by
// all). Returns 0 or errno.
int MakeDirectories(const std::string& path, FileSharing sharing = FileSharing::kPrivate);

// Creates, with its parents, the directory that is to hold the file at
// file_path, by either system's separators; nothing when the path names no
// directory. Returns 0 or errno.
int MakeFileDirectory(const std::string& file_path, FileSharing sharing = FileSharing::kPrivate);

}  // namespace platform
