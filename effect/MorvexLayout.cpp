// The editor's layout: the images, then the controls in the order that
// fixes their indices, which the plug-in's display hooks address.
#include "effect/IRadioBitmapControl2D.h"
#include "effect/Morvex.h"
#include "effect/MorvexEditor.h"
#include "effect/MorvexIdentity.h"
#include "effect/MorvexPanel.h"
#include "effect/MorvexReadout.h"
#include "effect/MorvexValueControl.h"
#include "framework/editor/IBitmapOverlayControl.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/IKnobMultiControl.h"
#include "framework/window/factory/MakeWindowGraphics.h"

namespace {

struct Image {
  int id;
  const char* file;
  int frames;
};

constexpr Image kBackgroundImage = {101, "resources/img/bg.png", 1};
constexpr Image kRingImages[6] = {
    {104, "resources/img/knob_rot_1.png", 128}, {105, "resources/img/knob_rot_2.png", 128},
    {106, "resources/img/knob_rot_3.png", 128}, {107, "resources/img/knob_rot_4.png", 128},
    {108, "resources/img/knob_rot_5.png", 128}, {109, "resources/img/knob_rot_6.png", 128},
};
constexpr Image kFreqDisplayImage = {110, "resources/img/freq__mask.png", 79};
constexpr Image kDepthDisplayImage = {111, "resources/img/depth__mask.png", 79};
constexpr Image kLfoDisplayImage = {112, "resources/img/lfo__mask.png", 79};
constexpr Image kKnobImage = {102, "resources/img/knob.png", 128};
constexpr Image kStagesImage = {103, "resources/img/stages.png", 6};
constexpr Image kInfoImage = {113, "resources/img/info.png", 1};

// The rings sit 5 pixels left of and above the Mix knob; the sweep
// displays 10 pixels above the Rate knob.
constexpr int kRingX = 18, kRingY = 43;
constexpr int kDisplayX = 323, kDisplayY = 38;
constexpr int kStagesX = 70, kStagesY = 49;
constexpr int kStagesPerLine = 3;
const IRECT kStagesHitArea(0, 0, 67, 29);
const IRECT kInfoTargetArea(17, 12, 135, 32);
constexpr double kKnobGearing = 4.0;
// The readout's box: the panel's lower band, under the knobs.
const IRECT kReadoutBand(0, 88, 424, 102);

struct KnobPlace {
  Morvex::EParams param;
  int x, y;
};
constexpr KnobPlace kMixKnob = {Morvex::kMix, 23, 48};
constexpr KnobPlace kOtherKnobs[] = {
    {Morvex::kFreq, 148, 48}, {Morvex::kFeedback, 198, 48}, {Morvex::kSpread, 248, 48},
    {Morvex::kRate, 323, 48}, {Morvex::kDepth, 373, 48},
};

IBitmap Load(IGraphics* graphics, const Image& image) {
  return graphics->LoadIBitmap(image.id, image.file, image.frames, false);
}

// An unbound bitmap control the plug-in moves itself.
int AttachDisplay(IGraphics* graphics, IPlugBase* plug, int x, int y, const IBitmap& bitmap) {
  return graphics->AttachControl(new IBitmapControl(plug, x, y, -1, &bitmap));
}

int AttachKnob(IGraphics* graphics, IPlugBase* plug, MorvexReadout* readout, const KnobPlace& place,
               const IBitmap& knob) {
  return graphics->AttachControl(new MorvexValueControl<IKnobMultiControl>(
      readout, plug, place.x, place.y, place.param, &knob, kVertical, kKnobGearing));
}

}  // namespace

IGraphics* Morvex::MakeEditor(const char* imageFolder, IEventLoop* loop) {
  IGraphics* graphics = MakeWindowGraphics(this, kMorvexEditorWidth, kMorvexEditorHeight, 0, loop,
                                           kMorvexBundleID, imageFolder);
  // First, so it is the background: index 0, under everything.
  const IBitmap background = Load(graphics, kBackgroundImage);
  graphics->AttachControl(new MorvexPanel(this, &background));

  IBitmap rings[6];
  for (int k = 0; k < 6; ++k)
    rings[k] = Load(graphics, kRingImages[k]);
  const IBitmap freqDisplay = Load(graphics, kFreqDisplayImage);
  const IBitmap depthDisplay = Load(graphics, kDepthDisplayImage);
  const IBitmap lfoDisplay = Load(graphics, kLfoDisplayImage);
  for (int k = 0; k < 6; ++k)
    mRingCtrl[k] = AttachDisplay(graphics, this, kRingX, kRingY, rings[k]);
  mFreqMaskCtrl = AttachDisplay(graphics, this, kDisplayX, kDisplayY, freqDisplay);
  mDepthMaskCtrl = AttachDisplay(graphics, this, kDisplayX, kDisplayY, depthDisplay);
  mLfoMaskCtrl = AttachDisplay(graphics, this, kDisplayX, kDisplayY, lfoDisplay);

  // Attached last, so that it draws over everything; the controls it
  // tells of hold it from the start.
  auto* readout = new MorvexReadout(this, kReadoutBand);
  const IBitmap knob = Load(graphics, kKnobImage);
  const IBitmap stages = Load(graphics, kStagesImage);
  AttachKnob(graphics, this, readout, kMixKnob, knob);
  graphics->AttachControl(new MorvexValueControl<IRadioBitmapControl2D>(
      readout, this, kStagesX, kStagesY, Morvex::kStages, &stages, kStagesHitArea, kStagesPerLine,
      kHorizontal, true));
  for (const KnobPlace& place : kOtherKnobs)
    AttachKnob(graphics, this, readout, place, knob);

  const IBitmap info = Load(graphics, kInfoImage);
  graphics->AttachControl(new IBitmapOverlayControl(this, 0, 0, &info, kInfoTargetArea));
  graphics->AttachControl(readout);
  // The readout follows the pointer over the controls.
  graphics->HandleMouseOver(true);
  return graphics;
}
