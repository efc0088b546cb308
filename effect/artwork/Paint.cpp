#include "effect/artwork/Paint.h"

#include <algorithm>
#include <cmath>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_blur.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

constexpr float kPi = 3.14159265358979f;

int Byte(float v) {
  return static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

}  // namespace

Colour Mix(Colour from, Colour to, float t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
          from.a + (to.a - from.a) * t};
}

Colour Scaled(Colour c, float k) {
  return {c.r * k, c.g * k, c.b * k, c.a};
}

Colour WithAlpha(Colour c, float a) {
  return {c.r, c.g, c.b, a};
}

float Clamp01(float v) {
  return std::clamp(v, 0.0f, 1.0f);
}

float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

float Coverage(float d) {
  return Clamp01(0.5f - d);
}

void BlendOver(LICE_IBitmap* bitmap, int x, int y, Colour c, float coverage) {
  if (x < 0 || y < 0 || x >= bitmap->getWidth() || y >= bitmap->getHeight()) return;
  const int row = bitmap->isFlipped() ? bitmap->getHeight() - 1 - y : y;
  LICE_pixel* p = bitmap->getBits() + static_cast<size_t>(row) * bitmap->getRowSpan() + x;
  const float sa = Clamp01(c.a * coverage);
  if (sa <= 0.0f) return;
  const float da = static_cast<float>(LICE_GETA(*p)) / 255.0f;
  const float oa = sa + da * (1.0f - sa);
  // Straight alpha: the colours mix in proportion to what each contributes.
  const float keep = da * (1.0f - sa);
  auto channel = [&](float s, int d) { return (s * sa + static_cast<float>(d) * keep) / oa; };
  *p = LICE_RGBA(Byte(channel(c.r, LICE_GETR(*p))), Byte(channel(c.g, LICE_GETG(*p))),
                 Byte(channel(c.b, LICE_GETB(*p))), Byte(oa * 255.0f));
}

float AngleOf(float dx, float dy) {
  return std::atan2(dx, -dy);
}

float DiscDistance(float px, float py, float cx, float cy, float r) {
  return std::hypot(px - cx, py - cy) - r;
}

float CapsuleDistance(float px, float py, float x1, float y1, float x2, float y2, float hw) {
  const float ex = x2 - x1, ey = y2 - y1;
  const float len2 = ex * ex + ey * ey;
  const float t = len2 > 0.0f ? Clamp01(((px - x1) * ex + (py - y1) * ey) / len2) : 0.0f;
  return std::hypot(px - (x1 + t * ex), py - (y1 + t * ey)) - hw;
}

float ArcDistance(float px, float py, float cx, float cy, float r, float a0, float a1, float hw) {
  const float dx = px - cx, dy = py - cy;
  float a = AngleOf(dx, dy);
  // Measured from the middle of the arc so that the span may cross the
  // bottom, where atan2 wraps.
  const float mid = 0.5f * (a0 + a1), half = 0.5f * (a1 - a0);
  float rel = a - mid;
  while (rel > kPi)
    rel -= 2.0f * kPi;
  while (rel < -kPi)
    rel += 2.0f * kPi;
  if (std::fabs(rel) <= half) return std::fabs(std::hypot(dx, dy) - r) - hw;
  const float e = rel > 0.0f ? a1 : a0;
  return std::hypot(px - (cx + r * std::sin(e)), py - (cy - r * std::cos(e))) - hw;
}

float RoundRectDistance(float px, float py, float left, float top, float right, float bottom,
                        float r) {
  const float qx = std::fabs(px - 0.5f * (left + right)) - (0.5f * (right - left) - r);
  const float qy = std::fabs(py - 0.5f * (top + bottom)) - (0.5f * (bottom - top) - r);
  const float outside = std::hypot(std::fmax(qx, 0.0f), std::fmax(qy, 0.0f));
  return outside + std::fmin(std::fmax(qx, qy), 0.0f) - r;
}

Mask::Mask(int width, int height)
    : mWidth(width), mHeight(height), mValues(static_cast<size_t>(width) * height, 0.0f) {}

float Mask::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return 0.0f;
  return mValues[static_cast<size_t>(y) * mWidth + x];
}

void Mask::set(int x, int y, float v) {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
  mValues[static_cast<size_t>(y) * mWidth + x] = Clamp01(v);
}

void Mask::blur(int passes) {
  LICE_MemBitmap work(mWidth, mHeight);
  for (int y = 0; y < mHeight; ++y) {
    for (int x = 0; x < mWidth; ++x) {
      const int v = Byte(at(x, y) * 255.0f);
      LICE_PutPixel(&work, x, y, LICE_RGBA(v, v, v, 255), 1.0f, LICE_BLIT_MODE_COPY);
    }
  }
  for (int i = 0; i < passes; ++i)
    LICE_Blur(&work, &work, 0, 0, 0, 0, mWidth, mHeight);
  for (int y = 0; y < mHeight; ++y) {
    for (int x = 0; x < mWidth; ++x)
      set(x, y, static_cast<float>(LICE_GETR(LICE_GetPixel(&work, x, y))) / 255.0f);
  }
}

void Mask::paintInto(LICE_IBitmap* bitmap, int dx, int dy, Colour c) const {
  for (int y = 0; y < mHeight; ++y) {
    for (int x = 0; x < mWidth; ++x) {
      const float v = at(x, y);
      if (v > 0.0f) BlendOver(bitmap, x + dx, y + dy, c, v);
    }
  }
}

void LayOver(LICE_IBitmap* bitmap, const LICE_IBitmap& source, int dx, int dy, int sx, int sy,
             int w, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const LICE_pixel p = LICE_GetPixel(&source, sx + x, sy + y);
      const Colour c =
          Rgb(LICE_GETR(p), LICE_GETG(p), LICE_GETB(p), static_cast<float>(LICE_GETA(p)) / 255.0f);
      BlendOver(bitmap, dx + x, dy + y, c, 1.0f);
    }
  }
}

void PlaceFrame(LICE_IBitmap* strip, const LICE_IBitmap& frame, int index) {
  LICE_Blit(strip, &frame, 0, index * frame.getHeight(), 0, 0, frame.getWidth(), frame.getHeight(),
            1.0f, LICE_BLIT_MODE_COPY);
}

float Grain::next() {
  return static_cast<float>(mNoise.bipolar());
}

}  // namespace artwork
