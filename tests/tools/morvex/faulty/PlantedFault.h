#pragma once

#include <pthread.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

// What the test plug-ins do wrong in every audio call, as the environment
// variable MORVEX_PLANTED_FAULT says when an instance is made: "malloc"
// allocates, "lock" locks a mutex, "usleep" sleeps, "syscall" makes a system
// call without the C library; anything else, nothing. "leak" instead loses a
// block each time an instance is made.
enum class PlantedFault { kNone, kMalloc, kLock, kSleep, kSystemCall, kLeak };

inline PlantedFault PlantedFaultFromEnvironment() {
  const char* name = std::getenv("MORVEX_PLANTED_FAULT");
  if (!name) return PlantedFault::kNone;
  if (!std::strcmp(name, "malloc")) return PlantedFault::kMalloc;
  if (!std::strcmp(name, "lock")) return PlantedFault::kLock;
  if (!std::strcmp(name, "leak")) return PlantedFault::kLeak;
  if (!std::strcmp(name, "syscall")) return PlantedFault::kSystemCall;
  if (!std::strcmp(name, "usleep")) {
    // The sleep is the fault, not its length: without the kernel's default
    // slack of 50 us, the basic level's hundreds of thousands of one-frame
    // renders stay quick on the thread that makes the instances.
    prctl(PR_SET_TIMERSLACK, 1UL);
    return PlantedFault::kSleep;
  }
  return PlantedFault::kNone;
}

// getppid by the processor's own instruction: no function that a watch could
// stand in front of.
inline long InlineGetppid() noexcept {
  long parent;
#if defined(__x86_64__)
  asm volatile("syscall" : "=a"(parent) : "a"(long{SYS_getppid}) : "rcx", "r11", "memory");
#elif defined(__i386__)
  asm volatile("int $0x80" : "=a"(parent) : "a"(long{SYS_getppid}) : "memory");
#else
#error "no inline system call written for this processor"
#endif
  return parent;
}

inline void CommitPlantedFault(PlantedFault fault) noexcept {
  static pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  switch (fault) {
    case PlantedFault::kMalloc: {
      // Stored where the compiler must keep it, so the pair is not elided.
      void* volatile block = std::malloc(64);
      std::free(block);
      break;
    }
    case PlantedFault::kLock:
      pthread_mutex_lock(&mutex);
      pthread_mutex_unlock(&mutex);
      break;
    case PlantedFault::kSleep:
      usleep(1);
      break;
    case PlantedFault::kSystemCall:
      // The plug-in goes on with what the call answered, as after any call.
      if (InlineGetppid() != getppid()) std::abort();
      break;
    case PlantedFault::kNone:
    case PlantedFault::kLeak:
      break;
  }
}

// [when an instance is made]
inline void LeakIfPlanted(PlantedFault fault) {
  if (fault != PlantedFault::kLeak) return;
  void* lost = std::malloc(64);
  // Seen to escape, so that the compiler keeps the allocation.
  asm volatile("" : : "g"(lost) : "memory");
}

// The test plug-ins' whole effect: the input times a gain, and silence for
// what is not finite, so that only the planted fault can fail them.
inline float GainedSample(float in, float gain) {
  return std::isfinite(in) ? in * gain : 0.0f;
}
