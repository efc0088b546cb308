#pragma once

// The channel layouts the LV2 face offers, each as a plug-in of its own: a
// host picks mono or stereo by picking the plug-in. Descriptor index i is
// kLV2Layouts[i]; an effect whose legal layouts lack one refuses to
// instantiate it and the Turtle writer leaves it out.
struct LV2Layout {
  const char* mName;  // the URI suffix and the label's qualifier
  int mChannels;      // audio inputs, and as many outputs
};

inline constexpr LV2Layout kLV2Layouts[] = {{"stereo", 2}, {"mono", 1}};
inline constexpr int kNumLV2Layouts = sizeof kLV2Layouts / sizeof kLV2Layouts[0];
