#include "framework/plugin/NChanDelayLine.h"

#include <cstring>

NChanDelayLine::NChanDelayLine(int nInputChannels, int nOutputChannels)
    : mNInputChannels(nInputChannels < 0 ? 0 : nInputChannels),
      mNOutputChannels(nOutputChannels < 0 ? 0 : nOutputChannels) {}

void NChanDelayLine::SetDelayTime(int samples) {
  if (samples < 0) samples = 0;
  const long long total = static_cast<long long>(mNInputChannels) * samples;
  // A ring that cannot be held leaves the line copying straight through.
  if (total > 0x7fffffff / static_cast<long long>(sizeof(double)) ||
      (!mBuffer.ResizeOK(static_cast<int>(total)) && total > 0)) {
    mBuffer.Resize(0);
    samples = 0;
  }
  mDelayTime = samples;
  mWritePos = 0;
  ClearBuffer();
}

void NChanDelayLine::ClearBuffer() {
  if (mBuffer.Get()) memset(mBuffer.Get(), 0, sizeof(double) * mBuffer.GetSize());
}

void NChanDelayLine::ProcessBlock(double** inputs, double** outputs, int nFrames) noexcept {
  const int nChannels = mNInputChannels < mNOutputChannels ? mNInputChannels : mNOutputChannels;
  double* rings = mBuffer.Get();
  for (int s = 0; s < nFrames; ++s) {
    for (int c = 0; c < nChannels; ++c) {
      // Read the input before writing the output: hosts render in place.
      const double in = inputs[c][s];
      if (mDelayTime < 1) {
        outputs[c][s] = in;
        continue;
      }
      double& slot = rings[c * mDelayTime + mWritePos];
      outputs[c][s] = slot;
      slot = in;
    }
    if (mDelayTime > 0 && ++mWritePos >= mDelayTime) mWritePos = 0;
  }
}
