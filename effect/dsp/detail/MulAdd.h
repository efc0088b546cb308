#pragma once

#include <immintrin.h>

#include <cmath>

#include "effect/dsp/detail/DoublePair.h"

namespace dsp_detail {

// The two ways of rounding a · b + c (see InstructionSet.h), for one chain's
// sample or a pair of chains' samples.
struct SeparateMulAdd {
  template <class V>
  static V mulAdd(V a, V b, V c) noexcept {
    return a * b + c;
  }
};

struct FusedMulAdd {
  // Without the instruction std::fma is a slow but exact library call, so
  // this serves for occasional single samples on any processor.
  static double mulAdd(double a, double b, double c) noexcept { return std::fma(a, b, c); }
  // Only for code compiled for processors that have the instruction.
  __attribute__((target("fma"))) static DoublePair mulAdd(DoublePair a, DoublePair b,
                                                          DoublePair c) noexcept {
    return _mm_fmadd_pd(a.v, b.v, c.v);
  }
};

}  // namespace dsp_detail
