#include "tools/morvex/console/BatchProgress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

BatchProgress::BatchProgress(bool enabled, size_t files)
    : mActive(enabled && isatty(STDERR_FILENO)), mFiles(files) {}

BatchProgress::~BatchProgress() {
  if (!mActive) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

void BatchProgress::addAudio(double seconds) {
  const std::lock_guard<std::mutex> lock(mMutex);
  mSeconds += seconds;
}

void BatchProgress::fileDone() {
  const std::lock_guard<std::mutex> lock(mMutex);
  ++mDone;
  mChanged.notify_one();
}

void BatchProgress::waitForAll() {
  std::unique_lock<std::mutex> lock(mMutex);
  // Redrawn when a file is done, and ten times a second in between.
  while (mDone < mFiles) {
    draw();
    mChanged.wait_for(lock, std::chrono::milliseconds(100));
  }
  draw();
}

void BatchProgress::draw() {
  if (!mActive) return;
  std::fprintf(stderr, "\rrendering: %zu of %zu files done, %.1f s of audio", mDone, mFiles,
               mSeconds);
  std::fflush(stderr);
}
