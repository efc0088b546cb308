#include "effect/MorvexPanel.h"

#include <vector>

#include "framework/editor/IGraphics.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/plugin/IParam.h"
#include "framework/plugin/IPlugBase.h"

MorvexPanel::MorvexPanel(IPlugBase* plug, const IBitmap* background)
    : IBitmapControl(plug, 0, 0, -1, background, IChannelBlend::kBlendCopy) {}

void MorvexPanel::OnMouseDown(int x, int y, IMouseMod* mod) {
  IGraphics* graphics = GetGUI();
  if (!mod || !mod->R || !graphics) return;
  IPopupMenu menu;
  std::vector<int> presetOf;  // the preset each entry loads; -1 for reset
  for (int i = 0; i < mPlug->NPresets(); ++i) {
    if (mPlug->PresetRepeats(i)) continue;
    const bool current = i == mPlug->GetCurrentPresetIdx();
    menu.AddItem(mPlug->GetPresetName(i), -1,
                 current ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
    presetOf.push_back(i);
  }
  menu.AddSeparator();
  presetOf.push_back(-1);
  menu.AddItem("Reset to defaults");
  presetOf.push_back(-1);
  IRECT at(x, y, x + 1, y);
  IPopupMenu* chosen = graphics->CreateIPopupMenu(&menu, &at);
  if (!chosen) return;
  const int item = chosen->GetChosenItemIdx();
  if (item < 0 || item >= static_cast<int>(presetOf.size())) return;
  if (item == static_cast<int>(presetOf.size()) - 1) {
    ResetToDefaults();
  } else if (presetOf[static_cast<size_t>(item)] >= 0) {
    LoadPreset(presetOf[static_cast<size_t>(item)]);
  }
}

void MorvexPanel::LoadPreset(int presetIdx) {
  std::vector<double> before;
  for (int i = 0; i < mPlug->NParams(); ++i) {
    const IParam* param = mPlug->GetParam(i);
    before.push_back(param ? param->Value() : 0.0);
  }
  if (!mPlug->RestorePreset(presetIdx)) return;
  for (int i = 0; i < mPlug->NParams(); ++i) {
    const IParam* param = mPlug->GetParam(i);
    if (!param || param->Value() == before[static_cast<size_t>(i)]) continue;
    mPlug->BeginInformHostOfParamChange(i);
    mPlug->InformHostOfParamChange(i, param->GetNormalized());
    mPlug->EndInformHostOfParamChange(i);
  }
  mPlug->InformHostOfProgramChange();
}

void MorvexPanel::ResetToDefaults() {
  IGraphics* graphics = GetGUI();
  for (int i = 0; i < mPlug->NParams(); ++i) {
    const IParam* param = mPlug->GetParam(i);
    if (!param || param->Value() == param->GetDefault()) continue;
    const double normalized = param->GetNormalized(param->GetDefault());
    mPlug->BeginInformHostOfParamChange(i);
    mPlug->SetParameterFromGUI(i, normalized);
    if (graphics) graphics->SetParameterFromPlug(i, normalized, true);
    mPlug->EndInformHostOfParamChange(i);
  }
}
