#include "tests/framework/window/x11/x11_ui_harness.h"
// clang-format off
#include <X11/keysym.h>
// clang-format on

#include <memory>

#include "framework/editor/IPopupMenu.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "framework/window/x11/X11PopupMenu.h"

namespace {

using namespace x11_ui_test;

// A menu with one of everything the model can present, and a submenu.
struct Menus {
  IPopupMenu top{IPopupMenu::kTwoDigits};
  IPopupMenu sub{IPopupMenu::kOneDigit};
  Menus() {
    top.AddItem("Alpha", -1, IPopupMenuItem::kChecked);  // 0
    top.AddItem("Beta", -1, IPopupMenuItem::kDisabled);  // 1
    top.AddSeparator();                                  // 2
    top.AddItem("Group", -1, IPopupMenuItem::kTitle);    // 3
    top.AddItem("More", &sub);                           // 4
    top.AddItem("Gamma");                                // 5
    for (const char* text : {"One", "Two", "Three", "Four"})
      sub.AddItem(text);
  }
};

class X11PopupMenuTest : public XDisplayTest {
 protected:
  void TearDown() override {
    mMenu.reset();
    XDisplayTest::TearDown();
  }

  X11PopupMenu* Open(IPopupMenu* menu, int x, int y, int scale = 1) {
    mMenu.reset();  // its grab goes with it
    mMenu = std::make_unique<X11PopupMenu>(mDisplay, DefaultScreen(mDisplay), &mFonts, menu, x, y,
                                           scale);
    Settle(mDisplay, Pump());
    return mMenu.get();
  }
  Handler Pump() {
    return [this](const XEvent& e) {
      if (mMenu) mMenu->HandleEvent(e);
    };
  }
  static int CentreX(const X11PopupMenu::ShownRow& r) { return r.x + r.w / 2; }
  static int CentreY(const X11PopupMenu::ShownRow& r) { return r.y + r.h / 2; }

  IGraphicsOffscreen mFonts{nullptr, 10, 10};
  std::unique_ptr<X11PopupMenu> mMenu;
};

// The rows on the screen follow the model's presentation: labels with the
// number prefix, a line for the separator, the title indented, a tick only
// on the checked item, grey text on the disabled one, an arrow only on the
// submenu entry; at 2x everything is twice as large.
TEST_F(X11PopupMenuTest, RowsShowTheModelsPresentation) {
  Menus m;
  X11PopupMenu* menu = Open(&m.top, 100, 50);
  ASSERT_FALSE(menu->Finished());
  const auto rows = menu->ShownRows(0);
  ASSERT_EQ(rows.size(), 6u);
  const char* labels[] = {"01: Alpha", "02: Beta", "", "04: Group", "05: More", "06: Gamma"};
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i].label, labels[i]) << i;
  EXPECT_EQ(rows[0].x, 100);
  EXPECT_GT(rows[0].y, 50);

  LICE_MemBitmap screen;
  CaptureRoot(mDisplay, &screen);
  // The menus' face, measured through the editor's own text calls.
  IText face(13, &COLOR_BLACK, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  const auto labelWidth = [&](const std::string& label) {
    IRECT extent;
    return mFonts.MeasureIText(&face, const_cast<char*>(label.c_str()), &extent) ? extent.W() : 0;
  };
  const int plainLabelX = rows[0].labelX;
  for (const auto& r : rows) {
    const int top = r.y + 1, bottom = r.y + r.h - 1, right = r.x + r.w - 2;
    if (r.item == 2) {
      // A separator: a line across the middle on an empty row.
      const LICE_pixel line = PixelAt(screen, r.x + r.w / 2, r.y + r.h / 2);
      EXPECT_NE(line, PixelAt(screen, r.x + r.w / 2, r.y + 1));
      for (int x = r.x + 4; x < r.x + r.w - 4; ++x)
        ASSERT_EQ(PixelAt(screen, x, r.y + r.h / 2), line) << x;
      continue;
    }
    const int textW = labelWidth(r.label);
    ASSERT_GT(textW, 20);
    const int labelInk = DarkestIn(screen, r.labelX, top, r.labelX + textW, bottom);
    if (r.item == 1) {
      EXPECT_GE(labelInk, 140) << "disabled text is grey, not black";
      EXPECT_LT(labelInk, 220) << "but it is there";
    } else {
      EXPECT_LT(labelInk, 80) << r.label;
    }
    // Nothing after the label but the arrow of the submenu entry.
    EXPECT_GT(DarkestIn(screen, r.labelX + textW + 2, top, right - 16, bottom), 200) << r.label;
    const int arrowInk = DarkestIn(screen, right - 16, top, right, bottom);
    EXPECT_EQ(arrowInk < 80, r.item == 4) << r.label;
    const int checkInk = DarkestIn(screen, r.x + 2, top, plainLabelX - 2, bottom);
    EXPECT_EQ(checkInk < 80, r.item == 0) << r.label;
  }
  // The title starts further right, with nothing where the others begin.
  EXPECT_GT(rows[3].labelX, plainLabelX);
  EXPECT_GT(
      DarkestIn(screen, plainLabelX, rows[3].y + 1, rows[3].labelX, rows[3].y + rows[3].h - 1),
      200);

  XWindowAttributes at1;
  XGetWindowAttributes(mDisplay, menu->LevelWindow(0), &at1);
  X11PopupMenu* doubled = Open(&m.top, 100, 50, 2);
  SaveScreenshot(mDisplay, "menu_2x.png");
  XWindowAttributes at2;
  XGetWindowAttributes(mDisplay, doubled->LevelWindow(0), &at2);
  EXPECT_EQ(at2.width, 2 * at1.width);
  EXPECT_EQ(at2.height, 2 * at1.height);
  EXPECT_EQ(doubled->ShownRows(0)[5].h, 2 * rows[5].h);
}

// Hovering the submenu entry cascades the submenu; its third item comes
// back as the submenu with chosen index 2 while the parent's stays -1.
// Clicks on the disabled item, the title and the submenu entry pick
// nothing.
TEST_F(X11PopupMenuTest, SubmenuPickReturnsTheSubmenu) {
  Menus m;
  X11PopupMenu* menu = Open(&m.top, 100, 50);
  const auto rows = menu->ShownRows(0);
  for (int item : {1, 3, 4}) {
    ClickAt(mDisplay, Pump(), CentreX(rows[item]), CentreY(rows[item]));
    EXPECT_FALSE(menu->Finished()) << item;
  }
  ASSERT_EQ(menu->OpenLevels(), 2) << "the submenu entry opened its submenu";
  const auto subRows = menu->ShownRows(1);
  ASSERT_EQ(subRows.size(), 4u);
  EXPECT_EQ(subRows[2].label, "3: Three");
  EXPECT_GE(subRows[0].x, rows[4].x + rows[4].w) << "cascades to the right";
  MovePointer(mDisplay, CentreX(subRows[2]), CentreY(subRows[2]));
  Settle(mDisplay, Pump());
  SaveScreenshot(mDisplay, "menu_with_submenu.png");

  ClickAt(mDisplay, Pump(), CentreX(subRows[2]), CentreY(subRows[2]));
  ASSERT_TRUE(menu->Finished());
  EXPECT_EQ(menu->Result(), &m.sub);
  EXPECT_EQ(m.sub.GetChosenItemIdx(), 2);
  EXPECT_EQ(m.top.GetChosenItemIdx(), -1);
  EXPECT_EQ(menu->OpenLevels(), 0) << "the windows are gone";
}

// Escape cancels, a click outside cancels (the wheel does not), and the
// keyboard walks past what cannot be picked into the submenu.
TEST_F(X11PopupMenuTest, EscapeAndOutsideClicksCancelKeysNavigate) {
  Menus m;
  X11PopupMenu* menu = Open(&m.top, 100, 50);
  PressKey(mDisplay, Pump(), XK_Escape);
  EXPECT_TRUE(menu->Finished());
  EXPECT_EQ(menu->Result(), nullptr);

  menu = Open(&m.top, 100, 50);
  ClickAt(mDisplay, Pump(), 20, 400, Button4);
  EXPECT_FALSE(menu->Finished()) << "the wheel outside is not a click";
  ClickAt(mDisplay, Pump(), 20, 400);
  EXPECT_TRUE(menu->Finished());
  EXPECT_EQ(menu->Result(), nullptr);

  // Down lands on Alpha, then skips the disabled item, the separator and
  // the title to the submenu entry; Right enters it at "One".
  menu = Open(&m.top, 100, 50);
  for (KeySym key : {XK_Down, XK_Down, XK_Right, XK_Down, XK_Return})
    PressKey(mDisplay, Pump(), key);
  ASSERT_TRUE(menu->Finished());
  EXPECT_EQ(menu->Result(), &m.sub);
  EXPECT_EQ(m.sub.GetChosenItemIdx(), 1);
  EXPECT_EQ(m.top.GetChosenItemIdx(), -1);
  EXPECT_EQ(m.top.GetItem(0)->GetChecked(), true) << "picking does not touch check marks";
}

// Opened at the bottom-right corner, the menu slides back onto the screen
// and its submenu opens to the left.
TEST_F(X11PopupMenuTest, StaysOnScreen) {
  Menus m;
  const int w = DisplayWidth(mDisplay, 0), h = DisplayHeight(mDisplay, 0);
  X11PopupMenu* menu = Open(&m.top, w - 5, h - 5);
  const auto rows = menu->ShownRows(0);
  EXPECT_LE(rows[0].x + rows[0].w, w);
  EXPECT_LT(rows[0].x, w - 5);
  EXPECT_LE(rows.back().y + rows.back().h, h);
  MovePointer(mDisplay, CentreX(rows[4]), CentreY(rows[4]));
  Settle(mDisplay, Pump());
  ASSERT_EQ(menu->OpenLevels(), 2);
  const auto sub = menu->ShownRows(1);
  EXPECT_LE(sub[0].x + sub[0].w, rows[0].x);
  EXPECT_LE(sub.back().y + sub.back().h, h);
}

}  // namespace
