#include "tools/jackhost/ProcessGate.h"

#include <chrono>
#include <thread>

void ProcessGate::shut() {
  mOpen.store(false);
  // A period lasts milliseconds at most, so the callback is soon out.
  while (mInside.load() != 0)
    std::this_thread::sleep_for(std::chrono::microseconds(100));
}
