// Morvex's editor in a real X11 window under Xvfb, driven with XTest as a
// user drives it: the readout on hover and while dragging, typed values
// through the field a right click opens, and the preset menu with the
// user's own presets.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "effect/Morvex.h"
#include "effect/MorvexPanel.h"
#include "effect/MorvexReadout.h"
#include "effect/ParameterMeaning.h"
#include "framework/au/MakePlug.h"
#include "framework/editor/IGraphics.h"
#include "framework/plugin/IParam.h"
#include "platform/AudioToolbox.h"
#include "platform/CFRunLoop.h"
#include "platform/HostEvents.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_fill.h"
#include "raster/lice_png.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

// Xlib last: it defines None, Bool and Status as macros.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
// clang-format on

namespace {

bool RunUntil(const std::function<bool()>& done, double seconds = 5.0) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, true);
  }
  return true;
}

void RunFor(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end)
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
}

// What the host hears: event type and parameter.
std::vector<std::pair<AudioUnitEventType, AudioUnitParameterID>> gEvents;
void Hook(void*, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue) {
  gEvents.emplace_back(event->mEventType, event->mArgument.mParameter.mParameterID);
}

// Centres of controls, in editor pixels.
struct Point {
  int x, y;
};
constexpr Point kFreqKnob = {168, 68};
constexpr Point kRateKnob = {343, 68};
constexpr Point kDepthKnob = {393, 68};
constexpr Point kStages = {103, 63};
constexpr Point kEmptyPanel = {300, 20};

class MorvexX11ReadoutTest : public ::testing::Test {
 protected:
  MorvexX11ReadoutTest() : mServer("1024x768x24") {}

  void SetUp() override {
    // The user's presets in a folder of the test's own.
    setenv("XDG_DATA_HOME", mData.path().c_str(), 1);
    CFRunLoopGetCurrent();
    ASSERT_FALSE(mServer.Display().empty()) << "Xvfb did not start";
    mDisplay = XOpenDisplay(nullptr);
    ASSERT_NE(mDisplay, nullptr);
    mParent = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 900, 300, 0, 0,
                                  WhitePixel(mDisplay, 0));
    XMapWindow(mDisplay, mParent);
    XSync(mDisplay, False);
    mPlug.reset(MakePlug());
    mEditor = dynamic_cast<IGraphics*>(mPlug->DemandGUI());
    ASSERT_NE(mEditor, nullptr) << "no editor: are the images in the bundle's Resources?";
    mReadout = dynamic_cast<MorvexReadout*>(mEditor->GetControl(mEditor->NControls() - 1));
    ASSERT_NE(mReadout, nullptr);
  }

  void TearDown() override {
    HostSetAUEventHook(nullptr, nullptr);
    if (mEditor) mEditor->CloseWindow();
    mPlug.reset();
    if (mDisplay) XCloseDisplay(mDisplay);
  }

  void Open(int scale) {
    setenv("MORVEX_UI_SCALE", scale == 2 ? "2" : "1", 1);
    mScale = scale;
    ASSERT_NE(mEditor->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(mParent))),
              nullptr);
    RunFor(0.3);
  }

  // Pointer and keys through XTest; the view sits at the host window's
  // origin, which is the root's.
  void MoveTo(Point p) {
    XTestFakeMotionEvent(mDisplay, -1, p.x * mScale + mScale / 2, p.y * mScale + mScale / 2, 0);
    XFlush(mDisplay);
  }
  void Button(unsigned int button, bool press) {
    XTestFakeButtonEvent(mDisplay, button, press, 0);
    XFlush(mDisplay);
  }
  void Click(unsigned int button, Point p) {
    MoveTo(p);
    RunFor(0.05);
    Button(button, true);
    Button(button, false);
    RunFor(0.1);
  }
  void Tap(KeySym keysym) {
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), True, 0);
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), False, 0);
    XFlush(mDisplay);
  }
  // Empties the field and types text made of characters that need no
  // shift.
  void Type(const std::string& text) {
    RunFor(0.1);  // the field takes the keyboard's focus first
    for (int i = 0; i < 16; ++i)
      Tap(XK_BackSpace);
    for (char ch : text)
      Tap(ch == ' ' ? XK_space : ch == '.' ? XK_period : ch == '-' ? XK_minus : ch);
    RunFor(0.2);
  }
  // The view's children: the text field while one is open.
  size_t FieldsOpen() {
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    const Window view = static_cast<Window>(reinterpret_cast<uintptr_t>(mEditor->GetWindow()));
    XQueryTree(mDisplay, view, &root, &up, &children, &count);
    if (children) XFree(children);
    return count;
  }

  double Plain(int param) const {
    const IParam* p = mPlug->GetParam(param);
    return p ? p->Value() : NAN;
  }
  double Normalized(int param) const {
    const IParam* p = mPlug->GetParam(param);
    return p ? p->GetNormalized() : NAN;
  }
  const IControl* ControlOf(int param) const {
    for (int i = 0; i < mEditor->NControls(); ++i)
      if (mEditor->GetControl(i)->ParamIdx() == param) return mEditor->GetControl(i);
    return nullptr;
  }
  // What the unit law says the parameter's value means, as the readout
  // must say it.
  std::string Expected(int param) const {
    return std::string(mPlug->GetParam(param)->GetNameForHost()) + " " +
           ValueText(param, Plain(param), Plain(Morvex::kFreq), 44100.0);
  }
  // The normalised value the law gives for typed text.
  double Typed(int param, const std::string& text) const {
    const IParam* p = mPlug->GetParam(param);
    if (!p) return NAN;
    const auto plain =
        ValueFromText(param, {p->GetMin(), p->GetMax(), p->Type() == IParam::kTypeInt}, text,
                      Plain(Morvex::kFreq), 44100.0);
    EXPECT_TRUE(plain.has_value()) << text;
    return plain ? p->GetNormalized(*plain) : -1.0;
  }

  // The view as it is on the screen (or w x h of the screen from the
  // view's corner, to take in a menu), written where MORVEX_SCREENSHOTS
  // names a folder.
  void Screenshot(const char* name, int w = 0, int h = 0) {
    const char* folder = std::getenv("MORVEX_SCREENSHOTS");
    if (!folder) return;
    Window source = static_cast<Window>(reinterpret_cast<uintptr_t>(mEditor->GetWindow()));
    if (w > 0) {
      source = DefaultRootWindow(mDisplay);
    } else {
      w = mEditor->Width() * mScale;
      h = mEditor->Height() * mScale;
    }
    XImage* image = XGetImage(mDisplay, source, 0, 0, w, h, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    LICE_MemBitmap bitmap(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        bitmap.getBits()[y * bitmap.getRowSpan() + x] =
            LICE_RGBA((p >> 16) & 255, (p >> 8) & 255, p & 255, 255);
      }
    XDestroyImage(image);
    EXPECT_TRUE(LICE_WritePNG((std::string(folder) + "/" + name).c_str(), &bitmap, false));
  }

  // Sets every parameter, as a user would, to plain values.
  void SetAll(const double (&plain)[Morvex::kNumParams]) {
    for (int p = 0; p < Morvex::kNumParams; ++p) {
      const double normalized = mPlug->GetParam(p)->GetNormalized(plain[p]);
      mPlug->SetParameterFromGUI(p, normalized);
      mEditor->SetParameterFromPlug(p, normalized, true);
    }
  }
  std::string UserPreset(const std::string& name) const {
    return mData / ("morvex/presets/" + name + ".aupreset");
  }

  test_support::TempDir mData;
  test_support::XvfbServer mServer;
  Display* mDisplay = nullptr;
  Window mParent = 0;
  std::unique_ptr<IPlugAU> mPlug;
  IGraphics* mEditor = nullptr;
  MorvexReadout* mReadout = nullptr;
  int mScale = 1;
};

// Resting on a knob shows nothing at first and, after the tooltip delay,
// the parameter's name and meaning, in a box under the knob; leaving the
// knob takes it away.
TEST_F(MorvexX11ReadoutTest, HoveringShowsTheReadoutAfterTheTooltipDelay) {
  Open(1);
  MoveTo(kFreqKnob);
  const auto start = std::chrono::steady_clock::now();
  RunFor(0.5);
  EXPECT_EQ(mReadout->Text(), "");
  ASSERT_TRUE(RunUntil([&] { return !mReadout->Text().empty(); }));
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, MorvexReadout::kHoverDelaySeconds - 0.05);
  EXPECT_EQ(mReadout->Text(), Expected(Morvex::kFreq));
  EXPECT_EQ(mReadout->Text(), "Freq 33.1 Hz");
  RunFor(0.1);
  // The box's top row, straight under the knob, is the box's colour.
  const LICE_pixel box = LICE_GetPixel(mEditor->GetDrawBitmap(), kFreqKnob.x, 88);
  EXPECT_EQ(LICE_GETR(box), 24);
  EXPECT_EQ(LICE_GETG(box), 24);
  EXPECT_EQ(LICE_GETB(box), 28);
  MoveTo(kEmptyPanel);
  EXPECT_TRUE(RunUntil([&] { return mReadout->Text().empty(); }));
}

// A drag shows the readout at once, and every step of it gives a new value
// that the readout tells as the unit law does.
TEST_F(MorvexX11ReadoutTest, ADragUpdatesTheReadoutOnEveryStep) {
  Open(1);
  MoveTo(kRateKnob);
  RunFor(0.05);
  Button(1, true);
  RunFor(0.1);
  EXPECT_EQ(mReadout->Text(), Expected(Morvex::kRate)) << "shown on the press, without delay";
  std::string previous = mReadout->Text();
  for (int step = 1; step <= 6; ++step) {
    MoveTo({kRateKnob.x, kRateKnob.y - 4 * step});
    ASSERT_TRUE(RunUntil([&] { return mReadout->Text() != previous; })) << "step " << step;
    EXPECT_EQ(mReadout->Text(), Expected(Morvex::kRate)) << "step " << step;
    previous = mReadout->Text();
  }
  Button(1, false);
  RunFor(0.1);
}

// A right click opens the field over the knob holding the value in units;
// "1khz" and Return set Freq to the law's inverse of 1 kHz; Escape leaves
// the value as it was; a click elsewhere commits; text naming no value
// changes nothing and the readout says so for two seconds.
TEST_F(MorvexX11ReadoutTest, TypedValuesCommitCancelAndRefuse) {
  Open(1);
  Click(3, kFreqKnob);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  Type("1khz");
  gEvents.clear();
  HostSetAUEventHook(Hook, nullptr);
  Tap(XK_Return);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  HostSetAUEventHook(nullptr, nullptr);
  // One gesture, the new value inside it.
  using E = std::pair<AudioUnitEventType, AudioUnitParameterID>;
  EXPECT_EQ(gEvents, (std::vector<E>{{kAudioUnitEvent_BeginParameterChangeGesture, Morvex::kFreq},
                                     {kAudioUnitEvent_ParameterValueChange, Morvex::kFreq},
                                     {kAudioUnitEvent_EndParameterChangeGesture, Morvex::kFreq}}));
  EXPECT_DOUBLE_EQ(Normalized(Morvex::kFreq), Typed(Morvex::kFreq, "1kHz"));
  const IControl* knob = ControlOf(Morvex::kFreq);
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->GetValue(), Normalized(Morvex::kFreq));
  EXPECT_EQ(mReadout->Text(), "Freq 1 kHz");

  const double freq = Normalized(Morvex::kFreq);
  Click(3, kFreqKnob);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  Type("5khz");
  Tap(XK_Escape);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  EXPECT_EQ(Normalized(Morvex::kFreq), freq);

  Click(3, kDepthKnob);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  Type("2oct");
  const double depthWanted = Typed(Morvex::kDepth, "2oct");
  Click(1, kEmptyPanel);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  EXPECT_DOUBLE_EQ(Normalized(Morvex::kDepth), depthWanted);

  Click(3, kStages);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  Type("2sections");
  Tap(XK_Return);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  EXPECT_EQ(Plain(Morvex::kStages), 1.0);

  const double rate = Normalized(Morvex::kRate);
  Click(3, kRateKnob);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  Type("12 parsecs");
  Tap(XK_Return);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  EXPECT_EQ(Normalized(Morvex::kRate), rate);
  EXPECT_EQ(mReadout->Text(), "not a value: 12 parsecs");
  RunFor(1.5);
  EXPECT_EQ(mReadout->Text(), "not a value: 12 parsecs");
  EXPECT_TRUE(RunUntil([&] { return mReadout->Text().empty(); }, 1.5));
}

// Super+click stands for Command-click: it opens the field as a right click
// does, and a plain click then commits what the field holds unchanged.
TEST_F(MorvexX11ReadoutTest, SuperClickOpensTheFieldToo) {
  Open(1);
  const KeyCode super = XKeysymToKeycode(mDisplay, XK_Super_L);
  if (!super) GTEST_SKIP() << "the server's keymap has no Super key";
  const double rate = Normalized(Morvex::kRate);
  XTestFakeKeyEvent(mDisplay, super, True, 0);
  Click(1, kRateKnob);
  XTestFakeKeyEvent(mDisplay, super, False, 0);
  XFlush(mDisplay);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  EXPECT_EQ(Normalized(Morvex::kRate), rate) << "the click itself sets nothing";
  Click(1, kEmptyPanel);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  // What the field opened with reads back as the same meaning.
  EXPECT_EQ(mReadout->Text(), Expected(Morvex::kRate));
  EXPECT_NEAR(Normalized(Morvex::kRate), rate, 0.01);
}

// Runs the action from the run loop after the given time, so that it acts
// while the menu runs its own loop.
void After(double seconds, std::function<void()> action) {
  auto* held = new std::function<void()>(std::move(action));
  CFRunLoopTimerContext context = {
      0, held, nullptr,
      [](const void* info) { delete static_cast<const std::function<void()>*>(info); }, nullptr};
  CFRunLoopTimerRef timer = CFRunLoopTimerCreate(
      nullptr, CFAbsoluteTimeGetCurrent() + seconds, 0, 0, 0,
      [](CFRunLoopTimerRef, void* info) { (*static_cast<std::function<void()>*>(info))(); },
      &context);
  CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
  CFRelease(timer);
}

// A right click on the panel away from the controls opens the preset menu:
// the seven distinct factory presets, then "Reset to defaults". Choosing
// Hexagon loads it, and the host hears of all seven parameters, each in a
// gesture; resetting brings back the defaults.
TEST_F(MorvexX11ReadoutTest, ThePresetMenuLoadsAPresetAndResetsAndTellsTheHost) {
  Open(1);
  // Every parameter away from Hexagon's value, so that all seven change.
  SetAll({0.3, 0.0, 0.5, 0.1, 0.5, 0.6, 0.4});
  gEvents.clear();
  HostSetAUEventHook(Hook, nullptr);
  After(0.4, [&] {
    for (int i = 0; i < 6; ++i)
      Tap(XK_Down);
    Tap(XK_Return);
  });
  Click(3, kEmptyPanel);
  ASSERT_TRUE(RunUntil([&] { return mPlug->GetCurrentPresetIdx() == 5; }));
  HostSetAUEventHook(nullptr, nullptr);
  const double hexagon[Morvex::kNumParams] = {0.5, 5.0, 0.0, 0.72, 0.0, 0.29, 1.0};
  using E = std::pair<AudioUnitEventType, AudioUnitParameterID>;
  for (AudioUnitParameterID p = 0; p < Morvex::kNumParams; ++p) {
    EXPECT_NEAR(Plain(static_cast<int>(p)), hexagon[p], 1e-6) << p;
    const auto at =
        std::find(gEvents.begin(), gEvents.end(), E{kAudioUnitEvent_ParameterValueChange, p});
    ASSERT_NE(at, gEvents.end()) << "the host did not hear of parameter " << p;
    ASSERT_TRUE(at != gEvents.begin() && at + 1 != gEvents.end());
    EXPECT_EQ(*(at - 1), (E{kAudioUnitEvent_BeginParameterChangeGesture, p}));
    EXPECT_EQ(*(at + 1), (E{kAudioUnitEvent_EndParameterChangeGesture, p}));
  }
  const IControl* stages = ControlOf(Morvex::kStages);
  ASSERT_NE(stages, nullptr);
  EXPECT_EQ(stages->GetValue(), 1.0) << "the selector shows the sixth stage count";

  After(0.4, [&] {
    for (int i = 0; i < 9; ++i)  // past the seven presets, the separator and "Save as"
      Tap(XK_Down);
    Tap(XK_Return);
  });
  Click(3, kEmptyPanel);
  ASSERT_TRUE(RunUntil([&] { return Plain(Morvex::kStages) == 3.0; }));
  for (int p = 0; p < Morvex::kNumParams; ++p)
    EXPECT_EQ(Plain(p), mPlug->GetParam(p)->GetDefault()) << p;
}

// What `morvex` prints for the arguments, its standard output whole.
std::string Morvex(const std::string& arguments) {
  std::string out;
  FILE* pipe = popen((std::string(MORVEX_TOOL) + " " + arguments + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    out.append(chunk, got);
  pclose(pipe);
  return out;
}

// "Save as preset…" takes a name in the field and writes the preset where
// `morvex presets` lists it and `--preset NAME` loads it with the values
// saved. The menu then offers it after the factory presets (and no FIFO in
// the folder), and choosing it brings those values back with the host
// hearing of each that changed.
TEST_F(MorvexX11ReadoutTest, SaveAsPresetWritesWhatMorvexLoadsAndTheMenuLoadsItBack) {
  Open(1);
  const double mine[Morvex::kNumParams] = {0.25, 1.0, 0.5, 0.125, 0.5, 0.625, 0.375};
  SetAll(mine);
  After(0.4, [&] {
    for (int i = 0; i < 8; ++i)  // past the seven presets and the separator
      Tap(XK_Down);
    Tap(XK_Return);
  });
  Click(3, kEmptyPanel);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
  Type("mine");
  Tap(XK_Return);
  ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
  EXPECT_EQ(mReadout->Text(), "saved as mine");

  EXPECT_NE(Morvex("presets --raw").find("user\t-\tmine\n"), std::string::npos);
  const std::string presets = Morvex("presets");
  const size_t listed = presets.find("    mine");
  ASSERT_NE(listed, std::string::npos) << presets;
  EXPECT_EQ(presets.find("unusable", listed), std::string::npos) << presets;
  // One row a parameter; the seventh column is its value as loaded.
  const std::string raw = Morvex("params --raw --preset mine");
  size_t row = 0;
  for (int p = 0; p < Morvex::kNumParams; ++p, row = raw.find('\n', row) + 1) {
    size_t column = row;
    for (int tab = 0; tab < 6; ++tab)
      column = raw.find('\t', column) + 1;
    ASSERT_NE(column, 0u) << raw;
    EXPECT_NEAR(std::strtod(raw.c_str() + column, nullptr), mine[p], 1e-6) << raw;
  }

  // A FIFO named as a preset, first by name, is passed over: the menu
  // offers only what can load, and reading it would wait for a writer.
  ASSERT_EQ(mkfifo(UserPreset("a fifo").c_str(), 0600), 0);
  SetAll({0.5, 3.0, 0.5, 0.5, 0.5, 0.29, 1.0});
  gEvents.clear();
  HostSetAUEventHook(Hook, nullptr);
  After(0.4, [&] {
    for (int i = 0; i < 8; ++i)  // the first of the user's presets
      Tap(XK_Down);
    Tap(XK_Return);
  });
  Click(3, kEmptyPanel);
  ASSERT_TRUE(RunUntil([&] { return Plain(Morvex::kStages) == 1.0; }));
  HostSetAUEventHook(nullptr, nullptr);
  using E = std::pair<AudioUnitEventType, AudioUnitParameterID>;
  std::vector<E> heard;
  for (const E& event : gEvents)
    if (event.first == kAudioUnitEvent_ParameterValueChange) heard.push_back(event);
  // Freq and Spread were already where the preset has them.
  const std::vector<E> changed = {{kAudioUnitEvent_ParameterValueChange, Morvex::kMix},
                                  {kAudioUnitEvent_ParameterValueChange, Morvex::kStages},
                                  {kAudioUnitEvent_ParameterValueChange, Morvex::kFeedback},
                                  {kAudioUnitEvent_ParameterValueChange, Morvex::kRate},
                                  {kAudioUnitEvent_ParameterValueChange, Morvex::kDepth}};
  EXPECT_EQ(heard, changed);
  for (int p = 0; p < Morvex::kNumParams; ++p)
    EXPECT_NEAR(Plain(p), mine[p], 1e-6) << p;
  EXPECT_EQ(ControlOf(Morvex::kStages)->GetValue(), 0.2) << "the selector shows it";
}

// A name that `--preset NAME` would take for a factory preset, by name in
// any case or by number, could never load, and one with a '/' would name
// another folder: each is refused, the readout says why, and nothing is
// written.
TEST_F(MorvexX11ReadoutTest, SaveAsPresetRefusesAFactoryPresetsNameOrNumberAndAPath) {
  Open(1);
  const std::pair<const char*, const char*> refusals[] = {
      {"hexagon", "not saved: hexagon names the factory preset 5 Hexagon"},
      {"5", "not saved: 5 names the factory preset 5 Hexagon"},
      {"../mine", "not saved: a preset name may not contain '/'"},
  };
  for (const auto& [name, message] : refusals) {
    SCOPED_TRACE(name);
    After(0.4, [&] {
      for (int i = 0; i < 8; ++i)
        Tap(XK_Down);
      Tap(XK_Return);
    });
    Click(3, kEmptyPanel);
    ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 1; }));
    Type(name);
    Tap(XK_Return);
    ASSERT_TRUE(RunUntil([&] { return FieldsOpen() == 0; }));
    EXPECT_EQ(mReadout->Text(), message);
    EXPECT_TRUE(mData.list().empty()) << "nothing is written, not even the folder";
  }
}

// The menu at both scales, with presets of the user's, for the record when
// MORVEX_SCREENSHOTS names a folder; Escape closes it and changes nothing.
TEST_F(MorvexX11ReadoutTest, EscapeClosesThePresetMenuAtBothScales) {
  // Two presets of the user's own, so the menu shows all it can.
  auto* panel = dynamic_cast<MorvexPanel*>(mEditor->GetControl(0));
  ASSERT_NE(panel, nullptr);
  panel->SaveUserPreset("Slow Shimmer");
  panel->SaveUserPreset("Deep Twin");
  for (int scale : {1, 2}) {
    Open(scale);
    // The readout's "saved as" message has had its time.
    ASSERT_TRUE(RunUntil([&] { return mReadout->Text().empty(); }));
    const double mix = Plain(Morvex::kMix);
    const int preset = mPlug->GetCurrentPresetIdx();
    bool closed = false;
    After(0.5, [&] {
      Screenshot(scale == 1 ? "editor-menu.png" : "editor-menu@2x.png", 500 * scale, 260 * scale);
      Tap(XK_Escape);
    });
    Click(3, kEmptyPanel);
    After(0.2, [&] { closed = true; });
    ASSERT_TRUE(RunUntil([&] { return closed; }));
    EXPECT_EQ(Plain(Morvex::kMix), mix);
    EXPECT_EQ(mPlug->GetCurrentPresetIdx(), preset);
    mEditor->CloseWindow();
    RunFor(0.1);
  }
}

// The readout at both scales, for the record when MORVEX_SCREENSHOTS names
// a folder: at scale 2 every editor pixel is a 2 x 2 block.
TEST_F(MorvexX11ReadoutTest, TheReadoutShowsAtBothScales) {
  for (int scale : {1, 2}) {
    Open(scale);
    MoveTo(kRateKnob);
    RunFor(0.05);
    Button(1, true);
    MoveTo({kRateKnob.x, kRateKnob.y - 10});
    ASSERT_TRUE(RunUntil([&] { return mReadout->Text() == Expected(Morvex::kRate); }));
    RunFor(0.2);
    const Window view = static_cast<Window>(reinterpret_cast<uintptr_t>(mEditor->GetWindow()));
    XImage* image = XGetImage(mDisplay, view, kRateKnob.x * scale, 88 * scale, scale, scale,
                              AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < scale; ++y)
      for (int x = 0; x < scale; ++x)
        EXPECT_EQ(XGetPixel(image, x, y) & 0xffffff, 0x18181cu) << scale;
    XDestroyImage(image);
    Screenshot(scale == 1 ? "editor-readout.png" : "editor-readout@2x.png");
    Button(1, false);
    RunFor(0.1);
    mEditor->CloseWindow();
    RunFor(0.1);
  }
}

}  // namespace
