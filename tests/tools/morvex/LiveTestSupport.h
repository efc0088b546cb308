#pragma once

// What the tests of morvex live share: JACK clients of the test's own around
// morvex, and morvex live running in the background.
#include <jack/jack.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/morvex/ToolTestSupport.h"

namespace live_test {

using tool_test::Channels;
using tool_test::TempDir;

inline constexpr int kRate = 44100;

// Waits up to `seconds` for a condition.
inline bool Eventually(double seconds, const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// One side of the test's graph, a JACK client of its own, so that audio goes
// feeder → morvex → recorder within one period: it plays a signal from its
// outputs when told, keeps what its inputs get when told, and counts the
// xruns the server reports.
class TestClient {
 public:
  TestClient(const char* name, int inputs, int outputs) {
    mClient = jack_client_open(name, JackNoStartServer, nullptr);
    if (!mClient) return;
    for (int i = 1; i <= inputs; ++i)
      mInputs.push_back(jack_port_register(mClient, ("in_" + std::to_string(i)).c_str(),
                                           JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
    for (int i = 1; i <= outputs; ++i)
      mOutputs.push_back(jack_port_register(mClient, ("out_" + std::to_string(i)).c_str(),
                                            JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0));
    jack_set_process_callback(mClient, OnProcess, this);
    jack_set_xrun_callback(mClient, OnXrun, this);
    jack_activate(mClient);
  }
  ~TestClient() {
    if (mClient) jack_client_close(mClient);
  }

  bool Open() const { return mClient != nullptr; }
  jack_client_t* Jack() const { return mClient; }

  // From the next period on: plays the signal (over and over when asked) and
  // keeps up to `frames` frames of the inputs.
  void Play(Channels signal, bool loop) {
    mSignal = std::move(signal);
    mLoop = loop;
    mPlaying.store(true);
  }
  void Record(size_t frames) {
    mRecording.assign(mInputs.size(), std::vector<float>(frames));
    mRecorded.store(0);
    mRecordingOn.store(true);
  }
  size_t Recorded() const { return mRecorded.load(); }
  const Channels& Recording() const { return mRecording; }
  size_t Played() const { return mPlayed.load(); }
  jack_nframes_t LastPeriod() const { return mLastPeriod.load(); }
  bool InputsConnected() const {
    for (jack_port_t* port : mInputs)
      if (jack_port_connected(port) == 0) return false;
    return true;
  }
  bool OutputsConnected() const {
    for (jack_port_t* port : mOutputs)
      if (jack_port_connected(port) == 0) return false;
    return true;
  }
  unsigned Xruns() const { return mXruns.load(); }

 private:
  static int OnProcess(jack_nframes_t frames, void* self) {
    static_cast<TestClient*>(self)->Process(frames);
    return 0;
  }
  static int OnXrun(void* self) {
    static_cast<TestClient*>(self)->mXruns.fetch_add(1);
    return 0;
  }

  void Process(jack_nframes_t frames) {
    mLastPeriod.store(frames);
    const bool playing = mPlaying.load();
    size_t played = mPlayed.load();
    for (size_t c = 0; c < mOutputs.size(); ++c) {
      auto* out = static_cast<float*>(jack_port_get_buffer(mOutputs[c], frames));
      std::fill_n(out, frames, 0.0f);
      if (!playing || c >= mSignal.size()) continue;
      const std::vector<float>& source = mSignal[c];
      for (jack_nframes_t i = 0; i < frames; ++i) {
        const size_t at = played + i;
        if (mLoop) {
          out[i] = source[at % source.size()];
        } else if (at < source.size()) {
          out[i] = source[at];
        }
      }
    }
    if (playing) mPlayed.store(played + frames);
    if (mRecordingOn.load()) {
      const size_t recorded = mRecorded.load();
      const size_t take = std::min<size_t>(frames, mRecording[0].size() - recorded);
      for (size_t c = 0; c < mInputs.size(); ++c) {
        const auto* in = static_cast<const float*>(jack_port_get_buffer(mInputs[c], frames));
        std::copy_n(in, take, mRecording[c].begin() + static_cast<long>(recorded));
      }
      mRecorded.store(recorded + take);
    }
  }

  jack_client_t* mClient = nullptr;
  std::vector<jack_port_t*> mInputs, mOutputs;
  Channels mSignal;
  bool mLoop = false;
  std::atomic<bool> mPlaying{false}, mRecordingOn{false};
  std::atomic<size_t> mPlayed{0}, mRecorded{0};
  Channels mRecording;
  std::atomic<jack_nframes_t> mLastPeriod{0};
  std::atomic<unsigned> mXruns{0};
};

// 'morvex live ARGS' in the background, its standard error in a file.
class LiveMorvex {
 public:
  LiveMorvex(const TempDir& scratch, std::vector<std::string> args,
             const std::vector<std::string>& environment = {"DISPLAY"})
      : mErrPath(scratch / "live.err") {
    args.insert(args.begin(), {MORVEX_TOOL, "live"});
    std::vector<char*> argv;
    for (std::string& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> changes = {"XDG_DATA_HOME=" + scratch / ".data"};
    changes.insert(changes.end(), environment.begin(), environment.end());
    std::vector<std::string> variables = tool_test::ChangedEnvironment(changes);
    std::vector<char*> envp;
    for (std::string& variable : variables)
      envp.push_back(variable.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, mErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    if (posix_spawn(&mPid, MORVEX_TOOL, &actions, nullptr, argv.data(), envp.data()) != 0) mPid = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~LiveMorvex() {
    if (mPid > 0) {
      kill(mPid, SIGKILL);
      waitpid(mPid, nullptr, 0);
    }
  }

  std::string Err() const { return tool_test::Slurp(mErrPath); }
  bool Says(const std::string& text, double seconds = 10) const {
    return Eventually(seconds, [&] { return Err().find(text) != std::string::npos; });
  }
  void Signal(int number) const { kill(mPid, number); }
  // The exit status (128 + signal for a death), or -1 when it has not ended
  // within `seconds`.
  int Exit(double seconds = 10) {
    int status = 0;
    if (!Eventually(seconds, [&] { return waitpid(mPid, &status, WNOHANG) == mPid; })) return -1;
    mPid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  std::string mErrPath;
  pid_t mPid = 0;
};

}  // namespace live_test
