#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/editor/IBitmapControl.h"

class IPopupMenu;
class MorvexReadout;

// The panel behind the controls. A right click on it (away from the
// controls) opens the preset menu: each distinct factory preset once; the
// user's own presets, from the folder `morvex presets` lists (the one loaded
// last is checked, else the current factory preset); "Save as preset…",
// which asks for a name in the one-line field; and "Reset to defaults".
// What is chosen loads through the plug-in, and the host hears of every
// parameter that changed, each in a gesture of its own. What cannot be done
// is said in the readout's place. [UI thread]
class MorvexPanel : public IBitmapControl {
 public:
  MorvexPanel(IPlugBase* plug, const IBitmap* background, MorvexReadout* readout);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The preset menu as it stands, and what each of its entries does (one
  // action for each entry, separators too).
  void FillPresetMenu(IPopupMenu* menu, std::vector<std::function<void()>>* actions);
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
  // The user preset loaded last, checked in the menu while the plug-in's
  // current preset is still the one it was then (a host's program change
  // makes the factory preset current again); empty for none.
  std::string mUserPresetPath;
  int mPresetAtUserLoad = -1;
};
