#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "framework/editor/IBitmapOverlayControl.h"
#include "framework/editor/IContactControl.h"
#include "framework/editor/IFaderControl.h"
#include "framework/editor/IInvisibleSwitchControl.h"
#include "framework/editor/IKnobLineControl.h"
#include "framework/editor/IKnobMultiControl.h"
#include "framework/editor/IKnobRotaterControl.h"
#include "framework/editor/IKnobRotatingMaskControl.h"
#include "framework/editor/IRadioButtonsControl.h"
#include "framework/editor/ISwitchControl.h"
#include "framework/editor/ISwitchFramesControl.h"
#include "framework/editor/ISwitchPopUpControl.h"
#include "framework/editor/LiceConversions.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_blit.h"
#include "raster/lice_fill.h"
#include "tests/support/TestPlug.h"

namespace {

constexpr int kW = 200;
constexpr int kH = 140;
constexpr double kPi = 3.14159265358979323846;
constexpr IMouseMod kLeft(true);
constexpr IMouseMod kRight(false, true);
constexpr IMouseMod kShift(true, false, true);
constexpr IMouseMod kControl(true, false, false, true);
constexpr LICE_pixel kBackground = LICE_RGBA(20, 40, 60, 255);
constexpr IColor kInk(255, 250, 240, 10);

using Gestures = std::vector<std::pair<int, int>>;
using Rects = std::vector<IRECT>;

// Distinct opaque colours, one per frame of a strip.
constexpr LICE_pixel Colour(int i) {
  return LICE_RGBA((i * 37 + 11) & 255, (i * 91 + 3) & 255, 255 - (i & 127), 255);
}

// An editor of stock controls over a bitmap background, driven through the
// off-screen view as a window drives it. Bitmaps are built here with raster
// calls, and expected pixels are drawn the same way on a plain bitmap.
class StockControlsTest : public ::testing::Test {
 protected:
  StockControlsTest() {
    IBitmap background = Strip(kW, kH, {kBackground});
    gui->AttachControl(new IBitmapControl(&plug, 0, 0, &background, IChannelBlend::kBlendCopy));
  }
  ~StockControlsTest() override {
    if (plug.GetGUI() != gui) delete gui;
  }

  // Frames of w x h, stacked, frame i filled with colours[i].
  IBitmap Strip(int w, int h, const std::vector<LICE_pixel>& colours) {
    const int n = static_cast<int>(colours.size());
    bitmaps.push_back(std::make_unique<LICE_MemBitmap>(w, h * n));
    for (int i = 0; i < n; ++i)
      LICE_FillRect(bitmaps.back().get(), 0, i * h, w, h, colours[i], 1.0f, 0);
    return IBitmap(bitmaps.back().get(), w, h * n, n);
  }
  std::vector<LICE_pixel> Colours(int n) {
    std::vector<LICE_pixel> colours;
    for (int i = 0; i < n; ++i)
      colours.push_back(Colour(i));
    return colours;
  }
  template <class T>
  T* Add(T* control) {
    EXPECT_GE(gui->AttachControl(control), 0);
    return control;
  }
  int IndexOf(const IControl* control) const {
    for (int i = 0; i < gui->NControls(); ++i) {
      if (gui->GetControl(i) == control) return i;
    }
    return -1;
  }
  void Open() {
    plug.AttachGraphics(gui);
    gui->OpenWindow(nullptr);
    Settle();
  }
  void Settle() {
    while (gui->Tick()) {
    }
  }
  void Click(int x, int y, IMouseMod mod = kLeft) {
    gui->MouseDown(x, y, mod);
    gui->MouseUp(x, y, mod);
  }
  void DoubleClick(int x, int y) {
    gui->MouseDown(x, y, kLeft, 2);
    gui->MouseUp(x, y);
  }
  double Param(int idx) { return plug.GetParam(idx)->Value(); }

  // The editor as it looks with nothing but the background.
  std::unique_ptr<LICE_MemBitmap> Expected() {
    auto expected = std::make_unique<LICE_MemBitmap>(kW, kH);
    LICE_FillRect(expected.get(), 0, 0, kW, kH, kBackground, 1.0f, 0);
    return expected;
  }
  static void Fill(LICE_IBitmap* bitmap, const IRECT& r, LICE_pixel colour) {
    LICE_FillRect(bitmap, r.L, r.T, r.W(), r.H(), colour, 1.0f, 0);
  }
  // Pixels of the screen that differ from the expected bitmap.
  int Mismatches(const LICE_IBitmap& expected) const {
    const LICE_IBitmap* screen = gui->Screen();
    if (!screen) return -1;
    int wrong = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x)
        wrong += screen->getBits()[y * screen->getRowSpan() + x] !=
                 expected.getBits()[y * expected.getRowSpan() + x];
    }
    return wrong;
  }
  // Pixels of the screen inside r that are not the colour.
  int NotColoured(const IRECT& r, LICE_pixel colour) const {
    auto expected = std::make_unique<LICE_MemBitmap>(kW, kH);
    LICE_Copy(expected.get(), gui->Screen());
    Fill(expected.get(), r, colour);
    return Mismatches(*expected);
  }

  // Declared first so that the pixels outlive the editor.
  std::vector<std::unique_ptr<LICE_MemBitmap>> bitmaps;
  TestPlug plug;
  IGraphicsOffscreen* gui = new IGraphicsOffscreen(&plug, kW, kH);
};

TEST_F(StockControlsTest, KnobsMoveByTheGearedDragLawClampAndComeStraightBack) {
  // 40 pixels high, gearing 4: a drag over its height is a quarter of the
  // range. Gain starts at 0.5.
  auto* knob = Add(new IKnobLineControl(&plug, IRECT(10, 10, 50, 50), TestPlug::kGain, &kInk, 0, 0,
                                        -2, 2, kVertical, 4.0));
  auto* wide = Add(new IKnobLineControl(&plug, IRECT(60, 10, 110, 30), -1, &kInk, 0, 0, -2, 2,
                                        kHorizontal, 2.0));
  Open();

  gui->MouseDown(30, 30);
  gui->MouseDrag(30, -10);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(Param(TestPlug::kGain), 0.75);
  gui->MouseDrag(30, -50, kShift);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.775);
  gui->MouseDrag(30, -10, kControl);  // down again, finely
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75);
  gui->MouseDrag(30, -11);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75 + 1.0 / 160);
  gui->MouseDrag(30, -500);
  EXPECT_EQ(knob->GetValue(), 1.0);
  gui->MouseDrag(30, -499);  // one pixel back moves it at once
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0 - 1.0 / 160);
  gui->MouseDrag(30, 2000);
  EXPECT_EQ(knob->GetValue(), 0.0);
  gui->MouseDrag(30, 1999);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0 / 160);
  gui->MouseUp(30, 1999);
  EXPECT_DOUBLE_EQ(Param(TestPlug::kGain), 1.0 / 160);
  EXPECT_EQ(plug.gestures, (Gestures{{TestPlug::kGain, +1}, {TestPlug::kGain, -1}}));

  // Across: 50 pixels wide with gearing 2, so its width is half the range;
  // vertical movement does nothing.
  gui->MouseDown(70, 20);
  gui->MouseDrag(120, 20);
  EXPECT_DOUBLE_EQ(wide->GetValue(), 0.5);
  gui->MouseDrag(120, 90);
  EXPECT_DOUBLE_EQ(wide->GetValue(), 0.5);
  gui->MouseDrag(110, 90);
  EXPECT_DOUBLE_EQ(wide->GetValue(), 0.4);
  gui->MouseDrag(111, 90, kShift);
  EXPECT_DOUBLE_EQ(wide->GetValue(), 0.401);
  gui->MouseUp(111, 90);

  // The wheel: 0.01 a step, 0.001 with control or shift, clamped.
  gui->MouseWheel(30, 30, 3);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0 / 160 + 0.03);
  gui->MouseWheel(30, 30, -2, IMouseMod(false, false, false, true));
  gui->MouseWheel(30, 30, 5, IMouseMod(false, false, true));
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0 / 160 + 0.033);
  gui->MouseWheel(30, 30, -100);
  EXPECT_EQ(knob->GetValue(), 0.0);
  gui->MouseWheel(80, 20, 1000);
  EXPECT_EQ(wide->GetValue(), 1.0);
}

TEST_F(StockControlsTest, DoubleClickRestoresTheFirstPlugInValueOnlyOnceThereIsOne) {
  auto* bound = Add(new IKnobLineControl(&plug, IRECT(10, 10, 50, 50), TestPlug::kGain, &kInk));
  auto* unbound = Add(new IKnobLineControl(&plug, IRECT(60, 10, 100, 50), -1, &kInk));
  Open();
  gui->SetParameterFromPlug(TestPlug::kGain, 0.9, true);  // later values are no default
  gui->MouseDown(30, 30);
  gui->MouseDrag(30, 20);
  gui->MouseUp(30, 20);
  ASSERT_NE(bound->GetValue(), 0.5);

  DoubleClick(30, 30);
  EXPECT_EQ(bound->GetValue(), 0.5);
  EXPECT_EQ(Param(TestPlug::kGain), 0.5);

  gui->MouseWheel(80, 30, 5);
  DoubleClick(80, 30);
  EXPECT_DOUBLE_EQ(unbound->GetValue(), 0.05);
  EXPECT_LT(unbound->GetDefaultValue(), 0.0);
}

TEST_F(StockControlsTest, SwitchesStepThroughTheirFramesWrapAndShowTheFrame) {
  const IBitmap one = Strip(8, 8, Colours(1));
  const IBitmap two = Strip(8, 8, Colours(2));
  const IBitmap three = Strip(8, 8, Colours(3));
  auto* toggle = Add(new ISwitchControl(&plug, 10, 10, -1, &two));
  auto* stepper = Add(new ISwitchControl(&plug, 30, 10, -1, &three));
  auto* single = Add(new ISwitchControl(&plug, 50, 10, -1, &one));
  auto* power = Add(new ISwitchControl(&plug, 70, 10, TestPlug::kOn, &two));
  auto* contact = Add(new IContactControl(&plug, 90, 10, -1, &two));
  Open();

  std::vector<double> toggled, stepped, singled;
  for (int i = 0; i < 3; ++i) {
    Click(12, 12);
    Click(32, 12);
    Click(52, 12);
    toggled.push_back(toggle->GetValue());
    stepped.push_back(stepper->GetValue());
    singled.push_back(single->GetValue());
  }
  EXPECT_EQ(toggled, (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_EQ(stepped, (std::vector<double>{0.5, 1.0, 0.0}));
  EXPECT_EQ(singled, (std::vector<double>{1.0, 0.0, 1.0}));
  DoubleClick(32, 12);  // counts as a click
  EXPECT_EQ(stepper->GetValue(), 0.5);

  Click(72, 12);  // "On" starts on
  EXPECT_EQ(power->GetValue(), 0.0);
  EXPECT_FALSE(plug.GetParam(TestPlug::kOn)->Bool());

  Settle();
  EXPECT_EQ(NotColoured(IRECT(10, 10, 18, 18), Colour(1)), 0);
  EXPECT_EQ(NotColoured(IRECT(30, 10, 38, 18), Colour(1)), 0);
  EXPECT_EQ(NotColoured(IRECT(70, 10, 78, 18), Colour(0)), 0);

  // The contact is held on while pressed and released wherever the button
  // comes up.
  gui->MouseDown(92, 12);
  EXPECT_EQ(contact->GetValue(), 1.0);
  Settle();
  EXPECT_EQ(NotColoured(IRECT(90, 10, 98, 18), Colour(1)), 0);
  gui->MouseUp(150, 100);
  EXPECT_EQ(contact->GetValue(), 0.0);
  Settle();
  EXPECT_EQ(NotColoured(IRECT(90, 10, 98, 18), Colour(0)), 0);
}

TEST_F(StockControlsTest, SwitchFramesPickTheStateUnderThePointer) {
  const IBitmap three = Strip(30, 12, Colours(3));
  // Side by side: three areas 10 wide. Stacked: three areas 4 high.
  auto* across = Add(new ISwitchFramesControl(&plug, 10, 40, TestPlug::kGain, &three, true));
  auto* down = Add(new ISwitchFramesControl(&plug, 50, 40, -1, &three, false));
  Open();
  ASSERT_EQ(across->NClickAreas(), 3);
  EXPECT_EQ(*across->GetClickRECT(1), IRECT(20, 40, 30, 52));
  EXPECT_EQ(*down->GetClickRECT(2), IRECT(50, 48, 80, 52));

  std::vector<double> picked;
  for (int x : {35, 15, 25, 29, 20}) {
    Click(x, 45);
    picked.push_back(across->GetValue());
  }
  EXPECT_EQ(picked, (std::vector<double>{1.0, 0.0, 0.5, 0.5, 0.5}));
  EXPECT_EQ(Param(TestPlug::kGain), 0.5);
  DoubleClick(15, 45);  // steps like a switch, whatever area
  EXPECT_EQ(across->GetValue(), 1.0);

  picked.clear();
  for (int y : {50, 44, 40, 47}) {
    Click(60, y);
    picked.push_back(down->GetValue());
  }
  EXPECT_EQ(picked, (std::vector<double>{1.0, 0.5, 0.0, 0.5}));
  Settle();
  EXPECT_EQ(NotColoured(IRECT(50, 40, 80, 52), Colour(1)), 0);
}

TEST_F(StockControlsTest, InvisibleSwitchFlipsAtHalfAndTheOverlayTakesClicksOnlyWhereShown) {
  auto* below = Add(new IInvisibleSwitchControl(&plug, IRECT(100, 60, 140, 90), TestPlug::kGain));
  const IBitmap art = Strip(40, 30, {Colour(5)});
  auto* overlay = Add(new IBitmapOverlayControl(&plug, 100, 60, &art, IRECT(100, 60, 110, 65)));
  Open();
  EXPECT_EQ(Mismatches(*Expected()), 0);  // neither draws anything yet

  Click(120, 80);                     // outside the overlay's target area: the switch below
  EXPECT_EQ(below->GetValue(), 0.0);  // from 0.5
  gui->SetParameterFromPlug(TestPlug::kGain, 0.3, true);
  Click(120, 80);
  EXPECT_EQ(below->GetValue(), 1.0);
  EXPECT_EQ(Param(TestPlug::kGain), 1.0);
  EXPECT_EQ(overlay->GetValue(), 0.0);

  Click(105, 62);
  EXPECT_EQ(overlay->GetValue(), 1.0);
  // Not drawn yet, so it still answers only in its target area.
  Click(120, 80);
  EXPECT_EQ(below->GetValue(), 0.0);
  EXPECT_EQ(*overlay->GetTargetRECT(), IRECT(100, 60, 110, 65));

  Settle();
  EXPECT_EQ(*overlay->GetTargetRECT(), IRECT(100, 60, 140, 90));
  auto shown = Expected();
  Fill(shown.get(), IRECT(100, 60, 140, 90), Colour(5));
  EXPECT_EQ(Mismatches(*shown), 0);
  Click(120, 80);  // anywhere on it hides it
  EXPECT_EQ(overlay->GetValue(), 0.0);
  EXPECT_EQ(below->GetValue(), 0.0);
  Settle();
  EXPECT_EQ(Mismatches(*Expected()), 0);
  Click(120, 80);
  EXPECT_EQ(below->GetValue(), 1.0);
}

TEST_F(StockControlsTest, RadioButtonsLayOutInFourWaysAndLightTheNearestButton) {
  // Two frames of 10 x 8: off, on.
  const IBitmap buttons = Strip(10, 8, {Colour(0), Colour(1)});
  auto radio = [&](IRECT r, EDirection direction, bool reverse) {
    return Add(
        new IRadioButtonsControl(&plug, r, TestPlug::kGain, 3, &buttons, direction, reverse));
  };
  // Gaps: (61 - 30) / 2 = 15 across, (40 - 24) / 2 = 8 down; reversed rows
  // start one gap in from the far edge.
  auto* across = radio(IRECT(30, 10, 91, 18), kHorizontal, false);
  auto* acrossBack = radio(IRECT(30, 30, 91, 38), kHorizontal, true);
  auto* down = radio(IRECT(100, 10, 110, 50), kVertical, false);
  auto* up = radio(IRECT(120, 10, 130, 50), kVertical, true);
  const std::vector<std::pair<IRadioButtonsControl*, Rects>> layouts{
      {across, {IRECT(30, 10, 40, 18), IRECT(55, 10, 65, 18), IRECT(80, 10, 90, 18)}},
      {acrossBack, {IRECT(66, 30, 76, 38), IRECT(41, 30, 51, 38), IRECT(16, 30, 26, 38)}},
      {down, {IRECT(100, 10, 110, 18), IRECT(100, 26, 110, 34), IRECT(100, 42, 110, 50)}},
      {up, {IRECT(120, 34, 130, 42), IRECT(120, 18, 130, 26), IRECT(120, 2, 130, 10)}},
  };
  for (const auto& [control, rects] : layouts) {
    Rects laid;
    for (int i = 0; i < control->NButtons(); ++i)
      laid.push_back(*control->GetButtonRECT(i));
    EXPECT_EQ(laid, rects) << IndexOf(control);
  }

  Open();
  gui->SetParameterFromPlug(TestPlug::kGain, 0.49, true);
  Settle();
  auto expected = Expected();
  for (const auto& layout : layouts) {
    for (int i = 0; i < 3; ++i)
      Fill(expected.get(), layout.second[i], Colour(i == 1 ? 1 : 0));
  }
  EXPECT_EQ(Mismatches(*expected), 0);

  Click(85, 14);  // the last button across
  EXPECT_EQ(across->GetValue(), 1.0);
  EXPECT_EQ(Param(TestPlug::kGain), 1.0);
  Click(50, 14);  // between buttons: no change
  EXPECT_EQ(across->GetValue(), 1.0);
  Click(125, 38);  // the first button of the upward column, at the bottom
  EXPECT_EQ(up->GetValue(), 0.0);
  Click(45, 34);
  EXPECT_EQ(acrossBack->GetValue(), 0.5);
  Settle();
  for (int i = 0; i < 3; ++i) {
    Fill(expected.get(), layouts[0].second[i], Colour(i == 2 ? 1 : 0));
    Fill(expected.get(), layouts[3].second[i], Colour(i == 0 ? 1 : 0));
  }
  EXPECT_EQ(Mismatches(*expected), 0);
}

TEST_F(StockControlsTest, FadersCentreTheHandleOnThePointerAndDrawItThere) {
  const LICE_pixel handleColour = Colour(7);
  const IBitmap across = Strip(10, 6, {handleColour});
  const IBitmap upright = Strip(6, 10, {handleColour});
  auto* h = Add(new IFaderControl(&plug, 20, 100, 100, TestPlug::kGain, &across, kHorizontal));
  auto* v = Add(new IFaderControl(&plug, 150, 20, 100, -1, &upright, kVertical));
  auto* grip = Add(new IFaderControl(&plug, 20, 120, 100, -1, &across, kHorizontal, true));
  EXPECT_EQ(*h->GetRECT(), IRECT(20, 100, 120, 106));
  EXPECT_EQ(*v->GetRECT(), IRECT(150, 20, 156, 120));
  Open();

  // 100 long with a 10-pixel handle: 90 pixels of travel from L + 5.
  gui->MouseDown(25, 103);
  EXPECT_EQ(h->GetValue(), 0.0);
  gui->MouseDrag(115, 103);
  EXPECT_EQ(h->GetValue(), 1.0);
  gui->MouseDrag(300, 103);
  EXPECT_EQ(h->GetValue(), 1.0);
  gui->MouseDrag(70, 0);
  EXPECT_EQ(h->GetValue(), 0.5);
  gui->MouseUp(70, 0);
  EXPECT_EQ(Param(TestPlug::kGain), 0.5);
  EXPECT_EQ(h->GetHandleRECT(), IRECT(65, 100, 75, 106));

  std::vector<double> snapped;
  for (int y : {25, 115, 70, 24}) {
    Click(153, y);
    snapped.push_back(v->GetValue());
  }
  EXPECT_EQ(snapped, (std::vector<double>{1.0, 0.0, 0.5, 1.0}));
  EXPECT_EQ(v->GetHandleRECT(0.5), IRECT(150, 65, 156, 75));
  EXPECT_EQ(v->GetHandleRECT(), IRECT(150, 20, 156, 30));

  // Only its handle takes clicks: the track beside it is background.
  Click(60, 123);
  EXPECT_EQ(grip->GetValue(), 0.0);
  gui->MouseDown(25, 123);
  gui->MouseDrag(70, 123);
  gui->MouseUp(70, 123);
  EXPECT_EQ(grip->GetValue(), 0.5);
  Click(25, 123);
  EXPECT_EQ(grip->GetValue(), 0.5);
  gui->MouseWheel(70, 123, 3);
  EXPECT_DOUBLE_EQ(grip->GetValue(), 0.53);
  gui->MouseWheel(70, 123, -30, IMouseMod(false, false, true));
  EXPECT_DOUBLE_EQ(grip->GetValue(), 0.5);

  Settle();
  auto expected = Expected();
  for (const IFaderControl* fader : {h, v, grip})
    Fill(expected.get(), fader->GetHandleRECT(), handleColour);
  EXPECT_EQ(Mismatches(*expected), 0);
  EXPECT_EQ(NotColoured(IRECT(65, 120, 75, 126), handleColour), 0);  // by hand: 0.5 of 90
}

TEST_F(StockControlsTest, KnobsDrawWhatTheEditorOperationDrawsForTheirValue) {
  const IBitmap strip = Strip(6, 4, Colours(128));
  // A rotating image and a masked knob with enough structure that a wrong
  // angle shows.
  IBitmap arrow = Strip(16, 16, {Colour(20)});
  LICE_FillRect(arrow.mData, 6, 0, 4, 9, Colour(21), 1.0f, 0);
  IBitmap base = Strip(16, 16, {Colour(30)});
  LICE_FillRect(base.mData, 0, 8, 16, 8, Colour(31), 1.0f, 0);
  IBitmap mask = Strip(16, 16, {LICE_RGBA(0, 0, 0, 0)});
  LICE_FillRect(mask.mData, 0, 0, 8, 16, LICE_RGBA(0, 0, 0, 255), 1.0f, 0);
  IBitmap top = Strip(16, 16, {LICE_RGBA(0, 0, 0, 0)});
  LICE_FillRect(top.mData, 7, 1, 2, 5, Colour(32), 1.0f, 0);

  auto* line = Add(new IKnobLineControl(&plug, IRECT(10, 10, 50, 50), TestPlug::kGain, &kInk, 5.0,
                                        0.0, -2.0, 2.0));
  auto* multi = Add(new IKnobMultiControl(&plug, 140, 10, TestPlug::kGain, &strip));
  auto* rotater = Add(new IKnobRotaterControl(&plug, 60, 10, TestPlug::kGain, &arrow, 0.0, kPi));
  auto* masked = Add(
      new IKnobRotatingMaskControl(&plug, 90, 10, TestPlug::kGain, &base, &mask, &top, 0.0, 180.0));
  Open();
  // Gain 0.5 is frame 1 + int(0.5 + 63.5) = 65 of 128, and straight up.
  EXPECT_EQ(multi->FrameForValue(), 65);
  EXPECT_EQ(NotColoured(IRECT(140, 10, 146, 14), Colour(64)), 0);
  EXPECT_EQ(gui->Screen()->getBits()[12 * gui->Screen()->getRowSpan() + 30], LiceColor(&kInk));
  EXPECT_EQ(gui->Screen()->getBits()[45 * gui->Screen()->getRowSpan() + 30], kBackground);

  const IChannelBlend copy(IChannelBlend::kBlendCopy), none;
  IBitmap background = Strip(kW, kH, {kBackground});
  auto expect = [&](float lineAngle, double radians, double degrees, int frameIndex) {
    // The same operations on a second editor that has only the background.
    IGraphicsOffscreen reference(nullptr, kW, kH);
    reference.AttachControl(new IBitmapControl(nullptr, 0, 0, &background));
    reference.PrepDraw();
    IRECT all(0, 0, kW, kH);
    reference.Draw(&all);
    reference.DrawRadialLine(&kInk, 30.0f, 30.0f, lineAngle, 5.0f, 20.0f, &copy, true);
    reference.DrawRotatedBitmap(&arrow, 68, 18, radians, 0, &none);
    reference.DrawRotatedMask(&base, &mask, &top, 90, 10, degrees, &none);
    auto pixels = std::make_unique<LICE_MemBitmap>(kW, kH);
    LICE_Copy(pixels.get(), reference.GetDrawBitmap());
    Fill(pixels.get(), IRECT(140, 10, 146, 14), Colour(frameIndex));
    return pixels;
  };
  EXPECT_EQ(Mismatches(*expect(0.0f, 0.5 * kPi, 90.0, 64)), 0);
  const int wrongAngle = Mismatches(*expect(1.0f, 0.75 * kPi, 135.0, 64));
  EXPECT_GT(wrongAngle, 40);  // the comparison can tell the angles apart

  gui->SetParameterFromPlug(TestPlug::kGain, 0.75, true);
  Settle();
  EXPECT_EQ(line->Angle(), 1.0f);
  EXPECT_EQ(rotater->Angle(), 0.75 * kPi);
  EXPECT_EQ(masked->Angle(), 135.0);
  EXPECT_EQ(multi->FrameForValue(), 96);  // 1 + int(0.5 + 95.25)
  EXPECT_EQ(Mismatches(*expect(1.0f, 0.75 * kPi, 135.0, 95)), 0);
}

TEST_F(StockControlsTest, StockControlsPromptOnlyWhenEnabled) {
  const IBitmap two = Strip(10, 8, Colours(2));
  auto* knob = Add(new IKnobMultiControl(&plug, 10, 10, TestPlug::kOn, &two));
  Add(new IKnobLineControl(&plug, IRECT(30, 10, 50, 30), TestPlug::kGain, &kInk));
  Add(new IRadioButtonsControl(&plug, IRECT(60, 10, 100, 18), TestPlug::kOn, 2, &two, kHorizontal));
  Add(new IFaderControl(&plug, 110, 10, 50, TestPlug::kGain, &two, kHorizontal));
  auto* popUp = Add(new ISwitchPopUpControl(&plug, 10, 40, TestPlug::kOn, &two));
  auto* frames = Add(new ISwitchFramesControl(&plug, 30, 40, TestPlug::kOn, &two));
  auto* typed = Add(new ISwitchFramesControl(&plug, 50, 40, TestPlug::kGain, &two));
  Open();

  gui->ScriptMenuPick({0});  // would be taken by any menu that opened
  for (auto [x, y] : {std::pair{15, 12}, {40, 20}, {65, 12}, {120, 12}})
    Click(x, y, kRight);
  Click(12, 42);
  EXPECT_TRUE(gui->LastMenu().empty());
  EXPECT_FALSE(gui->TextEntryOpen());
  EXPECT_EQ(knob->GetValue(), 1.0);
  EXPECT_EQ(popUp->GetValue(), 1.0);
  EXPECT_TRUE(plug.GetParam(TestPlug::kOn)->Bool());

  // Switch-frames prompt: the value menu for a parameter with display
  // texts, picked from the top.
  Click(32, 42, kRight);
  ASSERT_EQ(gui->LastMenu().size(), 1u);
  const auto& entries = gui->LastMenu()[0];
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].label, "off");
  EXPECT_TRUE(entries[1].checked);
  EXPECT_EQ(frames->GetValue(), 0.0);
  EXPECT_FALSE(plug.GetParam(TestPlug::kOn)->Bool());

  // ... and a text field centred on the control for one without.
  Click(52, 42, kRight);
  ASSERT_TRUE(gui->TextEntryOpen());
  EXPECT_EQ(gui->TextEntryRECT(), IRECT(35, 36, 75, 52));
  for (int i = 0; i < 8; ++i)
    gui->PressBackspace();
  EXPECT_TRUE(gui->TypeText("0.25"));
  gui->PressReturn();
  EXPECT_EQ(typed->GetValue(), 0.25);

  // Enabled by the layout, the pop-up switch asks on a plain click.
  popUp->SetPromptDisabled(false);
  gui->ScriptMenuPick({0});
  Click(12, 42);
  ASSERT_EQ(gui->LastMenu().size(), 1u);
  EXPECT_EQ(popUp->GetValue(), 0.0);
}

TEST_F(StockControlsTest, DegenerateGeometryIgnoresGesturesOrGivesZeroNeverNaN) {
  const IBitmap one = Strip(10, 6, {Colour(0)});
  const IBitmap two = Strip(10, 8, Colours(2));
  const IBitmap knobStrip = Strip(4, 4, Colours(4));
  // One button: the gap and the value i / (n - 1) would divide by zero.
  auto* lone =
      Add(new IRadioButtonsControl(&plug, IRECT(10, 10, 30, 18), -1, 1, &two, kHorizontal, true));
  auto* none = Add(new IRadioButtonsControl(&plug, IRECT(10, 20, 30, 28), -1, 0, &two));
  auto* oneFrame = Add(new ISwitchFramesControl(&plug, 40, 10, -1, &one));
  // Faders whose handle fills the track, or overfills it.
  auto* full = Add(new IFaderControl(&plug, 60, 10, 10, TestPlug::kGain, &one, kHorizontal));
  auto* tall = Add(new IFaderControl(&plug, 80, 10, 6, TestPlug::kGain, &one, kVertical));
  auto* over = Add(new IFaderControl(&plug, 100, 10, 4, TestPlug::kGain, &one, kVertical));
  // Knobs with no height, no width, or no gearing, clickable around them.
  auto* flat = Add(new IKnobLineControl(&plug, IRECT(10, 60, 40, 60), TestPlug::kGain, &kInk));
  flat->SetTargetArea(IRECT(10, 50, 40, 70));
  auto* thin = Add(new IKnobLineControl(&plug, IRECT(60, 50, 60, 70), TestPlug::kGain, &kInk, 0, 0,
                                        -2, 2, kHorizontal));
  thin->SetTargetArea(IRECT(50, 50, 70, 70));
  auto* stuck = Add(new IKnobLineControl(&plug, IRECT(80, 50, 100, 70), TestPlug::kGain, &kInk, 0,
                                         0, -2, 2, kVertical, 0.0));
  auto* broken = Add(new IKnobLineControl(&plug, IRECT(110, 50, 130, 70), TestPlug::kGain, &kInk, 0,
                                          0, -2, 2, kVertical, std::nan("")));
  auto* multi = Add(new IKnobMultiControl(&plug, 140, 50, -1, &knobStrip));
  Open();

  EXPECT_EQ(*lone->GetButtonRECT(0), IRECT(20, 10, 30, 18));
  gui->SetControlFromPlug(IndexOf(lone), 0.7);
  Click(25, 14);
  EXPECT_EQ(lone->GetValue(), 0.0);
  EXPECT_EQ(lone->ActiveButton(), 0);
  EXPECT_EQ(none->NButtons(), 0);
  Click(15, 24);
  EXPECT_EQ(none->GetValue(), 0.0);
  DoubleClick(45, 12);  // steps a one-frame switch on ...
  EXPECT_EQ(oneFrame->GetValue(), 1.0);
  Click(45, 12);  // ... and its only area is 0
  EXPECT_EQ(oneFrame->GetValue(), 0.0);

  // The fader and knob gestures are ignored, not merely left without a
  // finite value: Gain stays at 0.5 and the host hears of no change.
  const size_t told = plug.hostParamChanges.size();
  for (auto [x, y] :
       {std::pair{65, 12}, {85, 12}, {105, 12}, {20, 55}, {55, 60}, {90, 60}, {120, 60}}) {
    gui->MouseDown(x, y);
    gui->MouseDrag(x + 7, y - 9);
    gui->MouseDrag(x - 3, y + 5, kShift);
    gui->MouseUp(x - 3, y + 5);
  }
  for (const IControl* control :
       std::vector<const IControl*>{full, tall, over, flat, thin, stuck, broken})
    EXPECT_EQ(control->GetValue(), 0.5) << IndexOf(control);
  EXPECT_EQ(Param(TestPlug::kGain), 0.5);
  EXPECT_EQ(plug.hostParamChanges.size(), told);
  EXPECT_EQ(full->GetHandleRECT(), IRECT(60, 10, 70, 16));
  gui->MouseWheel(65, 12, 2);  // the wheel still works
  EXPECT_DOUBLE_EQ(full->GetValue(), 0.52);

  // Values from the plug-in side are not clamped: far out of range they
  // still pick the first or last frame and button.
  for (double far : {1e300, -1e300, HUGE_VAL}) {
    gui->SetControlFromPlug(IndexOf(multi), far);
    gui->SetControlFromPlug(IndexOf(lone), far);
    Settle();
  }
  EXPECT_EQ(multi->FrameForValue(), 1);
  EXPECT_EQ(lone->ActiveButton(), 0);
  gui->SetControlFromPlug(IndexOf(multi), 1e300);
  Settle();
  EXPECT_EQ(multi->FrameForValue(), 4);
  EXPECT_EQ(NotColoured(IRECT(140, 50, 144, 54), Colour(3)), 0);
}

}  // namespace
