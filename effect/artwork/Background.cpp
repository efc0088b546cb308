#include "effect/artwork/Background.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "effect/artwork/Lettering.h"
#include "effect/artwork/Paint.h"
#include "effect/artwork/Palette.h"
#include "effect/artwork/PanelLayout.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

constexpr float kPi = 3.14159265f;

float MiddleOf(Spot knob) {
  return static_cast<float>(knob.x) + 0.5f * kKnobSize;
}

// Brushed graphite: each column gets its own slight lightness, drifting
// slowly down the panel, over a top-to-bottom gradient.
void PaintGrain(LICE_IBitmap* panel) {
  Grain grain(0x4d6f7276u);
  std::vector<float> raw(kPanelWidth), streak(kPanelWidth), drift(kPanelWidth);
  for (float& v : raw)
    v = grain.next();
  for (int x = 0; x < kPanelWidth; ++x) {
    const float left = raw[static_cast<size_t>(x > 0 ? x - 1 : x)];
    const float right = raw[static_cast<size_t>(x + 1 < kPanelWidth ? x + 1 : x)];
    streak[static_cast<size_t>(x)] = 0.6f * raw[static_cast<size_t>(x)] + 0.2f * (left + right);
    drift[static_cast<size_t>(x)] = grain.next() * kPi;
  }
  for (int y = 0; y < kPanelHeight; ++y) {
    const float t = static_cast<float>(y) / static_cast<float>(kPanelHeight - 1);
    const Colour base = Mix(palette::kPanelTop, palette::kPanelBottom, t);
    for (int x = 0; x < kPanelWidth; ++x) {
      const size_t i = static_cast<size_t>(x);
      const float wave = 0.7f + 0.3f * std::sin(static_cast<float>(y) * 0.11f + drift[i]);
      const float lift = 4.2f * streak[i] * wave + 0.8f * grain.next();
      BlendOver(panel, x, y, {base.r + lift, base.g + lift, base.b + lift * 1.1f, 1.0f}, 1.0f);
    }
  }
}

// The panel's edges: light catching the top, a shadow line at the bottom,
// slightly darker sides.
void PaintEdges(LICE_IBitmap* panel) {
  for (int x = 0; x < kPanelWidth; ++x) {
    BlendOver(panel, x, 0, palette::kTopEdge, 1.0f);
    BlendOver(panel, x, 1, palette::kTopEdge, 0.35f);
    BlendOver(panel, x, 2, palette::kTopEdge, 0.12f);
    BlendOver(panel, x, kPanelHeight - 1, palette::kBottomEdge, 1.0f);
    BlendOver(panel, x, kPanelHeight - 2, palette::kBottomEdge, 0.3f);
  }
  for (int y = 1; y < kPanelHeight - 1; ++y) {
    BlendOver(panel, 0, y, palette::kBottomEdge, 0.6f);
    BlendOver(panel, kPanelWidth - 1, y, palette::kBottomEdge, 0.6f);
  }
}

// A cut in the panel: dark inside, with the light catching its lower lip.
template <class Distance>
void PaintRecess(LICE_IBitmap* panel, int x0, int y0, int x1, int y1, Distance distance,
                 float depth) {
  Paint(panel, x0, y0, x1, y1, [&](float x, float y) {
    return Sample{palette::kLip, 0.55f * Coverage(distance(x, y - 1.0f))};
  });
  Paint(panel, x0, y0, x1, y1, [&](float x, float y) {
    return Sample{palette::kGroove, depth * Coverage(distance(x, y))};
  });
  // Inner shadow under the top edge.
  Paint(panel, x0, y0, x1, y1, [&](float x, float y) {
    const float inside = Coverage(distance(x, y)) * (1.0f - Coverage(distance(x, y + 1.5f)));
    return Sample{palette::kShadow, 0.35f * inside};
  });
}

void PaintEngravedLine(LICE_IBitmap* panel, float x1, float y1, float x2, float y2) {
  Paint(panel, static_cast<int>(std::fmin(x1, x2)) - 2, static_cast<int>(std::fmin(y1, y2)) - 2,
        static_cast<int>(std::fmax(x1, x2)) + 3, static_cast<int>(std::fmax(y1, y2)) + 3,
        [&](float x, float y) {
          const float dark = Coverage(CapsuleDistance(x, y, x1, y1, x2, y2, 0.5f));
          return Sample{palette::kGroove, 0.7f * dark};
        });
  Paint(panel, static_cast<int>(std::fmin(x1, x2)) - 2, static_cast<int>(std::fmin(y1, y2)) - 2,
        static_cast<int>(std::fmax(x1, x2)) + 3, static_cast<int>(std::fmax(y1, y2)) + 3,
        [&](float x, float y) {
          const float light =
              Coverage(CapsuleDistance(x, y, x1 + 1.0f, y1 + 1.0f, x2 + 1.0f, y2 + 1.0f, 0.5f));
          return Sample{palette::kLip, 0.35f * light};
        });
}

// Eleven ticks round a knob, the two ends longer.
void PaintKnobScale(LICE_IBitmap* panel, Spot knob) {
  const float cx = static_cast<float>(knob.x) + 0.5f * kKnobSize;
  const float cy = static_cast<float>(knob.y) + 0.5f * kKnobSize;
  for (int i = 0; i <= 10; ++i) {
    const float a = KnobAngle(i, 11);
    const bool end = i == 0 || i == 10;
    const float r0 = end ? 16.6f : 17.4f, r1 = 19.2f;
    const float sx = std::sin(a), sy = -std::cos(a);
    Paint(panel, knob.x - 2, knob.y - 2, knob.x + kKnobSize + 2, knob.y + kKnobSize + 2,
          [&](float x, float y) {
            const float d =
                CapsuleDistance(x, y, cx + r0 * sx, cy + r0 * sy, cx + r1 * sx, cy + r1 * sy, 0.5f);
            return Sample{end ? palette::kLabel : palette::kTick, 0.9f * Coverage(d)};
          });
  }
}

void PaintRingTrack(LICE_IBitmap* panel) {
  const float c = static_cast<float>(kRing.x) + 0.5f * kRingSize;
  const float cy = static_cast<float>(kRing.y) + 0.5f * kRingSize;
  PaintRecess(
      panel, kRing.x, kRing.y, kRing.x + kRingSize, kRing.y + kRingSize,
      [&](float x, float y) {
        return ArcDistance(x, y, c, cy, kRingRadius, kKnobStartAngle, -kKnobStartAngle, 2.4f);
      },
      0.85f);
}

void PaintSelectorWell(LICE_IBitmap* panel) {
  const float l = static_cast<float>(kSelector.x), t = static_cast<float>(kSelector.y);
  PaintRecess(
      panel, kSelector.x - 2, kSelector.y - 2, kSelector.x + kSelectorWidth + 2,
      kSelector.y + kSelectorHeight + 2,
      [&](float x, float y) {
        return RoundRectDistance(x, y, l, t, l + kSelectorWidth, t + kSelectorHeight, 3.5f);
      },
      0.9f);
}

// The sweep displays' scale: a groove with a tick at every octave from
// 64 Hz, taller ones and their numbers at 100 Hz, 1 kHz and 10 kHz. The
// displays place a frequency f at ((log2 f - 5) x 0.106062)^0.96 of the way
// along, 32 Hz at the start and 22.05 kHz at the end.
float ScalePosition(double hertz) {
  return static_cast<float>(std::pow((std::log2(hertz) - 5.0) * 0.106062, 0.96));
}

void PaintFrequencyScale(LICE_IBitmap* panel, const Lettering& numbers) {
  const float ox = static_cast<float>(kDisplay.x), oy = static_cast<float>(kDisplay.y);
  const float row = oy + kScaleRow;
  PaintRecess(
      panel, kDisplay.x, kDisplay.y, kDisplay.x + kDisplayWidth, kDisplay.y + kDisplayHeight,
      [&](float x, float y) {
        return CapsuleDistance(x, y, ox + kScaleStart, row, ox + kScaleEnd, row, 1.3f);
      },
      0.9f);
  for (int octave = 1; octave <= 9; ++octave) {
    const float x = ox + ScaleX(ScalePosition(32.0 * std::pow(2.0, octave)));
    Paint(panel, kDisplay.x, kDisplay.y, kDisplay.x + kDisplayWidth, kDisplay.y + kDisplayHeight,
          [&](float px, float py) {
            const float d = CapsuleDistance(px, py, x, row - 3.2f, x, row - 2.4f, 0.5f);
            return Sample{palette::kTick, 0.8f * Coverage(d)};
          });
  }
  const struct {
    double hertz;
    const char* text;
  } kDecades[] = {{100.0, "100"}, {1000.0, "1k"}, {10000.0, "10k"}};
  for (const auto& decade : kDecades) {
    const float x = ox + ScaleX(ScalePosition(decade.hertz));
    Paint(panel, kDisplay.x, kDisplay.y - 2, kDisplay.x + kDisplayWidth,
          kDisplay.y + kDisplayHeight, [&](float px, float py) {
            const float d = CapsuleDistance(px, py, x, oy - 0.5f, x, row - 2.4f, 0.5f);
            return Sample{palette::kLabel, 0.8f * Coverage(d)};
          });
    numbers.draw(panel, decade.text, x + 0.5f, kDisplay.y - 3, palette::kLabel, Align::kCentre);
  }
}

// A small-capital heading over a group, between two short engraved rules.
void PaintGroupHeading(LICE_IBitmap* panel, const Lettering& heading, const char* text,
                       float centre, int baseline) {
  constexpr float kRule = 16.0f, kSpace = 5.0f;
  const float half = 0.5f * static_cast<float>(heading.width(text));
  heading.draw(panel, text, centre, baseline, palette::kDimLabel, Align::kCentre);
  const float rule = static_cast<float>(baseline) - 0.5f * static_cast<float>(heading.capHeight());
  PaintEngravedLine(panel, centre - half - kSpace - kRule, rule, centre - half - kSpace, rule);
  PaintEngravedLine(panel, centre + half + kSpace, rule, centre + half + kSpace + kRule, rule);
}

std::string Capitals(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void PaintName(LICE_IBitmap* panel, const Identity& identity) {
  static const Lettering name(22, true, 0);
  static const Lettering maker(8, false, 1);
  const int baseline = kNameBottom - 4;
  const float left = static_cast<float>(kNameLeft) + 1.0f;
  // Pressed into the panel: a dark shadow under light letters.
  const Mask letters = name.mask(identity.product);
  const int mx = kNameLeft + 1 - Lettering::kMaskMargin, my = baseline - name.baselineInMask();
  letters.paintInto(panel, mx, my + 1, WithAlpha(palette::kShadow, 0.7f));
  letters.paintInto(panel, mx, my, palette::kTitle);
  const float end = left + static_cast<float>(name.width(identity.product));
  maker.draw(panel, Capitals(identity.maker), end + 7.0f, baseline, palette::kLabel);
}

}  // namespace

void PaintBackground(LICE_IBitmap* panel, const Identity& identity) {
  PaintGrain(panel);
  PaintEdges(panel);
  static const Lettering label(8, false, 1);
  static const Lettering small(7, false, 0);

  PaintName(panel, identity);
  PaintGroupHeading(panel, label, "FILTER", MiddleOf(kFeedbackKnob), 19);
  PaintGroupHeading(panel, label, "SWEEP", 0.5f * (MiddleOf(kRateKnob) + MiddleOf(kDepthKnob)), 19);
  PaintEngravedLine(panel, 142.5f, 42.0f, 142.5f, 97.0f);
  PaintEngravedLine(panel, 305.5f, 42.0f, 305.5f, 97.0f);

  PaintRingTrack(panel);
  PaintSelectorWell(panel);
  for (Spot knob : {kFreqKnob, kFeedbackKnob, kSpreadKnob, kRateKnob, kDepthKnob})
    PaintKnobScale(panel, knob);
  PaintFrequencyScale(panel, small);

  for (const MorvexControlPlace& c : kMorvexControls) {
    const float width = static_cast<float>(MorvexImageNamed(c.image).width);
    label.draw(panel, c.label, static_cast<float>(c.spot.x) + 0.5f * width, kLabelBaseline,
               palette::kLabel, Align::kCentre);
  }
}

}  // namespace artwork
