#include "platform/CFDate.h"

#include <time.h>

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void) {
  // 978307200 seconds lie between the Unix epoch and 2001-01-01.
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec - 978307200) + static_cast<double>(now.tv_nsec) * 1e-9;
}
