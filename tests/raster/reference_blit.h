#pragma once

#include <random>

#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"
#include "raster/lice_pixel.h"

// What one destination pixel becomes when a blit combines source pixel s into
// it at integer weight w, by the blend-mode table: operations 0-5, the
// source-alpha forms with LICE_BLIT_USE_ALPHA, clobber or the full-weight
// source-alpha copy at 256, nothing for other operations or w = 0.
inline LICE_pixel referenceCombine(LICE_pixel d, LICE_pixel s, int w, int mode) {
  if (w <= 0) return d;
  auto run = [&](auto combiner) {
    decltype(combiner)::doPix(reinterpret_cast<LICE_pixel_chan*>(&d), LICE_GETR(s), LICE_GETG(s),
                              LICE_GETB(s), LICE_GETA(s), w);
  };
  const bool sa = (mode & LICE_BLIT_USE_ALPHA) != 0;
  switch (mode & LICE_BLIT_MODE_MASK) {
    case 0:
      if (sa) {
        w == 256 ? run(LICE_CombineCopySourceAlphaFull()) : run(LICE_CombineCopySourceAlpha());
      } else {
        w == 256 ? run(LICE_CombineClobber()) : run(LICE_CombineCopy());
      }
      break;
    case 1:
      sa ? run(LICE_CombineAddSourceAlpha()) : run(LICE_CombineAdd());
      break;
    case 2:
      sa ? run(LICE_CombineColorDodgeSourceAlpha()) : run(LICE_CombineColorDodge());
      break;
    case 3:
      sa ? run(LICE_CombineMultiplySourceAlpha()) : run(LICE_CombineMultiply());
      break;
    case 4:
      sa ? run(LICE_CombineOverlaySourceAlpha()) : run(LICE_CombineOverlay());
      break;
    case 5:
      sa ? run(LICE_CombineHSVAdjustSourceAlpha()) : run(LICE_CombineHSVAdjust());
      break;
    default:
      break;
  }
  return d;
}

// A blend mode of every kind the library knows, with and without source alpha
// and filtering bits, plus some that draw nothing.
inline int randomMode(std::mt19937& rng) {
  static const int kOps[] = {0, 0, 0, 1, 2, 3, 4, 5, 6, 0x7F, 0xEF};
  int mode = kOps[rng() % (sizeof(kOps) / sizeof(kOps[0]))];
  if (rng() % 2) mode |= LICE_BLIT_USE_ALPHA;
  if (rng() % 3 == 0) mode |= LICE_BLIT_FILTER_BILINEAR;
  return mode;
}

// Weights with fast paths of their own come up often, and so do ones outside
// 0..1.
inline float randomWeight(std::mt19937& rng) {
  static const float kWeights[] = {1.0f, 1.0f, 0.5f, 0.25f, 0.75f, 0.0f, 0.001f, 1.5f, -0.5f};
  if (rng() % 3 == 0) return static_cast<float>(rng() % 1000) / 999.0f;
  return kWeights[rng() % (sizeof(kWeights) / sizeof(kWeights[0]))];
}
