#pragma once

#include <functional>
#include <string>

#include "framework/editor/IBitmapControl.h"

class MorvexReadout;

// The panel behind the controls. A right click on it (away from the
// controls) opens the preset menu: each distinct factory preset once, the
// current one checked; the user's own presets, from the folder `morvex
// presets` lists; "Save as preset…", which asks for a name in the one-line
// field; and "Reset to defaults". What is chosen loads through the plug-in,
// and the host hears of every parameter that changed, each in a gesture of
// its own. What cannot be done is said in the readout's place. [UI thread]
class MorvexPanel : public IBitmapControl {
 public:
  MorvexPanel(IPlugBase* plug, const IBitmap* background, MorvexReadout* readout);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The name typed for "Save as preset…".
  void TextFromTextEntry(const char* text) override;

  // What the menu's entries do.
  void LoadPreset(int presetIdx);
  void LoadUserPreset(const std::string& path);
  void SaveUserPreset(const std::string& name);
  void ResetToDefaults();

 private:
  // Runs a load, then tells the host of each parameter it changed; false
  // when the load did nothing.
  bool LoadTellingHost(const std::function<bool()>& load);
  // The factory preset a name chooses as `--preset NAME` would (by number
  // or by name, ignoring case); -1 for none.
  int FactoryPresetNamed(const std::string& name) const;

  MorvexReadout* mReadout;
};
