#pragma once

#include <cmath>

#include "effect/dsp/CAllPass6.h"

// A chain whose sections compute a(u − y2) + b(y1 − x1) + x2, each multiply
// and add rounded on its own: the order the engine's sections were first
// written in. The coefficients come from the engine's own law.
class PlainOrderChain {
 public:
  void reset(double sampleRate) {
    mLaw.reset(sampleRate);
    clear();
  }
  void calcCoeff(double freq, double q, double lfo) { mLaw.calcCoeff(freq, q, lfo); }
  void setInstructionSet(InstructionSet) {}  // always plain

  double process(double in, int stages, double feedback) {
    mIn = in + mOut * feedback;
    const double a = mLaw.getA(), b = mLaw.getB();
    double u = mIn;
    for (int i = 0; i < CAllPass6::sectionCount(stages); ++i) {
      CAllPass6::Section& s = mSections[i];
      const double y = a * (u - s.y2) + b * (s.y1 - s.x1) + s.x2;
      s.x2 = s.x1;
      s.x1 = u;
      s.y2 = s.y1;
      s.y1 = y;
      u = y;
    }
    mOut = u;
    if (!(std::fabs(mOut) <= CAllPass6::kBlowUp)) clear();
    return mOut;
  }

  double getOut() const { return mOut; }
  const CAllPass6::Section& getSection(int i) const { return mSections[i]; }

 private:
  void clear() {
    mIn = mOut = 0.0;
    for (CAllPass6::Section& s : mSections)
      s = CAllPass6::Section();
  }

  CAllPass6 mLaw;
  double mIn = 0.0, mOut = 0.0;
  CAllPass6::Section mSections[CAllPass6::kSections] = {};
};
