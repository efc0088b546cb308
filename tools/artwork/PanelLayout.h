#pragma once

// Where the editor puts each image, and the sizes the artwork is drawn at.
// Positions are fixed by the effect's editor layout; sizes are ours, chosen
// to fit it.

namespace artwork {

constexpr int kPanelWidth = 424;
constexpr int kPanelHeight = 104;

struct Spot {
  int x, y;
};

// Knobs: 40 x 40 frames, 50 pixels apart in the middle group.
constexpr int kKnobSize = 40;
constexpr int kKnobFrames = 128;
constexpr Spot kMixKnob = {23, 48};
constexpr Spot kFreqKnob = {148, 48};
constexpr Spot kFeedbackKnob = {198, 48};
constexpr Spot kSpreadKnob = {248, 48};
constexpr Spot kRateKnob = {323, 48};
constexpr Spot kDepthKnob = {373, 48};
// The knob face's radius within its frame, and the pointer's travel: 300
// degrees, from 150 degrees left of straight up to 150 degrees right.
constexpr float kKnobRadius = 14.5f;
constexpr float kKnobSweep = 300.0f * 3.14159265f / 180.0f;
constexpr float kKnobStartAngle = -0.5f * kKnobSweep;

// The pointer's angle in frame `frame` (0-based) of a strip of `frames`.
constexpr float KnobAngle(int frame, int frames) {
  return kKnobStartAngle + kKnobSweep * static_cast<float>(frame) / static_cast<float>(frames - 1);
}

// The Mix rings: 5 pixels beyond the Mix knob on every side.
constexpr int kRingSize = 50;
constexpr int kRingFrames = 128;
constexpr int kRingCount = 6;
constexpr Spot kRing = {18, 43};
constexpr float kRingRadius = 21.5f;

// The three sweep displays: one thin frequency scale above the Rate and
// Depth knobs, 10 pixels tall so it ends where the knobs begin.
constexpr int kDisplayWidth = 90;
constexpr int kDisplayHeight = 10;
constexpr int kDisplayFrames = 79;
constexpr Spot kDisplay = {323, 38};
// The scale runs between these columns (continuous coordinates).
constexpr float kScaleStart = 4.5f;
constexpr float kScaleEnd = 85.5f;
constexpr float kScaleRow = 5.0f;

// Where position p (0 to 1) lies along the scale.
constexpr float ScaleX(float p) {
  return kScaleStart + (kScaleEnd - kScaleStart) * p;
}

// The stage selector: its frames fill the hit area, a 3 x 2 grid whose cell
// edges follow the selector's value law.
constexpr int kSelectorWidth = 67;
constexpr int kSelectorHeight = 29;
constexpr int kSelectorFrames = 6;
constexpr Spot kSelector = {70, 49};
constexpr int kSelectorColumnEdges[4] = {0, 23, 45, 67};
constexpr int kSelectorRowEdges[3] = {0, 15, 29};

// The overlay's click area, where the background sets the product name.
constexpr int kNameLeft = 17;
constexpr int kNameTop = 12;
constexpr int kNameRight = 135;
constexpr int kNameBottom = 32;

// A control's rectangle and the label the background sets under it.
struct LabelledControl {
  const char* label;
  int x, y, w, h;
};

constexpr LabelledControl kLabelledControls[] = {
    {"MIX", kMixKnob.x, kMixKnob.y, kKnobSize, kKnobSize},
    {"STAGES", kSelector.x, kSelector.y, kSelectorWidth, kSelectorHeight},
    {"FREQ", kFreqKnob.x, kFreqKnob.y, kKnobSize, kKnobSize},
    {"FEEDBACK", kFeedbackKnob.x, kFeedbackKnob.y, kKnobSize, kKnobSize},
    {"SPREAD", kSpreadKnob.x, kSpreadKnob.y, kKnobSize, kKnobSize},
    {"RATE", kRateKnob.x, kRateKnob.y, kKnobSize, kKnobSize},
    {"DEPTH", kDepthKnob.x, kDepthKnob.y, kKnobSize, kKnobSize},
};

// The row every label's capitals end on.
constexpr int kLabelBaseline = 97;

}  // namespace artwork
