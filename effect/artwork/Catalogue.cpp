#include "effect/artwork/Catalogue.h"

#include <functional>

#include "effect/artwork/Background.h"
#include "effect/artwork/InfoOverlay.h"
#include "effect/artwork/Knob.h"
#include "effect/artwork/MixRing.h"
#include "effect/artwork/Paint.h"
#include "effect/artwork/PanelLayout.h"
#include "effect/artwork/StageSelector.h"
#include "effect/artwork/SweepDisplay.h"

namespace artwork {

namespace {

// The 0-to-1 value a frame stands for: the editor shows value v as frame
// 1 + int(0.5 + v (N - 1)), so frame i (0-based) is v = i / (N - 1).
float FrameValue(int index, int frames) {
  return frames > 1 ? static_cast<float>(index) / static_cast<float>(frames - 1) : 0.0f;
}

using FramePainter = std::function<void(LICE_IBitmap* frame, int index)>;

FramePainter PainterFor(const std::string& name, const Identity& identity) {
  if (name == "bg") return [&identity](LICE_IBitmap* f, int) { PaintBackground(f, identity); };
  if (name == "info") return [&identity](LICE_IBitmap* f, int) { PaintInfoOverlay(f, identity); };
  if (name == "knob") {
    return [](LICE_IBitmap* f, int i) { PaintKnobFrame(f, KnobAngle(i, kKnobFrames)); };
  }
  if (name == "stages") return [](LICE_IBitmap* f, int i) { PaintStageFrame(f, i + 1); };
  if (name.rfind("knob_rot_", 0) == 0) {
    const int stages = name.back() - '0';
    return
        [stages](LICE_IBitmap* f, int i) { PaintRingFrame(f, stages, FrameValue(i, kRingFrames)); };
  }
  const SweepMark mark = name == "freq__mask"    ? SweepMark::kBase
                         : name == "depth__mask" ? SweepMark::kTop
                                                 : SweepMark::kLfo;
  return
      [mark](LICE_IBitmap* f, int i) { PaintSweepFrame(f, mark, FrameValue(i, kDisplayFrames)); };
}

}  // namespace

const std::vector<ImageShape>& Catalogue() {
  static const std::vector<ImageShape> images = [] {
    std::vector<ImageShape> shapes;
    for (const MorvexImage& image : kMorvexImages)
      shapes.push_back({image.name, image.width, image.frameHeight, image.frames});
    return shapes;
  }();
  return images;
}

std::unique_ptr<LICE_MemBitmap> PaintImage(const ImageShape& shape, const Identity& identity) {
  auto strip = std::make_unique<LICE_MemBitmap>(shape.width, shape.frameHeight * shape.frames);
  LICE_MemBitmap frame(shape.width, shape.frameHeight);
  const FramePainter paint = PainterFor(shape.name, identity);
  for (int i = 0; i < shape.frames; ++i) {
    paint(&frame, i);
    PlaceFrame(strip.get(), frame, i);
  }
  return strip;
}

}  // namespace artwork
