// libmorvex_rtcheck.so: preloaded into `morvex validate --strict`, it stands
// in front of the C library's allocator, locks, sleeps and system calls.
// Each forwards to the next definition (the C library's, or a sanitizer's)
// and, on a thread inside an audio call, records the call with a backtrace.
// The system call instructions that no hook sees are SyscallWatch's.
// It is built without sanitizers: it runs before and beneath them; and
// without 64-bit file offsets, so that open and open64 (lseek, mmap) are
// each defined under its own name.
#include "tools/rtcheck/RtCheck.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <semaphore.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>
#include <unwind.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "tools/rtcheck/SyscallWatch.h"

#define RT_EXPORT extern "C" __attribute__((visibility("default")))

using rtcheck::Unwatched;

namespace {

// Initial-exec: the library is loaded with the program, and a dynamic TLS
// access could itself allocate.
__thread int tInAudio __attribute__((tls_model("initial-exec"))) = 0;
// Set while a hook runs: what the next definition calls in turn (operator
// new calling malloc, the unwinder reading its tables) is neither recorded
// nor counted twice.
__thread int tInHook __attribute__((tls_model("initial-exec"))) = 0;

constexpr int kMaxHits = 16;
MorvexRtHit gHits[kMaxHits];
std::atomic<int> gHitCount{0};
std::atomic<long> gLiveBlocks{0};

// dlsym may allocate before malloc's own next definition is known; those few
// bytes come from here and are never freed.
alignas(std::max_align_t) char gBootstrap[4096];
std::atomic<size_t> gBootstrapUsed{0};

bool fromBootstrap(const void* p) {
  return p >= gBootstrap && p < gBootstrap + sizeof gBootstrap;
}

void* bootstrapAlloc(size_t size) {
  const size_t rounded = (size + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  const size_t at = gBootstrapUsed.fetch_add(rounded);
  if (at + rounded > sizeof gBootstrap) return nullptr;
  return gBootstrap + at;
}

template <typename Fn>
Fn next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

// Resolves the next definition once; `resolving` tells the allocator hooks
// that dlsym is at work.
__thread int tResolving __attribute__((tls_model("initial-exec"))) = 0;
#define NEXT(fn, name)                      \
  static decltype(&fn) real_##fn = nullptr; \
  if (!real_##fn) {                         \
    ++tResolving;                           \
    real_##fn = next<decltype(&fn)>(name);  \
    --tResolving;                           \
  }

// The unwinder is linked in rather than loaded on the first backtrace, as the
// C library's backtrace would: a load from inside an allocation hook is one
// a leak checker loses track of.
_Unwind_Reason_Code keepFrame(_Unwind_Context* context, void* data) {
  auto* hit = static_cast<MorvexRtHit*>(data);
  if (hit->depth == kMorvexRtFrames) return _URC_END_OF_STACK;
  hit->frames[hit->depth++] = reinterpret_cast<void*>(_Unwind_GetIP(context));
  return _URC_NO_REASON;
}

void record(const char* function) {
  const int index = gHitCount.fetch_add(1);
  if (index >= kMaxHits) return;
  MorvexRtHit& hit = gHits[index];
  hit.function = function;
  hit.depth = 0;
  _Unwind_Backtrace(keepFrame, &hit);
}

// Entered by every hook before it does anything else; records a forbidden
// call on an audio thread. What the hook does then, recording included,
// makes its system calls unwatched.
struct Hook {
  explicit Hook(const char* function) : outer(tInHook == 0) {
    ++tInHook;
    if (outer && tInAudio) record(function);
  }
  ~Hook() { --tInHook; }
  const Unwatched unwatched;
  const bool outer;
};

void countAllocation(const Hook& hook, const void* p) {
  if (hook.outer && p) gLiveBlocks.fetch_add(1, std::memory_order_relaxed);
}
void countRelease(const Hook& hook, const void* p) {
  if (hook.outer && p) gLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace

void rtcheck::RecordForbidden(const char* function) {
  const Hook hook(function);
}

// ---- The program's side. ----

RT_EXPORT void morvex_rtcheck_enter() {
  rtcheck::WatchSystemCalls();
  ++tInAudio;
  rtcheck::BlockSystemCalls();
}

RT_EXPORT void morvex_rtcheck_leave() {
  if (--tInAudio == 0) rtcheck::AllowSystemCalls();
}

RT_EXPORT int morvex_rtcheck_watches_system_calls() {
  return rtcheck::WatchSystemCalls();
}

RT_EXPORT int morvex_rtcheck_take(MorvexRtHit* hits, int capacity) {
  const int count = gHitCount.load();
  const int kept = count < kMaxHits ? count : kMaxHits;
  for (int i = 0; i < kept && i < capacity; ++i)
    hits[i] = gHits[i];
  gHitCount.store(0);
  return count;
}

RT_EXPORT long morvex_rtcheck_live_blocks() {
  return gLiveBlocks.load();
}

// ---- The allocator. ----

// The allocator's next definitions, found together: dlsym allocates and
// frees, and a sanitizer's start-up calls it before anything else ran.
namespace {
struct NextAllocator {
  decltype(&::malloc) malloc;
  decltype(&::calloc) calloc;
  decltype(&::realloc) realloc;
  decltype(&::free) free;
  decltype(&::posix_memalign) posix_memalign;
  decltype(&::aligned_alloc) aligned_alloc;
};
NextAllocator gNext;
std::atomic<bool> gResolved{false};
// What dlsym frees while the allocator is being found, freed once it is.
void* gDeferred[64];
std::atomic<int> gDeferredCount{0};

void deferFree(void* p) {
  const int at = gDeferredCount.fetch_add(1);
  if (at < 64) gDeferred[at] = p;
}

const NextAllocator& nextAllocator() {
  if (!gResolved.load(std::memory_order_acquire)) {
    ++tResolving;
    gNext = {next<decltype(&::malloc)>("malloc"),
             next<decltype(&::calloc)>("calloc"),
             next<decltype(&::realloc)>("realloc"),
             next<decltype(&::free)>("free"),
             next<decltype(&::posix_memalign)>("posix_memalign"),
             next<decltype(&::aligned_alloc)>("aligned_alloc")};
    --tResolving;
    gResolved.store(true, std::memory_order_release);
    const int deferred = std::min(gDeferredCount.exchange(0), 64);
    for (int i = 0; i < deferred; ++i)
      gNext.free(gDeferred[i]);
  }
  return gNext;
}

// What a block of the arena may hold from p on.
size_t bootstrapRoom(const void* p) {
  return static_cast<size_t>(gBootstrap + sizeof gBootstrap - static_cast<const char*>(p));
}
}  // namespace

RT_EXPORT void* malloc(size_t size) {
  if (tResolving) return bootstrapAlloc(size);
  const NextAllocator& next = nextAllocator();
  Hook hook("malloc");
  void* p = next.malloc(size);
  countAllocation(hook, p);
  return p;
}

RT_EXPORT void* calloc(size_t count, size_t size) {
  if (tResolving) return bootstrapAlloc(count * size);  // the arena is zeroed
  const NextAllocator& next = nextAllocator();
  Hook hook("calloc");
  void* p = next.calloc(count, size);
  countAllocation(hook, p);
  return p;
}

RT_EXPORT void* realloc(void* old, size_t size) {
  if (tResolving) {
    void* p = bootstrapAlloc(size);
    if (p && fromBootstrap(old)) std::memcpy(p, old, std::min(size, bootstrapRoom(old)));
    return p;
  }
  const NextAllocator& next = nextAllocator();
  Hook hook("realloc");
  if (fromBootstrap(old)) {
    void* p = next.malloc(size);
    if (p) std::memcpy(p, old, std::min(size, bootstrapRoom(old)));
    countAllocation(hook, p);
    return p;
  }
  void* p = next.realloc(old, size);
  if (!old) countAllocation(hook, p);
  if (old && size == 0) countRelease(hook, old);
  return p;
}

RT_EXPORT void free(void* p) {
  if (!p || fromBootstrap(p)) return;
  if (tResolving) {
    deferFree(p);
    return;
  }
  const NextAllocator& next = nextAllocator();
  Hook hook("free");
  countRelease(hook, p);
  next.free(p);
}

RT_EXPORT int posix_memalign(void** out, size_t alignment, size_t size) {
  const NextAllocator& next = nextAllocator();
  Hook hook("posix_memalign");
  const int status = next.posix_memalign(out, alignment, size);
  if (status == 0) countAllocation(hook, *out);
  return status;
}

RT_EXPORT void* aligned_alloc(size_t alignment, size_t size) {
  const NextAllocator& next = nextAllocator();
  Hook hook("aligned_alloc");
  void* p = next.aligned_alloc(alignment, size);
  countAllocation(hook, p);
  return p;
}

// operator new and delete: the next definitions are the C++ library's (or a
// sanitizer's), found by their mangled names.
namespace {
using NewFn = void* (*)(size_t);
using NewNothrowFn = void* (*)(size_t, const std::nothrow_t&);
using DeleteFn = void (*)(void*);
constexpr bool kWideSize = sizeof(size_t) == 8;

template <typename Fn>
Fn nextOnce(Fn& slot, const char* name) {
  if (!slot) {
    ++tResolving;
    slot = next<Fn>(name);
    --tResolving;
  }
  return slot;
}

void* newBlock(const char* function, NewFn& slot, const char* name, size_t size) {
  Hook hook(function);
  void* p = nextOnce(slot, name)(size);
  countAllocation(hook, p);
  return p;
}

void* newBlockNothrow(const char* function, NewNothrowFn& slot, const char* name, size_t size) {
  Hook hook(function);
  void* p = nextOnce(slot, name)(size, std::nothrow);
  countAllocation(hook, p);
  return p;
}

void deleteBlock(const char* function, DeleteFn& slot, const char* name, void* p) {
  Hook hook(function);
  countRelease(hook, p);
  nextOnce(slot, name)(p);
}

NewFn gNew, gNewArray;
NewNothrowFn gNewNothrow, gNewArrayNothrow;
DeleteFn gDelete, gDeleteArray;
}  // namespace

void* operator new(size_t size) {
  return newBlock("operator new", gNew, kWideSize ? "_Znwm" : "_Znwj", size);
}
void* operator new[](size_t size) {
  return newBlock("operator new[]", gNewArray, kWideSize ? "_Znam" : "_Znaj", size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return newBlockNothrow("operator new", gNewNothrow,
                         kWideSize ? "_ZnwmRKSt9nothrow_t" : "_ZnwjRKSt9nothrow_t", size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return newBlockNothrow("operator new[]", gNewArrayNothrow,
                         kWideSize ? "_ZnamRKSt9nothrow_t" : "_ZnajRKSt9nothrow_t", size);
}
void operator delete(void* p) noexcept {
  deleteBlock("operator delete", gDelete, "_ZdlPv", p);
}
void operator delete[](void* p) noexcept {
  deleteBlock("operator delete[]", gDeleteArray, "_ZdaPv", p);
}
// The sized forms free as the plain ones do.
void operator delete(void* p, size_t) noexcept {
  deleteBlock("operator delete", gDelete, "_ZdlPv", p);
}
void operator delete[](void* p, size_t) noexcept {
  deleteBlock("operator delete[]", gDeleteArray, "_ZdaPv", p);
}

// ---- Blocking calls. ----

#define FORWARD(ret, fn, params, args) \
  RT_EXPORT ret fn params {            \
    Hook hook(#fn);                    \
    NEXT(fn, #fn);                     \
    return real_##fn args;             \
  }

// Entering a recursive mutex that the thread already holds cannot wait: the
// plug-in base relies on that (a parameter change inside a block it applies
// under its mutex). Any other lock might.
namespace {
__thread pid_t tTid __attribute__((tls_model("initial-exec"))) = 0;

bool heldHere(const pthread_mutex_t* m) {
  if (!tTid) tTid = gettid();
  return (m->__data.__kind & 3) == PTHREAD_MUTEX_RECURSIVE_NP && m->__data.__owner == tTid;
}
}  // namespace

RT_EXPORT int pthread_mutex_lock(pthread_mutex_t* m) {
  // Finding the next definition and the thread's id are system calls.
  const Unwatched unwatched;
  NEXT(pthread_mutex_lock, "pthread_mutex_lock");
  if (tInAudio && heldHere(m)) return real_pthread_mutex_lock(m);
  Hook hook("pthread_mutex_lock");
  return real_pthread_mutex_lock(m);
}

FORWARD(int, pthread_mutex_timedlock, (pthread_mutex_t * m, const struct timespec* t), (m, t))
FORWARD(int, pthread_rwlock_rdlock, (pthread_rwlock_t * l), (l))
FORWARD(int, pthread_rwlock_wrlock, (pthread_rwlock_t * l), (l))
FORWARD(int, pthread_cond_wait, (pthread_cond_t * c, pthread_mutex_t* m), (c, m))
FORWARD(int, pthread_cond_timedwait,
        (pthread_cond_t * c, pthread_mutex_t* m, const struct timespec* t), (c, m, t))
FORWARD(int, pthread_join, (pthread_t thread, void** result), (thread, result))
FORWARD(int, sem_wait, (sem_t * s), (s))
FORWARD(int, sem_timedwait, (sem_t * s, const struct timespec* t), (s, t))
FORWARD(unsigned, sleep, (unsigned seconds), (seconds))
FORWARD(int, usleep, (useconds_t us), (us))
FORWARD(int, nanosleep, (const struct timespec* t, struct timespec* left), (t, left))
FORWARD(int, clock_nanosleep,
        (clockid_t clock, int flags, const struct timespec* t, struct timespec* left),
        (clock, flags, t, left))
FORWARD(int, sched_yield, (), ())

// ---- System calls. ----

FORWARD(ssize_t, read, (int fd, void* data, size_t size), (fd, data, size))
FORWARD(ssize_t, write, (int fd, const void* data, size_t size), (fd, data, size))
FORWARD(int, close, (int fd), (fd))
FORWARD(off_t, lseek, (int fd, off_t offset, int whence), (fd, offset, whence))
FORWARD(off64_t, lseek64, (int fd, off64_t offset, int whence), (fd, offset, whence))
FORWARD(int, fsync, (int fd), (fd))
FORWARD(int, poll, (struct pollfd * fds, nfds_t n, int timeout), (fds, n, timeout))
FORWARD(int, select, (int n, fd_set* r, fd_set* w, fd_set* e, struct timeval* t), (n, r, w, e, t))
FORWARD(int, epoll_wait, (int fd, struct epoll_event* events, int n, int timeout),
        (fd, events, n, timeout))
FORWARD(void*, mmap, (void* at, size_t size, int prot, int flags, int fd, off_t offset),
        (at, size, prot, flags, fd, offset))
FORWARD(void*, mmap64, (void* at, size_t size, int prot, int flags, int fd, off64_t offset),
        (at, size, prot, flags, fd, offset))
FORWARD(int, munmap, (void* at, size_t size), (at, size))

// The variadic ones: a mode follows only when a file may be created; a
// system call takes up to six words.
namespace {
mode_t modeArgument(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}
}  // namespace

RT_EXPORT int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = modeArgument(flags, args);
  va_end(args);
  Hook hook("open");
  NEXT(open, "open");
  return real_open(path, flags, mode);
}

RT_EXPORT int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = modeArgument(flags, args);
  va_end(args);
  Hook hook("open64");
  NEXT(open64, "open64");
  return real_open64(path, flags, mode);
}

RT_EXPORT int openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = modeArgument(flags, args);
  va_end(args);
  Hook hook("openat");
  NEXT(openat, "openat");
  return real_openat(dir, path, flags, mode);
}

RT_EXPORT int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  Hook hook("ioctl");
  NEXT(ioctl, "ioctl");
  return real_ioctl(fd, request, argument);
}

RT_EXPORT long syscall(long number, ...) {
  va_list args;
  va_start(args, number);
  long a[6];
  for (long& word : a)
    word = va_arg(args, long);
  va_end(args);
  Hook hook("syscall");
  NEXT(syscall, "syscall");
  return real_syscall(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
