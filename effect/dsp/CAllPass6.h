#pragma once

#include <cmath>
#include <limits>
#include <type_traits>

#include "effect/dsp/detail/FlushTiny.h"

// A chain of up to six identical second-order all-pass sections sharing one
// pair of coefficients, with feedback from the chain's output to its input.
// The section's frequency in Hz is the normalised frequency × 22050 at every
// sample rate.
//
// Two guards keep the chain usable whatever it is fed, without touching the
// results of ordinary signals: a chain whose output turns non-finite or
// grows beyond kBlowUp (a NaN, an infinite or absurd input, or a feedback
// setting outside ±1) clears its signal state instead of ringing on it for
// good, and flushTiny() zeroes state too small to hear before it becomes
// denormal.
class CAllPass6 {
 public:
  // A full-scale signal at the strongest resonance drives the chain to about
  // a hundred, so this leaves ample room for any input the engine accepts
  // while staying far from overflow.
  static constexpr double kBlowUp = 1e10;

  struct Section {
    double x1 = 0.0, x2 = 0.0;  // last two inputs
    double y1 = 0.0, y2 = 0.0;  // last two outputs
  };

  CAllPass6() noexcept { setcoeff(); }

  // A section's angle per sample is kAngleFactor / sample rate × (kAngleScale ×
  // the normalised frequency): the product of the two is 2π × 22050, so the
  // normalised frequency 1 stands for 22050 Hz at every sample rate.
  static constexpr double kAngleFactor = 5.654866776461628;  // 1.8π
  static constexpr double kAngleScale = 24500.0;

  // State below this magnitude counts as silence: far below any audible
  // level, yet long before a ringing tail would reach denormal range.
  static constexpr double kSilent = 1e-12;

  // [audio thread] Also makes the next calcCoeff compute afresh.
  void setcoeff() noexcept {
    mK = kAngleFactor / mSampleRate;
    // The angle grows as 44100 / sample rate, so below 44.1 kHz the top of the
    // clamp would tune the sections past the Nyquist frequency, where the
    // all-pass turns unstable: keep them at the same share of Nyquist instead.
    mFreqCeiling = mSampleRate < 44100.0 ? mFreqMax * mSampleRate / 44100.0 : mFreqMax;
    mCoeffQ = std::numeric_limits<double>::quiet_NaN();
  }

  // [audio thread] Clears signal state and coefficients but keeps getfr():
  // calcCoeff must run before the next sample.
  void reset(double sampleRate) noexcept;

  // [audio thread] freq × lfo is clamped to [0.0015, 0.982] (the top lowered
  // in proportion below 44.1 kHz); q must be non-zero.
  void calcCoeff(double freq, double q, double lfo) noexcept;
  // [audio thread] calcCoeff on two chains, with the same results. Every
  // libm call first waits for the floating-point work in flight; here the
  // second waits only for the first.
  static void calcCoeffPair(CAllPass6& a, double freqA, double qA, CAllPass6& b, double freqB,
                            double qB, double lfo) noexcept;

  static constexpr int sectionCount(int stages) noexcept {
    return stages >= 0 && stages <= 4 ? stages + 1 : 6;
  }

  // Calls f with std::integral_constant<int, sectionCount(stages)>, so that
  // a caller dispatching once per frame runs loops without branches.
  template <class F>
  static decltype(auto) withSectionCount(int stages, F&& f) noexcept {
    switch (sectionCount(stages)) {
      case 1:
        return f(std::integral_constant<int, 1>());
      case 2:
        return f(std::integral_constant<int, 2>());
      case 3:
        return f(std::integral_constant<int, 3>());
      case 4:
        return f(std::integral_constant<int, 4>());
      case 5:
        return f(std::integral_constant<int, 5>());
      default:
        return f(std::integral_constant<int, 6>());
    }
  }

  // [audio thread] Stage setting 0..4 runs that many sections plus one; any
  // other value runs all six. Sections beyond the count keep their state.
  double process(double in, int stages, double feedback) noexcept {
    return withSectionCount(stages, [&](auto n) { return run<decltype(n)::value>(in, feedback); });
  }

  // [audio thread] process() with the section count fixed at compile time, so
  // a caller that dispatches once per frame runs a loop without branches.
  template <int N>
  double run(double in, double feedback) noexcept {
    static_assert(N >= 1 && N <= 6, "a chain has one to six sections");
    mIn = in + mOut * feedback;
    double u = mIn;
    for (int i = 0; i < N; ++i) {
      Section& s = mSections[i];
      const double y = mA * (u - s.y2) + mB * (s.y1 - s.x1) + s.x2;
      s.x2 = s.x1;
      s.x1 = u;
      s.y2 = s.y1;
      s.y1 = y;
      u = y;
    }
    mOut = u;
    if (!(std::fabs(mOut) <= kBlowUp)) clearSignal();
    return mOut;
  }

  // [audio thread] True when the sections the stage setting runs and the
  // feedback memory all hold less than kSilent: fed silence, the chain would
  // only decay further.
  bool isSilent(int stages) const noexcept {
    bool silent = std::fabs(mOut) < kSilent;
    for (int i = 0; i < sectionCount(stages); ++i) {
      const Section& s = mSections[i];
      silent &= std::fabs(s.x1) < kSilent && std::fabs(s.x2) < kSilent &&
                std::fabs(s.y1) < kSilent && std::fabs(s.y2) < kSilent;
    }
    return silent;
  }

  // [audio thread] Zeroes every signal value below audibility (see FlushTiny.h).
  void flushTiny() noexcept;

  // [audio thread] Read-only views of the state.
  double getfr() const noexcept { return mFr; }
  double getW() const noexcept { return mW; }
  double getA() const noexcept { return mA; }
  double getB() const noexcept { return mB; }
  double getIn() const noexcept { return mIn; }
  double getOut() const noexcept { return mOut; }
  double getSampleRate() const noexcept { return mSampleRate; }
  const Section& getSection(int i) const noexcept { return mSections[i]; }

 private:
  void clearSignal() noexcept;
  // Clamps and stores the frequency; false when the coefficients stand as they are.
  bool retune(double freq, double q, double lfo) noexcept;
  void finishCoeff(double q) noexcept;

  double mSampleRate = 44100.0;
  double mFreqMin = 0.0015;
  double mFreqMax = 0.982;
  double mFreqCeiling = 0.982;  // mFreqMax, lowered in proportion below 44.1 kHz
  double mK = 0.0;
  double mFr = 0.0;
  double mW = 0.0;
  double mSin = 0.0, mCos = 0.0;
  double mAlpha = 0.0;
  double mNorm = 0.0;
  double mA = 0.0;
  double mB = 0.0;
  double mIn = 0.0;
  double mOut = 0.0;
  Section mSections[6];
  double mCoeffQ = std::numeric_limits<double>::quiet_NaN();  // q of the coefficients; NaN: none
};
