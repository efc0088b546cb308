#pragma once

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

namespace test_support {

// A JACK server for one test: jackd on its dummy backend (no sound card, the
// same periods as one) under a name of its own, exported as
// $JACK_DEFAULT_SERVER while the object lives, so that neither the test nor
// the programs it starts touch a server of the user's. It is stopped by its
// process id.
class JackServer {
 public:
  explicit JackServer(int rate = 44100, int period = 64) {
    // One name for every test's server: JACK's registry has eight places,
    // and a server that dies without leaving it (killed, or crashed) keeps
    // its place until a server of the same name starts. The tests that start
    // servers run alone, so two never share it.
    mName = "morvex-test";
    const char* previous = std::getenv("JACK_DEFAULT_SERVER");
    mHadPrevious = previous != nullptr;
    mPrevious = previous ? previous : "";
    setenv("JACK_DEFAULT_SERVER", mName.c_str(), 1);
    // The server takes clients once its socket is up; libjack would tell of
    // each try before that.
    jack_set_error_function([](const char*) {});
    // One left by a test killed before it could stop it would take this
    // one's clients while this one failed to start.
    if (Answers()) {
      std::fprintf(stderr, "a JACK server named '%s' is already running: stop it first\n",
                   mName.c_str());
      return;
    }
    const std::string rateText = std::to_string(rate), periodText = std::to_string(period);
    const char* argv[] = {"jackd",          "-n", mName.c_str(),      "-d",   "dummy", "-r",
                          rateText.c_str(), "-p", periodText.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&mPid, "jackd", &actions, nullptr, const_cast<char* const*>(argv), environ) !=
        0)
      mPid = 0;
    posix_spawn_file_actions_destroy(&actions);
    for (int tries = 0; mPid && tries < 200 && !mRunning; ++tries) {
      mRunning = Answers();
      if (!mRunning) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~JackServer() {
    Stop();
    if (mHadPrevious) {
      setenv("JACK_DEFAULT_SERVER", mPrevious.c_str(), 1);
    } else {
      unsetenv("JACK_DEFAULT_SERVER");
    }
  }
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  bool Running() const { return mRunning; }
  const std::string& Name() const { return mName; }

  // Ends the server as a user stopping it would; it is killed should it
  // still run five seconds later.
  void Stop() {
    if (mPid <= 0) return;
    kill(mPid, SIGTERM);
    for (int tries = 0; tries < 500; ++tries) {
      if (waitpid(mPid, nullptr, WNOHANG) == mPid) {
        mPid = 0;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (mPid > 0) {
      kill(mPid, SIGKILL);
      waitpid(mPid, nullptr, 0);
    }
    mPid = 0;
    mRunning = false;
  }

 private:
  static bool Answers() {
    jack_client_t* probe = jack_client_open("probe", JackNoStartServer, nullptr);
    if (probe) jack_client_close(probe);
    return probe != nullptr;
  }

  pid_t mPid = 0;
  std::string mName;
  bool mRunning = false;
  std::string mPrevious;
  bool mHadPrevious = false;
};

}  // namespace test_support
