#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "framework/editor/IKeyCodes.h"
#include "framework/editor/IPanelControl.h"
#include "framework/editor/LiceConversions.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "platform/NSViewCache.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/lice_fill.h"
#include "raster/lice_png.h"
#include "tests/framework/editor/probe_control.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlug.h"

namespace {

constexpr int kW = 60;
constexpr int kH = 40;
constexpr IMouseMod kLeft(true);
constexpr IMouseMod kRight(false, true);

using Gestures = std::vector<std::pair<int, int>>;

// An editor driven the way a window drives it, owned by the plug-in once
// attached.
class EditorCoreTest : public ::testing::Test {
 protected:
  ~EditorCoreTest() override {
    if (plug.GetGUI() != gui) delete gui;
  }

  ProbeControl* Add(IRECT rect, int paramIdx = -1, int* deletions = nullptr) {
    auto* control = new ProbeControl(&plug, rect, paramIdx, deletions);
    EXPECT_GE(gui->AttachControl(control), 0);
    return control;
  }
  // Attaches the editor, opens its window and draws until nothing is dirty.
  void Open() {
    plug.AttachGraphics(gui);
    gui->OpenWindow(nullptr);
    while (gui->Tick()) {
    }
  }
  int IndexOf(const IControl* control) const {
    for (int i = 0; i < gui->NControls(); ++i) {
      if (gui->GetControl(i) == control) return i;
    }
    return -1;
  }

  TestPlug plug;
  IGraphicsOffscreen* gui = new IGraphicsOffscreen(&plug, kW, kH);
};

TEST_F(EditorCoreTest, ABackgroundOnlyEditorDrawsOnceExactlyThenStaysClean) {
  const IColor color(255, 200, 100, 50);
  gui->AttachPanelBackground(&color);
  plug.AttachGraphics(gui);
  IRECT dirty;
  ASSERT_TRUE(gui->IsDirty(&dirty));
  EXPECT_EQ(dirty, IRECT(0, 0, kW, kH));
  gui->OpenWindow(nullptr);
  ASSERT_TRUE(gui->Tick());
  EXPECT_EQ(gui->ScreenCopies(), 1);

  LICE_MemBitmap expected(kW, kH);
  LICE_FillRect(&expected, 0, 0, kW, kH, LiceColor(&color), 1.0f, LiceBlendMode(nullptr));
  const LICE_IBitmap* screen = gui->Screen();
  ASSERT_NE(screen, nullptr);
  int wrong = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x)
      wrong += screen->getBits()[y * screen->getRowSpan() + x] !=
               expected.getBits()[y * expected.getRowSpan() + x];
  }
  EXPECT_EQ(wrong, 0);

  // The snapshot holds what the screen shows, opaque as a screen is.
  test_support::TempDir dir;
  ASSERT_TRUE(gui->WriteScreenPNG((dir / "screen.png").c_str()));
  LICE_IBitmap* saved = LICE_LoadPNG((dir / "screen.png").c_str());
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->getWidth(), kW);
  EXPECT_EQ(saved->getBits()[kW * kH - 1], LICE_RGBA(200, 100, 50, 255));
  delete saved;
  EXPECT_FALSE(gui->WriteScreenPNG((dir / "missing/screen.png").c_str()));

  EXPECT_FALSE(gui->IsDirty(&dirty));
  EXPECT_FALSE(gui->Tick());
  EXPECT_EQ(gui->ScreenCopies(), 1);
}

// A host that has put the view on no screen takes its picture through the
// platform, as long as the view is open.
TEST_F(EditorCoreTest, AHostDrawsTheOpenViewOffTheScreenAsTheScreenShowsIt) {
  const IColor color(255, 10, 120, 230);
  gui->AttachPanelBackground(&color);
  Open();
  void* view = gui->GetWindow();
  NSSize size{};
  ASSERT_TRUE(NSViewGetBoundsSize(view, &size));
  EXPECT_EQ(size.width, kW);
  EXPECT_EQ(size.height, kH);
  LICE_MemBitmap picture(kW, kH);
  NSBitmapImageRep rep = {reinterpret_cast<unsigned char*>(picture.getBits()), kW, kH,
                          picture.getRowSpan() * 4};
  ASSERT_TRUE(NSViewCacheDisplay(view, &rep));
  const LICE_IBitmap* screen = gui->Screen();
  int wrong = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x)
      wrong += picture.getBits()[y * picture.getRowSpan() + x] !=
               screen->getBits()[y * screen->getRowSpan() + x];
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(picture.getBits()[0], LICE_RGBA(10, 120, 230, 255));

  NSBitmapImageRep narrow = rep;
  narrow.pixelsWide = kW - 1;
  EXPECT_FALSE(NSViewCacheDisplay(view, &narrow));
  // Another editor's view is another handle, drawn as its own.
  TestPlug otherPlug;
  IGraphicsOffscreen other(&otherPlug, kW / 2, kH);
  void* otherView = other.OpenWindow(nullptr);
  EXPECT_NE(otherView, view);
  ASSERT_TRUE(NSViewGetBoundsSize(otherView, &size));
  EXPECT_EQ(size.width, kW / 2);
  gui->Resize(kW + 4, kH);
  ASSERT_TRUE(NSViewGetBoundsSize(view, &size));
  EXPECT_EQ(size.width, kW + 4);

  // Nor can it go into a window of a host's, as a plug-in's view would.
  void* hostWindow = reinterpret_cast<void*>(uintptr_t{0x2A00001});
  EXPECT_EQ(other.OpenWindow(hostWindow), nullptr);

  gui->CloseWindow();
  EXPECT_FALSE(NSViewGetBoundsSize(view, &size));
  EXPECT_FALSE(NSViewCacheDisplay(view, &rep));
}

TEST_F(EditorCoreTest, PlugInValuesReachEveryBoundControlAndNothingElse) {
  ProbeControl* a = Add(IRECT(0, 0, 10, 10), TestPlug::kStages);
  ProbeControl* b = Add(IRECT(10, 0, 20, 10), TestPlug::kStages);
  ProbeControl* aux = Add(IRECT(20, 0, 30, 10), TestPlug::kGain);
  aux->AddAuxParam(TestPlug::kStages);
  Open();
  // The first value, pushed on attachment, is the default: 3 of 0..5.
  EXPECT_DOUBLE_EQ(a->GetDefaultValue(), 0.6);

  gui->SetParameterFromPlug(TestPlug::kStages, 5.0, false);
  EXPECT_EQ(a->GetValue(), 1.0);
  EXPECT_EQ(b->GetValue(), 1.0);
  EXPECT_EQ(aux->GetAuxParam(0)->mValue, 1.0);
  EXPECT_EQ(aux->GetValue(), 0.5);  // its own parameter is untouched
  IRECT dirty;
  ASSERT_TRUE(gui->IsDirty(&dirty));
  EXPECT_EQ(dirty, IRECT(0, 0, 30, 10));

  // Parameters that do not exist and controls out of range are ignored;
  // non-finite values never reach a control.
  gui->SetParameterFromPlug(99, 1.0, false);
  gui->SetControlFromPlug(-1, 0.5);
  gui->SetControlFromPlug(gui->NControls(), 0.5);
  gui->SetControlFromPlug(IndexOf(a), std::nan(""));
  gui->SetParameterFromPlug(TestPlug::kStages, HUGE_VAL, true);
  gui->ClampControl(99, 0.0, 1.0, false);
  EXPECT_EQ(a->GetValue(), 1.0);
}

TEST_F(EditorCoreTest, TheCapturedControlKeepsTheMouseUntilReleasedAnywhere) {
  ProbeControl* knob = Add(IRECT(10, 10, 20, 20), TestPlug::kGain);
  Open();
  gui->MouseDown(15, 15);
  gui->MouseDrag(15, 15);  // no movement, no drag
  gui->MouseDrag(30, 25);
  gui->MouseDrag(-5, 100);
  gui->MouseUp(-5, 100);
  EXPECT_EQ(knob->events, (std::vector<std::string>{"down 15,15", "drag 30,25 by 15,10",
                                                    "drag -5,100 by -35,75", "up -5,100"}));
  EXPECT_EQ(plug.gestures, (Gestures{{TestPlug::kGain, +1}, {TestPlug::kGain, -1}}));
  gui->MouseDrag(40, 40);  // nothing is captured any more
  EXPECT_EQ(knob->events.size(), 4u);
}

TEST_F(EditorCoreTest, EveryGestureBeginGetsExactlyOneEnd) {
  ProbeControl* button = Add(IRECT(0, 0, 10, 10), TestPlug::kStages);
  button->SetDblAsSingleClick(true);
  IParam* on = plug.GetParam(TestPlug::kOn);  // shows "off" and "on"
  ProbeControl* menuButton = Add(IRECT(20, 0, 30, 10), TestPlug::kOn);
  menuButton->SetPromptDisabled(false);
  Open();

  gui->MouseDown(5, 5);
  gui->MouseUp(5, 5);
  gui->MouseDown(5, 5, kLeft, 2);  // taken as a second button-down
  gui->MouseUp(5, 5);
  const Gestures twoClicks{{TestPlug::kStages, +1},
                           {TestPlug::kStages, -1},
                           {TestPlug::kStages, +1},
                           {TestPlug::kStages, -1}};
  EXPECT_EQ(plug.gestures, twoClicks);

  // A right click opens the value menu, which swallows the button-up: the
  // gesture ends when the menu takes the mouse, and only then.
  gui->ScriptMenuPick({0});
  gui->MouseDown(25, 5, kRight);
  gui->MouseUp(25, 5, kRight);
  Gestures withMenu = twoClicks;
  withMenu.insert(withMenu.end(), {{TestPlug::kOn, +1}, {TestPlug::kOn, -1}});
  EXPECT_EQ(plug.gestures, withMenu);
  ASSERT_EQ(gui->LastMenu().size(), 1u);
  const auto& entries = gui->LastMenu()[0];
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].label, "off");
  EXPECT_FALSE(entries[0].checked);
  EXPECT_TRUE(entries[1].checked);  // the current value
  EXPECT_EQ(on->Value(), 0.0);
}

TEST_F(EditorCoreTest, GreyedAndHiddenControlsLetClicksThroughToTheControlBelow) {
  ProbeControl* below = Add(IRECT(0, 0, 30, 30));
  ProbeControl* above = Add(IRECT(0, 0, 30, 30));
  Open();
  auto click = [&](int x, int y) {
    gui->MouseDown(x, y);
    gui->MouseUp(x, y);
  };
  above->GrayOut(true);
  click(5, 5);
  above->GrayOut(false);
  above->Hide(true);
  click(6, 6);
  above->Hide(false);
  click(7, 7);
  EXPECT_EQ(below->events, (std::vector<std::string>{"down 5,5", "up 5,5", "down 6,6", "up 6,6"}));
  EXPECT_EQ(above->events, (std::vector<std::string>{"down 7,7", "up 7,7"}));

  // Mouse-over may still find a greyed control that asks for it.
  gui->HandleMouseOver(true);
  above->GrayOut(true);
  gui->MouseMove(8, 8);
  EXPECT_EQ(gui->GetMouseOver(), IndexOf(below));
  above->SetMOWhenGrayed(true);
  gui->MouseMove(9, 9);
  EXPECT_EQ(gui->GetMouseOver(), IndexOf(above));
}

TEST_F(EditorCoreTest, KeysOverTheBackgroundOrNothingGoToTheKeyCatcherOnly) {
  int catcherDeletions = 0;
  ProbeControl* background = Add(IRECT(0, 0, 40, 40));
  ProbeControl* control = Add(IRECT(0, 0, 10, 10));
  auto* catcher = new ProbeControl(&plug, IRECT(), -1, &catcherDeletions);
  gui->AttachKeyCatcher(catcher);
  Open();

  gui->MouseMove(5, 5);
  EXPECT_TRUE(gui->KeyDown(KeyForCharacter('q')));
  gui->MouseMove(20, 20);  // the background
  EXPECT_TRUE(gui->KeyDown(kKeySpace));
  gui->MouseMove(50, 35);  // nothing
  catcher->takesKeys = false;
  EXPECT_FALSE(gui->KeyDown(kKeyUp));
  EXPECT_FALSE(gui->KeyDown(kKeyLetterZ + 1));  // not a key of the table
  EXPECT_EQ(control->events, (std::vector<std::string>{"key 5,5 31"}));
  EXPECT_EQ(catcher->events, (std::vector<std::string>{"key 20,20 0", "key 50,35 1"}));
  EXPECT_TRUE(background->events.empty());

  gui->AttachKeyCatcher(control);
  EXPECT_EQ(catcherDeletions, 1);  // the replaced catcher
}

TEST_F(EditorCoreTest, AControlDirtiedDuringAPassIsDrawnOnTheNextTick) {
  ProbeControl* a = Add(IRECT(0, 0, 10, 10));
  ProbeControl* b = Add(IRECT(30, 0, 40, 10));
  // The first value a control hears is its default, and draws nothing new.
  gui->SetControlFromPlug(IndexOf(a), 0.1);
  gui->SetControlFromPlug(IndexOf(b), 0.1);
  Open();

  gui->SetControlFromPlug(IndexOf(a), 0.3);
  IRECT dirty;
  ASSERT_TRUE(gui->IsDirty(&dirty));
  EXPECT_EQ(dirty, IRECT(0, 0, 10, 10));
  gui->SetControlFromPlug(IndexOf(b), 0.7);  // after the dirty query
  const int bDraws = b->draws;
  gui->Draw(&dirty);
  EXPECT_EQ(b->draws, bDraws);
  IRECT next;
  ASSERT_TRUE(gui->IsDirty(&next));
  EXPECT_EQ(next.Intersect(IRECT(30, 0, 40, 10)), IRECT(30, 0, 40, 10));
  while (gui->Tick()) {
  }
  EXPECT_EQ(b->lastDrawnValue, 0.7);

  // A value stored while the control is being drawn is not cleaned away,
  // even by a setter that asks for no second pass.
  bool stored = false;
  a->onDraw = [&] {
    if (!stored) a->StoreFromPlug(0.9);
    stored = true;
  };
  a->StoreFromPlug(0.4);
  ASSERT_TRUE(gui->Tick());
  EXPECT_EQ(a->lastDrawnValue, 0.4);
  EXPECT_TRUE(a->IsDirty());
  while (gui->Tick()) {
  }
  EXPECT_EQ(a->lastDrawnValue, 0.9);
}

TEST_F(EditorCoreTest, DrawWaitsForItsSurfaceAndClipsToTheEditor) {
  ProbeControl* huge = Add(IRECT(-20, -20, 100, 100));
  IRECT everywhere(-100, -100, 500, 500);
  EXPECT_FALSE(gui->Draw(&everywhere));  // before PrepDraw
  EXPECT_EQ(huge->draws, 0);

  plug.AttachGraphics(gui);
  EXPECT_TRUE(gui->Draw(&everywhere));
  EXPECT_EQ(*gui->GetDrawRECT(), IRECT(0, 0, kW, kH));
  const LICE_IBitmap* screen = gui->Screen();
  int inked = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x)
      inked += screen->getBits()[y * screen->getRowSpan() + x] == ProbeControl::kInk;
  }
  EXPECT_EQ(inked, kW * kH);
  IRECT dirty;
  EXPECT_FALSE(gui->IsDirty(&dirty));
}

TEST(EditorOwnershipTest, EachControlIsDeletedOnceAndTheListFreezesWhenPrepared) {
  int deletions = 0;
  auto* view = new IGraphicsOffscreen(nullptr, 10, 10);
  auto* kept = new ProbeControl(nullptr, IRECT(0, 0, 5, 5), -1, &deletions);
  auto* keys = new ProbeControl(nullptr, IRECT(5, 0, 10, 5), -1, &deletions);
  EXPECT_EQ(view->AttachControl(kept), 0);
  EXPECT_EQ(view->AttachControl(keys), 1);
  EXPECT_EQ(view->AttachControl(kept), -1);  // already attached: left alone
  EXPECT_EQ(view->AttachControl(nullptr), -1);
  view->AttachKeyCatcher(keys);  // a catcher that is also a control

  view->PrepDraw();
  EXPECT_EQ(view->AttachControl(new ProbeControl(nullptr, IRECT(), -1, &deletions)), -1);
  EXPECT_EQ(deletions, 1);  // the refused one
  view->AttachPanelBackground(&COLOR_RED);
  EXPECT_EQ(view->NControls(), 2);
  delete view;
  EXPECT_EQ(deletions, 3);
}

TEST_F(EditorCoreTest, TypedValuesAreReadAsCNumbersAndUnreadableTextChangesNothing) {
  ProbeControl* gain = Add(IRECT(0, 0, 10, 10), TestPlug::kGain);
  ProbeControl* stages = Add(IRECT(10, 0, 20, 10), TestPlug::kStages);
  IParam* on = plug.GetParam(TestPlug::kOn);  // shows "off" and "on"
  ProbeControl* toggle = Add(IRECT(20, 0, 30, 10), TestPlug::kOn);
  Open();

  IParam* gainParam = plug.GetParam(TestPlug::kGain);
  gui->SetFromStringAfterPrompt(gain, gainParam, "0.25 dB");
  EXPECT_EQ(gain->GetValue(), 0.25);
  for (const char* unreadable : {"", "abc", "1e999", "nan", ",5"}) {
    gui->SetFromStringAfterPrompt(gain, gainParam, unreadable);
    EXPECT_EQ(gain->GetValue(), 0.25) << '"' << unreadable << '"';
  }
  gui->SetFromStringAfterPrompt(stages, plug.GetParam(TestPlug::kStages), "  +4");
  EXPECT_DOUBLE_EQ(stages->GetValue(), 0.8);
  gainParam->NegateDisplay();
  gui->SetFromStringAfterPrompt(gain, gainParam, "-0.5");
  EXPECT_EQ(gain->GetValue(), 0.5);

  gui->SetFromStringAfterPrompt(toggle, on, "maybe");
  EXPECT_EQ(toggle->GetValue(), 1.0);
  gui->SetFromStringAfterPrompt(toggle, on, "off");
  EXPECT_EQ(toggle->GetValue(), 0.0);

  // Through a text field: it opens with the value's display text, centred
  // on the control, and commits what was typed.
  stages->SetPromptDisabled(false);
  stages->PromptUserInput();
  ASSERT_TRUE(gui->TextEntryOpen());
  EXPECT_EQ(gui->TextEntryText(), "4");
  EXPECT_EQ(gui->TextEntryRECT(), IRECT(-5, -3, 35, 13));
  EXPECT_TRUE(gui->PressBackspace());
  EXPECT_TRUE(gui->TypeText("2"));
  gui->PressReturn();
  EXPECT_DOUBLE_EQ(plug.GetParam(TestPlug::kStages)->Value(), 2.0);
  EXPECT_FALSE(gui->TextEntryOpen());
}

TEST_F(EditorCoreTest, ResizeWaitsUntilThePlugInCannotRenderAndDropsTheOldLayout) {
  Add(IRECT(0, 0, 10, 10));
  ProbeControl* field = Add(IRECT(10, 0, 20, 10), TestPlug::kGain);
  field->SetPromptDisabled(false);
  Open();
  gui->HandleMouseOver(true);
  gui->MouseMove(15, 5);
  field->PromptUserInput();
  ASSERT_TRUE(gui->TextEntryOpen());

  plug.SetCanRenderForTest(true);
  gui->Resize(100, 50);
  EXPECT_EQ(gui->Width(), kW);
  EXPECT_EQ(gui->NControls(), 2);

  plug.SetCanRenderForTest(false);
  gui->Resize(100, 50);
  EXPECT_EQ(gui->Width(), 100);
  EXPECT_EQ(gui->NControls(), 0);
  EXPECT_EQ(gui->GetMouseOver(), -1);
  EXPECT_FALSE(gui->TextEntryOpen());
  EXPECT_EQ(plug.resized, std::make_pair(100, 50));
  EXPECT_EQ(gui->GetDrawBitmap()->getWidth(), 100);
}

TEST_F(EditorCoreTest, PlugInValuesRedrawOnceMoreAndGreyingWeighsAQuarter) {
  gui->AttachPanelBackground(&COLOR_BLACK);
  ProbeControl* probe = Add(IRECT(0, 0, 10, 10));
  const IColor red(255, 255, 0, 0);
  auto* panel = new IPanelControl(&plug, IRECT(20, 0, 30, 10), &red);
  gui->AttachControl(panel);
  probe->SetValueFromPlug(0.3);  // the first value is the default, silently
  Open();
  EXPECT_EQ(probe->GetDefaultValue(), 0.3);
  probe->SetValueFromPlug(0.3);
  EXPECT_FALSE(probe->IsDirty());
  // A new value is drawn, then once more (Redraw), then never again.
  const int draws = probe->draws;
  probe->SetValueFromPlug(0.6);
  while (gui->Tick()) {
  }
  EXPECT_EQ(probe->draws, draws + 2);

  panel->GrayOut(true);
  EXPECT_FLOAT_EQ(panel->GetBlend()->mWeight, 0.25f);
  while (gui->Tick()) {
  }
  LICE_MemBitmap expected(1, 1);
  LICE_FillRect(&expected, 0, 0, 1, 1, LiceColor(&COLOR_BLACK), 1.0f, LiceBlendMode(nullptr));
  LICE_FillRect(&expected, 0, 0, 1, 1, LiceColor(&red), 0.25f, LiceBlendMode(panel->GetBlend()));
  EXPECT_EQ(gui->Screen()->getBits()[25], expected.getBits()[0]);
  panel->GrayOut(false);
  EXPECT_FLOAT_EQ(panel->GetBlend()->mWeight, 1.0f);
}

TEST_F(EditorCoreTest, TheViewsServicesAnswerFromTheScript) {
  WDL_String text, file, dir;
  EXPECT_FALSE(gui->GetTextFromClipboard(&text));
  gui->SetClipboardText("0.25");
  EXPECT_TRUE(gui->GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "0.25");

  gui->ScriptMessageBoxAnswer(7);
  EXPECT_EQ(gui->ShowMessageBox("Replace the preset?", "Morvex", 3), 7);
  EXPECT_EQ(gui->ShowMessageBox("Saved.", "Morvex", 0), 1);  // the default button
  EXPECT_EQ(gui->MessageBoxes().front(), "Morvex: Replace the preset?");

  gui->ScriptFileChoice("/tmp/takes/vocal.wav");
  gui->PromptForFile(&file, kFileOpen, &dir, "wav");
  EXPECT_STREQ(file.Get(), "");  // no window, no dialog
  Open();
  gui->PromptForFile(&file, kFileOpen, &dir, "wav");
  EXPECT_STREQ(file.Get(), "/tmp/takes/vocal.wav");
  EXPECT_STREQ(dir.Get(), "/tmp/takes/");
}

TEST_F(EditorCoreTest, ThePlugInHearsTheEndOfEveryShowingItHeardBegin) {
  Open();
  plug.GUIOpened();
  plug.GUIOpened();
  EXPECT_EQ(plug.guiOpens, 1);
  gui->CloseWindow();
  gui->CloseWindow();
  EXPECT_EQ(plug.guiCloses, 1);
  // A view the plug-in was not told of ends without a word.
  gui->OpenWindow(nullptr);
  gui->CloseWindow();
  EXPECT_EQ(plug.guiCloses, 1);
}

TEST_F(EditorCoreTest, AnEditorMissingAnImageIsNotAttachedAndTheAudioGoesOn) {
  const IBitmap missing = gui->LoadIBitmap(7, "resources/img/missing.png");
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_FALSE(gui->IsComplete());
  plug.AttachGraphics(gui);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  gui = nullptr;  // deleted by the plug-in
}

}  // namespace
