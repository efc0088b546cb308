#include "effect/MorvexPanel.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "effect/MorvexIdentity.h"
#include "effect/MorvexReadout.h"
#include "framework/au/SavedState.h"
#include "framework/au/UserPresets.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/plugin/IParam.h"
#include "framework/plugin/IPlugBase.h"

namespace {

constexpr SavedStateIdentity kIdentity = {static_cast<SInt32>(kMorvexType),
                                          static_cast<SInt32>(kMorvexSubtype),
                                          static_cast<SInt32>(kMorvexManufacturerID)};
constexpr int kNameFieldWidth = 200;

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && !b[i];
}

std::string NameFaultText(UserPresetNameFault fault) {
  switch (fault) {
    case UserPresetNameFault::kSlash:
      return "a preset name may not contain '/'";
    case UserPresetNameFault::kLeadingDot:
      return "a preset name may not start with '.'";
    case UserPresetNameFault::kControlCharacter:
      return "a preset name may not contain control characters";
    case UserPresetNameFault::kNotUtf8:
      return "a preset name must be UTF-8 text";
    case UserPresetNameFault::kTooLong:
      return "a preset name may be at most " + std::to_string(kMaxUserPresetNameBytes) +
             " bytes long";
    case UserPresetNameFault::kNone:
      break;
  }
  return "";
}

}  // namespace

MorvexPanel::MorvexPanel(IPlugBase* plug, const IBitmap* background, MorvexReadout* readout)
    : IBitmapControl(plug, 0, 0, -1, background, IChannelBlend::kBlendCopy), mReadout(readout) {}

void MorvexPanel::OnMouseDown(int x, int y, IMouseMod* mod) {
  IGraphics* graphics = GetGUI();
  if (!mod || !mod->R || !graphics) return;
  IPopupMenu menu;
  std::vector<std::function<void()>> actions;
  FillPresetMenu(&menu, &actions);
  IRECT at(x, y, x + 1, y);
  IPopupMenu* chosen = graphics->CreateIPopupMenu(&menu, &at);
  if (!chosen) return;
  const int item = chosen->GetChosenItemIdx();
  if (item >= 0 && item < static_cast<int>(actions.size())) actions[static_cast<size_t>(item)]();
}

void MorvexPanel::FillPresetMenu(IPopupMenu* menu, std::vector<std::function<void()>>* actions) {
  const auto add = [&](const char* text, bool checked, std::function<void()> action) {
    menu->AddItem(text, -1, checked ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
    actions->push_back(std::move(action));
  };
  const auto separate = [&] {
    menu->AddSeparator();
    actions->push_back([] {});
  };
  if (mPresetAtUserLoad != mPlug->GetCurrentPresetIdx()) mUserPresetPath.clear();
  for (int i = 0; i < mPlug->NPresets(); ++i) {
    if (mPlug->PresetRepeats(i)) continue;
    const bool current = mUserPresetPath.empty() && i == mPlug->GetCurrentPresetIdx();
    add(mPlug->GetPresetName(i), current, [this, i] { LoadPreset(i); });
  }
  separate();
  // A folder that cannot be read lists nothing, saving then says why; a
  // FIFO or a folder of a preset's name is passed over.
  std::vector<UserPresetFile> user;
  ListUserPresets(UserPresetFolder(kMorvexUserDataFolder), &user);
  user.erase(std::remove_if(user.begin(), user.end(),
                            [](const UserPresetFile& preset) { return !preset.regular; }),
             user.end());
  for (const UserPresetFile& preset : user)
    add(preset.name.c_str(), preset.path == mUserPresetPath,
        [this, preset] { LoadUserPreset(preset.path); });
  if (!user.empty()) separate();
  add("Save as preset\xE2\x80\xA6", false, [this] {
    mReadout->OpenTextField(this, (mRECT.L + mRECT.R) / 2, (mRECT.T + mRECT.B) / 2, kNameFieldWidth,
                            "");
  });
  add("Reset to defaults", false, [this] { ResetToDefaults(); });
}

void MorvexPanel::TextFromTextEntry(const char* text) {
  if (text && *text) SaveUserPreset(text);
}

bool MorvexPanel::LoadTellingHost(const std::function<bool()>& load) {
  std::vector<double> before;
  for (int i = 0; i < mPlug->NParams(); ++i) {
    const IParam* param = mPlug->GetParam(i);
    before.push_back(param ? param->Value() : 0.0);
  }
  if (!load()) return false;
  for (int i = 0; i < mPlug->NParams(); ++i) {
    const IParam* param = mPlug->GetParam(i);
    if (!param || param->Value() == before[static_cast<size_t>(i)]) continue;
    mPlug->BeginInformHostOfParamChange(i);
    mPlug->InformHostOfParamChange(i, param->GetNormalized());
    mPlug->EndInformHostOfParamChange(i);
  }
  return true;
}

void MorvexPanel::LoadPreset(int presetIdx) {
  if (!LoadTellingHost([&] { return mPlug->RestorePreset(presetIdx); })) return;
  mUserPresetPath.clear();
  mPlug->InformHostOfProgramChange();
}

void MorvexPanel::LoadUserPreset(const std::string& path) {
  std::string problem;
  CFDictionaryRef state = CreateSavedStateFromUserPreset(path, &problem);
  const bool loaded =
      state && LoadTellingHost([&] { return RestoreSavedState(mPlug, kIdentity, state); });
  if (state) CFRelease(state);
  if (loaded) {
    mUserPresetPath = path;
    mPresetAtUserLoad = mPlug->GetCurrentPresetIdx();
    return;
  }
  mReadout->Say("not loaded: " + (problem.empty() ? "not a state of Morvex" : problem));
}

void MorvexPanel::SaveUserPreset(const std::string& name) {
  const UserPresetNameFault fault = FaultInUserPresetName(name);
  if (fault != UserPresetNameFault::kNone) {
    mReadout->Say("not saved: " + NameFaultText(fault));
    return;
  }
  const int factory = FactoryPresetNamed(name);
  if (factory >= 0) {
    // Loading by that name would always find the factory preset.
    mReadout->Say("not saved: " + name + " names the factory preset " + std::to_string(factory) +
                  " " + mPlug->GetPresetName(factory));
    return;
  }
  const std::string folder = UserPresetFolder(kMorvexUserDataFolder);
  if (folder.empty()) {
    mReadout->Say("not saved: " + NoUserPresetFolderReason());
    return;
  }
  std::string problem = "out of memory";
  CFMutableDictionaryRef state = CreateSavedState(mPlug, kIdentity, name.c_str());
  const bool saved = state && WriteUserPreset(UserPresetPath(folder, name), state, &problem);
  if (state) CFRelease(state);
  mReadout->Say(saved ? "saved as " + name : "not saved: " + problem);
}

int MorvexPanel::FactoryPresetNamed(const std::string& name) const {
  const bool number = name.find_first_not_of("0123456789") == std::string::npos;
  for (int i = 0; i < mPlug->NPresets(); ++i) {
    if (number ? std::to_string(i) == name : EqualsIgnoringCase(name, mPlug->GetPresetName(i)))
      return i;
  }
  return -1;
}

void MorvexPanel::ResetToDefaults() {
  mUserPresetPath.clear();
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
