/* Included ahead of every source of the Windows build: the few POSIX calls
   the portable code makes, under the names the Windows C run-time gives them. */
#pragma once

/* localtime_r and the other re-entrant time functions. */
#define _POSIX_THREAD_SAFE_FUNCTIONS 200112L

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

/* Handles are not inherited unless a child is started to inherit them. */
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
/* Directories cannot be opened as files; the callers skip what fails. */
#ifndef O_DIRECTORY
#define O_DIRECTORY 0
#endif
#define fsync _commit
/* No symbolic links to tell apart. */
#define lstat stat
#define mkdir(path, mode) _mkdir(path)

// The POSIX names the shared code calls keep their POSIX spelling.
// NOLINTBEGIN(readability-identifier-naming)
static inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name)) return 0;
  return _putenv_s(name, value);
}
static inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

/* A fresh directory from a name ending in XXXXXX, as on POSIX. */
static inline char* mkdtemp(char* templ) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    size_t n = strlen(templ);
    if (n < 6) return NULL;
    memcpy(templ + n - 6, "XXXXXX", 6);
    if (_mktemp_s(templ, n + 1) != 0) return NULL;
    if (_mkdir(templ) == 0) return templ;
  }
  return NULL;
}

/* No POSIX user ids: answer as for the administrator, whom file permissions
   do not stop, so that nothing relies on them. */
static inline int geteuid(void) { return 0; }
// NOLINTEND(readability-identifier-naming)
