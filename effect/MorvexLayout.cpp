// The editor's layout: the images, then the controls in the order that
// fixes their indices, which the plug-in's display hooks address.
#include <string>

#include "effect/IRadioBitmapControl2D.h"
#include "effect/Morvex.h"
#include "effect/MorvexIdentity.h"
#include "effect/MorvexPanel.h"
#include "effect/MorvexPanelTable.h"
#include "effect/MorvexReadout.h"
#include "effect/MorvexValueControl.h"
#include "framework/editor/IBitmapOverlayControl.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/IKnobMultiControl.h"
#include "framework/window/factory/MakeWindowGraphics.h"

namespace {

constexpr const MorvexImage& kBackgroundImage = MorvexImageNamed("bg");
constexpr const MorvexImage& kFreqDisplayImage = MorvexImageNamed("freq__mask");
constexpr const MorvexImage& kDepthDisplayImage = MorvexImageNamed("depth__mask");
constexpr const MorvexImage& kLfoDisplayImage = MorvexImageNamed("lfo__mask");
constexpr const MorvexImage& kKnobImage = MorvexImageNamed("knob");
constexpr const MorvexImage& kStagesImage = MorvexImageNamed("stages");
constexpr const MorvexImage& kInfoImage = MorvexImageNamed("info");

constexpr MorvexSpot kStagesSpot = kMorvexControls[Morvex::kStages].spot;
constexpr int kStagesPerLine = 3;
// The selector answers over its whole picture.
const IRECT kStagesHitArea(0, 0, kStagesImage.width, kStagesImage.frameHeight);
const IRECT kInfoTargetArea(kMorvexNameArea.left, kMorvexNameArea.top, kMorvexNameArea.right,
                            kMorvexNameArea.bottom);
constexpr double kKnobGearing = 4.0;
// The readout's box: the panel's lower band, under the knobs.
const IRECT kReadoutBand(0, 88, kMorvexPanelWidth, 102);

constexpr Morvex::EParams kOtherKnobs[] = {Morvex::kFreq, Morvex::kFeedback, Morvex::kSpread,
                                           Morvex::kRate, Morvex::kDepth};

IBitmap Load(IGraphics* graphics, const MorvexImage& image) {
  const std::string file = std::string("resources/img/") + image.name + ".png";
  return graphics->LoadIBitmap(image.id, file.c_str(), image.frames, false);
}

// An unbound bitmap control the plug-in moves itself.
int AttachDisplay(IGraphics* graphics, IPlugBase* plug, int x, int y, const IBitmap& bitmap) {
  return graphics->AttachControl(new IBitmapControl(plug, x, y, -1, &bitmap));
}

int AttachKnob(IGraphics* graphics, IPlugBase* plug, MorvexReadout* readout, Morvex::EParams param,
               const IBitmap& knob) {
  const MorvexSpot spot = kMorvexControls[param].spot;
  return graphics->AttachControl(new MorvexValueControl<IKnobMultiControl>(
      readout, plug, spot.x, spot.y, param, &knob, kVertical, kKnobGearing));
}

}  // namespace

IGraphics* Morvex::MakeEditor(const char* imageFolder, IEventLoop* loop) {
  IGraphics* graphics = MakeWindowGraphics(this, kMorvexPanelWidth, kMorvexPanelHeight, 0, loop,
                                           kMorvexBundleID, imageFolder);
  // Attached last, so that it draws over everything; the controls it
  // tells of hold it from the start.
  auto* readout = new MorvexReadout(this, kReadoutBand);
  // First, so it is the background: index 0, under everything.
  const IBitmap background = Load(graphics, kBackgroundImage);
  graphics->AttachControl(new MorvexPanel(this, &background, readout));

  IBitmap rings[kMorvexRingCount];
  for (int k = 0; k < kMorvexRingCount; ++k)
    rings[k] = Load(graphics, kMorvexImages[kMorvexFirstRing + k]);
  const IBitmap freqDisplay = Load(graphics, kFreqDisplayImage);
  const IBitmap depthDisplay = Load(graphics, kDepthDisplayImage);
  const IBitmap lfoDisplay = Load(graphics, kLfoDisplayImage);
  const MorvexSpot ring = kMorvexRingSpot, display = kMorvexDisplaySpot;
  for (int k = 0; k < kMorvexRingCount; ++k)
    mRingCtrl[k] = AttachDisplay(graphics, this, ring.x, ring.y, rings[k]);
  mFreqMaskCtrl = AttachDisplay(graphics, this, display.x, display.y, freqDisplay);
  mDepthMaskCtrl = AttachDisplay(graphics, this, display.x, display.y, depthDisplay);
  mLfoMaskCtrl = AttachDisplay(graphics, this, display.x, display.y, lfoDisplay);

  const IBitmap knob = Load(graphics, kKnobImage);
  const IBitmap stages = Load(graphics, kStagesImage);
  AttachKnob(graphics, this, readout, Morvex::kMix, knob);
  graphics->AttachControl(new MorvexValueControl<IRadioBitmapControl2D>(
      readout, this, kStagesSpot.x, kStagesSpot.y, Morvex::kStages, &stages, kStagesHitArea,
      kStagesPerLine, kHorizontal, true));
  for (const Morvex::EParams param : kOtherKnobs)
    AttachKnob(graphics, this, readout, param, knob);

  const IBitmap info = Load(graphics, kInfoImage);
  graphics->AttachControl(new IBitmapOverlayControl(this, 0, 0, &info, kInfoTargetArea));
  graphics->AttachControl(readout);
  // The readout follows the pointer over the controls.
  graphics->HandleMouseOver(true);
  return graphics;
}
