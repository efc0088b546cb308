#pragma once

#include <chrono>

// A one-line progress bar on standard error for long renders. It draws only
// when enabled, standard error is a terminal and the audio is long enough
// for the wait to be noticed; otherwise every call does nothing.
class Progress {
 public:
  Progress(bool enabled, long long totalFrames, double sampleRate);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void update(long long framesDone);
  // Erases the bar.
  void finish();

  // Audio shorter than this renders without a bar.
  static constexpr double kMinimumSeconds = 5.0;

 private:
  void draw(long long framesDone);

  bool mActive = false;
  long long mTotal = 0;
  double mRate = 1.0;
  int mLastPercent = -1;
  std::chrono::steady_clock::time_point mLastDraw;
};
