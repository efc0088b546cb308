#pragma once

#include <cstring>
#include <initializer_list>

#include "effect/dsp/CAllPass6.h"
#include "effect/dsp/detail/DoublePair.h"
#include "effect/dsp/detail/FlushTiny.h"

namespace dsp_detail {

// ChainPair for chains whose running sections have run together for two
// samples since the stage count last changed, which is nearly always: each
// section's last two inputs are then the previous section's last two
// outputs, the chain's last input is the first section's and its last output
// the last section's. Holding only what is distinct halves the registers the
// state needs, so six sections of both chains fit in sixteen.
//
// The sections beyond the count stay in the chains; what the block did to the
// others (clearing a lane that blew up, flushing tiny values) reaches them
// when the state is handed back, as it would have sample by sample.
template <class MulAdd, int N>
class CompactChainPair {
 public:
  using Section = CAllPass6::BasicSection<DoublePair>;

  static bool fits(const CAllPass6& left, const CAllPass6& right) noexcept {
    return hasShape(left) && hasShape(right);
  }

  CompactChainPair(CAllPass6& left, CAllPass6& right) noexcept : mLeft(left), mRight(right) {
    mX1 = {left.mSections[0].x1, right.mSections[0].x1};
    mX2 = {left.mSections[0].x2, right.mSections[0].x2};
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
      mY1[i] = {left.mSections[i].y1, right.mSections[i].y1};
      mY2[i] = {left.mSections[i].y2, right.mSections[i].y2};
    }
    retune();
  }
  CompactChainPair(const CompactChainPair&) = delete;
  CompactChainPair& operator=(const CompactChainPair&) = delete;

  void writeBack() noexcept {
    writeBack(
        mLeft, [](DoublePair v) { return v.left(); }, _mm_movemask_pd(mCleared) & 1);
    writeBack(
        mRight, [](DoublePair v) { return v.right(); }, _mm_movemask_pd(mCleared) & 2);
  }

  void retune() noexcept {
    mCoefficients = {{mLeft.mA, mRight.mA}, {-mLeft.mA, -mRight.mA}, {mLeft.mB, mRight.mB}};
  }

  DoublePair run(DoublePair in, DoublePair feedback) noexcept {
    DoublePair u = MulAdd::mulAdd(mY1[N - 1], feedback, in);
    // Each section's inputs are the previous one's outputs before this sample.
    DoublePair x1 = mX1, x2 = mX2;
    mX2 = mX1;
    mX1 = u;
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
      Section s = {x1, x2, mY1[i], mY2[i]};
      x1 = mY1[i];
      x2 = mY2[i];
      u = CAllPass6::step<MulAdd>(s, u, mCoefficients);
      mY1[i] = s.y1;
      mY2[i] = s.y2;
    }
    const __m128d blown = notAtMost(abs(u), CAllPass6::kBlowUp);
    if (any(blown)) {
      forEachValue([blown](DoublePair& v) { v = clearWhere(blown, v); });
      mCleared = _mm_or_pd(mCleared, blown);
    }
    return mY1[N - 1];
  }

  bool silent() const noexcept {
    __m128d loud = _mm_or_pd(notLessThan(abs(mX1), CAllPass6::kSilent),
                             notLessThan(abs(mX2), CAllPass6::kSilent));
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
      loud = _mm_or_pd(loud, notLessThan(abs(mY1[i]), CAllPass6::kSilent));
      loud = _mm_or_pd(loud, notLessThan(abs(mY2[i]), CAllPass6::kSilent));
    }
    return !any(loud);
  }

  void flushTiny() noexcept {
    forEachValue([](DoublePair& v) { dsp_detail::flushTiny(v); });
    mFlushed = true;
  }

 private:
  static bool same(double a, double b) noexcept {
    return std::memcmp(&a, &b, sizeof a) == 0;
  }

  static bool hasShape(const CAllPass6& c) noexcept {
    bool shaped = same(c.mIn, c.mSections[0].x1) && same(c.mOut, c.mSections[N - 1].y1);
    for (int i = 1; i < N; ++i) {
      shaped = shaped && same(c.mSections[i].x1, c.mSections[i - 1].y1) &&
               same(c.mSections[i].x2, c.mSections[i - 1].y2);
    }
    return shaped;
  }

  template <class Lane>
  void writeBack(CAllPass6& chain, Lane lane, bool cleared) const noexcept {
    chain.mIn = chain.mSections[0].x1 = lane(mX1);
    chain.mSections[0].x2 = lane(mX2);
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
      CAllPass6::Section& s = chain.mSections[i];
      s.y1 = lane(mY1[i]);
      s.y2 = lane(mY2[i]);
      if (i + 1 < N) {
        chain.mSections[i + 1].x1 = s.y1;
        chain.mSections[i + 1].x2 = s.y2;
      }
    }
    chain.mOut = chain.mSections[N - 1].y1;
    for (int i = N; i < CAllPass6::kSections; ++i) {
      CAllPass6::Section& s = chain.mSections[i];
      if (cleared) s = CAllPass6::Section();
      if (mFlushed) {
        for (double* v : {&s.x1, &s.x2, &s.y1, &s.y2})
          dsp_detail::flushTiny(*v);
      }
    }
  }

  template <class F>
  void forEachValue(F f) noexcept {
    f(mX1);
    f(mX2);
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
      f(mY1[i]);
      f(mY2[i]);
    }
  }

  CAllPass6& mLeft;
  CAllPass6& mRight;
  DoublePair mX1, mX2;  // the chain's, and so the first section's, last two inputs
  DoublePair mY1[N], mY2[N];
  CAllPass6::Coefficients<DoublePair> mCoefficients;
  __m128d mCleared = _mm_setzero_pd();  // lanes that blew up during the block
  bool mFlushed = false;
};

}  // namespace dsp_detail
