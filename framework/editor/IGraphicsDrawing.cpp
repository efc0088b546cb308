#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#include "framework/base/NumericConversions.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/LiceConversions.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_circle.h"
#include "raster/lice_fill.h"
#include "raster/lice_line.h"
#include "raster/lice_polygon.h"
#include "raster/lice_rotated_blit.h"
#include "raster/lice_round_rect.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool HasPixels(const LICE_IBitmap* bitmap) {
  return bitmap && bitmap->getBits();
}

bool HasPixels(const IBitmap* bitmap) {
  return bitmap && HasPixels(bitmap->mData);
}

bool FitsInt(long long v) {
  return v >= INT_MIN && v <= INT_MAX;
}

// LICE_FillRect of a rectangle given in 64 bits, cut to the bitmap first so
// that rectangles reaching past the int range fill what they cover.
void FillClipped(LICE_IBitmap* dest, long long x, long long y, long long w, long long h,
                 LICE_pixel color, float weight, int mode) {
  const long long l = std::max(x, 0ll), t = std::max(y, 0ll);
  const long long r = std::min(x + w, static_cast<long long>(dest->getWidth()));
  const long long b = std::min(y + h, static_cast<long long>(dest->getHeight()));
  if (r <= l || b <= t) return;
  LICE_FillRect(dest, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                static_cast<int>(b - t), color, weight, mode);
}

// Where the frame of a strip starts along its frame axis: frames count from
// 1, and anything below 2 (or a single-frame image) is the first. Taken in
// double so that a tall strip cannot overflow; past the int range it
// saturates, which lies beyond any bitmap and so reads nothing.
int FrameOffset(const IBitmap& bitmap, int state) {
  const int n = bitmap.FrameCount();
  if (n <= 1 || state <= 1) return 0;
  const int extent = bitmap.mFramesAreHorizontal ? bitmap.W : bitmap.H;
  return TruncToInt(0.5 + static_cast<double>(extent) * (static_cast<double>(state) - 1.0) / n);
}

}  // namespace

unsigned* IGraphics::GetBits() {
  return mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                           const IChannelBlend* blend) {
  if (!HasPixels(mDrawBitmap) || !HasPixels(bitmap) || !dest) return false;
  // Only the part being redrawn is touched, so a control may draw its whole
  // image on every pass at the cost of its dirty area alone.
  const IRECT r = dest->Intersect(mDrawRECT);
  if (r.W() <= 0 || r.H() <= 0) return true;
  const long long x = static_cast<long long>(srcX) + r.L - dest->L;
  const long long y = static_cast<long long>(srcY) + r.T - dest->T;
  if (!FitsInt(x) || !FitsInt(y)) return true;  // far past any source pixel
  LICE_Blit(mDrawBitmap, bitmap->mData, r.L, r.T, static_cast<int>(x), static_cast<int>(y), r.W(),
            r.H(), LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int state, const IChannelBlend* blend) {
  if (!bitmap) return false;
  const int offset = FrameOffset(*bitmap, state);
  return bitmap->mFramesAreHorizontal ? DrawBitmap(bitmap, dest, offset, 0, blend)
                                      : DrawBitmap(bitmap, dest, 0, offset, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* blend) {
  if (!HasPixels(mDrawBitmap) || !HasPixels(bitmap)) return false;
  const int w = bitmap->W, h = bitmap->H;
  const long long x = static_cast<long long>(destCtrX) - w / 2;
  const long long y = static_cast<long long>(destCtrY) - h / 2;
  if (!FitsInt(x) || !FitsInt(y)) return true;  // nowhere near the surface
  LICE_RotatedBlit(mDrawBitmap, bitmap->mData, static_cast<int>(x), static_cast<int>(y), w, h, 0.0f,
                   0.0f, static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle),
                   false, LiceWeight(blend), LiceBlendMode(blend) | LICE_BLIT_FILTER_BILINEAR, 0.0f,
                   static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y,
                                double angle, const IChannelBlend* blend) {
  if (!HasPixels(mDrawBitmap) || !HasPixels(base) || !HasPixels(mask) || !HasPixels(top)) {
    return false;
  }
  const float a = static_cast<float>(angle * kPi / 180.0);
  const int w = base->W, h = base->H;
  // An odd width has its centre in the middle of a pixel column.
  const float xOffset = (w % 2) ? -0.5f : 0.0f;
  if (!mTmpBitmap) mTmpBitmap = new (std::nothrow) LICE_MemBitmap(0, 0, 4);
  if (!mTmpBitmap) return false;

  // The base's colours with no alpha of their own: the rotated mask adds
  // the alpha, then the rotated top is laid over it.
  LICE_Copy(mTmpBitmap, base->mData);
  if (!HasPixels(mTmpBitmap)) return false;
  LICE_ClearRect(mTmpBitmap, 0, 0, w, h, 0xFFFFFF00, 0);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  LICE_RotatedBlit(mTmpBitmap, mask->mData, 0, 0, w, h, 0.0f, 0.0f, fw, fh, a, true, 1.0f,
                   LICE_BLIT_MODE_ADD | LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA, xOffset,
                   0.0f);
  LICE_RotatedBlit(mTmpBitmap, top->mData, 0, 0, w, h, 0.0f, 0.0f, fw, fh, a, true, 1.0f,
                   LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA, xOffset,
                   0.0f);

  const long long right = static_cast<long long>(x) + w, bottom = static_cast<long long>(y) + h;
  if (!FitsInt(right) || !FitsInt(bottom)) return true;
  const IRECT r =
      IRECT(x, y, static_cast<int>(right), static_cast<int>(bottom)).Intersect(mDrawRECT);
  if (r.W() <= 0 || r.H() <= 0) return true;
  LICE_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(), LiceWeight(blend),
            LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend,
                          bool /*antiAlias*/) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_PutPixel(mDrawBitmap, TruncToInt(x + 0.5), TruncToInt(y + 0.5), LiceColor(color),
                LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  if (x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight()) {
    return false;
  }
  mDrawBitmap->getBits()[static_cast<size_t>(y) * mDrawBitmap->getRowSpan() + x] = LiceColor(color);
  return true;
}

IColor IGraphics::GetPoint(int x, int y) {
  return IColorFromLice(LICE_GetPixel(mDrawBitmap, x, y));
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                         const IChannelBlend* blend, bool antiAlias) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_Line(mDrawBitmap, TruncToInt(x1), TruncToInt(y1), TruncToInt(x2), TruncToInt(y2),
            LiceColor(color), LiceWeight(blend), LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin,
                               float rMax, const IChannelBlend* blend, bool antiAlias) {
  const float s = std::sin(angle), c = std::cos(angle);
  return DrawLine(color, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, blend,
                  antiAlias);
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle,
                        float maxAngle, const IChannelBlend* blend, bool antiAlias) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, LiceColor(color), LiceWeight(blend),
           LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r,
                           const IChannelBlend* blend, bool antiAlias) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_Circle(mDrawBitmap, cx, cy, r, LiceColor(color), LiceWeight(blend), LiceBlendMode(blend),
              antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend,
                          int cornerRadius, bool antiAlias) {
  if (!HasPixels(mDrawBitmap) || !color || !rect) return false;
  const float w = static_cast<float>(static_cast<long long>(rect->R) - rect->L);
  const float h = static_cast<float>(static_cast<long long>(rect->B) - rect->T);
  LICE_RoundRect(mDrawBitmap, static_cast<float>(rect->L), static_cast<float>(rect->T), w, h,
                 cornerRadius, LiceColor(color), LiceWeight(blend), LiceBlendMode(blend),
                 antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend,
                              int cornerRadius, bool antiAlias) {
  if (!HasPixels(mDrawBitmap) || !color || !rect) return false;
  const LICE_pixel c = LiceColor(color);
  const float weight = LiceWeight(blend);
  const int mode = LiceBlendMode(blend);
  const long long x = rect->L, y = rect->T, cr = cornerRadius;
  const long long w = static_cast<long long>(rect->R) - x, h = static_cast<long long>(rect->B) - y;
  // A cross of three rectangles, its four notches filled by the corner
  // circles.
  FillClipped(mDrawBitmap, x + cr, y, w - 2 * cr, h, c, weight, mode);
  FillClipped(mDrawBitmap, x, y + cr, cr, h - 2 * cr, c, weight, mode);
  FillClipped(mDrawBitmap, x + w - cr, y + cr, cr, h - 2 * cr, c, weight, mode);
  const float r = static_cast<float>(cr);
  const float left = static_cast<float>(x + cr), right = static_cast<float>(x + w - cr - 1);
  const float upper = static_cast<float>(y + cr), lower = static_cast<float>(y + h - cr - 1);
  LICE_FillCircle(mDrawBitmap, left, upper, r, c, weight, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, right, lower, r, c, weight, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, right, upper, r, c, weight, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, left, lower, r, c, weight, mode, antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend) {
  if (!HasPixels(mDrawBitmap) || !color || !rect) return false;
  FillClipped(mDrawBitmap, rect->L, rect->T, static_cast<long long>(rect->R) - rect->L,
              static_cast<long long>(rect->B) - rect->T, LiceColor(color), LiceWeight(blend),
              LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_FillCircle(mDrawBitmap, static_cast<float>(cx), static_cast<float>(cy), r, LiceColor(color),
                  LiceWeight(blend), LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* blend) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, LiceColor(color), LiceWeight(blend),
                    LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints,
                                   const IChannelBlend* blend) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  if (npoints > 0 && (!x || !y)) return false;
  LICE_FillConvexPolygon(mDrawBitmap, x, y, npoints, LiceColor(color), LiceWeight(blend),
                         LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_Line(mDrawBitmap, xi, yLo, xi, yHi, LiceColor(color), 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi) {
  if (!HasPixels(mDrawBitmap) || !color) return false;
  LICE_Line(mDrawBitmap, xLo, yi, xHi, yi, LiceColor(color), 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

namespace {

// NaN counts as 0, so a bad fraction still lands on the rectangle.
float ClampFraction(float v) {
  if (!(v > 0.0f)) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}

}  // namespace

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* rect, float x) {
  if (!rect) return false;
  // The product is taken in float, as layouts were tuned with: 0.7 of 10
  // pixels is 7, where in double it would come out as 6.
  const float span = static_cast<float>(static_cast<long long>(rect->R) - rect->L);
  const int xi = TruncToInt(rect->L + static_cast<double>(TruncToInt(ClampFraction(x) * span)));
  return DrawVerticalLine(color, xi, rect->T, rect->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* rect, float y) {
  if (!rect) return false;
  const float span = static_cast<float>(static_cast<long long>(rect->B) - rect->T);
  const int yi = TruncToInt(rect->B - static_cast<double>(TruncToInt(ClampFraction(y) * span)));
  return DrawHorizontalLine(color, yi, rect->L, rect->R);
}

bool IGraphics::DrawRect(const IColor* color, IRECT* rect) {
  if (!HasPixels(mDrawBitmap) || !color || !rect) return false;
  DrawHorizontalLine(color, rect->T, rect->L, rect->R);
  DrawHorizontalLine(color, rect->B, rect->L, rect->R);
  DrawVerticalLine(color, rect->L, rect->T, rect->B);
  DrawVerticalLine(color, rect->R, rect->T, rect->B);
  return true;
}
