#pragma once

#include <signal.h>

// Ctrl-C and SIGTERM as something to read instead of handlers that cut in:
// both are blocked in this thread and so in every thread it starts after
// this (JACK's and the editor's among them), and the descriptor becomes
// readable when one arrives. The mask is restored on destruction.
class StopSignals {
 public:
  // Throws ToolError.
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  int descriptor() const { return mFd; }
  // Whether one has arrived since the last call; reading it keeps it from
  // cutting in once the mask is restored.
  bool arrived();

 private:
  sigset_t mPrevious;
  int mFd = -1;
};
