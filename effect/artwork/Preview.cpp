#include "effect/artwork/Preview.h"

#include <map>
#include <string>

#include "effect/artwork/Catalogue.h"
#include "effect/artwork/PanelLayout.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_scaled_blit.h"

namespace artwork {

namespace {

// The editor's frame for value v of an N-frame strip, 0-based.
int FrameFor(double v, int frames) {
  const int f = static_cast<int>(0.5 + v * (frames - 1));
  return f < 0 ? 0 : f >= frames ? frames - 1 : f;
}

class Stack {
 public:
  explicit Stack(const Identity& identity) : mPanel(kPanelWidth, kPanelHeight) {
    for (const ImageShape& shape : Catalogue())
      mImages[shape.name] = {shape, PaintImage(shape, identity)};
  }

  // Draws frame `frame` of the image at (x, y) as a bitmap control with
  // blend method 0 does: copy with the image's own alpha. The background is
  // copied whole.
  void draw(const std::string& name, int x, int y, int frame = 0) {
    const Entry& e = mImages.at(name);
    const int mode = name == "bg" ? LICE_BLIT_MODE_COPY : LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    LICE_Blit(&mPanel, e.strip.get(), x, y, 0, frame * e.shape.frameHeight, e.shape.width,
              e.shape.frameHeight, 1.0f, mode);
  }
  void drawValue(const std::string& name, int x, int y, double value) {
    draw(name, x, y, FrameFor(value, mImages.at(name).shape.frames));
  }
  LICE_MemBitmap& panel() { return mPanel; }

 private:
  struct Entry {
    ImageShape shape;
    std::unique_ptr<LICE_MemBitmap> strip;
  };
  std::map<std::string, Entry> mImages;
  LICE_MemBitmap mPanel;
};

}  // namespace

std::unique_ptr<LICE_MemBitmap> ComposePreview(const Identity& identity, bool withInfo, int scale) {
  Stack stack(identity);
  const double mix = 0.7, freq = 0.3, depth = 0.5;
  const int stageSetting = 3;  // four stages
  stack.draw("bg", 0, 0);
  for (int k = 0; k < kRingCount; ++k) {
    stack.drawValue("knob_rot_" + std::to_string(k + 1), kRing.x, kRing.y,
                    k == stageSetting ? mix : 0.0);
  }
  stack.drawValue("freq__mask", kDisplay.x, kDisplay.y, freq);
  stack.drawValue("depth__mask", kDisplay.x, kDisplay.y, freq + depth * (1.0 - freq));
  stack.drawValue("lfo__mask", kDisplay.x, kDisplay.y, 0.47);
  stack.drawValue("knob", kMixKnob.x, kMixKnob.y, mix);
  stack.drawValue("stages", kSelector.x, kSelector.y, stageSetting / 5.0);
  stack.drawValue("knob", kFreqKnob.x, kFreqKnob.y, freq);
  stack.drawValue("knob", kFeedbackKnob.x, kFeedbackKnob.y, 0.62);
  stack.drawValue("knob", kSpreadKnob.x, kSpreadKnob.y, 0.4);
  stack.drawValue("knob", kRateKnob.x, kRateKnob.y, 0.29);
  stack.drawValue("knob", kDepthKnob.x, kDepthKnob.y, depth);
  if (withInfo) stack.draw("info", 0, 0);

  auto out = std::make_unique<LICE_MemBitmap>(kPanelWidth * scale, kPanelHeight * scale);
  LICE_ScaledBlit(out.get(), &stack.panel(), 0, 0, kPanelWidth * scale, kPanelHeight * scale, 0.0f,
                  0.0f, static_cast<float>(kPanelWidth), static_cast<float>(kPanelHeight), 1.0f,
                  LICE_BLIT_MODE_COPY);
  return out;
}

}  // namespace artwork
