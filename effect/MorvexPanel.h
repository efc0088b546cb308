#pragma once

#include "framework/editor/IBitmapControl.h"

// The panel behind the controls. A right click on it (away from the
// controls) opens the preset menu: each distinct factory preset once, the
// current one checked, then "Reset to defaults". What is chosen loads
// through the plug-in, and the host hears of every parameter that changed,
// each in a gesture of its own. [UI thread]
class MorvexPanel : public IBitmapControl {
 public:
  MorvexPanel(IPlugBase* plug, const IBitmap* background);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  // What the menu's entries do.
  void LoadPreset(int presetIdx);
  void ResetToDefaults();
};
