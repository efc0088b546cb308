#include "effect/artwork/StageSelector.h"

#include <string>

#include "effect/artwork/Lettering.h"
#include "effect/artwork/Paint.h"
#include "effect/artwork/Palette.h"
#include "effect/artwork/PanelLayout.h"
#include "raster/lice_fill.h"

namespace artwork {

void PaintStageFrame(LICE_IBitmap* frame, int lit) {
  LICE_Clear(frame, 0);
  static const Lettering digits(10, true);
  for (int n = 1; n <= 6; ++n) {
    const int column = (n - 1) % 3, row = (n - 1) / 3;
    const float left = static_cast<float>(kSelectorColumnEdges[column]) + 1.0f;
    const float right = static_cast<float>(kSelectorColumnEdges[column + 1]) - 1.0f;
    const float top = static_cast<float>(kSelectorRowEdges[row]) + 1.0f;
    const float bottom = static_cast<float>(kSelectorRowEdges[row + 1]) - 1.0f;
    const bool on = n == lit;
    const Colour upper = on ? Rgb(255, 196, 92) : Rgb(78, 81, 87);
    const Colour lower = on ? Rgb(238, 138, 28) : Rgb(52, 54, 59);
    const Colour rim = on ? Rgb(255, 232, 176) : Rgb(104, 107, 114);
    Paint(frame, 0, 0, kSelectorWidth, kSelectorHeight, [&](float x, float y) {
      const float d = RoundRectDistance(x, y, left, top, right, bottom, 2.5f);
      Colour c = Mix(upper, lower, Clamp01((y - top) / (bottom - top)));
      // Light catches the button's top edge.
      if (y < top + 1.0f) c = Mix(c, rim, 0.7f);
      return Sample{c, Coverage(d)};
    });
    const Colour ink = on ? Rgb(58, 30, 4) : palette::kLabel;
    const int baseline =
        static_cast<int>(bottom) - (static_cast<int>(bottom - top) - digits.capHeight()) / 2 - 1;
    digits.draw(frame, std::to_string(n), 0.5f * (left + right), baseline, ink, Align::kCentre);
  }
}

}  // namespace artwork
