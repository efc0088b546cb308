#include <dirent.h>

#include "framework/editor/IKeyCodes.h"
// Last: it brings in Xlib.
#include "tests/framework/window/x11/x11_test_editor.h"
// clang-format off
#include <X11/Xatom.h>
// clang-format on

namespace x11_test {
namespace {

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir))
      ++count;
    closedir(dir);
  }
  return count;
}

// The bitmap's red, green and blue columns and the grey panel come back
// from the server exactly; at 2x (asked for by MORVEX_UI_SCALE or by an
// Xft.dpi of 192) the window is twice the size and every editor pixel is a
// 2 x 2 block. The layer names itself by whether a window is open.
TEST_F(X11EditorTest, PixelsReachTheWindowExactlyAtOneAndTwoTimes) {
  EXPECT_STREQ(editor->GetGUIAPI(), "Headless GUI");
  struct Expected {
    int x, y;
    Rgb colour;
  };
  // Editor pixels on both sides of every colour edge.
  const Expected expected[] = {
      {9, 10, {127, 127, 127}},   {10, 10, {255, 0, 0}},     {19, 19, {255, 0, 0}},
      {20, 10, {0, 255, 0}},      {29, 19, {0, 255, 0}},     {30, 10, {0, 0, 255}},
      {39, 19, {0, 0, 255}},      {40, 10, {127, 127, 127}}, {10, 20, {127, 127, 127}},
      {299, 99, {127, 127, 127}}, {0, 100, {10, 20, 30}},    {299, 199, {10, 20, 30}}};
  for (int pass = 0; pass < 3; ++pass) {
    const int scale = pass == 0 ? 1 : 2;
    if (pass == 1) setenv("MORVEX_UI_SCALE", "2", 1);
    if (pass == 2) {
      unsetenv("MORVEX_UI_SCALE");
      const char resources[] = "Xft.dpi:\t192\n";
      XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(resources),
                      sizeof resources - 1);
      XSync(display, False);
    }
    Open();
    EXPECT_STREQ(editor->GetGUIAPI(), "X11 GUI");
    EXPECT_EQ(editor->Scale(), scale);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, View(), &attributes));
    EXPECT_EQ(attributes.width, kWidth * scale);
    EXPECT_EQ(attributes.height, kHeight * scale);
    XImage* image = XGetImage(display, View(), 0, 0, static_cast<unsigned>(kWidth * scale),
                              static_cast<unsigned>(kHeight * scale), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    for (const Expected& e : expected) {
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          EXPECT_EQ(ScreenPixel(image, e.x * scale + dx, e.y * scale + dy), e.colour)
              << "editor " << e.x << "," << e.y << " at " << scale << "x";
        }
      }
    }
    XDestroyImage(image);
    editor->CloseWindow();
    EXPECT_STREQ(editor->GetGUIAPI(), "Headless GUI");
    editor->copies = 0;
  }
}

// Presses reach the editor at the pixel under the pointer (halved at 2x)
// with the modifiers of the contract: the left button has L, Super+left
// adds R, the right button has R and not L, Shift/Control/Alt are S/C/A.
// A second left press within 400 ms and 4 pixels is a double-click; the
// wheel gives +1 and -1 and never a press.
TEST_F(X11EditorTest, PointerEventsArriveInEditorPixelsWithTheirModifiers) {
  Open();
  Click(Button1, 10, 147);
  ASSERT_TRUE(ProbeSaw(2));
  EXPECT_EQ(probe->events[0], "down 10,147 L----");
  EXPECT_EQ(probe->events[1], "up 10,147 L----");

  Click(Button1, 12, 150);  // within 400 ms and 4 pixels of the last press
  ASSERT_TRUE(ProbeSaw(4));
  EXPECT_EQ(probe->events[2], "dbl 12,150 L----");
  Click(Button1, 17, 150);  // 5 pixels away: a new click
  ASSERT_TRUE(ProbeSaw(6));
  EXPECT_EQ(probe->events[4], "down 17,150 L----");
  Click(Button1, 17, 150, 450);  // same place, too late
  ASSERT_TRUE(ProbeSaw(8));
  EXPECT_EQ(probe->events[6], "down 17,150 L----");

  probe->events.clear();
  Click(Button4, 20, 120);
  Click(Button5, 20, 120);
  ASSERT_TRUE(ProbeSaw(2));
  RunFor(0.05);
  EXPECT_EQ(probe->events, (std::vector<std::string>{"wheel 20,120 1", "wheel 20,120 -1"}));

  probe->events.clear();
  Key(XK_Super_L, true);
  Click(Button1, 30, 130, 500);  // late, so not a double-click of the last
  Key(XK_Super_L, false);
  Click(Button3, 40, 140);
  Key(XK_Shift_L, true);
  Key(XK_Control_L, true);
  Key(XK_Alt_L, true);
  Click(Button1, 50, 160, 500);
  Key(XK_Alt_L, false);
  Key(XK_Control_L, false);
  Key(XK_Shift_L, false);
  ASSERT_TRUE(ProbeSaw(6));
  EXPECT_EQ(probe->events[0], "down 30,130 LR---");
  EXPECT_EQ(probe->events[2], "down 40,140 -R---");
  EXPECT_EQ(probe->events[3], "up 40,140 -R---");
  EXPECT_EQ(probe->events[4], "down 50,160 L-SCA");

  // At 2x the window is twice the editor: window pixel (20, 294) is the
  // editor's (10, 147).
  editor->CloseWindow();
  setenv("MORVEX_UI_SCALE", "2", 1);
  Open();
  probe->events.clear();
  Click(Button1, 21, 295, 500);
  ASSERT_TRUE(ProbeSaw(2));
  EXPECT_EQ(probe->events[0], "down 10,147 L----");
  EXPECT_EQ(probe->events[1], "up 10,147 L----");
}

// Keys go to the editor at the pointer's last position by keysym: "q" is
// 31 and a keypad digit (NumLock on) is a digit; F1 is not the editor's
// and goes on to the host window.
TEST_F(X11EditorTest, KeysMapByKeysymAndTheRestGoToTheHostWindow) {
  Open();
  XSetInputFocus(display, View(), RevertToParent, CurrentTime);
  MoveTo(5, 6);
  Tap(XK_q);
  ASSERT_TRUE(RunUntil([&] { return keys->events.size() >= 1; }));
  EXPECT_EQ(keys->events[0], "key 5,6 31");

  MoveTo(7, 8);
  Tap(XK_Num_Lock);
  Tap(XK_KP_7);
  Tap(XK_Num_Lock);
  ASSERT_TRUE(RunUntil([&] { return keys->events.size() >= 2; }));
  EXPECT_EQ(keys->events[1], "key 7,8 " + std::to_string(kKeyDigit0 + 7));

  // Num_Lock went to the host already; F1 follows it there.
  Tap(XK_F1);
  const unsigned int f1 = XKeysymToKeycode(display, XK_F1);
  XEvent forwarded = {};
  ASSERT_TRUE(RunUntil([&] {
    while (XCheckTypedWindowEvent(display, parent, KeyPress, &forwarded)) {
      if (forwarded.xkey.keycode == f1) return true;
    }
    return false;
  }));
  EXPECT_TRUE(forwarded.xkey.send_event);
  EXPECT_EQ(keys->events.size(), 2u);
  EXPECT_TRUE(probe->events.empty());
}

// The timer ticks about 25 times a second; while nothing changes nothing is
// copied, and a changed control copies exactly its own rectangle. Closing
// stops the ticks and leaves the run loop with nothing of the window's.
TEST_F(X11EditorTest, TimerTicksAtTheFrameRateAndCopiesOnlyWhatChanged) {
  const int descriptors = OpenDescriptors();
  Open();
  RunFor(0.1);  // the first picture settles
  const int ticks = ticker->ticks;
  const int copies = editor->copies;
  RunFor(1.0);
  EXPECT_GE(ticker->ticks - ticks, 22);
  EXPECT_LE(ticker->ticks - ticks, 27);
  EXPECT_EQ(editor->copies, copies);

  editor->copiedAreas.clear();
  probe->StoreFromPlug(0.5);
  ASSERT_TRUE(RunUntil([&] { return editor->copies > copies; }));
  RunFor(0.1);
  ASSERT_EQ(editor->copiedAreas.size(), 1u);
  EXPECT_EQ(editor->copiedAreas[0].L, 0);
  EXPECT_EQ(editor->copiedAreas[0].T, 100);
  EXPECT_EQ(editor->copiedAreas[0].R, kWidth);
  EXPECT_EQ(editor->copiedAreas[0].B, kHeight);

  editor->CloseWindow();
  EXPECT_EQ(editor->GetWindow(), nullptr);
  const int closedAt = ticker->ticks;
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false), kCFRunLoopRunFinished);
  EXPECT_EQ(ticker->ticks, closedAt);
  EXPECT_EQ(OpenDescriptors(), descriptors);  // the connection is closed
}

// A host that destroys its window removes the view with it: the editor
// closes, shows a cursor it had hidden for a drag (pointer put back), and
// leaves neither timer, source nor connection; it opens again in a new
// host window.
TEST_F(X11EditorTest, DestroyingTheHostWindowClosesTheViewAndLeavesNothing) {
  const int descriptors = OpenDescriptors();
  const auto errorHandler = [] {
    const XErrorHandler current = XSetErrorHandler(nullptr);
    XSetErrorHandler(current);
    return current;
  };
  const XErrorHandler hostHandler = errorHandler();
  Open();
  MoveTo(50, 160);
  RunFor(0.05);
  editor->HideMouseCursor();
  EXPECT_TRUE(editor->CursorHidden());
  MoveTo(200, 180);
  RunFor(0.05);

  XDestroyWindow(display, parent);
  XSync(display, False);
  ASSERT_TRUE(RunUntil([&] { return editor->GetWindow() == nullptr; }));
  EXPECT_FALSE(editor->CursorHidden());
  Window root, child;
  int rootX, rootY, x, y;
  unsigned int state;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &state);
  EXPECT_EQ(rootX, 50);
  EXPECT_EQ(rootY, 160);
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.1, false), kCFRunLoopRunFinished);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(errorHandler(), hostHandler);  // the host's Xlib error handler is back
  EXPECT_STREQ(editor->GetGUIAPI(), "Headless GUI");

  parent = MakeParent();
  editor->copies = 0;
  Open();
  Click(Button1, 10, 147);
  ASSERT_TRUE(ProbeSaw(2));
  EXPECT_EQ(probe->events[0], "down 10,147 L----");
}

// Without a display (or with a host window that does not exist) the open
// returns null and changes nothing; the editor still draws off screen.
TEST_F(X11EditorTest, WithoutADisplayTheOpenReturnsNullAndDrawingGoesOn) {
  EXPECT_EQ(editor->OpenWindow(AsParent(0x7FFFFFF)), nullptr);  // no such window
  EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false), kCFRunLoopRunFinished);
  unsetenv("DISPLAY");
  EXPECT_EQ(editor->OpenWindow(AsParent(parent)), nullptr);
  EXPECT_EQ(editor->OpenWindow(nullptr), nullptr);
  setenv("DISPLAY", ":65000", 1);  // no server there
  EXPECT_EQ(editor->OpenWindow(nullptr), nullptr);
  EXPECT_EQ(editor->GetWindow(), nullptr);
  EXPECT_STREQ(editor->GetGUIAPI(), "Headless GUI");
  setenv("DISPLAY", server.Display().c_str(), 1);

  IRECT all(0, 0, kWidth, kHeight);
  EXPECT_FALSE(editor->Draw(&all));  // drawn, but there is no screen to copy to
  EXPECT_EQ(editor->copies, 0);
  EXPECT_EQ(editor->GetPoint(15, 15).R, 255);
  EXPECT_EQ(editor->GetPoint(25, 15).G, 255);
  EXPECT_EQ(editor->GetPoint(35, 15).B, 255);
}

}  // namespace
}  // namespace x11_test
