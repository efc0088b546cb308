#include "framework/editor/IPopupMenu.h"
// Last: it brings in Xlib.
#include "tests/framework/window/x11/x11_test_editor.h"

namespace x11_test {
namespace {

// A menu opens 4 pixels below the area's left end and runs modally while
// the editor's timer keeps ticking; the keyboard picks a submenu's third
// item (that submenu comes back with index 2) and Escape cancels. Message
// boxes answer by their buttons: Return is the default (1), Escape the
// Cancel (2).
TEST_F(X11EditorTest, MenusAndMessageBoxesRunModallyWhileTheTimerTicks) {
  Open();
  MoveTo(690, 490);  // away from where the menu opens
  IPopupMenu submenu;
  submenu.AddItem("a");
  submenu.AddItem("b");
  submenu.AddItem("c");
  IPopupMenu menu;
  menu.AddItem("Zero");
  menu.AddItem("Sub", &submenu);
  IRECT area(10, 110, 60, 130);

  int ticksBefore = 0, ticksDuring = 0;
  std::vector<Window> shown;
  XWindowAttributes placed = {};
  ticksBefore = ticker->ticks;
  After(0.3, [&] {
    ticksDuring = ticker->ticks;
    shown = Popups();
    if (shown.size() == 1) XGetWindowAttributes(display, shown[0], &placed);
    for (KeySym key : {XK_Down, XK_Down, XK_Right, XK_Down, XK_Down, XK_Return})
      Tap(key);
  });
  IPopupMenu* picked = editor->CreateIPopupMenu(&menu, &area);
  EXPECT_EQ(picked, &submenu);
  EXPECT_EQ(submenu.GetChosenItemIdx(), 2);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(placed.x, 10);
  EXPECT_EQ(placed.y, 134);
  // The timer goes on while the menu runs; at 25 a second 0.3 s holds 7
  // ticks, but a loaded machine (or an emulated one) may deliver fewer.
  EXPECT_GE(ticksDuring - ticksBefore, 1);
  EXPECT_TRUE(Popups().empty());

  After(0.2, [&] { Tap(XK_Escape); });
  EXPECT_EQ(editor->CreateIPopupMenu(&menu, &area), nullptr);

  After(0.3, [&] { Tap(XK_Return); });
  EXPECT_EQ(editor->ShowMessageBox("Replace the preset?", "Morvex", 4), 1);
  After(0.3, [&] { Tap(XK_Escape); });
  EXPECT_EQ(editor->ShowMessageBox("Replace the preset?", "Morvex", 3), 2);
  editor->CloseWindow();
  EXPECT_EQ(editor->ShowMessageBox("No window", "Morvex", 4), 7);
}

// The field a control prompts with takes typed digits only and commits on
// Return or a click elsewhere; Escape and the wheel discard it. While it is
// open a drag begun before it reaches nobody.
TEST_F(X11EditorTest, TextFieldsCommitAndDiscardThroughTheEditor) {
  Open();
  auto prompt = [&] {
    stages->PromptUserInput();
    ASSERT_TRUE(RunUntil([&] {
      const std::vector<Window> children = ViewChildren();
      Window focus;
      int revert;
      XGetInputFocus(display, &focus, &revert);
      return children.size() == 1 && focus == children[0];
    }));
  };
  auto closed = [&] { return RunUntil([&] { return ViewChildren().empty(); }); };
  IParam* param = plug.GetParam(TestPlug::kStages);
  ASSERT_EQ(param->Int(), 3);

  prompt();
  for (KeySym key : {XK_BackSpace, XK_4, XK_a, XK_period, XK_Return})
    Tap(key);
  ASSERT_TRUE(closed());
  EXPECT_EQ(param->Int(), 4);

  prompt();
  Tap(XK_BackSpace);
  Tap(XK_2);
  Tap(XK_Escape);
  ASSERT_TRUE(closed());
  EXPECT_EQ(param->Int(), 4);

  prompt();
  Tap(XK_BackSpace);
  Tap(XK_5);
  RunFor(0.05);
  Click(Button5, 200, 80);  // the wheel over the editor
  ASSERT_TRUE(closed());
  EXPECT_EQ(param->Int(), 4);

  prompt();
  Tap(XK_BackSpace);
  Tap(XK_1);
  RunFor(0.05);
  Click(Button1, 200, 80);  // elsewhere in the editor
  ASSERT_TRUE(closed());
  EXPECT_EQ(param->Int(), 1);

  probe->events.clear();
  MoveTo(10, 150);
  XTestFakeButtonEvent(display, Button1, True, 0);
  XFlush(display);
  ASSERT_TRUE(ProbeSaw(1));
  prompt();
  MoveTo(30, 160);
  RunFor(0.1);
  Tap(XK_Escape);
  ASSERT_TRUE(closed());
  XTestFakeButtonEvent(display, Button1, False, 0);
  XFlush(display);
  ASSERT_TRUE(ProbeSaw(2));
  EXPECT_EQ(probe->events, (std::vector<std::string>{"down 10,150 L----", "up 30,160 L----"}));
  EXPECT_EQ(param->Int(), 1);
}

// With tooltips on, resting on a control that has one shows it after about
// 1.5 s; a click hides it.
TEST_F(X11EditorTest, TooltipsShowAfterTheCountdownAndAClickHidesThem) {
  editor->EnableTooltips(true);
  editor->HandleMouseOver(true);
  stages->SetTooltip("Stages");
  Open();
  MoveTo(120, 30);
  const auto rested = std::chrono::steady_clock::now();
  ASSERT_TRUE(RunUntil([&] { return !Popups().empty(); }));
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - rested).count();
  EXPECT_GE(waited, 1.4);
  EXPECT_LT(waited, 2.0);
  Click(Button1, 120, 30);
  EXPECT_TRUE(RunUntil([&] { return Popups().empty(); }));
}

}  // namespace
}  // namespace x11_test
