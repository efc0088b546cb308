#include "effect/dsp/CAllPass6.h"

#include <algorithm>

void CAllPass6::reset(double sampleRate) noexcept {
  mSampleRate = sampleRate;
  setcoeff();
  mW = mSin = mCos = mAlpha = mNorm = mA = mB = 0.0;
  clearSignal();
}

void CAllPass6::calcCoeff(double freq, double q, double lfo) noexcept {
  if (!retune(freq, q, lfo)) return;
  mSin = std::sin(mW);
  mCos = std::cos(mW);
  finishCoeff(q);
}

void CAllPass6::calcCoeffPair(CAllPass6& a, double freqA, double qA, CAllPass6& b, double freqB,
                              double qB, double lfo) noexcept {
  const bool newA = a.retune(freqA, qA, lfo);
  const bool newB = b.retune(freqB, qB, lfo);
  if (newA) {
    a.mSin = std::sin(a.mW);
    a.mCos = std::cos(a.mW);
  }
  if (newB) {
    b.mSin = std::sin(b.mW);
    b.mCos = std::cos(b.mW);
  }
  if (newA) a.finishCoeff(qA);
  if (newB) b.finishCoeff(qB);
}

bool CAllPass6::retune(double freq, double q, double lfo) noexcept {
  const double f = std::max(kFreqMin, std::min(mFreqCeiling, freq * lfo));
  // The coefficients are a function of f, q and mK alone, and the stepped
  // sweep over settled controls often lands on the same f again: skipping
  // sin, cos and three divisions then leaves every field as computing would.
  if (f == mFr && q == mCoeffQ) return false;
  mFr = f;
  mCoeffQ = q;
  mW = mK * (kAngleScale * mFr);
  return true;
}

void CAllPass6::finishCoeff(double q) noexcept {
  mAlpha = mSin / (2.0 * q);
  mNorm = 1.0 + mAlpha;
  mA = (1.0 - mAlpha) / mNorm;
  mB = 2.0 * mCos / mNorm;
}

void CAllPass6::flushTiny() noexcept {
  using dsp_detail::isTiny;
  // Counted rather than or-ed: a branch-free scan of state the chain is still
  // computing.
  int tiny = isTiny(mIn) + isTiny(mOut);
  for (const Section& s : mSections) {
    tiny += isTiny(s.x1) + isTiny(s.x2) + isTiny(s.y1) + isTiny(s.y2);
  }
  if (tiny == 0) return;
  using dsp_detail::flushTiny;
  flushTiny(mIn);
  flushTiny(mOut);
  for (Section& s : mSections) {
    flushTiny(s.x1);
    flushTiny(s.x2);
    flushTiny(s.y1);
    flushTiny(s.y2);
  }
}

void CAllPass6::clearSignal() noexcept {
  mIn = mOut = 0.0;
  for (Section& s : mSections)
    s = Section();
}
