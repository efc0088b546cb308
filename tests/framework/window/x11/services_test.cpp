#include "tests/framework/window/x11/x11_ui_harness.h"
// clang-format off
#include <X11/Xatom.h>
#include <X11/keysym.h>
// clang-format on

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "framework/window/x11/X11Clipboard.h"
#include "framework/window/x11/X11MessageBox.h"
#include "framework/window/x11/X11Tooltip.h"

namespace {

using namespace x11_ui_test;

class X11ServicesTest : public XDisplayTest {
 protected:
  void TearDown() override {
    mBox.reset();
    XDisplayTest::TearDown();
  }

  X11MessageBox* OpenBox(int type, const char* caption = "Morvex") {
    mBox.reset();
    mBox = std::make_unique<X11MessageBox>(mDisplay, DefaultScreen(mDisplay), &mFonts,
                                           "Replace the preset?", caption, type, 1);
    const Window window = mBox->GetWindow();
    // Modal: it has the keyboard as soon as it shows.
    EXPECT_TRUE(PumpUntil(mDisplay, Pump(), [&] {
      Window focus;
      int revert;
      XGetInputFocus(mDisplay, &focus, &revert);
      return focus == window;
    }));
    return mBox.get();
  }
  Handler Pump() {
    return [this](const XEvent& e) {
      if (mBox) mBox->HandleEvent(e);
    };
  }
  // The button's centre in root pixels.
  void ButtonCentre(const std::string& label, int* x, int* y) {
    for (const auto& b : mBox->Buttons()) {
      if (b.label != label) continue;
      Window child;
      XTranslateCoordinates(mDisplay, mBox->GetWindow(), DefaultRootWindow(mDisplay), b.x + b.w / 2,
                            b.y + b.h / 2, x, y, &child);
      return;
    }
    ADD_FAILURE() << "no button " << label;
  }
  void ClickButton(const std::string& label) {
    int x = 0, y = 0;
    ButtonCentre(label, &x, &y);
    ClickAt(mDisplay, Pump(), x, y);
  }

  IGraphicsOffscreen mFonts{nullptr, 10, 10};
  std::unique_ptr<X11MessageBox> mBox;
};

std::vector<std::string> Labels(const X11MessageBox& box) {
  std::vector<std::string> labels;
  for (const auto& b : box.Buttons())
    labels.push_back(b.label);
  return labels;
}

// Buttons by type as on the Mac; the default button answers 1, "No" 7 and
// "Cancel" 2, by key and by click; Escape needs a "Cancel"; a press
// dragged off its button picks nothing; the caption is the title.
TEST_F(X11ServicesTest, MessageBoxAnswersByKeyAndClick) {
  using V = std::vector<std::string>;
  X11MessageBox* box = OpenBox(3, "Save changes");
  EXPECT_EQ(Labels(*box), (V{"Yes", "No", "Cancel"}));
  char* title = nullptr;
  ASSERT_TRUE(XFetchName(mDisplay, box->GetWindow(), &title));
  EXPECT_STREQ(title, "Save changes");
  XFree(title);
  PressKey(mDisplay, Pump(), XK_Return);
  EXPECT_EQ(box->GetResult(), 1);

  box = OpenBox(3);
  PressKey(mDisplay, Pump(), XK_Escape);
  EXPECT_EQ(box->GetResult(), 2);

  box = OpenBox(4);
  EXPECT_EQ(Labels(*box), (V{"Yes", "No"}));
  PressKey(mDisplay, Pump(), XK_Escape);
  EXPECT_FALSE(box->Finished()) << "no Cancel to pick";
  ClickButton("No");
  EXPECT_EQ(box->GetResult(), 7);

  box = OpenBox(1);
  EXPECT_EQ(Labels(*box), (V{"OK", "Cancel"}));
  int okX = 0, okY = 0;
  ButtonCentre("OK", &okX, &okY);
  MovePointer(mDisplay, okX, okY);
  Settle(mDisplay, Pump());
  Button(mDisplay, 1, true);
  Settle(mDisplay, Pump());
  MovePointer(mDisplay, okX, okY - 100);
  Button(mDisplay, 1, false);
  Settle(mDisplay, Pump());
  EXPECT_FALSE(box->Finished()) << "released off the button";
  ClickButton("Cancel");
  EXPECT_EQ(box->GetResult(), 2);

  box = OpenBox(1);
  ClickButton("OK");
  EXPECT_EQ(box->GetResult(), 1);

  box = OpenBox(0);
  EXPECT_EQ(Labels(*box), (V{"OK"}));
  Settle(mDisplay, Pump());
  SaveScreenshot(mDisplay, "message_box.png");
  LICE_MemBitmap screen;
  CaptureRoot(mDisplay, &screen);
  int x = 0, y = 0;
  ButtonCentre("OK", &x, &y);
  EXPECT_LT(DarkestIn(screen, x - 12, y - 6, x + 12, y + 6), 80) << "the label is drawn";
  PressKey(mDisplay, Pump(), XK_KP_Enter);
  EXPECT_EQ(box->GetResult(), 1);
  EXPECT_EQ(box->GetWindow(), 0u) << "the window goes once answered";
}

// A second client owning CLIPBOARD, answering as told.
class ClipboardOwner {
 public:
  enum Mode { kUtf8, kLatin1Only, kSilent };

  ClipboardOwner(std::string bytes, Mode mode) : mBytes(std::move(bytes)), mMode(mode) {
    std::promise<void> owning;
    std::future<void> ready = owning.get_future();
    mThread = std::thread([this, &owning] { Run(&owning); });
    ready.wait();
  }
  ~ClipboardOwner() {
    mStop = true;
    mThread.join();
  }

 private:
  void Run(std::promise<void>* owning) {
    Display* d = XOpenDisplay(nullptr);
    const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XSetSelectionOwner(d, clipboard, window, CurrentTime);
    XSync(d, False);
    owning->set_value();
    while (!mStop) {
      pollfd connection = {ConnectionNumber(d), POLLIN, 0};
      poll(&connection, 1, 20);
      // The silent owner never reads its requests.
      while (mMode != kSilent && XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != SelectionRequest) continue;
        const XSelectionRequestEvent& request = e.xselectionrequest;
        XEvent reply = {};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        const bool answer = (mMode == kUtf8 && request.target == utf8) ||
                            (mMode == kLatin1Only && request.target == XA_STRING);
        if (answer) {
          XChangeProperty(d, request.requestor, request.property, request.target, 8,
                          PropModeReplace, reinterpret_cast<const unsigned char*>(mBytes.data()),
                          static_cast<int>(mBytes.size()));
          reply.xselection.property = request.property;
        }
        XSendEvent(d, request.requestor, False, 0, &reply);
        XFlush(d);
      }
    }
    XDestroyWindow(d, window);
    XCloseDisplay(d);
  }

  std::string mBytes;
  Mode mMode;
  std::atomic<bool> mStop{false};
  std::thread mThread;
};

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// UTF-8 text arrives intact, Latin-1 from an owner without UTF-8 arrives
// as UTF-8, no owner is a quick false and an owner that never answers a
// false within the time-out; the editor's own events stay queued.
TEST_F(X11ServicesTest, ClipboardRoundTripAndTimeOut) {
  const Window requestor =
      XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
  X11Clipboard clipboard(mDisplay, requestor);
  std::string text = "stale";
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(clipboard.GetText(&text));
  EXPECT_LT(MillisecondsSince(start), 100);
  EXPECT_EQ(text, "");

  XEvent own = {};
  own.xclient.type = ClientMessage;
  own.xclient.window = requestor;
  own.xclient.message_type = XA_INTEGER;
  own.xclient.format = 32;
  XSendEvent(mDisplay, requestor, False, 0, &own);
  {
    ClipboardOwner owner(
        "Gr\xC3\xBC\xC3\x9F"
        "e 0.5",
        ClipboardOwner::kUtf8);
    EXPECT_TRUE(clipboard.GetText(&text));
    EXPECT_EQ(text,
              "Gr\xC3\xBC\xC3\x9F"
              "e 0.5");
  }
  XEvent kept;
  EXPECT_TRUE(XCheckTypedWindowEvent(mDisplay, requestor, ClientMessage, &kept));
  {
    ClipboardOwner owner(
        "Gr\xFC\xDF"
        "e 0.5",
        ClipboardOwner::kLatin1Only);
    EXPECT_TRUE(clipboard.GetText(&text));
    EXPECT_EQ(text,
              "Gr\xC3\xBC\xC3\x9F"
              "e 0.5");
  }
  {
    ClipboardOwner owner("never sent", ClipboardOwner::kSilent);
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(clipboard.GetText(&text));
    const long long waited = MillisecondsSince(start);
    EXPECT_GE(waited, 400);
    EXPECT_LT(waited, 1000);
    EXPECT_EQ(text, "");
  }
}

// The tooltip shows below and right of the point, stays on the screen
// without covering the point, and an empty text or Hide removes it.
TEST_F(X11ServicesTest, TooltipPlacementAndHiding) {
  X11Tooltip tip(mDisplay, DefaultScreen(mDisplay), &mFonts, 1);
  auto frame = [&](XWindowAttributes* at) {
    Settle(mDisplay, [&](const XEvent& e) { tip.HandleEvent(e); });
    XGetWindowAttributes(mDisplay, tip.GetWindow(), at);
  };
  XWindowAttributes at;
  tip.Show("Feedback amount", 100, 100);
  ASSERT_TRUE(tip.IsShown());
  frame(&at);
  EXPECT_GT(at.x, 100);
  EXPECT_GT(at.y, 100);
  LICE_MemBitmap screen;
  CaptureRoot(mDisplay, &screen);
  EXPECT_LT(DarkestIn(screen, at.x, at.y + 2, at.x + at.width, at.y + at.height - 2), 80);

  const int w = DisplayWidth(mDisplay, 0), h = DisplayHeight(mDisplay, 0);
  tip.Show("Feedback amount", w - 3, h - 3);
  frame(&at);
  EXPECT_LE(at.x + at.width, w);
  EXPECT_LE(at.y + at.height, h);
  EXPECT_LT(at.y + at.height, h - 3) << "above the point, not over it";

  tip.Show("", 10, 10);
  EXPECT_FALSE(tip.IsShown());
  tip.Show("Mix", 10, 10);
  tip.Hide();
  EXPECT_EQ(tip.GetWindow(), 0u);
}

}  // namespace
