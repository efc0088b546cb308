// The raw system-call watch of libmorvex_rtcheck.so. The hooks see only the
// calls that go through the C library's exported functions; Linux's Syscall
// User Dispatch (5.11 on) also catches a system call instruction that the C
// library executes inside itself or that a plug-in executes directly: while
// the thread's selector byte says block, the kernel turns each into SIGSYS,
// whose handler records it and makes the call in its place.
#pragma once

#include <linux/prctl.h>

namespace rtcheck {

// The byte the kernel reads at each system call of an armed thread.
// Initial-exec, as the library's other thread-locals: a dynamic TLS access
// could itself allocate.
extern __thread volatile char tSelector __attribute__((tls_model("initial-exec")));

// Arms the calling thread the first time, outside any audio call (the prctl
// is a system call itself); false where the kernel or the processor offers
// no dispatch, as every later call then says.
bool WatchSystemCalls();

inline void BlockSystemCalls() {
  tSelector = SYSCALL_DISPATCH_FILTER_BLOCK;
}
inline void AllowSystemCalls() {
  tSelector = SYSCALL_DISPATCH_FILTER_ALLOW;
}

// While one lives, the thread's system calls pass: a hook's own forwarding
// calls are reported already, under the hook's name.
class Unwatched {
 public:
  Unwatched() : mSaved(tSelector) { AllowSystemCalls(); }
  ~Unwatched() { tSelector = mSaved; }
  Unwatched(const Unwatched&) = delete;
  Unwatched& operator=(const Unwatched&) = delete;

 private:
  const char mSaved;
};

// Records a forbidden call as the hooks do, with a backtrace; in RtCheck.cpp.
void RecordForbidden(const char* function);

}  // namespace rtcheck
