#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

// One line on standard error for a whole batch of renders: the files done of
// the total and the seconds of audio rendered so far. It draws only when
// enabled and standard error is a terminal, and is erased when destroyed.
class BatchProgress {
 public:
  BatchProgress(bool enabled, size_t files);
  ~BatchProgress();
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  // [any thread] A render went on by this much audio.
  void addAudio(double seconds);
  // [any thread] A file is done, whatever its outcome.
  void fileDone();
  // [main thread] Returns when every file is done, redrawing meanwhile.
  void waitForAll();

 private:
  void draw();  // [main thread, lock held]

  const bool mActive;
  const size_t mFiles;
  std::mutex mMutex;
  std::condition_variable mChanged;
  size_t mDone = 0;
  double mSeconds = 0;
};
