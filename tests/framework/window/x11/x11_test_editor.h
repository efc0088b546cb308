#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/au/RunLoopEventLoop.h"
#include "framework/editor/IBitmapControl.h"
#include "framework/editor/IPanelControl.h"
#include "framework/window/x11/IGraphicsX11.h"
#include "platform/CFRunLoop.h"
#include "raster/LICE_MemBitmap.h"
#include "tests/framework/editor/probe_control.h"
#include "tests/support/TestPlug.h"
#include "tests/support/XvfbServer.h"

// Xlib after everything else: it defines None, Bool and Status as macros.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include "tests/framework/window/x11/x11_pixels.h"
// clang-format on

namespace x11_test {

// A probe that also writes down the modifiers of each button event.
class EventProbe : public ProbeControl {
 public:
  using ProbeControl::ProbeControl;
  void OnMouseDown(int x, int y, IMouseMod* mod) override {
    ProbeControl::OnMouseDown(x, y, mod);
    events.back() += Mods(*mod);
  }
  void OnMouseUp(int x, int y, IMouseMod* mod) override {
    ProbeControl::OnMouseUp(x, y, mod);
    events.back() += Mods(*mod);
  }
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override {
    ProbeControl::OnMouseDblClick(x, y, mod);
    events.back() += Mods(*mod);
  }
  static std::string Mods(const IMouseMod& mod) {
    std::string text = " ";
    text += mod.L ? 'L' : '-';
    text += mod.R ? 'R' : '-';
    text += mod.S ? 'S' : '-';
    text += mod.C ? 'C' : '-';
    text += mod.A ? 'A' : '-';
    return text;
  }
};

// Counts the timer's ticks: the editor asks every control whether it is
// dirty once per tick.
class TickCounter : public IControl {
 public:
  TickCounter() : IControl(nullptr, IRECT()) {}
  bool IsDirty() override {
    ++ticks;
    return IControl::IsDirty();
  }
  bool Draw(IGraphics*) override { return true; }
  int ticks = 0;
};

// The window layer as the tests see it: every screen copy is counted,
// remembered, and synchronised with the server so that a test reading the
// window back sees it.
class TestWindow : public IGraphicsX11 {
 public:
  using IGraphicsX11::IGraphicsX11;
  bool DrawScreen(IRECT* r) override {
    const bool copied = IGraphicsX11::DrawScreen(r);
    if (copied) {
      ++copies;
      copiedAreas.push_back(*r);
      XSync(GetDisplay(), False);
    }
    return copied;
  }
  bool CursorHidden() const { return mCursorHidden; }
  int copies = 0;
  std::vector<IRECT> copiedAreas;
};

// Runs the thread's run loop until the condition holds or the time is up;
// whether it held.
inline bool RunUntil(const std::function<bool()>& done, double seconds = 3.0) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, true);
  }
  return true;
}

inline void RunFor(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end)
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
}

// An X server, a host window at the screen's origin, and a 300 x 200
// editor of a test plug-in: a grey panel, a bitmap of red, green and blue
// columns at (10, 10), a probe over the lower half, a probe for the
// integer parameter that prompts for values, a key catcher and a tick
// counter.
class X11EditorTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 300, kHeight = 200;

  X11EditorTest() : server("800x600x24"), strip(30, 10) {
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 30; ++x) {
        const LICE_pixel colours[] = {LICE_RGBA(255, 0, 0, 255), LICE_RGBA(0, 255, 0, 255),
                                      LICE_RGBA(0, 0, 255, 255)};
        strip.getBits()[y * strip.getRowSpan() + x] = colours[x / 10];
      }
    }
  }

  void SetUp() override {
    unsetenv("MORVEX_UI_SCALE");
    CFRunLoopGetCurrent();  // the loop's own wake-up descriptor, made once
    ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
    XSetErrorHandler(OnXError);
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    parent = MakeParent();
    editor = new TestWindow(&plug, kWidth, kHeight, PlatformRunLoop());
    const IColor grey = COLOR_GRAY;
    editor->AttachPanelBackground(&grey);
    const IBitmap bitmap(&strip, 30, 10);
    editor->AttachControl(new IBitmapControl(&plug, 10, 10, &bitmap));
    probe = new EventProbe(&plug, IRECT(0, 100, kWidth, kHeight));
    editor->AttachControl(probe);
    stages = new ProbeControl(&plug, IRECT(100, 20, 180, 60), TestPlug::kStages);
    stages->SetPromptDisabled(false);
    editor->AttachControl(stages);
    ticker = new TickCounter();
    editor->AttachControl(ticker);
    keys = new ProbeControl(&plug, IRECT());
    editor->AttachKeyCatcher(keys);
    plug.AttachGraphics(editor);  // the plug-in owns the editor from here
  }

  void TearDown() override {
    if (display) XCloseDisplay(display);
  }

  // A window the editor destroys (a tooltip, a menu) may vanish between a
  // query of the tree and a look at it; any other error fails the test
  // rather than ending the program, as Xlib's handler would.
  static int OnXError(Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow) {
      ADD_FAILURE() << "X error " << static_cast<int>(error->error_code) << " in request "
                    << static_cast<int>(error->request_code);
    }
    return 0;
  }

  Window MakeParent() {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 500,
                                              0, 0, WhitePixel(display, 0));
    XSelectInput(display, window, KeyPressMask);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
  }

  static void* AsParent(Window window) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
  }
  Window View() const {
    return static_cast<Window>(reinterpret_cast<uintptr_t>(editor->GetWindow()));
  }

  // Opens the editor in the host window and waits for its first picture.
  void Open() {
    const int before = editor->copies;
    ASSERT_NE(editor->OpenWindow(AsParent(parent)), nullptr);
    ASSERT_TRUE(RunUntil([&] { return editor->copies > before; }));
  }

  Rgb ScreenPixel(XImage* image, int x, int y) const {
    return ReadBack(image, x, y, DefaultVisual(display, 0));
  }

  // Pointer input through XTest, in root pixels (the host window, and the
  // view in it, sit at the origin).
  void MoveTo(int x, int y) {
    XTestFakeMotionEvent(display, -1, x, y, 0);
    XFlush(display);
  }
  void Click(unsigned int button, int x, int y, unsigned long delayMs = 0) {
    MoveTo(x, y);
    XTestFakeButtonEvent(display, button, True, delayMs);
    XTestFakeButtonEvent(display, button, False, 0);
    XFlush(display);
  }
  void Key(KeySym keysym, bool press) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), press, 0);
    XFlush(display);
  }
  void Tap(KeySym keysym) {
    Key(keysym, true);
    Key(keysym, false);
  }
  // Runs the action from the run loop after the given time, so that it can
  // act while a modal window runs a nested loop.
  static void After(double seconds, std::function<void()> action) {
    auto* held = new std::function<void()>(std::move(action));
    CFRunLoopTimerContext context = {0, held, nullptr, Forget, nullptr};
    CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + seconds, 0,
                                                   0, 0, RunAction, &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    CFRelease(timer);
  }
  static void RunAction(CFRunLoopTimerRef, void* info) {
    (*static_cast<std::function<void()>*>(info))();
  }
  static void Forget(const void* info) { delete static_cast<const std::function<void()>*>(info); }

  // Mapped windows the window manager may not touch (menus, boxes without
  // one, tooltips) directly under the root.
  std::vector<Window> Popups() {
    std::vector<Window> found;
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &count);
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable && attributes.override_redirect) {
        found.push_back(children[i]);
      }
    }
    if (children) XFree(children);
    return found;
  }

  // The view's child windows (the text field).
  std::vector<Window> ViewChildren() {
    std::vector<Window> found;
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, View(), &root, &up, &children, &count))
      found.assign(children, children + count);
    if (children) XFree(children);
    return found;
  }

  bool ProbeSaw(size_t count) {
    return RunUntil([&] { return probe->events.size() >= count; });
  }

  test_support::XvfbServer server;
  LICE_MemBitmap strip;
  TestPlug plug;
  Display* display = nullptr;
  Window parent = 0;
  TestWindow* editor = nullptr;
  EventProbe* probe = nullptr;
  ProbeControl* stages = nullptr;  // bound to the integer parameter
  TickCounter* ticker = nullptr;
  ProbeControl* keys = nullptr;
};

}  // namespace x11_test
