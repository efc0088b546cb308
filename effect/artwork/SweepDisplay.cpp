#include "effect/artwork/SweepDisplay.h"

#include <cmath>

#include "effect/artwork/Paint.h"
#include "effect/artwork/Palette.h"
#include "effect/artwork/PanelLayout.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

// A triangle pointing at the scale line from above (down = false: from
// below), its tip on the line: the signed distance to its three edges.
float NotchDistance(float x, float y, float cx, bool fromBelow) {
  constexpr float kHalfBase = 3.2f, kDepth = 4.2f;
  const float tipY = fromBelow ? kScaleRow + 0.6f : kScaleRow - 0.6f;
  const float baseY = fromBelow ? tipY + kDepth : tipY - kDepth;
  const float sign = fromBelow ? -1.0f : 1.0f;
  // The flat side, then the two slanted sides (unit normals).
  const float flat = sign * (baseY - y);
  const float len = std::hypot(kDepth, kHalfBase);
  const float nx = kDepth / len, ny = sign * kHalfBase / len;
  const float left = -(x - cx) * nx + (y - tipY) * ny;
  const float right = (x - cx) * nx + (y - tipY) * ny;
  return std::fmax(flat, std::fmax(left, right));
}

}  // namespace

void PaintSweepFrame(LICE_IBitmap* frame, SweepMark mark, float position) {
  LICE_Clear(frame, 0);
  const float cx = ScaleX(position);
  const int x0 = static_cast<int>(cx) - 7, x1 = static_cast<int>(cx) + 8;
  switch (mark) {
    case SweepMark::kBase:
    case SweepMark::kTop: {
      const bool fromBelow = mark == SweepMark::kTop;
      const Colour tint = fromBelow ? palette::kAmberPale : palette::kAmberDeep;
      Paint(frame, x0, 0, x1, kDisplayHeight, [&](float x, float y) {
        // A hairline across the scale continues the notch's tip.
        const float line = CapsuleDistance(x, y, cx, 1.0f, cx, kDisplayHeight - 1.0f, 0.45f);
        const float d = std::fmin(NotchDistance(x, y, cx, fromBelow), line);
        return Sample{tint, Coverage(d)};
      });
      break;
    }
    case SweepMark::kLfo: {
      Mask glow(kDisplayWidth, kDisplayHeight);
      glow.addShape([&](float x, float y) { return DiscDistance(x, y, cx, kScaleRow, 2.6f); });
      glow.blur(3);
      glow.paintInto(frame, 0, 0, WithAlpha(palette::kAmber, 0.6f));
      Paint(frame, x0, 0, x1, kDisplayHeight, [&](float x, float y) {
        const float d = DiscDistance(x, y, cx, kScaleRow, 2.3f);
        // Saturated amber with a small hot centre, well apart from the pale
        // top-of-sweep tint.
        const Colour c = Mix(palette::kAmber, palette::kAmberHot, SmoothStep(-0.6f, -2.0f, d));
        return Sample{c, Coverage(d)};
      });
      break;
    }
  }
}

}  // namespace artwork
