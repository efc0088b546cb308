#pragma once

#include "effect/artwork/Paint.h"

// The panel's colours: graphite for everything at rest, one warm amber for
// everything that shows a value.

namespace artwork::palette {

constexpr Colour kPanelTop = Rgb(55, 57, 61);
constexpr Colour kPanelBottom = Rgb(36, 37, 40);
constexpr Colour kTopEdge = Rgb(118, 121, 127);
constexpr Colour kBottomEdge = Rgb(18, 18, 20);
// Recesses cut into the panel, and the light catching their lower lip.
constexpr Colour kGroove = Rgb(20, 21, 23);
constexpr Colour kLip = Rgb(88, 91, 97);

constexpr Colour kLabel = Rgb(184, 187, 192);
constexpr Colour kDimLabel = Rgb(122, 125, 131);
constexpr Colour kTick = Rgb(108, 111, 117);
constexpr Colour kTitle = Rgb(226, 228, 231);

// The accent and its three tints for the sweep displays: base frequency,
// top of the sweep, and the moving LFO position.
constexpr Colour kAmber = Rgb(255, 166, 38);
constexpr Colour kAmberDeep = Rgb(232, 112, 26);
constexpr Colour kAmberPale = Rgb(255, 222, 150);
constexpr Colour kAmberHot = Rgb(255, 196, 84);
constexpr Colour kAmberUnlit = Rgb(96, 62, 24);

// The knob's machined metal.
constexpr Colour kMetalLight = Rgb(146, 149, 156);
constexpr Colour kMetalMid = Rgb(92, 95, 102);
constexpr Colour kMetalDark = Rgb(52, 54, 59);
constexpr Colour kRim = Rgb(24, 25, 28);

constexpr Colour kShadow = Rgb(0, 0, 0);

}  // namespace artwork::palette
