#pragma once

#include "effect/dsp/detail/FlushTiny.h"

// One-pole low-pass that glides a control value toward its target: toward a
// fixed target the state covers 63.4 % of the distance in 100 steps.
class CSmooth {
 public:
  CSmooth() noexcept = default;

  // [audio thread]
  double process(double x) noexcept {
    mState = glide(mState, x);
    return mState;
  }

  // One step from state toward target by this smoother's law; V is double
  // or a pair of smoothers' values.
  template <class V>
  V glide(V state, V target) const noexcept {
    return target * V(mB) + state * V(mA);
  }

  // [audio thread] Jumps to a value instead of gliding there.
  void setState(double x) noexcept { mState = x; }

  // [audio thread] Keeps a state gliding toward zero out of denormal range.
  void flushTiny() noexcept { dsp_detail::flushTiny(mState); }

  double getState() const noexcept { return mState; }

 private:
  double mA = 0.99;
  double mB = 1.0 - mA;
  double mState = 0.0;
};
