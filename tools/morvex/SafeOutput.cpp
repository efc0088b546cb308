#include "tools/morvex/SafeOutput.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "tools/morvex/ToolError.h"

namespace {

// Temporaries the signal handler must remove. The handler may only call
// async-signal-safe functions, so paths live in fixed buffers and a slot is
// published by its flag after its path is written.
constexpr int kSlots = 4;
char gPendingPath[kSlots][4096];
volatile sig_atomic_t gPendingUsed[kSlots];

int claimSlot(const std::string& path) {
  if (path.size() >= sizeof gPendingPath[0]) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (!gPendingUsed[i]) {
      std::memcpy(gPendingPath[i], path.c_str(), path.size() + 1);
      gPendingUsed[i] = 1;
      return i;
    }
  }
  return -1;
}

void releaseSlot(int slot) {
  if (slot >= 0) gPendingUsed[slot] = 0;
}

extern "C" void removePendingAndDie(int sig) {
  for (int i = 0; i < kSlots; ++i)
    if (gPendingUsed[i]) unlink(gPendingPath[i]);
  signal(sig, SIG_DFL);
  raise(sig);
}

std::string describeErrno(int error) {
  return std::strerror(error);
}

}  // namespace

void SafeOutput::installSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = removePendingAndDie;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

SafeOutput::SafeOutput(std::string destination) : mDestination(std::move(destination)) {
  struct stat st;
  if (stat(mDestination.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    throw ToolError(mDestination + ": is a folder, not a file");
  const size_t slash = mDestination.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : mDestination.substr(0, slash + 1);
  const std::string base =
      slash == std::string::npos ? mDestination : mDestination.substr(slash + 1);
  std::string pattern = folder + "." + base + ".tmp-XXXXXX";

  // Block the signals while the temporary exists but is not yet registered.
  sigset_t block, previous;
  sigemptyset(&block);
  sigaddset(&block, SIGINT);
  sigaddset(&block, SIGTERM);
  sigprocmask(SIG_BLOCK, &block, &previous);
  mFd = mkstemp(pattern.data());
  const int error = errno;
  if (mFd >= 0) {
    mTemp = pattern;
    mSlot = claimSlot(mTemp);
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  if (mFd < 0) throw ToolError(mDestination + ": cannot write (" + describeErrno(error) + ")");

  // mkstemp makes the file private; the result should get the usual mode.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(mFd, 0666 & ~mask);
}

SafeOutput::~SafeOutput() {
  discard();
}

void SafeOutput::discard() {
  if (mFd >= 0) close(mFd);
  mFd = -1;
  if (!mTemp.empty()) unlink(mTemp.c_str());
  mTemp.clear();
  releaseSlot(mSlot);
  mSlot = -1;
}

void SafeOutput::write(const void* data, size_t size) {
  auto bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(mFd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const int error = errno;
      discard();
      throw ToolError(mDestination + ": cannot write (" + describeErrno(error) + ")");
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

void SafeOutput::commit() {
  const int fd = mFd;
  mFd = -1;
  if (close(fd) != 0 || rename(mTemp.c_str(), mDestination.c_str()) != 0) {
    const int error = errno;
    discard();
    throw ToolError(mDestination + ": cannot write (" + describeErrno(error) + ")");
  }
  mTemp.clear();
  releaseSlot(mSlot);
  mSlot = -1;
}
