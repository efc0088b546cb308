#include "tools/morvex/output/SafeOutput.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "framework/base/AtomicFile.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/FileDescriptors.h"

namespace {

// Temporaries the signal handler must remove. The handler may only call
// async-signal-safe functions, so paths live in fixed buffers and a slot is
// published by its state after its path is written. Outputs on several
// threads claim slots by compare-exchange.
constexpr int kSlots = SafeOutput::kMaxPending;
enum SlotState : int { kFree, kClaimed, kPending };
char gPendingPath[kSlots][4096];
std::atomic<int> gSlotState[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the states");

// A temporary exists a moment before its slot is published. The thread
// making it holds the signals off, but the handler may run on another thread
// meanwhile: it waits for the temporaries being made, and none begins once
// it runs (Dekker's handshake, on sequentially consistent atomics).
std::atomic<int> gMaking{0};
std::atomic<bool> gDying{false};

constexpr int kCleanUpSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

int claimSlot(const std::string& path) {
  if (path.size() >= sizeof gPendingPath[0]) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (gSlotState[i].compare_exchange_strong(expected, kClaimed)) {
      std::memcpy(gPendingPath[i], path.c_str(), path.size() + 1);
      gSlotState[i] = kPending;
      return i;
    }
  }
  return -1;
}

void releaseSlot(int slot) {
  if (slot >= 0) gSlotState[slot] = kFree;
}

extern "C" void removePendingAndDie(int sig) {
  gDying = true;
  while (gMaking != 0) {
  }
  for (int i = 0; i < kSlots; ++i)
    if (gSlotState[i] == kPending) unlink(gPendingPath[i]);
  signal(sig, SIG_DFL);
  raise(sig);
}

// Blocks the clean-up signals for its lifetime, so that a temporary never
// exists unregistered.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t block;
    sigemptyset(&block);
    for (int sig : kCleanUpSignals)
      sigaddset(&block, sig);
    pthread_sigmask(SIG_BLOCK, &block, &mPrevious);
  }
  ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr); }

 private:
  sigset_t mPrevious;
};

}  // namespace

void SafeOutput::installSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = removePendingAndDie;
  sigemptyset(&action.sa_mask);
  for (int sig : kCleanUpSignals)
    sigaction(sig, &action, nullptr);
}

SafeOutput::SafeOutput(std::string destination, Existing existing)
    : mDestination(std::move(destination)), mExisting(existing) {
  struct stat st;
  const bool exists = mDestination != "-" && stat(mDestination.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) throw ToolError(mDestination + ": is a folder, not a file");
  if (mDestination == "-" || (exists && !S_ISREG(st.st_mode)))
    openInPlace();
  else
    openReplacement();
}

void SafeOutput::openReplacement() {
  int error = 0;
  {
    SignalsHeld held;
    ++gMaking;
    if (gDying) {
      // Another thread is ending the process for a signal.
      --gMaking;
      for (;;)
        pause();
    }
    mFile.emplace(mDestination.c_str(), mExisting);
    error = errno;
    if (mFile->ok()) mSlot = claimSlot(mFile->temporary());
    --gMaking;
  }
  if (mFile->ok()) return;
  if (error == EEXIST) refuseExisting();
  fail(error);
}

void SafeOutput::openInPlace() {
  const std::string name = mDestination == "-" ? "standard output" : mDestination;
  mSpool = MakeSpoolFile(name);
  mInPlace =
      mDestination == "-" ? dup(STDOUT_FILENO) : open(mDestination.c_str(), O_WRONLY | O_CLOEXEC);
  if (mInPlace < 0) fail(errno);
  if (isatty(mInPlace)) {
    discard();
    throw ToolError(name + ": is a terminal, which cannot take audio (redirect it to a file)");
  }
}

SafeOutput::~SafeOutput() {
  discard();
}

void SafeOutput::discard() {
  if (mSpool >= 0) close(mSpool);
  mSpool = -1;
  if (mInPlace >= 0) close(mInPlace);
  mInPlace = -1;
  // Removes a temporary not yet committed; the file committed stays.
  if (mFile && !mFile->temporary().empty()) mFile.reset();
  releaseSlot(mSlot);
  mSlot = -1;
}

void SafeOutput::refuseExisting() {
  discard();
  throw ToolError(mDestination + ": already exists, and --no-clobber keeps it");
}

void SafeOutput::fail(int error) {
  discard();
  throw ToolError(mDestination + ": cannot write (" + std::strerror(error) + ")");
}

int SafeOutput::tryWrite(const void* data, size_t size) noexcept {
  const int error = WriteAll(fd(), data, size);
  if (error == 0 && mFile) startWriteBehind(size);
  return error;
}

// commit() must wait until the file is on disk; handing the written bytes to
// the disk while the render goes on leaves it little to wait for. Errors
// surface in commit()'s fsync.
void SafeOutput::startWriteBehind(size_t written) noexcept {
  constexpr size_t kWriteBehindBytes = size_t{4} << 20;
  mNotYetSyncing += written;
  if (mNotYetSyncing < kWriteBehindBytes) return;
  mNotYetSyncing = 0;
  sync_file_range(fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

void SafeOutput::write(const void* data, size_t size) {
  if (const int error = tryWrite(data, size)) fail(error);
}

void SafeOutput::copySpoolIntoDestination() {
  if (lseek(mSpool, 0, SEEK_SET) != 0) fail(errno);
  if (const int error = CopyAll(mSpool, mInPlace)) fail(error);
  // Standard output may be a regular file; a device or pipe has nothing to sync.
  struct stat st;
  if (fstat(mInPlace, &st) == 0 && S_ISREG(st.st_mode) && fsync(mInPlace) != 0) fail(errno);
  const int fd = mInPlace;
  mInPlace = -1;
  if (close(fd) != 0) fail(errno);
  discard();
}

void SafeOutput::commit() {
  if (mInPlace >= 0) return copySpoolIntoDestination();
  if (!mFile->commit()) {
    const int error = errno;
    if (error == EEXIST && mExisting == Existing::Keep) refuseExisting();
    fail(error);
  }
  releaseSlot(mSlot);
  mSlot = -1;
  // The rename refused to replace anything, so the name was free.
  mCreated = mExisting == Existing::Keep;
}

void SafeOutput::withdraw() noexcept {
  if (mCreated) unlink(mFile->destination().c_str());
  mCreated = false;
}

void SafeOutput::commitTogether(const std::vector<SafeOutput*>& outputs) {
  std::vector<SafeOutput*> ordered;
  for (const bool inPlace : {false, true})
    for (SafeOutput* output : outputs)
      if (output && (output->mInPlace >= 0) == inPlace) ordered.push_back(output);
  for (size_t i = 0; i < ordered.size(); ++i) {
    try {
      ordered[i]->commit();
    } catch (...) {
      while (i > 0)
        ordered[--i]->withdraw();
      throw;
    }
  }
}
