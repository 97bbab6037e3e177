// Creating job files safely in a directory others may write to, and making a
// rename in that directory durable.
#pragma once

#include <string>

namespace platform {

// Creates path as a new file for writing (binary, not inherited by children),
// permissions 0644 less the umask. Fails with EEXIST when anything is at that
// name, a symbolic link included: it never writes through a link. Returns the
// file descriptor, or -1 with *error set to the errno.
int CreateNewFile(const std::string& path, int* error);

// Flushes the directory's entries to disk, so that a rename in it survives a
// crash. Returns 0 or the errno. File systems that cannot flush a directory
// (and Windows, whose moves are written through) count as done.
int SyncDirectory(const std::string& directory);

// A write past the process's file-size limit fails with EFBIG, as a full disk
// does, instead of ending the process (SIGXFSZ). Nothing to do on Windows.
void ReportFileSizeLimitAsError();

}  // namespace platform
