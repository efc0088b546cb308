// Morvex's own editor, built in-process with its images from the bundle in
// the build tree, driven through the editor core as a window would.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "effect/IRadioBitmapControl2D.h"
#include "effect/Morvex.h"
#include "effect/MorvexPanel.h"
#include "effect/MorvexReadout.h"
#include "framework/au/MakePlug.h"
#include "framework/editor/BitmapStorage.h"
#include "framework/editor/IBitmapOverlayControl.h"
#include "framework/editor/IGraphics.h"
#include "framework/editor/IKnobMultiControl.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/window/gdi/Fonts.h"
#include "raster/LICE_PNGBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_fill.h"
#include "tests/support/TempDir.h"

namespace {

constexpr IMouseMod kLeft(true);

class MorvexEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mPlug.reset(MakePlug());
    mEditor = dynamic_cast<IGraphics*>(mPlug->DemandGUI());
    ASSERT_NE(mEditor, nullptr) << "no editor: are the images in the bundle's Resources?";
    // A window paints the editor before it can be clicked.
    IRECT whole(0, 0, 424, 104);
    mEditor->Draw(&whole);
  }
  // As the host's parameter call does it.
  void Set(int param, double value) {
    mPlug->GetParam(param)->Set(value);
    mEditor->SetParameterFromPlug(param, value, false);
    mPlug->OnParamChange(param);
  }
  double ValueOf(int control) const { return mEditor->GetControl(control)->GetValue(); }
  void Click(int x, int y) {
    mEditor->OnMouseDown(x, y, const_cast<IMouseMod*>(&kLeft));
    mEditor->OnMouseUp(x, y, const_cast<IMouseMod*>(&kLeft));
  }

  std::unique_ptr<IPlugAU> mPlug;
  IGraphics* mEditor = nullptr;
};

// Making the plug-in, as every render does, makes no editor and reads no
// image; a host's first demand builds it, reading the images only for their
// sizes, and the first drawing decodes them. The images are cached for the
// process, so this comes first in its file: no other test has read them yet.
TEST(MorvexEditorImagesTest, MakingThePlugInReadsNoImageAndDrawingDecodesWhatItShows) {
  std::unique_ptr<IPlugAU> plug(MakePlug());
  EXPECT_EQ(plug->GetGUI(), nullptr);
  constexpr int kFirstId = 101, kLastId = 113, kBackgroundId = 101, kKnobId = 102;
  for (int id = kFirstId; id <= kLastId; ++id)
    EXPECT_EQ(s_bitmapCache.Find(id), nullptr) << id;
  auto* editor = dynamic_cast<IGraphics*>(plug->DemandGUI());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(plug->DemandGUI(), editor);
  for (int id = kFirstId; id <= kLastId; ++id) {
    auto* image = dynamic_cast<LICE_PNGBitmap*>(s_bitmapCache.Find(id));
    ASSERT_NE(image, nullptr) << id;
    EXPECT_FALSE(image->isDecoded()) << id;
    EXPECT_GT(image->getWidth(), 0) << id;
  }
  IRECT whole(0, 0, 424, 104);
  editor->Draw(&whole);
  for (int id : {kBackgroundId, kKnobId}) {
    const auto* image = dynamic_cast<LICE_PNGBitmap*>(s_bitmapCache.Find(id));
    EXPECT_TRUE(image->isDecoded()) << id;
    EXPECT_NE(image->getBits(), nullptr) << id;
  }
  // The background covers the editor: what was drawn is its pixels.
  const LICE_IBitmap* background = s_bitmapCache.Find(kBackgroundId);
  EXPECT_EQ(LICE_GetPixel(editor->GetDrawBitmap(), 211, 3), LICE_GetPixel(background, 211, 3));
}

// Making the editor adds the fonts its bundle carries, so its text is drawn
// with them whatever the machine has: adding them again adds nothing.
TEST_F(MorvexEditorTest, TheEditorHasAddedTheFontsItsBundleCarries) {
  const std::string fonts = MORVEX_BUNDLE "/Contents/Resources/fonts";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(fonts)) {
    if (entry.path().extension() != ".ttf") continue;
    ++files;
    EXPECT_EQ(AddFontResourceEx(entry.path().c_str(), FR_PRIVATE, nullptr), 0) << entry.path();
  }
  EXPECT_EQ(files, 4);
  EXPECT_TRUE(std::filesystem::is_regular_file(fonts + "/LICENSE-DejaVu.txt"));
}

TEST_F(MorvexEditorTest, TheLayoutHasItsNineteenControlsInOrder) {
  struct Expected {
    IRECT rect;
    int param;
  };
  const Expected expected[] = {
      {{0, 0, 424, 104}, -1},  // background
      {{18, 43, 68, 93}, -1},   {{18, 43, 68, 93}, -1},   {{18, 43, 68, 93}, -1},
      {{18, 43, 68, 93}, -1},   {{18, 43, 68, 93}, -1},   {{18, 43, 68, 93}, -1},  // rings
      {{323, 38, 413, 48}, -1}, {{323, 38, 413, 48}, -1}, {{323, 38, 413, 48}, -1},
      {{23, 48, 63, 88}, 0},    {{70, 49, 137, 78}, 1},   {{148, 48, 188, 88}, 2},
      {{198, 48, 238, 88}, 3},  {{248, 48, 288, 88}, 4},  {{323, 48, 363, 88}, 5},
      {{373, 48, 413, 88}, 6},  {{0, 0, 424, 104}, -1},  // overlay
      {{0, 88, 424, 102}, -1},                           // readout
  };
  ASSERT_EQ(mEditor->NControls(), 19);
  for (int i = 0; i < 19; ++i) {
    const IControl* control = mEditor->GetControl(i);
    EXPECT_EQ(*control->GetRECT(), expected[i].rect) << "control " << i;
    EXPECT_EQ(control->ParamIdx(), expected[i].param) << "control " << i;
  }
  EXPECT_NE(dynamic_cast<IKnobMultiControl*>(mEditor->GetControl(10)), nullptr);
  EXPECT_NE(dynamic_cast<IRadioBitmapControl2D*>(mEditor->GetControl(11)), nullptr);
  EXPECT_NE(dynamic_cast<IBitmapOverlayControl*>(mEditor->GetControl(17)), nullptr);
  EXPECT_NE(dynamic_cast<MorvexReadout*>(mEditor->GetControl(18)), nullptr);
}

TEST_F(MorvexEditorTest, TheDisplaysFollowTheParametersThroughTheStoredIndices) {
  Set(Morvex::kMix, 0.7);
  Set(Morvex::kStages, 2);
  for (int ring = 0; ring < 6; ++ring)
    EXPECT_EQ(ValueOf(1 + ring), ring == 2 ? 0.7 : 0.0) << "ring " << ring;
  Set(Morvex::kFreq, 0.3);
  Set(Morvex::kDepth, 0.5);
  EXPECT_EQ(ValueOf(7), 0.3);
  EXPECT_DOUBLE_EQ(ValueOf(8), 0.65);

  // A preset delivers Mix before Stages: the ring lit at the end is the
  // preset's own.
  mPlug->RestorePreset(5);  // Hexagon: six stages
  for (int ring = 0; ring < 6; ++ring)
    EXPECT_EQ(ValueOf(1 + ring) > 0.0, ring == 5) << "ring " << ring;
}

TEST_F(MorvexEditorTest, MixAtZeroGreysTheRestWhichThenIgnoreTheMouse) {
  Set(Morvex::kMix, 0.0);
  for (int i = 11; i <= 16; ++i)
    EXPECT_TRUE(mEditor->GetControl(i)->IsGrayed()) << "control " << i;
  const double freq = mPlug->GetParam(Morvex::kFreq)->Value();
  mEditor->OnMouseDown(168, 68, const_cast<IMouseMod*>(&kLeft));
  mEditor->OnMouseDrag(168, 28, const_cast<IMouseMod*>(&kLeft));
  mEditor->OnMouseUp(168, 28, const_cast<IMouseMod*>(&kLeft));
  EXPECT_EQ(mPlug->GetParam(Morvex::kFreq)->Value(), freq);
  Click(100, 60);  // the stage selector
  EXPECT_EQ(mPlug->GetParam(Morvex::kStages)->Value(), 3.0);

  // The Mix knob still turns, and brings the others back.
  mEditor->OnMouseDown(43, 68, const_cast<IMouseMod*>(&kLeft));
  mEditor->OnMouseDrag(43, 28, const_cast<IMouseMod*>(&kLeft));
  mEditor->OnMouseUp(43, 28, const_cast<IMouseMod*>(&kLeft));
  EXPECT_DOUBLE_EQ(mPlug->GetParam(Morvex::kMix)->Value(), 0.25);
  EXPECT_FALSE(mEditor->GetControl(12)->IsGrayed());
}

TEST_F(MorvexEditorTest, TheInformationShowsOnTheNameAndHidesOnTheNextClick) {
  Click(300, 20);  // outside the name: nothing
  EXPECT_EQ(ValueOf(17), 0.0);
  Click(20, 20);
  EXPECT_EQ(ValueOf(17), 1.0);
  IRECT whole(0, 0, 424, 104);
  mEditor->Draw(&whole);  // shown: the whole panel becomes its hit area
  Click(400, 90);
  EXPECT_EQ(ValueOf(17), 0.0);
  EXPECT_EQ(mPlug->GetParam(Morvex::kDepth)->Value(), 1.0);  // the click went nowhere else
}

// The preset menu checks what is loaded: the current factory preset, or the
// user's preset loaded last until a factory preset, a reset or the host's
// program change takes over.
TEST_F(MorvexEditorTest, ThePresetMenuChecksTheFactoryOrUserPresetLoadedLast) {
  const test_support::TempDir data;
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  auto* panel = dynamic_cast<MorvexPanel*>(mEditor->GetControl(0));
  ASSERT_NE(panel, nullptr);
  Set(Morvex::kDepth, 0.25);
  panel->SaveUserPreset("Mine");
  const auto checked = [&] {
    IPopupMenu menu;
    std::vector<std::function<void()>> actions;
    panel->FillPresetMenu(&menu, &actions);
    EXPECT_EQ(static_cast<size_t>(menu.GetNItems()), actions.size());
    std::vector<std::string> names;
    for (int i = 0; i < menu.GetNItems(); ++i)
      if (menu.GetItem(i)->GetChecked()) names.push_back(menu.GetItem(i)->GetText());
    return names;
  };
  const std::string current = mPlug->GetPresetName(mPlug->GetCurrentPresetIdx());
  EXPECT_EQ(checked(), std::vector<std::string>{current});

  panel->LoadUserPreset(data / "morvex/presets/Mine.aupreset");
  EXPECT_EQ(checked(), std::vector<std::string>{"Mine"});
  panel->ResetToDefaults();
  EXPECT_EQ(checked(), std::vector<std::string>{current});

  panel->LoadUserPreset(data / "morvex/presets/Mine.aupreset");
  panel->LoadPreset(5);
  EXPECT_EQ(checked(), std::vector<std::string>{mPlug->GetPresetName(5)});

  panel->LoadUserPreset(data / "morvex/presets/Mine.aupreset");
  mPlug->RestorePreset(3);  // as a host's program change does
  EXPECT_EQ(checked(), std::vector<std::string>{mPlug->GetPresetName(3)});
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
