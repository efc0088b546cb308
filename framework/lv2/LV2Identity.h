#pragma once

// How a plug-in family presents itself to LV2 hosts, declared once by the
// effect's entry and read by the descriptors, the state and the Turtle
// writer. Every URI of the family is built from mURI: "<mURI>:stereo" and
// "<mURI>:mono" for the plug-ins, "<mURI>:ui" for the user interface,
// "<mURI>:preset:<n>" for factory preset n (from 1) and "<mURI>:state" for
// the saved parameter chunk. They are stable: hosts store them in sessions.
// Labels for the values of an integer parameter, from its minimum up: the
// host shows them as an enumeration.
struct LV2ScalePoints {
  int mParamIdx;
  const char* const* mLabels;
  int mNumLabels;
};

struct LV2Identity {
  const char* mURI;
  // A URI naming the licence.
  const char* mLicense;
  // The file names inside the bundle of the plug-in's shared library and of
  // the user interface's, which alone loads the editor's libraries.
  const char* mBinary;
  const char* mUIBinary;
  const LV2ScalePoints* mScalePoints;
  int mNumScalePoints;
};
