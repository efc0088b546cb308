#pragma once

// Table-driven sweep oscillator: its phase runs as a triangle and its output
// is a frequency multiplier (≥ 1) read from an exponential table, so the sweep
// is linear in log-frequency. Its speed comes from a hand-shaped rate curve.
class CLfo {
 public:
  static constexpr int kExpSize = 1360;
  static constexpr int kRateSize = 128;
  // Ratio of neighbouring multipliers: 0.48 %, so the whole table spans
  // 9.43 octaves.
  static constexpr double kExpRatio = 1.0048168;
  // Phase step per unit of the rate curve, times the sample rate.
  static constexpr double kPhaseStepPerRate = 900.0;

  CLfo() noexcept;

  // [any thread] The rate curve's entry a rate setting selects.
  static double rateCurve(double rate) noexcept;
  // [any thread] The table entry at the top of a sweep of this shape, and
  // the multiplier an entry holds (to within the table's rounding).
  static int topEntry(double freqShape, double depth) noexcept;
  static double multiplier(int entry) noexcept;

  // [audio thread] Fills both tables; the constructor already did.
  void initBuff() noexcept;

  // [audio thread] freqShape, depth and rate in [0, 1]; values outside that
  // range are held to the ends of the tables.
  void setLfo(double freqShape, double depth, double rate) noexcept;

  // [audio thread] One step of the triangle; returns the multiplier.
  double nextLfo() noexcept;

  // [audio thread] Restarts the phase at 0 (the bottom of the sweep) at the
  // current speed.
  void reset(double sampleRate) noexcept;

  // [audio thread] Read-only views of the state.
  double getExpEntry(int i) const noexcept { return mExpTable[i]; }
  double getRateEntry(int i) const noexcept { return mRateTable[i]; }
  double getSampleRate() const noexcept { return mSampleRate; }
  double getPhase() const noexcept { return mPhase; }
  double getRate() const noexcept { return mRate; }
  double getScale() const noexcept { return mScale; }
  double getInc() const noexcept { return mInc; }
  double getOut() const noexcept { return mOut; }

 private:
  double mExpTable[kExpSize];
  double mRateTable[kRateSize];
  double mSampleRate = 44100.0;
  double mPhase = 1.0;
  double mRate = 0.0;
  double mScale = 0.0;
  double mInc = 0.0;
  double mOut = 0.0;
  double mIncPerRate =
      kPhaseStepPerRate / 44100.0;  // 900 / mSampleRate, kept off the per-update path
};
