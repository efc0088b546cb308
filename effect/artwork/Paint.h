#pragma once

#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "raster/LICE_IBitmap.h"

// Painting on straight-alpha bitmaps, the form the editor blits its images
// in. Geometry is continuous: pixel (x, y) covers [x, x + 1) x [y, y + 1) and
// is sampled at its centre, so a 40-pixel frame has its middle at 20.

namespace artwork {

// A straight (not premultiplied) colour: channels 0..255, alpha 0..1.
struct Colour {
  float r, g, b, a;
};

constexpr Colour Rgb(int r, int g, int b, float a = 1.0f) {
  return {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), a};
}

// t = 0 gives `from`, 1 gives `to`.
Colour Mix(Colour from, Colour to, float t);
// Channels multiplied by k (brightness), alpha kept.
Colour Scaled(Colour c, float k);
Colour WithAlpha(Colour c, float a);

float Clamp01(float v);
// Smooth 0-to-1 step between the edges.
float SmoothStep(float edge0, float edge1, float v);
// Pixel coverage of a shape whose signed distance (negative inside) from the
// pixel's centre is d: a one-pixel-wide ramp across the edge.
float Coverage(float d);

// The colour laid over pixel (x, y) at `coverage` (0..1) with the usual
// "over" rule for straight alpha; outside the bitmap nothing happens.
void BlendOver(LICE_IBitmap* bitmap, int x, int y, Colour c, float coverage);

// Calls shade(px, py) for the centre of every pixel in [x0, x1) x [y0, y1)
// (clipped to the bitmap); shade returns the colour and its coverage there.
struct Sample {
  Colour colour;
  float coverage;
};
template <class Shade>
void Paint(LICE_IBitmap* bitmap, int x0, int y0, int x1, int y1, Shade shade) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > bitmap->getWidth()) x1 = bitmap->getWidth();
  if (y1 > bitmap->getHeight()) y1 = bitmap->getHeight();
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Sample s = shade(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
      if (s.coverage > 0.0f) BlendOver(bitmap, x, y, s.colour, s.coverage);
    }
  }
}

// Angles are radians, 0 straight up, growing clockwise, as the editor's
// knobs turn.
float AngleOf(float dx, float dy);

// Signed distances (negative inside).
float DiscDistance(float px, float py, float cx, float cy, float r);
// A stroke of half-width hw along the segment (x1, y1)-(x2, y2), round ends.
float CapsuleDistance(float px, float py, float x1, float y1, float x2, float y2, float hw);
// A stroke of half-width hw along the circle of radius r about (cx, cy) from
// angle a0 to a1 (a0 < a1), round ends.
float ArcDistance(float px, float py, float cx, float cy, float r, float a0, float a1, float hw);

// The rectangle [left, right) x [top, bottom) with corners rounded to
// radius r.
float RoundRectDistance(float px, float py, float left, float top, float right, float bottom,
                        float r);

// A grey coverage mask, one float a pixel, for shadows and glows.
class Mask {
 public:
  Mask(int width, int height);
  int width() const { return mWidth; }
  int height() const { return mHeight; }
  float at(int x, int y) const;
  void set(int x, int y, float v);
  // Adds coverage from a signed-distance function of the pixel centre.
  template <class Distance>
  void addShape(Distance distance) {
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x) {
        const float c =
            Coverage(distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
        set(x, y, at(x, y) + c);
      }
    }
  }
  // Softens the mask with `passes` rounds of the raster library's 3 x 3
  // binomial blur (each adds a variance of half a pixel squared per axis).
  void blur(int passes);
  // Lays the colour over the bitmap at (dx, dy) with the mask as coverage.
  void paintInto(LICE_IBitmap* bitmap, int dx, int dy, Colour c) const;

 private:
  int mWidth, mHeight;
  std::vector<float> mValues;
};

// Lays the w x h pixels of `source` from (sx, sy) over `bitmap` at
// (dx, dy) with BlendOver, each at its own alpha.
void LayOver(LICE_IBitmap* bitmap, const LICE_IBitmap& source, int dx, int dy, int sx, int sy,
             int w, int h);

// Copies `frame` into `strip` as frame `index` of a top-to-bottom strip.
void PlaceFrame(LICE_IBitmap* strip, const LICE_IBitmap& frame, int index);

// A fixed-seed generator for the panel's grain: the same numbers on every
// run, so the images are the same bytes on every build.
class Grain {
 public:
  explicit Grain(unsigned int seed) : mNoise(seed) {}
  // Uniform in [-1, 1).
  float next();

 private:
  ReproducibleNoise mNoise;
};

}  // namespace artwork
