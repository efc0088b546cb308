#pragma once

#include "framework/base/WDL_TypedBuf.h"

// Delays each input channel by a whole number of samples, one ring per
// channel; used to keep a passed-through signal aligned with the latency the
// plug-in reports.
class NChanDelayLine {
 public:
  NChanDelayLine(int nInputChannels, int nOutputChannels);

  // Restarts from silence, also when the time is unchanged. A negative time
  // counts as 0. Must not overlap ProcessBlock. [UI thread]
  void SetDelayTime(int samples);
  void ClearBuffer();
  int GetDelayTime() const { return mDelayTime; }

  // Channels below both counts are delayed; outputs at or above the input
  // count are not written. Inputs and outputs may be the same buffers. A
  // delay time of 0 copies straight through. [audio thread]
  void ProcessBlock(double** inputs, double** outputs, int nFrames) noexcept;

 private:
  WDL_TypedBuf<double> mBuffer;
  int mWritePos = 0;
  const int mNInputChannels;
  const int mNOutputChannels;
  int mDelayTime = 0;
};
