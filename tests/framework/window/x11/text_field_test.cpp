// gtest and IParam before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "framework/plugin/IParam.h"
// clang-format off
#include "tests/framework/window/x11/x11_ui_harness.h"
#include <X11/keysym.h>
// clang-format on

#include <memory>

#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "framework/window/x11/X11TextField.h"
#include "tests/support/XvfbServer.h"

namespace {

using namespace x11_ui_test;

class X11TextFieldTest : public XDisplayTest {
 protected:
  void SetUp() override {
    XDisplayTest::SetUp();
    if (HasFatalFailure()) return;
    mEditor = MapWindow(kEditorX, kEditorY, 300, 120);
    mIntParam.InitInt("Steps", 0, -100, 100);
    mDoubleParam.InitDouble("Mix", 0.0, -10.0, 10.0, 0.01);
  }
  void TearDown() override {
    mField.reset();
    XDisplayTest::TearDown();
  }

  Window MapWindow(int x, int y, int w, int h) {
    const Window window =
        XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), 0, 0, 0x404040);
    XMapWindow(mDisplay, window);
    XSync(mDisplay, False);
    return window;
  }

  // Opens a field over (20, 30, 140, 50) in the editor and waits for the
  // focus it takes.
  X11TextField* Open(const IText& text, const char* initial, const IParam* param, int scale = 1) {
    mField.reset();
    mField = std::make_unique<X11TextField>(mDisplay, mEditor, IRECT(20, 30, 140, 50), scale,
                                            &mFonts, text, initial, param, 7);
    EXPECT_TRUE(PumpUntil(mDisplay, Pump(), [this] { return mField->HasFocus(); }));
    Settle(mDisplay, Pump());
    return mField.get();
  }
  Handler Pump() {
    return [this](const XEvent& e) {
      if (mField) mField->HandleEvent(e);
    };
  }

  static constexpr int kEditorX = 40, kEditorY = 60;
  Window mEditor = 0;
  IGraphicsOffscreen mFonts{nullptr, 10, 10};
  IParam mIntParam, mDoubleParam;
  std::unique_ptr<X11TextField> mField;
};

// An integer field refuses letters and "."; a double field takes "."; the
// eighth character is refused; editing keys work; Return commits and the
// field takes nothing after that.
TEST_F(X11TextFieldTest, FiltersAndCommitsOnReturn) {
  X11TextField* field = Open(IText(), "12", &mIntParam);
  TypeText(mDisplay, Pump(), "a.3");
  EXPECT_EQ(field->Text(), "123");
  TypeText(mDisplay, Pump(), "-4567");
  EXPECT_EQ(field->Text(), "123-456") << "the eighth character is refused";
  for (KeySym key : {XK_BackSpace, XK_Home, XK_Delete, XK_Right, XK_End, XK_Left})
    PressKey(mDisplay, Pump(), key);
  TypeText(mDisplay, Pump(), "9");
  EXPECT_EQ(field->Text(), "23-495");
  EXPECT_EQ(field->GetOutcome(), X11TextField::kEditing);
  PressKey(mDisplay, Pump(), XK_Return);
  EXPECT_EQ(field->GetOutcome(), X11TextField::kCommit);
  TypeText(mDisplay, Pump(), "1");
  EXPECT_EQ(field->Text(), "23-495");

  field = Open(IText(), "", &mDoubleParam);
  TypeText(mDisplay, Pump(), "0.5x");
  EXPECT_EQ(field->Text(), "0.5");
  PressKey(mDisplay, Pump(), XK_KP_Enter);
  EXPECT_EQ(field->GetOutcome(), X11TextField::kCommit);

  // Without a parameter anything goes, at any length.
  field = Open(IText(), "", nullptr);
  TypeText(mDisplay, Pump(), "abc.def-ghi");
  EXPECT_EQ(field->Text(), "abc.def-ghi");
}

// Focus moving to another window commits; Escape and the wheel discard.
TEST_F(X11TextFieldTest, FocusLossCommitsEscapeAndWheelDiscard) {
  X11TextField* field = Open(IText(), "", &mIntParam);
  TypeText(mDisplay, Pump(), "42");
  const Window other = MapWindow(400, 300, 50, 50);
  XSetInputFocus(mDisplay, other, RevertToParent, CurrentTime);
  Settle(mDisplay, Pump());
  EXPECT_EQ(field->GetOutcome(), X11TextField::kCommit);
  EXPECT_EQ(field->Text(), "42");

  field = Open(IText(), "7", &mIntParam);
  TypeText(mDisplay, Pump(), "3");
  PressKey(mDisplay, Pump(), XK_Escape);
  EXPECT_EQ(field->GetOutcome(), X11TextField::kDiscard);

  field = Open(IText(), "7", &mIntParam);
  ClickAt(mDisplay, Pump(), kEditorX + 60, kEditorY + 40, Button4);
  EXPECT_EQ(field->GetOutcome(), X11TextField::kDiscard);
  // The editor's window going takes the field with it, unapplied.
  field = Open(IText(), "7", &mIntParam);
  XDestroyWindow(mDisplay, mEditor);
  Settle(mDisplay, Pump());
  EXPECT_EQ(field->GetOutcome(), X11TextField::kDiscard);
  mField.reset();  // and deleting it then is no X error
  XSync(mDisplay, False);
  mEditor = MapWindow(kEditorX, kEditorY, 300, 120);
  field = Open(IText(), "7", &mIntParam);
  // Events for other windows are not the field's.
  XEvent foreign = {};
  foreign.xany.type = KeyPress;
  foreign.xany.window = mEditor;
  EXPECT_FALSE(field->HandleEvent(foreign));
}

// The field covers exactly its rectangle (twice it at 2x) in the
// text-entry background, with the text in the text-entry foreground,
// placed by the alignment.
TEST_F(X11TextFieldTest, DrawsInTextEntryColoursAndAlignment) {
  const IColor background(255, 255, 240, 200), foreground(255, 255, 0, 170);
  auto style = [&](IText::EAlign align) {
    return IText(20, &COLOR_GREEN, nullptr, IText::kStyleNormal, align, 0, IText::kQualityDefault,
                 &background, &foreground);
  };
  // Editor pixels (20, 30)-(140, 50) lie at root (60, 90)-(180, 110).
  const int left = kEditorX + 20, top = kEditorY + 30, right = kEditorX + 140;
  const int bottom = kEditorY + 50;
  LICE_MemBitmap screen;
  int inkLeft[2] = {0, 0};
  const IText::EAlign aligns[2] = {IText::kAlignNear, IText::kAlignFar};
  for (int i = 0; i < 2; ++i) {
    Open(style(aligns[i]), "42", nullptr);
    if (i == 0) SaveScreenshot(mDisplay, "text_field.png");
    CaptureRoot(mDisplay, &screen);
    EXPECT_EQ(PixelAt(screen, left, top), LICE_RGBA(255, 240, 200, 255));
    EXPECT_EQ(PixelAt(screen, right - 1, bottom - 1), LICE_RGBA(255, 240, 200, 255));
    EXPECT_NE(PixelAt(screen, left - 1, top), LICE_RGBA(255, 240, 200, 255)) << "no more";
    EXPECT_NE(PixelAt(screen, right, bottom), LICE_RGBA(255, 240, 200, 255)) << "no more";
    inkLeft[i] = right;
    bool fullInk = false;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        const LICE_pixel p = PixelAt(screen, x, y);
        // Anti-aliased ink lies between the two colours: no green from
        // the text colour, never lighter blue than the background.
        ASSERT_EQ(LICE_GETR(p), 255) << x << "," << y;
        if (p == LICE_RGBA(255, 240, 200, 255)) continue;
        inkLeft[i] = std::min(inkLeft[i], x);
        fullInk |= p == LICE_RGBA(255, 0, 170, 255);
      }
    }
    EXPECT_TRUE(fullInk);
  }
  EXPECT_LT(inkLeft[0], left + 6) << "near: the text starts at the left";
  EXPECT_GT(inkLeft[1], left + 60) << "far: the text ends at the right";

  // Too long to show: the tail gives way to an ellipsis inside the field
  // rather than running into its edge.
  Open(style(IText::kAlignNear), "0123456789012345678901234567890123456789", nullptr);
  SaveScreenshot(mDisplay, "text_field_truncated.png");
  CaptureRoot(mDisplay, &screen);
  const LICE_pixel back = LICE_RGBA(255, 240, 200, 255);
  bool inkAtEdge = false, inkBeforeEdge = false;
  for (int y = top; y < bottom; ++y) {
    for (int x = right - 2; x < right; ++x)
      inkAtEdge |= PixelAt(screen, x, y) != back;
    for (int x = right - 12; x < right - 3; ++x)
      inkBeforeEdge |= PixelAt(screen, x, y) != back;
  }
  EXPECT_FALSE(inkAtEdge);
  EXPECT_TRUE(inkBeforeEdge);

  Open(style(IText::kAlignNear), "42", nullptr, 2);
  XWindowAttributes at;
  XGetWindowAttributes(mDisplay, mField->GetWindow(), &at);
  EXPECT_EQ(at.x, 40);
  EXPECT_EQ(at.y, 60);
  EXPECT_EQ(at.width, 240);
  EXPECT_EQ(at.height, 40);
}

}  // namespace
