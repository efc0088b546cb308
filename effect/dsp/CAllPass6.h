#pragma once

#include <cmath>
#include <limits>
#include <type_traits>

#include "effect/dsp/InstructionSet.h"
#include "effect/dsp/detail/FlushTiny.h"
#include "effect/dsp/detail/MulAdd.h"

namespace dsp_detail {
template <class MulAdd, int N>
class ChainPair;
template <class MulAdd, int N>
class CompactChainPair;
}  // namespace dsp_detail

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
  static constexpr int kSections = 6;

  // V is double, or a pair of chains' values (see ChainPair).
  // No member initialisers: a block's copy of the state is built whole, and
  // a constructor looping over an array of them would keep it in memory.
  // Section() is all zeros.
  template <class V>
  struct BasicSection {
    V x1, x2;  // last two inputs
    V y1, y2;  // last two outputs
  };
  using Section = BasicSection<double>;

  template <class V>
  struct Coefficients {
    V a, minusA, b;
  };

  // One section's sample, y = a·u + (x2 − a·y2 + b·(y1 − x1)): grouped so
  // that only the last multiply-add waits for the section's input u, which
  // shortens the chain's feedback loop, the one path every sample waits for.
  template <class MulAdd, class V>
  static V step(BasicSection<V>& s, V u, const Coefficients<V>& c) noexcept {
    const V rest = MulAdd::mulAdd(c.b, s.y1 - s.x1, MulAdd::mulAdd(c.minusA, s.y2, s.x2));
    const V y = MulAdd::mulAdd(c.a, u, rest);
    s.x2 = s.x1;
    s.x1 = u;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
  }

  CAllPass6() noexcept { setcoeff(); }

  // [audio thread] Which processor features process() uses, hence how its
  // multiply-adds round; defaultInstructionSet() unless set.
  void setInstructionSet(InstructionSet set) noexcept { mInstructionSet = set; }
  InstructionSet getInstructionSet() const noexcept { return mInstructionSet; }

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
    mFreqCeiling = frequencyCeiling(mSampleRate);
    mCoeffQ = std::numeric_limits<double>::quiet_NaN();
  }

  // The range a section's normalised frequency is held to.
  static constexpr double kFreqMin = 0.0015;
  static constexpr double kFreqMax = 0.982;
  // [any thread] The top of that range at a sample rate: the angle grows as
  // 44100 / sample rate, so below 44.1 kHz kFreqMax would tune the sections
  // past the Nyquist frequency, where the all-pass turns unstable; they keep
  // the same share of Nyquist instead.
  static double frequencyCeiling(double sampleRate) noexcept {
    return sampleRate < 44100.0 ? kFreqMax * sampleRate / 44100.0 : kFreqMax;
  }
  // [any thread] The frequency in Hz a section is tuned to for a normalised
  // frequency (before the clamp) at a sample rate.
  static double tunedHz(double normalised, double sampleRate) noexcept {
    return kHzPerNormalised *
           std::fmax(kFreqMin, std::fmin(frequencyCeiling(sampleRate), normalised));
  }
  static constexpr double kHzPerNormalised = 22050.0;

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
  // a caller dispatching once runs loops without branches.
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
    return withSectionCount(stages, [&](auto n) {
      constexpr int kCount = decltype(n)::value;
      return usesFusedMultiplyAdd(mInstructionSet)
                 ? run<dsp_detail::FusedMulAdd, kCount>(in, feedback)
                 : run<dsp_detail::SeparateMulAdd, kCount>(in, feedback);
    });
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
  template <class, int>
  friend class dsp_detail::ChainPair;
  template <class, int>
  friend class dsp_detail::CompactChainPair;

  template <class MulAdd, int N>
  double run(double in, double feedback) noexcept {
    mIn = MulAdd::mulAdd(mOut, feedback, in);
    const Coefficients<double> c = {mA, -mA, mB};
    double u = mIn;
    for (int i = 0; i < N; ++i)
      u = step<MulAdd>(mSections[i], u, c);
    mOut = u;
    if (!(std::fabs(mOut) <= kBlowUp)) clearSignal();
    return mOut;
  }

  void clearSignal() noexcept;
  // Clamps and stores the frequency; false when the coefficients stand as they are.
  bool retune(double freq, double q, double lfo) noexcept;
  void finishCoeff(double q) noexcept;

  double mSampleRate = 44100.0;
  double mFreqCeiling = kFreqMax;  // kFreqMax, lowered in proportion below 44.1 kHz
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
  Section mSections[kSections] = {};
  double mCoeffQ = std::numeric_limits<double>::quiet_NaN();  // q of the coefficients; NaN: none
  InstructionSet mInstructionSet = defaultInstructionSet();
};
