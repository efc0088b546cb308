#pragma once

#include <cmath>

#include "effect/dsp/CAllPass6.h"
#include "effect/dsp/CLfo.h"
#include "effect/dsp/CSmooth.h"

// The engine's law written the plain way, single-threaded: every setter and
// reset acts at once, the clamp calls fmin and fmax, nothing is flushed. On
// ordinary input CPhaser must match it bit for bit with the engine's own
// chains (ReferencePhaser), and come within 1e-9 of it with chains
// computed in the plain order (PlainOrderChain).
// The mended rules, in the order a frame applies them:
// - the first frame after construction or a reset, silent or not, sets the
//   per-chain smoothers to their targets and retunes both chains at the
//   current LFO value;
// - the countdown and the control update, and one step of each feedback
//   smoother, run in every frame;
// - the chains are skipped, and both outputs are 0, only when both inputs are
//   0 and every memory of the sections in use and the feedback memory is
//   below 1e-12;
// - the base tuning is normalised by 44100 Hz at every sample rate;
// - a change of the stage count leaves the LFO alone.
// The original rules, still at hand for comparison, skip everything in every
// frame whose inputs cancel, glide from the smoothers' start, tune by the
// actual rate and restart the sweep at every stage change.
template <class Chain>
class BasicReferencePhaser {
 public:
  enum class Rules { kMended, kOriginal };

  explicit BasicReferencePhaser(Rules rules = Rules::kMended) : mended(rules == Rules::kMended) {
    setMix(0.5);
    setFreq(0.0);
    setFeedback(0.0);
    setSpread(1.0);
    setRate(0.3);
    setDepth(1.0);
    calc();
  }

  void setFreq(double v) {
    freqShape = std::pow(v, 1.06);
    tune();
  }
  void setFeedback(double v) { feedback = -0.94 + 1.88 * v; }
  void setSpread(double s) {
    q = (5.50989 * std::pow(s, 4.0) - 17.2735 * std::pow(s, 3.0) + 20.8696 * std::pow(s, 2.0) -
         12.6558 * s + 3.95072) *
        0.985973;
  }
  void setRate(double v) { rate = v; }
  void setDepth(double v) { depth = v; }
  void setMix(double m) {
    dry = std::sin(1.5708 * m);
    wet = std::cos(1.5708 * m);
  }
  void setStages(int n) {
    stages = n;
    if (!mended) lfo.reset(sampleRate);
  }
  void reset(double newSampleRate) {
    sampleRate = newSampleRate;
    tune();
    lfo.reset(newSampleRate);
    chainL.reset(newSampleRate);
    chainR.reset(newSampleRate);
    counter = 0;
    outL = outR = 0.0;
    settlePending = true;
    calc();
  }

  void calc() {
    counter = 7;
    lfo.setLfo(smoothFreqShape.process(freqShape), smoothDepth.process(depth),
               smoothRate.process(rate));
    lfoValue = lfo.nextLfo();
    chainL.calcCoeff(smoothFreqL.process(freqL), smoothQL.process(q), lfoValue);
    chainR.calcCoeff(smoothFreqR.process(freqR), smoothQR.process(q), lfoValue);
  }

  void process(double inL, double inR) {
    if (!mended && std::fabs(inL + inR) == 0.0) {
      outL = outR = 0.0;
      return;
    }
    const bool skipChains = mended && inL == 0.0 && inR == 0.0 && silent(chainL) && silent(chainR);
    if (settlePending && mended) {
      settlePending = false;
      smoothFreqL.setState(freqL);
      smoothFreqR.setState(freqR);
      smoothQL.setState(q);
      smoothQR.setState(q);
      smoothFbL.setState(feedback);
      smoothFbR.setState(feedback);
      chainL.calcCoeff(freqL, q, lfoValue);
      chainR.calcCoeff(freqR, q, lfoValue);
    }
    if (counter > 0) {
      --counter;
    } else {
      calc();
    }
    const double fbL = smoothFbL.process(feedback), fbR = smoothFbR.process(feedback);
    if (skipChains) {
      outL = outR = 0.0;
      return;
    }
    const double cL = chainL.process(inL, stages, fbL);
    outL = std::fmin(std::fmax(inL * dry + cL * wet, -1.0), 1.0);
    const double cR = chainR.process(inR, stages, fbR);
    outR = std::fmin(std::fmax(inR * dry + cR * wet, -1.0), 1.0);
  }

  void setInstructionSet(InstructionSet set) {
    chainL.setInstructionSet(set);
    chainR.setInstructionSet(set);
  }

  double outL = 0.0, outR = 0.0;

 private:
  bool silent(const Chain& chain) const {
    const int sections = stages >= 0 && stages <= 4 ? stages + 1 : 6;
    bool quiet = std::fabs(chain.getOut()) < 1e-12;
    for (int i = 0; i < sections; ++i) {
      const CAllPass6::Section& s = chain.getSection(i);
      for (double v : {s.x1, s.x2, s.y1, s.y2})
        quiet = quiet && std::fabs(v) < 1e-12;
    }
    return quiet;
  }

  void tune() {
    freqR = (2.0 / (mended ? 44100.0 : sampleRate)) * 32.0 * std::pow(2.0, 9.42849 * freqShape);
    freqL = 0.95 * freqR;
  }

  CLfo lfo;
  Chain chainL, chainR;
  CSmooth smoothFreqL, smoothFreqR, smoothFreqShape, smoothDepth, smoothRate, smoothQL, smoothQR,
      smoothFbL, smoothFbR;
  double sampleRate = 44100.0;
  int counter = 0, stages = 0;
  const bool mended;
  bool settlePending = true;
  double freqShape = 0.0, freqL = 0.0, freqR = 0.0, q = 0.0, feedback = 0.0, rate = 0.0,
         depth = 0.0, wet = 0.0, dry = 0.0, lfoValue = 0.0;
};

using ReferencePhaser = BasicReferencePhaser<CAllPass6>;
