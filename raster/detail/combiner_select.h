#pragma once

#include "raster/lice_blend_mode.h"
#include "raster/lice_combine.h"

namespace lice_detail {

// Calls f(Combiner()) with the plain formula of operation op (0-5) for a solid
// colour drawn at varying weights (anti-aliased edges): copy is the copy
// formula. Returns false when op draws nothing.
template <class F>
bool withSolidCombiner(int op, F&& f) {
  switch (op) {
    case LICE_BLIT_MODE_COPY:
      f(LICE_CombineCopy());
      return true;
    case LICE_BLIT_MODE_ADD:
      f(LICE_CombineAdd());
      return true;
    case LICE_BLIT_MODE_DODGE:
      f(LICE_CombineColorDodge());
      return true;
    case LICE_BLIT_MODE_MUL:
      f(LICE_CombineMultiply());
      return true;
    case LICE_BLIT_MODE_OVERLAY:
      f(LICE_CombineOverlay());
      return true;
    case LICE_BLIT_MODE_HSVADJ:
      f(LICE_CombineHSVAdjust());
      return true;
    default:
      return false;
  }
}

// Calls f(Combiner()) with the combine operation that a blit of bitmap pixels
// uses for `mode` at integer weight w (1..256): operations 0-5, with the
// source-alpha forms when LICE_BLIT_USE_ALPHA is set and clobber (or the
// full-weight source-alpha copy) for a copy at 256. Returns false, calling
// nothing, when the mode draws nothing.
template <class F>
bool withBlitCombiner(int mode, int w, F&& f) {
  if (w <= 0) return false;
  if (mode & LICE_BLIT_USE_ALPHA) {
    switch (mode & LICE_BLIT_MODE_MASK) {
      case LICE_BLIT_MODE_COPY:
        if (w >= 256) {
          f(LICE_CombineCopySourceAlphaFull());
        } else {
          f(LICE_CombineCopySourceAlpha());
        }
        return true;
      case LICE_BLIT_MODE_ADD:
        f(LICE_CombineAddSourceAlpha());
        return true;
      case LICE_BLIT_MODE_DODGE:
        f(LICE_CombineColorDodgeSourceAlpha());
        return true;
      case LICE_BLIT_MODE_MUL:
        f(LICE_CombineMultiplySourceAlpha());
        return true;
      case LICE_BLIT_MODE_OVERLAY:
        f(LICE_CombineOverlaySourceAlpha());
        return true;
      case LICE_BLIT_MODE_HSVADJ:
        f(LICE_CombineHSVAdjustSourceAlpha());
        return true;
      default:
        return false;
    }
  }
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY && w >= 256) {
    f(LICE_CombineClobber());
    return true;
  }
  return withSolidCombiner(mode & LICE_BLIT_MODE_MASK, f);
}

// As withSolidCombiner for one fixed weight w (1..256): copy stores the
// colour at 256 and half-mixes it at 128.
template <class F>
bool withSolidCombinerAt(int op, int w, F&& f) {
  if (w <= 0) return false;
  if (op == LICE_BLIT_MODE_COPY && w >= 256) {
    f(LICE_CombineClobber());
    return true;
  }
  if (op == LICE_BLIT_MODE_COPY && w == 128) {
    f(LICE_CombineHalfMix());
    return true;
  }
  return withSolidCombiner(op, f);
}

}  // namespace lice_detail
