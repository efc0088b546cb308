#include "effect/dsp/CLfo.h"

#include <cmath>

namespace {

// Speed curve over the 128 rate settings: slow and fine at the bottom, steep
// over the last eight entries.
constexpr double kRateCurve[CLfo::kRateSize] = {
    0.0,      0.000039, 0.000078, 0.000118, 0.000157, 0.000196, 0.000235, 0.000274, 0.000313,
    0.000351, 0.00038,  0.00042,  0.000465, 0.000503, 0.000541, 0.000579, 0.00062,  0.00068,
    0.000741, 0.000801, 0.000861, 0.000922, 0.000982, 0.001043, 0.001111, 0.001213, 0.001315,
    0.001416, 0.001518, 0.00162,  0.001722, 0.001824, 0.001933, 0.002065, 0.002198, 0.00233,
    0.002462, 0.002594, 0.002727, 0.002859, 0.003009, 0.003199, 0.003389, 0.003579, 0.003769,
    0.003959, 0.004149, 0.004339, 0.004551, 0.004799, 0.005047, 0.005294, 0.005542, 0.00579,
    0.006038, 0.006286, 0.006582, 0.006939, 0.007297, 0.007655, 0.008013, 0.008371, 0.008728,
    0.009086, 0.00952,  0.010031, 0.010542, 0.011053, 0.011564, 0.012075, 0.012586, 0.013096,
    0.013739, 0.014484, 0.01523,  0.015975, 0.01672,  0.017465, 0.01821,  0.018956, 0.019906,
    0.02098,  0.022054, 0.023128, 0.024202, 0.025276, 0.02635,  0.027424, 0.028989, 0.030777,
    0.032564, 0.034352, 0.03614,  0.037928, 0.039715, 0.041503, 0.04414,  0.047059, 0.049979,
    0.052898, 0.05581,  0.05873,  0.061657, 0.064577, 0.069687, 0.075303, 0.080919, 0.086535,
    0.09215,  0.097766, 0.103382, 0.108998, 0.122683, 0.13752,  0.152357, 0.167194, 0.182031,
    0.196868, 0.211706, 0.226543, 0.318714, 0.41604,  0.513367, 0.610694, 0.70802,  0.805347,
    0.902673, 1.0,
};

// Truncates a table position toward zero. A setting outside [0, 1], or a
// sample rate so low that the phase steps past its wrap, must still read
// inside the table, so positions beyond either end (and NaN) are held there.
int tableIndex(double position, int last) noexcept {
  if (position >= 0.0 && position < last) return static_cast<int>(position);
  return position >= last ? last : 0;
}

constexpr int kLastRate = CLfo::kRateSize - 1, kLastExp = CLfo::kExpSize - 1;

double sweepScale(double freqShape, double depth) noexcept {
  return depth * (1.0 - freqShape) * kLastExp;
}

}  // namespace

CLfo::CLfo() noexcept {
  initBuff();
  setLfo(0.0, 1.0, 0.3);
}

void CLfo::initBuff() noexcept {
  double v = 1.0;
  for (double& entry : mExpTable) {
    v = v * kExpRatio;
    entry = v;
  }
  for (int i = 0; i < kRateSize; ++i)
    mRateTable[i] = kRateCurve[i];
}

double CLfo::rateCurve(double rate) noexcept {
  return kRateCurve[tableIndex(kLastRate * rate, kLastRate)];
}

int CLfo::topEntry(double freqShape, double depth) noexcept {
  return tableIndex(sweepScale(freqShape, depth), kLastExp);
}

double CLfo::multiplier(int entry) noexcept {
  return std::pow(kExpRatio, entry + 1);
}

void CLfo::setLfo(double freqShape, double depth, double rate) noexcept {
  mRate = mRateTable[tableIndex(kLastRate * rate, kLastRate)];
  mInc = mRate * mIncPerRate;
  mScale = sweepScale(freqShape, depth);
}

double CLfo::nextLfo() noexcept {
  mPhase += mInc;
  if (mPhase >= 1.0) mPhase -= 2.0;
  mOut = mExpTable[tableIndex(std::fabs(mPhase) * mScale, kLastExp)];
  return mOut;
}

void CLfo::reset(double sampleRate) noexcept {
  mSampleRate = sampleRate;
  mIncPerRate = kPhaseStepPerRate / mSampleRate;
  mOut = 0.0;
  mPhase = 0.0;
  mInc = mRate * kPhaseStepPerRate / mSampleRate;
}
