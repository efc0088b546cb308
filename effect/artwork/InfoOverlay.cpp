#include "effect/artwork/InfoOverlay.h"

#include <string>

#include "effect/artwork/Lettering.h"
#include "effect/artwork/Paint.h"
#include "effect/artwork/Palette.h"
#include "effect/artwork/PanelLayout.h"
#include "effect/artwork/SweepDisplay.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/lice_fill.h"

namespace artwork {

namespace {

constexpr float kLeft = static_cast<float>(kNameLeft) + 1.0f;
constexpr float kRight = static_cast<float>(kPanelWidth) - 18.0f;

void PaintSheet(LICE_IBitmap* overlay) {
  // Dark, letting a trace of the panel through.
  Paint(overlay, 0, 0, kPanelWidth, kPanelHeight, [](float, float y) {
    const Colour c = Mix(Rgb(31, 32, 36), Rgb(15, 16, 18), y / static_cast<float>(kPanelHeight));
    return Sample{WithAlpha(c, 0.95f), 1.0f};
  });
  Paint(overlay, 0, 0, kPanelWidth, 1, [](float, float) { return Sample{palette::kAmber, 0.9f}; });
  Paint(overlay, kNameLeft, 39, kPanelWidth - 17, 40, [](float x, float) {
    // A rule fading out to the right.
    return Sample{palette::kAmber, 0.6f * (1.0f - 0.85f * x / static_cast<float>(kPanelWidth))};
  });
}

// One of the sweep scale's marks, cut from its display, with a stretch of
// the scale line under it; returns the x after it.
float PaintLegendMark(LICE_IBitmap* overlay, SweepMark mark, float x, int baseline, int capHeight) {
  LICE_MemBitmap display(kDisplayWidth, kDisplayHeight);
  PaintSweepFrame(&display, mark, 0.5f);
  const int centre = static_cast<int>(ScaleX(0.5f));
  const int top = baseline - capHeight / 2 - static_cast<int>(kScaleRow);
  const int left = static_cast<int>(x);
  Paint(overlay, left - 1, top, left + 14, top + kDisplayHeight, [&](float px, float py) {
    const float row = static_cast<float>(top) + kScaleRow;
    const float d = CapsuleDistance(px, py, static_cast<float>(left), row,
                                    static_cast<float>(left) + 12.0f, row, 1.0f);
    return Sample{palette::kGroove, Coverage(d)};
  });
  LayOver(overlay, display, left, top, centre - 6, 0, 13, kDisplayHeight);
  return x + 17.0f;
}

}  // namespace

void PaintInfoOverlay(LICE_IBitmap* overlay, const Identity& identity) {
  LICE_Clear(overlay, 0);
  PaintSheet(overlay);

  static const Lettering name(22, true, 0);
  static const Lettering heading(8, false, 2);
  static const Lettering body(10, false, 0);

  // The name stays where the panel shows it, so the sheet seems to open
  // out of it.
  const int nameBaseline = kNameBottom - 4;
  name.draw(overlay, identity.product, kLeft, nameBaseline, palette::kTitle);
  body.draw(overlay, "by " + identity.maker,
            kLeft + static_cast<float>(name.width(identity.product)) + 7.0f, nameBaseline,
            palette::kLabel);
  heading.draw(overlay, "STEREO PHASER", kRight, nameBaseline - 12, palette::kAmber, Align::kRight);
  body.draw(overlay, "Version " + identity.version, kRight, nameBaseline, palette::kLabel,
            Align::kRight);

  body.draw(overlay, "One to six all-pass stages with feedback, swept by a log-frequency LFO.",
            kLeft, 56, palette::kLabel);

  // What the scale over Rate and Depth shows, with its own marks.
  const int legend = 73;
  float x = kLeft;
  body.draw(overlay, "Sweep scale:", x, legend, palette::kLabel);
  x += static_cast<float>(body.width("Sweep scale:")) + 8.0f;
  const struct {
    SweepMark mark;
    const char* text;
  } kKeys[] = {{SweepMark::kBase, "base frequency"},
               {SweepMark::kTop, "sweep top"},
               {SweepMark::kLfo, "LFO now"}};
  for (const auto& key : kKeys) {
    x = PaintLegendMark(overlay, key.mark, x, legend, body.capHeight());
    body.draw(overlay, key.text, x, legend, palette::kDimLabel);
    x += static_cast<float>(body.width(key.text)) + 12.0f;
  }

  body.draw(overlay,
            "Click anywhere to close \xC2\xB7 drag knobs up and down \xC2\xB7 Shift for fine "
            "control",
            0.5f * kPanelWidth, 93, palette::kDimLabel, Align::kCentre);
}

}  // namespace artwork
