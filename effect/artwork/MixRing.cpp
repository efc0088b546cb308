#include "effect/artwork/MixRing.h"

#include <cmath>

#include "effect/artwork/Paint.h"
#include "effect/artwork/Palette.h"
#include "effect/artwork/PanelLayout.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

constexpr float kCentre = 0.5f * kRingSize;
constexpr float kHalfWidth = 1.6f;
// The dark gap between segments, measured along the ring.
constexpr float kGapPixels = 4.0f;

struct Segment {
  float from, to;  // angles of the end caps' centres
};

Segment SegmentOf(int index, int count) {
  const float gap = (kGapPixels + 2.0f * kHalfWidth) / kRingRadius;
  const float length =
      (kKnobSweep - static_cast<float>(count - 1) * gap) / static_cast<float>(count);
  const float start = kKnobStartAngle + static_cast<float>(index) * (length + gap);
  // The round caps reach past the ends by their radius.
  const float cap = kHalfWidth / kRingRadius;
  return {start + cap, start + length - cap};
}

}  // namespace

void PaintRingFrame(LICE_IBitmap* frame, int stages, float level) {
  LICE_Clear(frame, 0);
  if (level <= 0.0f) return;
  const float lit = kKnobStartAngle + kKnobSweep * level;
  // Each pixel's distance from the nearest segment and its angle, worked
  // out once for the three layers below.
  constexpr int kPixels = kRingSize * kRingSize;
  float distance[kPixels], angle[kPixels];
  for (int y = 0; y < kRingSize; ++y) {
    for (int x = 0; x < kRingSize; ++x) {
      const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
      float d = std::fabs(std::hypot(px - kCentre, py - kCentre) - kRingRadius) - kHalfWidth;
      // Far from the ring, the plain distance to its circle is close enough.
      if (d < 4.0f) {
        d = 1e9f;
        for (int i = 0; i < stages; ++i) {
          const Segment s = SegmentOf(i, stages);
          d = std::fmin(
              d, ArcDistance(px, py, kCentre, kCentre, kRingRadius, s.from, s.to, kHalfWidth));
        }
      }
      distance[y * kRingSize + x] = d;
      angle[y * kRingSize + x] = AngleOf(px - kCentre, py - kCentre);
    }
  }
  auto at = [](const float* field, float x, float y) {
    return field[static_cast<int>(y) * kRingSize + static_cast<int>(x)];
  };
  // How much of the pixel lies before the lit end, along the ring: a
  // one-pixel soft edge.
  auto litShare = [&](float x, float y) { return Coverage((at(angle, x, y) - lit) * kRingRadius); };

  // Unlit segments still glow faintly, so the count reads at any level.
  Paint(frame, 0, 0, kRingSize, kRingSize, [&](float x, float y) {
    return Sample{palette::kAmberUnlit, 0.85f * Coverage(at(distance, x, y))};
  });
  Mask glow(kRingSize, kRingSize);
  glow.addShape([&](float x, float y) {
    const float share = litShare(x, y);
    return share > 0.0f ? at(distance, x, y) + (1.0f - share) : 1e9f;
  });
  glow.blur(4);
  glow.paintInto(frame, 0, 0, WithAlpha(palette::kAmber, 0.55f));
  Paint(frame, 0, 0, kRingSize, kRingSize, [&](float x, float y) {
    const float d = at(distance, x, y);
    const Colour c = Mix(palette::kAmber, palette::kAmberHot, SmoothStep(0.2f, -1.0f, d));
    return Sample{c, Coverage(d) * litShare(x, y)};
  });
}

}  // namespace artwork
