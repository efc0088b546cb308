// Morvex's LV2 user interface in a small suil host under Xvfb: embedded in
// the host's window, driven by idle calls, knob gestures out as port writes
// and port events in as control movements; the readout and the preset menu
// are the Audio Unit editor's.
#include <gtest/gtest.h>
#include <suil/suil.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "effect/Morvex.h"
#include "effect/MorvexReadout.h"
#include "framework/au/MakePlug.h"
#include "framework/editor/IGraphics.h"
#include "framework/plugin/IParam.h"
#include "lv2/ui/ui.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_fill.h"
#include "raster/lice_png.h"
#include "tests/effect/lv2/MorvexWorld.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"
// Xlib last: its macros clash with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
constexpr int kWidth = 424;
constexpr int kHeight = 104;
// The Mix knob's middle, in editor pixels.
constexpr int kMixX = 43;
constexpr int kMixY = 68;
// The readout's band, under the knobs.
constexpr int kBandTop = 88, kBandBottom = 102;

// The stereo plug-in's user interface through suil, as a host makes it,
// in the parent window given, or with none; null when it refuses.
SuilInstance* OpenUI(MorvexWorld& host, SuilHost* suil, void* controller, void* parentWindow) {
  const LilvPlugin* plugin = host.plugin(MorvexWorld::kStereo);
  if (!plugin) return nullptr;
  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  const LV2_Feature parent = {LV2_UI__parent, parentWindow};
  const LV2_Feature idle = {LV2_UI__idleInterface, nullptr};
  const LV2_Feature* withParent[] = {&parent, &idle, host.urids().feature(), nullptr};
  const LV2_Feature* withoutParent[] = {&idle, host.urids().feature(), nullptr};
  SuilInstance* instance = suil_instance_new(
      suil, controller, LV2_UI__X11UI, MorvexWorld::kStereo, lilv_node_as_uri(lilv_ui_get_uri(ui)),
      LV2_UI__X11UI, bundle, binary, parentWindow ? withParent : withoutParent);
  lilv_free(bundle);
  lilv_free(binary);
  lilv_uis_free(uis);
  return instance;
}

class MorvexLV2UI : public testing::Test {
 protected:
  void SetUp() override {
    if (mServer.Display().empty()) GTEST_SKIP() << "no Xvfb";
    // The user's presets in a folder of the test's own.
    setenv("XDG_DATA_HOME", mData.path().c_str(), 1);
    mDisplay = XOpenDisplay(nullptr);
    ASSERT_NE(mDisplay, nullptr);
    mParent = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 600, 300, 0, 0, 0);
    XMapWindow(mDisplay, mParent);
    XSync(mDisplay, False);

    mSuil = suil_host_new(Write, nullptr, nullptr, nullptr);
    suil_host_set_touch_func(mSuil, Touch);
    mUI = OpenUI(mHost, mSuil, this, reinterpret_cast<void*>(mParent));
    ASSERT_NE(mUI, nullptr);
    mIdle = static_cast<const LV2UI_Idle_Interface*>(
        suil_instance_extension_data(mUI, LV2_UI__idleInterface));
    ASSERT_NE(mIdle, nullptr);
    mView = reinterpret_cast<Window>(suil_instance_get_widget(mUI));
    Idle(5);
  }

  void TearDown() override {
    if (mUI) suil_instance_free(mUI);
    if (mSuil) suil_host_free(mSuil);
    if (mDisplay) XCloseDisplay(mDisplay);
  }

  static void Write(SuilController controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer) {
    if (size == sizeof(float) && protocol == 0) {
      static_cast<MorvexLV2UI*>(controller)
          ->mWrites.emplace_back(port, *static_cast<const float*>(buffer));
    }
  }
  static void Touch(SuilController controller, uint32_t port, bool grabbed) {
    static_cast<MorvexLV2UI*>(controller)->mTouches.emplace_back(port, grabbed);
  }

  // The host's idle calls, a frame apart; each must report the view open.
  void Idle(int calls) {
    for (int i = 0; i < calls; ++i) {
      ASSERT_EQ(mIdle->idle(suil_instance_get_handle(mUI)), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  void PortEvent(uint32_t port, float value) {
    suil_instance_port_event(mUI, port, sizeof value, 0, &value);
    Idle(5);
  }

  // The view's pixels as 0xRRGGBB.
  std::vector<unsigned long> Pixels() {
    XImage* image = XGetImage(mDisplay, mView, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    std::vector<unsigned long> pixels;
    for (int y = 0; image && y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
    if (image) XDestroyImage(image);
    return pixels;
  }

  void Drag(int x, int y, int dy) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(mDisplay, mView, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY,
                          &child);
    PointAt(x, y);
    Press(1, true);
    Idle(2);
    for (int step = 1; step <= 4; ++step) {
      XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX, rootY + dy * step / 4,
                           CurrentTime);
      XSync(mDisplay, False);
      Idle(2);
    }
    Press(1, false);
    Idle(3);
  }

  // The pointer to (x, y) of the view, or a button, through XTest.
  void PointAt(int x, int y) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(mDisplay, mView, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX, rootY, CurrentTime);
    XSync(mDisplay, False);
  }
  void Press(unsigned int button, bool down) {
    XTestFakeButtonEvent(mDisplay, button, down, CurrentTime);
    XSync(mDisplay, False);
  }

  test_support::TempDir mData;
  test_support::XvfbServer mServer;
  Display* mDisplay = nullptr;
  Window mParent = 0;
  Window mView = 0;
  MorvexWorld mHost;
  SuilHost* mSuil = nullptr;
  SuilInstance* mUI = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  std::vector<std::pair<uint32_t, float>> mWrites;
  std::vector<std::pair<uint32_t, bool>> mTouches;
};

TEST_F(MorvexLV2UI, OpensInTheHostsWindowAtTheEditorsSize) {
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(mDisplay, mView, &attributes));
  EXPECT_EQ(attributes.width, kWidth);
  EXPECT_EQ(attributes.height, kHeight);
  EXPECT_EQ(attributes.map_state, IsViewable);
  Window root, parent, *children = nullptr;
  unsigned int nChildren = 0;
  XQueryTree(mDisplay, mView, &root, &parent, &children, &nChildren);
  if (children) XFree(children);
  EXPECT_EQ(parent, mParent);

  // A picture of it, for a person to look at.
  LICE_MemBitmap shot(kWidth, kHeight);
  const std::vector<unsigned long> pixels = Pixels();
  ASSERT_EQ(pixels.size(), static_cast<size_t>(kWidth * kHeight));
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const unsigned long p = pixels[static_cast<size_t>(y * kWidth + x)];
      shot.getBits()[y * shot.getRowSpan() + x] =
          LICE_RGBA(static_cast<int>(p >> 16), static_cast<int>((p >> 8) & 255),
                    static_cast<int>(p & 255), 255);
    }
  EXPECT_TRUE(LICE_WritePNG("morvex-lv2-ui.png", &shot, false));
}

TEST_F(MorvexLV2UI, DraggingTheMixKnobWritesItsPortBetweenTouches) {
  Drag(kMixX, kMixY, -40);
  ASSERT_FALSE(mWrites.empty());
  for (const auto& write : mWrites)
    EXPECT_EQ(write.first, 0u) << "only the Mix port";
  EXPECT_GT(mWrites.back().second, 0.5f);
  ASSERT_GE(mTouches.size(), 2u);
  EXPECT_EQ(mTouches.front(), std::make_pair(0u, true));
  EXPECT_EQ(mTouches.back(), std::make_pair(0u, false));
}

TEST_F(MorvexLV2UI, PortEventsMoveTheKnobAndTheLfoDisplay) {
  const std::vector<unsigned long> before = Pixels();
  PortEvent(0, 1.0f);
  const std::vector<unsigned long> mixMoved = Pixels();
  int changedInMixArea = 0;  // the knob and its ring, left of x = 110
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < 110; ++x) {
      const size_t i = static_cast<size_t>(y * kWidth + x);
      changedInMixArea += before[i] != mixMoved[i];
    }
  EXPECT_GT(changedInMixArea, 0);
  EXPECT_TRUE(mWrites.empty()) << "a port event is not echoed back";

  PortEvent(7, 0.0f);
  const std::vector<unsigned long> low = Pixels();
  PortEvent(7, 1.0f);
  EXPECT_NE(Pixels(), low) << "the LFO display follows the output port";
}

// Resting on the Mix knob shows, after the tooltip delay, the very readout
// the Audio Unit editor draws for the same value, pixel for pixel.
TEST_F(MorvexLV2UI, HoveringShowsTheAudioUnitEditorsReadout) {
  PortEvent(0, 0.25f);
  PointAt(kMixX, kMixY);
  Idle(static_cast<int>(MorvexReadout::kHoverDelaySeconds / 0.02) + 25);
  const std::vector<unsigned long> shown = Pixels();

  std::unique_ptr<IPlugAU> plug(MakePlug());
  auto* editor = dynamic_cast<IGraphics*>(plug->DemandGUI());
  ASSERT_NE(editor, nullptr) << "no editor: are the images in the bundle's Resources?";
  plug->GetParam(Morvex::kMix)->Set(0.25);
  editor->SetParameterFromPlug(Morvex::kMix, 0.25, false);
  plug->OnParamChange(Morvex::kMix);
  auto* readout = dynamic_cast<MorvexReadout*>(editor->GetControl(editor->NControls() - 1));
  ASSERT_NE(readout, nullptr);
  for (int i = 0; i < editor->NControls(); ++i)
    if (editor->GetControl(i)->ParamIdx() == Morvex::kMix) readout->Follow(editor->GetControl(i));
  EXPECT_EQ(readout->Text(), "Mix dry 85% / wet 15%");
  IRECT whole(0, 0, kWidth, kHeight);
  editor->Draw(&whole);
  const LICE_IBitmap* expected = editor->GetDrawBitmap();
  int differing = 0;
  for (int y = kBandTop; y < kBandBottom; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const LICE_pixel p = LICE_GetPixel(expected, x, y);
      const unsigned long rgb = static_cast<unsigned long>(LICE_GETR(p)) << 16 |
                                static_cast<unsigned long>(LICE_GETG(p)) << 8 | LICE_GETB(p);
      differing += shown[static_cast<size_t>(y * kWidth + x)] != rgb;
    }
  EXPECT_EQ(differing, 0);
  // And it is there at all: the box's colour straight under the knob.
  EXPECT_EQ(shown[static_cast<size_t>(kBandTop * kWidth + kMixX)], 0x18181cu);
}

// A right click on the panel opens the preset menu; choosing Hexagon loads
// it through the plug-in, and the host hears of the three parameters it
// changes from the defaults as port writes, each between touches, and of
// no value but Hexagon's.
TEST_F(MorvexLV2UI, ThePresetMenuLoadsAPresetThroughPortWrites) {
  // The menu runs inside the idle call the click arrives in, so the keys
  // come from another connection meanwhile.
  std::thread keys([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    const auto tap = [display](KeySym keysym) {
      XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, CurrentTime);
      XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), False, CurrentTime);
      XSync(display, False);
    };
    for (int i = 0; i < 6; ++i)
      tap(XK_Down);
    tap(XK_Return);
    XCloseDisplay(display);
  });
  PointAt(300, 20);
  Press(3, true);
  Press(3, false);
  Idle(10);
  keys.join();
  Idle(5);
  // The three in gestures first; the program change then writes every
  // port, each with Hexagon's value.
  const std::vector<std::pair<uint32_t, float>> changed = {
      {Morvex::kStages, 5.0f}, {Morvex::kFeedback, 0.72f}, {Morvex::kSpread, 0.0f}};
  ASSERT_GE(mWrites.size(), changed.size());
  using Writes = std::vector<std::pair<uint32_t, float>>;
  EXPECT_EQ(Writes(mWrites.begin(), mWrites.begin() + 3), changed);
  const float hexagon[Morvex::kNumParams] = {0.5f, 5.0f, 0.0f, 0.72f, 0.0f, 0.29f, 1.0f};
  for (const auto& write : mWrites) {
    ASSERT_LT(write.first, static_cast<uint32_t>(Morvex::kNumParams));
    EXPECT_EQ(write.second, hexagon[write.first]) << "port " << write.first;
  }
  const std::vector<std::pair<uint32_t, bool>> touches = {
      {Morvex::kStages, true},    {Morvex::kStages, false}, {Morvex::kFeedback, true},
      {Morvex::kFeedback, false}, {Morvex::kSpread, true},  {Morvex::kSpread, false}};
  EXPECT_EQ(mTouches, touches);
}
// Without a display the user interface opens neither in a host's window
// nor in one of its own: it makes no instance, rather than hand the host a
// widget on no screen.
TEST(MorvexLV2UIWithoutADisplay, MakesNoInstance) {
  const char* display = std::getenv("DISPLAY");
  const std::string previous = display ? display : "";
  unsetenv("DISPLAY");
  MorvexWorld host;
  SuilHost* suil = suil_host_new(nullptr, nullptr, nullptr, nullptr);
  SuilInstance* embedded =
      OpenUI(host, suil, nullptr, reinterpret_cast<void*>(uintptr_t{0x400001}));
  SuilInstance* ownWindow = OpenUI(host, suil, nullptr, nullptr);
  EXPECT_EQ(embedded, nullptr);
  EXPECT_EQ(ownWindow, nullptr);
  for (SuilInstance* instance : {embedded, ownWindow})
    if (instance) suil_instance_free(instance);
  suil_host_free(suil);
  if (display) setenv("DISPLAY", previous.c_str(), 1);
}

}  // namespace
