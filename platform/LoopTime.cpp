#include "platform/detail/LoopTime.h"

#include <time.h>

namespace platform_detail {

LoopTime LoopTimeNow() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

LoopTime LoopTimeOf(CFAbsoluteTime date) {
  return LoopTimeNow() + (date - CFAbsoluteTimeGetCurrent());
}

CFAbsoluteTime AbsoluteTimeOf(LoopTime time) {
  return CFAbsoluteTimeGetCurrent() + (time - LoopTimeNow());
}

}  // namespace platform_detail
