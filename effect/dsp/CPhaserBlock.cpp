// The engine's per-frame loop, built for each instruction set (see
// InstructionSet.h) and section count; processBlock() picks one per block.
#include <immintrin.h>

#include <algorithm>

#include "effect/dsp/CPhaser.h"
#include "effect/dsp/detail/ChainPair.h"
#include "effect/dsp/detail/CompactChainPair.h"
#include "effect/dsp/detail/DoublePair.h"

using dsp_detail::ChainPair;
using dsp_detail::CompactChainPair;
using dsp_detail::DoublePair;

struct CPhaser::Kernel {
  struct Block {
    const double* inL;
    const double* inR;
    double* outL;
    double* outR;
    int frames;

    Block first(int n) const noexcept { return {inL, inR, outL, outR, n}; }
    Block after(int n) const noexcept { return {inL + n, inR + n, outL + n, outR + n, frames - n}; }
  };

  // The compact form of the state when it fits; a few frames in the
  // general form give it that shape after a change of the stage count.
  template <class MulAdd, int N>
  static void run(CPhaser& p, const Block& b, const BlockSettings& s) noexcept {
    using Compact = CompactChainPair<MulAdd, N>;
    using General = ChainPair<MulAdd, N>;
    constexpr int kShapingFrames = 4;
    Block rest = b;
    if (!Compact::fits(p.mAllPassL, p.mAllPassR)) {
      const Block head = b.first(std::min(b.frames, kShapingFrames));
      loop<General>(p, head, s);
      rest = b.after(head.frames);
      if (!Compact::fits(p.mAllPassL, p.mAllPassR)) return loop<General>(p, rest, s);
    }
    loop<Compact>(p, rest, s);
  }

  // Inlined whole into each build below, so that it is compiled for the
  // build's target.
  template <class Chains>
  static void loop(CPhaser& p, const Block& b, const BlockSettings& s) noexcept {
    // Locals, not members: the outputs may alias anything, and the loop
    // would otherwise reload all of these after every store. Nothing here
    // may have its address taken (no capturing lambdas, no pointer loops):
    // the state would then stay in memory instead of registers.
    const double* const inL = b.inL;
    const double* const inR = b.inR;
    double* const outL = b.outL;
    double* const outR = b.outR;
    const int frames = b.frames;
    const CSmooth feedbackLaw = p.mSmoothFbL;
    const DoublePair feedback(s.feedback), dry(s.dry), wet(s.wet);

    Chains chains(p.mAllPassL, p.mAllPassR);
    DoublePair feedbackState(p.mSmoothFbL.getState(), p.mSmoothFbR.getState());
    DoublePair out(p.mOutL, p.mOutR);
    int counter = p.mCounter;
    // The last frame skipped the chains, so they are silent still and `out`
    // is 0: silence goes on costing only the sweep's side of a frame.
    bool chainsResting = false;

    for (int i = 0; i < frames;) {
      // The frames before the next control update need no decision but
      // the silence test, and a loop without calls keeps the chains in
      // registers.
      if (counter > 0 && !p.mSettlePending) {
        const int end = i + std::min(counter, frames - i);
        const int start = i;
        if (chainsResting) {
          for (; i < end; ++i) {
            if (!isZero(sanitize(DoublePair(inL[i], inR[i])))) break;
            feedbackState = feedbackLaw.glide(feedbackState, feedback);
            outL[i] = 0.0;
            outR[i] = 0.0;
          }
        } else {
          for (; i < end; ++i) {
            const DoublePair in = sanitize(DoublePair(inL[i], inR[i]));
            if (isZero(in)) break;
            feedbackState = feedbackLaw.glide(feedbackState, feedback);
            out = clampUnit(in * dry + chains.run(in, feedbackState) * wet);
            outL[i] = out.left();
            outR[i] = out.right();
          }
        }
        counter -= i - start;
        if (i == frames) break;
      }
      // Any frame: settling and the control update, then the chains unless
      // the frame is digital silence and they have rung out. The sweep and
      // the smoothers run through silence as through sound.
      const DoublePair in = sanitize(DoublePair(inL[i], inR[i]));
      const bool skipChains = isZero(in) && chains.silent();
      if (p.mSettlePending) {
        p.settleChainControls(s.controls, s.feedback);
        feedbackState = DoublePair(p.mSmoothFbL.getState(), p.mSmoothFbR.getState());
        chains.retune();
      }
      if (counter > 0) {
        --counter;
      } else {
        const bool flushDue = p.update(s.controls);
        counter = p.mCounter;
        chains.retune();
        if (flushDue) {
          chains.flushTiny();
          dsp_detail::flushTiny(feedbackState);
        }
      }
      feedbackState = feedbackLaw.glide(feedbackState, feedback);
      out = skipChains ? DoublePair() : clampUnit(in * dry + chains.run(in, feedbackState) * wet);
      chainsResting = skipChains;
      outL[i] = out.left();
      outR[i] = out.right();
      ++i;
    }
    chains.writeBack();
    p.mSmoothFbL.setState(feedbackState.left());
    p.mSmoothFbR.setState(feedbackState.right());
    p.mCounter = counter;
    p.mOutL = out.left();
    p.mOutR = out.right();
  }

  // The builds; flatten inlines the whole loop into each (the control
  // update and settling stay calls into CPhaser.cpp).
  __attribute__((flatten)) static void sse2(CPhaser& p, const Block& b,
                                            const BlockSettings& s) noexcept {
    CAllPass6::withSectionCount(
        s.stages, [&](auto n) { run<dsp_detail::SeparateMulAdd, decltype(n)::value>(p, b, s); });
  }

  __attribute__((target("fma"), flatten)) static void fma(CPhaser& p, const Block& b,
                                                          const BlockSettings& s) noexcept {
    CAllPass6::withSectionCount(
        s.stages, [&](auto n) { run<dsp_detail::FusedMulAdd, decltype(n)::value>(p, b, s); });
  }

  // A sample that is NaN, infinite or beyond ±kMaxInput counts as 0.
  static DoublePair sanitize(DoublePair x) noexcept {
    return dsp_detail::clearWhere(dsp_detail::notAtMost(abs(x), kMaxInput), x);
  }

  static bool isZero(DoublePair x) noexcept {
    return _mm_movemask_pd(_mm_cmpeq_pd(x.v, _mm_setzero_pd())) == 3;
  }
};

void CPhaser::processBlock(const double* inL, const double* inR, double* outL, double* outR,
                           int frames) noexcept {
  if (frames <= 0) return;
  if (mPending.load(kRelaxed)) serveRequests();
  const BlockSettings settings = {liveControls(), mFeedback.load(kRelaxed), mDry.load(kRelaxed),
                                  mWet.load(kRelaxed), mStages.load(kRelaxed)};
  const Kernel::Block block = {inL, inR, outL, outR, frames};
  switch (getInstructionSet()) {
    case InstructionSet::kSse2:
      Kernel::sse2(*this, block, settings);
      break;
    case InstructionSet::kFma:
      Kernel::fma(*this, block, settings);
      break;
  }
}
