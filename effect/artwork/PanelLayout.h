#pragma once

// The panel's table seen from the painter, under the painter's names, and
// the shapes it draws within each image.

#include "effect/MorvexPanelTable.h"

namespace artwork {

constexpr int kPanelWidth = kMorvexPanelWidth;
constexpr int kPanelHeight = kMorvexPanelHeight;

using Spot = MorvexSpot;

// Knobs: square frames, 50 pixels apart in the middle group.
constexpr int kKnobSize = MorvexImageNamed("knob").width;
constexpr int kKnobFrames = MorvexImageNamed("knob").frames;
constexpr Spot kMixKnob = kMorvexControls[0].spot;
constexpr Spot kFreqKnob = kMorvexControls[2].spot;
constexpr Spot kFeedbackKnob = kMorvexControls[3].spot;
constexpr Spot kSpreadKnob = kMorvexControls[4].spot;
constexpr Spot kRateKnob = kMorvexControls[5].spot;
constexpr Spot kDepthKnob = kMorvexControls[6].spot;
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
constexpr int kRingSize = kMorvexImages[kMorvexFirstRing].width;
constexpr int kRingFrames = kMorvexImages[kMorvexFirstRing].frames;
constexpr int kRingCount = kMorvexRingCount;
constexpr Spot kRing = kMorvexRingSpot;
constexpr float kRingRadius = 21.5f;

// The three sweep displays: one thin frequency scale above the Rate and
// Depth knobs, 10 pixels tall so it ends where the knobs begin.
constexpr int kDisplayWidth = MorvexImageNamed("freq__mask").width;
constexpr int kDisplayHeight = MorvexImageNamed("freq__mask").frameHeight;
constexpr int kDisplayFrames = MorvexImageNamed("freq__mask").frames;
constexpr Spot kDisplay = kMorvexDisplaySpot;
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
constexpr int kSelectorWidth = MorvexImageNamed("stages").width;
constexpr int kSelectorHeight = MorvexImageNamed("stages").frameHeight;
constexpr int kSelectorFrames = MorvexImageNamed("stages").frames;
constexpr Spot kSelector = kMorvexControls[1].spot;
constexpr int kSelectorColumnEdges[4] = {0, 23, 45, 67};
constexpr int kSelectorRowEdges[3] = {0, 15, 29};

// The overlay's click area, where the background sets the product name.
constexpr int kNameLeft = kMorvexNameArea.left;
constexpr int kNameTop = kMorvexNameArea.top;
constexpr int kNameRight = kMorvexNameArea.right;
constexpr int kNameBottom = kMorvexNameArea.bottom;

// The row every label's capitals end on.
constexpr int kLabelBaseline = 97;

}  // namespace artwork
