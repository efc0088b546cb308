#pragma once

// What the tests of morvex live share: JACK clients of the test's own around
// morvex, and morvex live running in the background.
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/morvex/ToolTestSupport.h"
#include "tools/jackhost/JackClient.h"

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

// What the test plays into morvex and records from it, each side a
// JackClient of the test's own so that audio goes feeder → morvex → recorder
// within one period.
class Tape : public JackProcessor {
 public:
  Tape(int inputs, int outputs) : mInputs(inputs), mOutputs(outputs) {}

  // From the next period on: plays the signal (over and over when asked),
  // and keeps up to `frames` frames of the inputs.
  void Play(Channels signal, bool loop) {
    mSignal = std::move(signal);
    mLoop = loop;
    mPlaying.store(true);
  }
  void Record(size_t frames) {
    mRecording.assign(static_cast<size_t>(mInputs), std::vector<float>(frames));
    mRecordingOn.store(true);
  }
  size_t Recorded() const { return mRecorded.load(); }
  const Channels& Recording() const { return mRecording; }
  size_t Played() const { return mPlayed.load(); }
  uint32_t LastPeriod() const { return mLastPeriod.load(); }

  void process(const float* const* in, float* const* out, uint32_t frames) noexcept override {
    mLastPeriod.store(frames);
    const bool playing = mPlaying.load();
    const size_t played = mPlayed.load();
    for (int c = 0; c < mOutputs; ++c) {
      std::fill_n(out[c], frames, 0.0f);
      const std::vector<float>* source = playing ? &mSignal[c] : nullptr;
      for (uint32_t i = 0; source && i < frames; ++i) {
        const size_t at = mLoop ? (played + i) % source->size() : played + i;
        if (at < source->size()) out[c][i] = (*source)[at];
      }
    }
    if (playing) mPlayed.store(played + frames);
    if (!mRecordingOn.load()) return;
    const size_t recorded = mRecorded.load();
    const size_t take = std::min<size_t>(frames, mRecording[0].size() - recorded);
    for (int c = 0; c < mInputs; ++c)
      std::copy_n(in[c], take, mRecording[c].begin() + static_cast<long>(recorded));
    mRecorded.store(recorded + take);
  }
  void prepare(double, uint32_t) override {}

 private:
  const int mInputs, mOutputs;
  Channels mSignal;
  bool mLoop = false;
  std::atomic<bool> mPlaying{false}, mRecordingOn{false};
  std::atomic<size_t> mPlayed{0}, mRecorded{0};
  Channels mRecording;
  std::atomic<uint32_t> mLastPeriod{0};
};

// A tape on a client of the server $JACK_DEFAULT_SERVER names, playing.
struct TestClient {
  TestClient(const char* name, int inputs, int outputs)
      : tape(inputs, outputs), jack(name, inputs, outputs, tape) {
    jack.activate();
  }
  Tape tape;
  JackClient jack;
};

// 'morvex live ARGS' in the background, its standard error in a file.
class LiveMorvex {
 public:
  LiveMorvex(const TempDir& scratch, std::vector<std::string> args,
             const std::vector<std::string>& environment = {"DISPLAY"})
      : mErrPath(scratch / "live.err") {
    args.insert(args.begin(), "live");
    std::vector<std::string> changes = {"XDG_DATA_HOME=" + scratch / ".data"};
    changes.insert(changes.end(), environment.begin(), environment.end());
    mPid = tool_test::StartProgram(MORVEX_TOOL, args, "/dev/null", mErrPath, changes);
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
