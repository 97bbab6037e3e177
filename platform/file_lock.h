// A small file that processes sharing a directory read and rewrite in turn,
// each holding an advisory lock on it meanwhile.
#pragma once

#include <string>

namespace platform {

// Opens path for reading and writing, creating it (0666 less the umask) when
// missing and never through a symbolic link, and locks it exclusively,
// waiting at most timeout_ms for another holder. Returns the descriptor, or
// -1 with *error set to the errno (EWOULDBLOCK: the lock was not had in time).
int OpenLockedFile(const std::string& path, int timeout_ms, int* error);

// Releases the lock and closes the file.
void CloseLockedFile(int fd);

// Cuts or extends the file to size bytes: 0 or the errno.
int TruncateFile(int fd, long long size);

}  // namespace platform
