#include "framework/editor/LiceConversions.h"

#include "framework/editor/IChannelBlend.h"
#include "framework/editor/IColor.h"
#include "raster/lice_blend_mode.h"

LICE_pixel LiceColor(const IColor* color) {
  if (!color) return 0;
  return LICE_RGBA(color->R, color->G, color->B, color->A);
}

IColor IColorFromLice(LICE_pixel pixel) {
  return IColor(LICE_GETA(pixel), LICE_GETR(pixel), LICE_GETG(pixel), LICE_GETB(pixel));
}

float LiceWeight(const IChannelBlend* blend) {
  return blend ? blend->mWeight : 1.0f;
}

int LiceBlendMode(const IChannelBlend* blend) {
  if (!blend) return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  switch (blend->mMethod) {
    case IChannelBlend::kBlendCopy:
      return LICE_BLIT_MODE_COPY;
    case IChannelBlend::kBlendAdd:
      return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IChannelBlend::kBlendColorDodge:
      return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    case IChannelBlend::kBlendNone:
      break;
  }
  return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
}
