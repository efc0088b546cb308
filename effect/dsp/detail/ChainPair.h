#pragma once

#include <initializer_list>

#include "effect/dsp/CAllPass6.h"
#include "effect/dsp/detail/DoublePair.h"
#include "effect/dsp/detail/FlushTiny.h"

namespace dsp_detail {

// The left and right chains' state copied into pairs for one block of
// frames, so that it lives in registers instead of going through memory on
// the feedback loop. Each lane follows its chain's rules to the sample:
// stepping, the blow-up guard, the silence test and flushing all give what
// the chains themselves would give.
//
// Every loop over the sections is unrolled: indexing them with a variable
// would keep the whole state in memory.
template <class MulAdd, int N>
class ChainPair {
 public:
  ChainPair(CAllPass6& left, CAllPass6& right) noexcept : mLeft(left), mRight(right) {
    mIn = {left.mIn, right.mIn};
    mOut = {left.mOut, right.mOut};
#pragma GCC unroll 6
    for (int i = 0; i < CAllPass6::kSections; ++i) {
      const CAllPass6::Section& l = left.mSections[i];
      const CAllPass6::Section& r = right.mSections[i];
      mSections[i] = {{l.x1, r.x1}, {l.x2, r.x2}, {l.y1, r.y1}, {l.y2, r.y2}};
    }
    retune();
  }
  ChainPair(const ChainPair&) = delete;
  ChainPair& operator=(const ChainPair&) = delete;

  // Hands the state back to the chains at the end of a block.
  void writeBack() noexcept {
    mLeft.mIn = mIn.left();
    mRight.mIn = mIn.right();
    mLeft.mOut = mOut.left();
    mRight.mOut = mOut.right();
#pragma GCC unroll 6
    for (int i = 0; i < CAllPass6::kSections; ++i) {
      const CAllPass6::BasicSection<DoublePair>& s = mSections[i];
      mLeft.mSections[i] = {s.x1.left(), s.x2.left(), s.y1.left(), s.y2.left()};
      mRight.mSections[i] = {s.x1.right(), s.x2.right(), s.y1.right(), s.y2.right()};
    }
  }

  // After the chains' coefficients changed.
  void retune() noexcept {
    mCoefficients = {{mLeft.mA, mRight.mA}, {-mLeft.mA, -mRight.mA}, {mLeft.mB, mRight.mB}};
  }

  DoublePair run(DoublePair in, DoublePair feedback) noexcept {
    mIn = MulAdd::mulAdd(mOut, feedback, in);
    DoublePair u = mIn;
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i)
      u = CAllPass6::step<MulAdd>(mSections[i], u, mCoefficients);
    mOut = u;
    const __m128d blown = notAtMost(abs(mOut), CAllPass6::kBlowUp);
    if (any(blown)) clearSignal(blown);
    return mOut;
  }

  // True when the sections in use and the feedback memory of both chains
  // all hold less than kSilent: fed silence, they would only decay further.
  bool silent() const noexcept {
    __m128d loud = notLessThan(abs(mOut), CAllPass6::kSilent);
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
      const CAllPass6::BasicSection<DoublePair>& s = mSections[i];
      for (const DoublePair& v : {s.x1, s.x2, s.y1, s.y2})
        loud = _mm_or_pd(loud, notLessThan(abs(v), CAllPass6::kSilent));
    }
    return !any(loud);
  }

  // CAllPass6::flushTiny for both chains.
  void flushTiny() noexcept {
    __m128d tiny = _mm_setzero_pd();
    forEachValue([&tiny](DoublePair& v) { tiny = _mm_or_pd(tiny, tinyLanes(v)); });
    if (!any(tiny)) return;
    forEachValue([](DoublePair& v) { v = clearWhere(tinyLanes(v), v); });
  }

 private:
  // CAllPass6::clearSignal on the lanes the mask marks.
  void clearSignal(__m128d lanes) noexcept {
    forEachValue([lanes](DoublePair& v) { v = clearWhere(lanes, v); });
  }

  template <class F>
  void forEachValue(F f) noexcept {
    f(mIn);
    f(mOut);
#pragma GCC unroll 6
    for (int i = 0; i < CAllPass6::kSections; ++i) {
      CAllPass6::BasicSection<DoublePair>& s = mSections[i];
      f(s.x1);
      f(s.x2);
      f(s.y1);
      f(s.y2);
    }
  }

  CAllPass6& mLeft;
  CAllPass6& mRight;
  DoublePair mIn, mOut;
  CAllPass6::BasicSection<DoublePair> mSections[CAllPass6::kSections];
  CAllPass6::Coefficients<DoublePair> mCoefficients;
};

}  // namespace dsp_detail
