// What libmorvex_rtcheck.so offers the program it is preloaded into. The
// program finds these by name (dlsym), so it runs without the library too.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

enum { kMorvexRtFrames = 24 };

// One call that an audio thread must not make.
typedef struct MorvexRtHit {
  const char* function;  // a string the library keeps
  int depth;             // frames captured
  void* frames[kMorvexRtFrames];
} MorvexRtHit;

// Marks the calling thread as inside an audio call until the matching leave:
// forbidden calls it makes meanwhile are recorded.
typedef void (*MorvexRtEnterFn)(void);
typedef void (*MorvexRtLeaveFn)(void);
// Copies up to capacity of the hits recorded since the last take and forgets
// them all; returns how many there were.
typedef int (*MorvexRtTakeFn)(MorvexRtHit* hits, int capacity);
// Heap blocks allocated and not yet freed, counted since the library loaded.
typedef long (*MorvexRtLiveBlocksFn)(void);
// 1 when the kernel dispatches the calling thread's system call
// instructions to the library (Syscall User Dispatch), so that one made
// without the C library's functions is recorded too; 0 when it does not, and
// only the functions are watched. The library asks on each thread's first
// enter; this asks for the calling thread.
typedef int (*MorvexRtWatchesSystemCallsFn)(void);

#ifdef __cplusplus
}
#endif
