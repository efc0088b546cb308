#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace test_support {

// A private X server for one test program: Xvfb on a display number it
// picks itself (so parallel test programs never collide), exported as
// $DISPLAY while the object lives. Without Xvfb, Display() is empty.
class XvfbServer {
 public:
  explicit XvfbServer(const char* screen = "640x480x24") {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen",  "0",
                          screen, "-nolisten",  "tcp",      "-noreset", nullptr};
    // The server's output goes nowhere: a test program that dies leaves
    // it running, and it must not hold the test runner's pipes open.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&mPid, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ) !=
        0) {
      mPid = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    char c;
    while (mPid && read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(fds[0]);
    if (number.empty()) return;
    mDisplay = ":" + number;
    const char* previous = std::getenv("DISPLAY");
    mPrevious = previous ? previous : "";
    mHadPrevious = previous != nullptr;
    setenv("DISPLAY", mDisplay.c_str(), 1);
  }
  ~XvfbServer() {
    if (mHadPrevious) {
      setenv("DISPLAY", mPrevious.c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
    Stop();
  }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Ends the server, as a user logging out or a crash would, for tests of
  // what its clients do when it goes away.
  void Stop() {
    if (mPid > 0) {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
    }
    mPid = 0;
  }

  // ":N", or empty when the server did not start.
  const std::string& Display() const { return mDisplay; }

 private:
  pid_t mPid = 0;
  std::string mDisplay;
  std::string mPrevious;
  bool mHadPrevious = false;
};

}  // namespace test_support
