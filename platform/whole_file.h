// Whole-file reads and crash-safe whole-file replacement.
#pragma once

#include <string>

namespace platform {

// Reads the whole file. Returns 0 or the errno of the failure.
int ReadWholeFile(const std::string& path, std::string* contents);

// Writes contents to a temporary file beside path, flushes it to disk and
// renames it over path, so readers see the old file or the new one, never a
// part. Keeps the old file's permission bits. Returns 0 or the errno of the
// failure (the old file is then untouched).
int ReplaceFileAtomically(const std::string& path, const std::string& contents);

// Creates each missing directory of path (mode 0700). Returns 0 or errno.
int MakeDirectories(const std::string& path);

}  // namespace platform
