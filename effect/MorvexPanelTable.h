#pragma once

// Morvex's panel described once: its size, the images the editor loads and
// where its controls show them. The editor's layout builds from it, the
// painter (effect/artwork) paints each image to its size, and the bundle
// recipe (effect/CMakeLists.txt) reads the names in kMorvexImages to know
// the files the painter writes. Nothing else may restate these numbers.

inline constexpr int kMorvexPanelWidth = 424;
inline constexpr int kMorvexPanelHeight = 104;

// An image of the bundle, resources/img/<name>.png: `frames` frames of
// width x frameHeight stacked top to bottom.
struct MorvexImage {
  const char* name;
  int id;  // the editor's resource ID
  int frames;
  int width, frameHeight;
};

// In the order the editor loads them. The six rings, one per stage
// setting, follow the background.
inline constexpr MorvexImage kMorvexImages[] = {
    {"bg", 101, 1, kMorvexPanelWidth, kMorvexPanelHeight},
    {"knob_rot_1", 104, 128, 50, 50},
    {"knob_rot_2", 105, 128, 50, 50},
    {"knob_rot_3", 106, 128, 50, 50},
    {"knob_rot_4", 107, 128, 50, 50},
    {"knob_rot_5", 108, 128, 50, 50},
    {"knob_rot_6", 109, 128, 50, 50},
    {"freq__mask", 110, 79, 90, 10},
    {"depth__mask", 111, 79, 90, 10},
    {"lfo__mask", 112, 79, 90, 10},
    {"knob", 102, 128, 40, 40},
    {"stages", 103, 6, 67, 29},
    {"info", 113, 1, kMorvexPanelWidth, kMorvexPanelHeight},
};
inline constexpr int kMorvexImageCount = sizeof kMorvexImages / sizeof kMorvexImages[0];
inline constexpr int kMorvexRingCount = 6;
inline constexpr int kMorvexFirstRing = 1;

// A control's top-left corner on the panel.
struct MorvexSpot {
  int x, y;
};

// The rings lie 5 pixels beyond the Mix knob on every side; the three sweep
// displays end where the Rate and Depth knobs begin.
inline constexpr MorvexSpot kMorvexRingSpot = {18, 43};
inline constexpr MorvexSpot kMorvexDisplaySpot = {323, 38};

// The controls of the seven parameters, by parameter index, with the label
// the background sets under each.
struct MorvexControlPlace {
  const char* label;
  const char* image;
  MorvexSpot spot;
};
inline constexpr MorvexControlPlace kMorvexControls[] = {
    {"MIX", "knob", {23, 48}},       {"STAGES", "stages", {70, 49}}, {"FREQ", "knob", {148, 48}},
    {"FEEDBACK", "knob", {198, 48}}, {"SPREAD", "knob", {248, 48}},  {"RATE", "knob", {323, 48}},
    {"DEPTH", "knob", {373, 48}},
};

// The information overlay's click area, where the background sets the
// product's name.
struct MorvexArea {
  int left, top, right, bottom;
};
inline constexpr MorvexArea kMorvexNameArea = {17, 12, 135, 32};

constexpr bool MorvexSameName(const char* a, const char* b) {
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

constexpr int MorvexImageIndex(const char* name) {
  int i = 0;
  while (i < kMorvexImageCount && !MorvexSameName(kMorvexImages[i].name, name))
    ++i;
  return i;
}

// The image of that name; a name the table lacks fails to compile where the
// lookup is a constant.
constexpr const MorvexImage& MorvexImageNamed(const char* name) {
  return kMorvexImages[MorvexImageIndex(name)];
}

static_assert(MorvexSameName(kMorvexImages[kMorvexFirstRing].name, "knob_rot_1") &&
                  MorvexSameName(kMorvexImages[kMorvexFirstRing + kMorvexRingCount - 1].name,
                                 "knob_rot_6"),
              "the rings are the six images after the background");

constexpr bool MorvexControlImagesKnown() {
  for (const MorvexControlPlace& control : kMorvexControls) {
    if (MorvexImageIndex(control.image) == kMorvexImageCount) return false;
  }
  return true;
}
static_assert(MorvexControlImagesKnown(), "every control shows an image of the table");
