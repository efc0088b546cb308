#include "effect/dsp/CAllPass6.h"

#include <algorithm>

void CAllPass6::reset(double sampleRate) noexcept {
  mSampleRate = sampleRate;
  setcoeff();
  mW = mSin = mCos = mAlpha = mNorm = mA = mB = 0.0;
  clearSignal();
}

void CAllPass6::calcCoeff(double freq, double q, double lfo) noexcept {
  mFr = std::max(mFreqMin, std::min(mFreqMax, freq * lfo));
  mW = mK * (24500.0 * mFr);
  mSin = std::sin(mW);
  mCos = std::cos(mW);
  mAlpha = mSin / (2.0 * q);
  mNorm = 1.0 + mAlpha;
  mA = (1.0 - mAlpha) / mNorm;
  mB = 2.0 * mCos / mNorm;
}

void CAllPass6::flushTiny() noexcept {
  using morvex_dsp_detail::flushTiny;
  mIn = flushTiny(mIn);
  mOut = flushTiny(mOut);
  for (Section& s : mSections) {
    s.x1 = flushTiny(s.x1);
    s.x2 = flushTiny(s.x2);
    s.y1 = flushTiny(s.y1);
    s.y2 = flushTiny(s.y2);
  }
}

void CAllPass6::clearSignal() noexcept {
  mIn = mOut = 0.0;
  for (Section& s : mSections)
    s = Section();
}
