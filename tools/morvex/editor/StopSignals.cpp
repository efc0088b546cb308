#include "tools/morvex/editor/StopSignals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "tools/morvex/console/ToolError.h"

StopSignals::StopSignals() {
  sigset_t stopping;
  sigemptyset(&stopping);
  sigaddset(&stopping, SIGINT);
  sigaddset(&stopping, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopping, &mPrevious);
  mFd = signalfd(-1, &stopping, SFD_CLOEXEC | SFD_NONBLOCK);
  if (mFd < 0) {
    const int error = errno;
    pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr);
    throw ToolError(std::string("cannot watch for Ctrl-C: ") + std::strerror(error));
  }
}

StopSignals::~StopSignals() {
  close(mFd);
  pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr);
}

bool StopSignals::arrived() {
  signalfd_siginfo info;
  bool any = false;
  while (read(mFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
    any = true;
  return any;
}
