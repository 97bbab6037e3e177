#include <sys/resource.h>

#include "tests/toolkit/cpu_time.h"

long CpuMicros() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000L + u.ru_utime.tv_usec +
         u.ru_stime.tv_usec;
}
