#pragma once

// A value the effect computes while it processes (a meter, a sweep
// position) and shows in its editor, described for hosts that carry it
// from the audio to a separate editor instance.
struct IDisplayOutput {
  const char* mSymbol;  // a C identifier, stable across versions
  const char* mName;
  double mMin;
  double mMax;
};
