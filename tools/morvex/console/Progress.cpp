#include "tools/morvex/console/Progress.h"

#include <unistd.h>

#include <cstdio>

Progress::Progress(bool enabled, long long totalFrames, double sampleRate)
    : mActive(enabled && isatty(STDERR_FILENO) &&
              static_cast<double>(totalFrames) > kMinimumSeconds * sampleRate),
      mTotal(totalFrames),
      mRate(sampleRate) {
  if (mActive) draw(0);
}

Progress::~Progress() {
  finish();
}

void Progress::update(long long framesDone) {
  if (!mActive) return;
  const int percent = static_cast<int>(100 * framesDone / mTotal);
  const auto now = std::chrono::steady_clock::now();
  // Redraw on each new percent, but not more than ten times a second, except
  // that the end is always shown.
  if (percent == mLastPercent) return;
  if (framesDone < mTotal && now - mLastDraw < std::chrono::milliseconds(100)) return;
  draw(framesDone);
}

void Progress::draw(long long framesDone) {
  constexpr int kWidth = 30;
  const int percent = static_cast<int>(100 * framesDone / mTotal);
  const int filled = static_cast<int>(kWidth * framesDone / mTotal);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i)
    bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\rrendering [%s] %3d%%  %.1f s of %.1f s", bar, percent,
               static_cast<double>(framesDone) / mRate, static_cast<double>(mTotal) / mRate);
  std::fflush(stderr);
  mLastPercent = percent;
  mLastDraw = std::chrono::steady_clock::now();
}

void Progress::finish() {
  if (!mActive) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  mActive = false;
}
