#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "framework/editor/IBitmapTextControl.h"
#include "framework/editor/ICaptionControl.h"
#include "framework/editor/IFileSelectorControl.h"
#include "framework/editor/IURLControl.h"
#include "framework/window/TextEntryField.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "tests/framework/editor/probe_control.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlug.h"

namespace {

constexpr IMouseMod kLeft(true);

TEST(TextEntryFieldTest, OnlyWhatIsTypedIsJudgedSoEveryFieldCanBeCorrected) {
  IParam integer, real, untyped;
  integer.InitInt("Stages", 3, 0, 5);
  real.InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);

  TextEntryField intField("", &integer, 7);
  EXPECT_FALSE(intField.Insert("a"));
  EXPECT_FALSE(intField.Insert("."));
  EXPECT_FALSE(intField.Insert("1a"));  // all or nothing
  EXPECT_TRUE(intField.Insert("-123456"));
  EXPECT_FALSE(intField.Insert("7"));  // an eighth character
  EXPECT_EQ(intField.Text(), "-123456");

  TextEntryField realField("", &real, 7);
  EXPECT_TRUE(realField.Insert("0.5"));
  EXPECT_FALSE(TextEntryField("", &untyped, 7).Insert("1"));

  // A text already too long, and one holding a unit, can still be
  // shortened, stepped through and corrected.
  TextEntryField longField("123456789", &integer, 7);
  EXPECT_FALSE(longField.Insert("1"));
  EXPECT_TRUE(longField.Backspace());
  longField.MoveCaretHome();
  EXPECT_TRUE(longField.Delete());
  EXPECT_TRUE(longField.Delete());
  EXPECT_TRUE(longField.Insert("9"));
  EXPECT_EQ(longField.Text(), "9345678");
  TextEntryField unitField("4 dB", &real, 7);
  unitField.MoveCaret(-2);
  EXPECT_TRUE(unitField.Backspace());
  EXPECT_TRUE(unitField.Insert(".5"));
  EXPECT_EQ(unitField.Text(), "4.5dB");

  // Without a parameter anything goes, and characters are deleted whole.
  TextEntryField free("caf\xC3\xA9", nullptr, 3);
  EXPECT_TRUE(free.Insert("!"));
  free.MoveCaret(-1);
  EXPECT_TRUE(free.Backspace());
  EXPECT_EQ(free.Text(), "caf!");
  free.MoveCaret(-100);
  EXPECT_EQ(free.Caret(), 0u);
}

class PromptingTest : public ::testing::Test {
 protected:
  ~PromptingTest() override {
    if (plug.GetGUI() != gui) delete gui;
  }
  template <typename Control>
  Control* Add(Control* control) {
    EXPECT_GE(gui->AttachControl(control), 0);
    return control;
  }
  void Open() {
    plug.AttachGraphics(gui);
    gui->OpenWindow(nullptr);
    while (gui->Tick()) {
    }
  }

  TestPlug plug;
  IGraphicsOffscreen* gui = new IGraphicsOffscreen(&plug, 100, 40);
};

TEST_F(PromptingTest, ACaptionOpensAFilteredFieldThatCommitsOrIsDiscarded) {
  IText style(12);
  auto* caption = Add(new ICaptionControl(&plug, IRECT(0, 0, 40, 20), TestPlug::kStages, &style));
  caption->SetPromptDisabled(false);
  Open();
  EXPECT_STREQ(caption->GetTextString(), "3 ");  // display text, one space, the (empty) label

  gui->MouseDown(10, 10);
  ASSERT_TRUE(gui->TextEntryOpen());
  EXPECT_EQ(gui->TextEntryText(), "3");
  EXPECT_EQ(gui->TextEntryRECT(), IRECT(0, 2, 40, 18));
  EXPECT_FALSE(gui->TypeText("x"));
  EXPECT_TRUE(gui->TypeText("1"));
  gui->MouseWheel(10, 10, 1);  // the wheel throws the typing away
  EXPECT_FALSE(gui->TextEntryOpen());
  EXPECT_EQ(plug.GetParam(TestPlug::kStages)->Value(), 3.0);

  gui->MouseUp(10, 10);
  gui->MouseDown(10, 10, kLeft, 2);  // a double-click prompts too
  ASSERT_TRUE(gui->TextEntryOpen());
  gui->MouseDown(10, 10);  // a click inside the field edits it
  EXPECT_TRUE(gui->TextEntryOpen());
  EXPECT_TRUE(gui->PressBackspace());
  EXPECT_TRUE(gui->TypeText("5"));
  gui->MouseDown(90, 30);  // a click elsewhere commits
  EXPECT_FALSE(gui->TextEntryOpen());
  EXPECT_EQ(plug.GetParam(TestPlug::kStages)->Value(), 5.0);
  // The whole editor is repainted once the field is gone.
  ASSERT_TRUE(gui->Tick());
  EXPECT_EQ(*gui->GetDrawRECT(), IRECT(0, 0, 100, 40));
  caption->Draw(gui);
  EXPECT_STREQ(caption->GetTextString(), "5 ");
}

// A user whose system writes 0,5 still types the value the field shows.
TEST_F(PromptingTest, TypedNumbersReadTheSameUnderADecimalCommaLocale) {
  auto* probe = Add(new ProbeControl(&plug, IRECT(0, 0, 10, 10), TestPlug::kGain));
  Open();
  test_support::TempDir locales;
  const std::string make = "localedef -i de_DE -f UTF-8 " + (locales / "de_DE.UTF-8") + " 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0) << "the locales package provides localedef";
  setenv("LOCPATH", locales.path().c_str(), 1);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  EXPECT_EQ(std::atof("0.5"), 0.0);  // the locale is really in force
  gui->SetFromStringAfterPrompt(probe, plug.GetParam(TestPlug::kGain), "0.75");
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  EXPECT_EQ(probe->GetValue(), 0.75);
}

TEST_F(PromptingTest, AFieldOpenWhenTheEditorClosesIsDiscardedFirst) {
  auto* probe = Add(new ProbeControl(&plug, IRECT(0, 0, 10, 10), TestPlug::kGain));
  Open();
  probe->SetPromptDisabled(false);
  probe->PromptUserInput();
  ASSERT_TRUE(gui->TextEntryOpen());
  gui->TypeText("1");
  gui->CloseWindow();
  EXPECT_FALSE(gui->TextEntryOpen());
  EXPECT_EQ(plug.GetParam(TestPlug::kGain)->Value(), 0.5);
}

TEST_F(PromptingTest, AMenuPickStandsForItsDisplayTextsValue) {
  auto* probe = Add(new ProbeControl(&plug, IRECT(0, 0, 10, 10)));
  Open();
  IParam mode;
  mode.InitEnum("Mode", 2, 6);
  mode.SetDisplayText(0, "low");
  mode.SetDisplayText(2, "mid");
  mode.SetDisplayText(5, "high");
  IRECT at(0, 0, 10, 10);

  gui->ScriptMenuPick({2});
  gui->PromptUserInput(probe, &mode, &at);
  ASSERT_EQ(gui->LastMenu().size(), 1u);
  const auto& entries = gui->LastMenu()[0];
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_TRUE(entries[1].checked);  // "mid", the current value
  EXPECT_FALSE(entries[0].checked || entries[2].checked);
  EXPECT_EQ(probe->GetValue(), 1.0);  // "high" is 5 of 0..5

  gui->ScriptMenuPick({});  // cancelled
  gui->PromptUserInput(probe, &mode, &at);
  EXPECT_EQ(probe->GetValue(), 1.0);
}

TEST_F(PromptingTest, LinksFilesAndBitmapTextDoTheirOneJob) {
  auto* link = Add(new IURLControl(&plug, IRECT(0, 0, 10, 10), "https://example.org/morvex",
                                   "https://example.org/backup", "cannot open"));
  const std::string longAddress = "https://example.org/" + std::string(300, 'a');
  auto* tooLong = Add(new IURLControl(&plug, IRECT(10, 0, 20, 10), longAddress.c_str(),
                                      "https://example.org/backup"));
  auto* picker = Add(new IFileSelectorControl(&plug, IRECT(20, 0, 30, 10), -1, nullptr, kFileOpen,
                                              "", "wav aiff"));
  auto* bitmapText = Add(new IBitmapTextControl(&plug, IRECT(30, 0, 60, 10), nullptr, "A"));
  Open();

  gui->MouseDown(5, 5);
  gui->MouseUp(5, 5);
  gui->SetOpenURLResult(false);
  gui->MouseDown(5, 5);
  gui->MouseUp(5, 5);
  EXPECT_STREQ(tooLong->GetURL(), "");  // refused, not cut into another address
  gui->MouseDown(15, 5);
  gui->MouseUp(15, 5);
  EXPECT_EQ(gui->OpenedURLs(),
            (std::vector<std::string>{"https://example.org/morvex", "https://example.org/morvex",
                                      "https://example.org/backup", "https://example.org/backup"}));
  (void)link;

  gui->ScriptFileChoice("/tmp/takes/vocal.wav");
  gui->MouseDown(25, 5);
  gui->MouseUp(25, 5);
  WDL_String file;
  picker->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/takes/vocal.wav");
  EXPECT_EQ(picker->GetValue(), 1.0);
  gui->MouseDown(25, 5);  // cancelled: no file, and the value flips back
  gui->MouseUp(25, 5);
  picker->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_EQ(picker->GetValue(), 0.0);

  while (gui->Tick()) {
  }
  bitmapText->SetTextFromPlug("A");
  EXPECT_FALSE(bitmapText->IsDirty());
  bitmapText->SetTextFromPlug("B");
  EXPECT_TRUE(bitmapText->IsDirty());
}

}  // namespace
