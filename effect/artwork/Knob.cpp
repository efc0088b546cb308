#include "effect/artwork/Knob.h"

#include <cmath>

#include "effect/artwork/Paint.h"
#include "effect/artwork/Palette.h"
#include "effect/artwork/PanelLayout.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

constexpr float kCentre = 0.5f * kKnobSize;
constexpr float kCapRadius = kKnobRadius - 3.0f;
// Light falls from the upper left.
constexpr float kLightAngle = -0.8f;

void PaintShadow(LICE_IBitmap* frame) {
  constexpr int kMargin = 6;
  Mask shadow(kKnobSize + 2 * kMargin, kKnobSize + 2 * kMargin);
  shadow.addShape([](float x, float y) {
    return DiscDistance(x, y, kCentre + kMargin + 1.8f, kCentre + kMargin + 2.8f, kKnobRadius);
  });
  shadow.blur(6);
  shadow.paintInto(frame, -kMargin, -kMargin, WithAlpha(palette::kShadow, 0.62f));
}

// The skirt: a dark bevelled ring, brighter where it faces the light, with
// fine knurling.
Sample Skirt(float x, float y) {
  const float dx = x - kCentre, dy = y - kCentre, r = std::hypot(dx, dy);
  const float a = AngleOf(dx, dy);
  const float facing = std::cos(a - kLightAngle);
  const float knurl = 0.5f + 0.5f * std::cos(a * 40.0f);
  Colour c = Mix(palette::kRim, palette::kMetalDark, 0.55f + 0.45f * facing);
  c = Scaled(c, 0.9f + 0.18f * knurl);
  // A thin bright edge on the lit side of the outer lip.
  const float lip = SmoothStep(kKnobRadius - 1.6f, kKnobRadius - 0.4f, r) * Clamp01(facing);
  c = Mix(c, palette::kMetalMid, 0.6f * lip);
  return {c, Coverage(r - kKnobRadius)};
}

// The cap: spun metal, whose fine circular grooves catch the light along
// the axis pointing at it, over a gentle radial falloff.
Sample Cap(float x, float y) {
  const float dx = x - kCentre, dy = y - kCentre, r = std::hypot(dx, dy);
  const float a = AngleOf(dx, dy);
  const float spun = std::pow(0.5f + 0.5f * std::cos(2.0f * (a - kLightAngle)), 3.0f);
  const float hot = std::hypot(dx + 3.0f, dy + 4.0f) / (kCapRadius * 1.7f);
  Colour c = Mix(palette::kMetalLight, palette::kMetalDark, Clamp01(hot));
  c = Mix(c, Rgb(178, 181, 188), 0.45f * spun * SmoothStep(1.0f, 6.0f, r));
  // The cap's edge: a highlight toward the light, a shade away from it.
  const float edge = SmoothStep(kCapRadius - 1.3f, kCapRadius - 0.2f, r);
  const float facing = std::cos(a - kLightAngle);
  c = facing > 0.0f ? Mix(c, Rgb(196, 199, 205), 0.7f * edge * facing)
                    : Mix(c, palette::kRim, 0.6f * edge * -facing);
  return {c, Coverage(r - kCapRadius)};
}

void PaintPointer(LICE_IBitmap* frame, float angle) {
  const float sx = std::sin(angle), sy = -std::cos(angle);
  const float x1 = kCentre + 4.0f * sx, y1 = kCentre + 4.0f * sy;
  const float x2 = kCentre + (kKnobRadius - 1.6f) * sx, y2 = kCentre + (kKnobRadius - 1.6f) * sy;
  // A groove for the pointer to sit in, then the pointer and its glow.
  Paint(frame, 0, 0, kKnobSize, kKnobSize, [&](float x, float y) {
    return Sample{palette::kRim, 0.55f * Coverage(CapsuleDistance(x, y, x1 + 0.4f, y1 + 0.6f,
                                                                  x2 + 0.4f, y2 + 0.6f, 1.4f))};
  });
  Mask glow(kKnobSize, kKnobSize);
  glow.addShape([&](float x, float y) { return CapsuleDistance(x, y, x1, y1, x2, y2, 1.3f); });
  glow.blur(3);
  glow.paintInto(frame, 0, 0, WithAlpha(palette::kAmber, 0.45f));
  Paint(frame, 0, 0, kKnobSize, kKnobSize, [&](float x, float y) {
    const float d = CapsuleDistance(x, y, x1, y1, x2, y2, 1.15f);
    // A hotter core down the middle of the line.
    const Colour c = Mix(palette::kAmber, palette::kAmberHot, SmoothStep(0.0f, -0.9f, d));
    return Sample{c, Coverage(d)};
  });
}

}  // namespace

void PaintKnobFrame(LICE_IBitmap* frame, float angle) {
  LICE_Clear(frame, 0);
  PaintShadow(frame);
  Paint(frame, 0, 0, kKnobSize, kKnobSize, Skirt);
  Paint(frame, 0, 0, kKnobSize, kKnobSize, Cap);
  PaintPointer(frame, angle);
}

}  // namespace artwork
