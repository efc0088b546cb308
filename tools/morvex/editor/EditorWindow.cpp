#include "tools/morvex/editor/EditorWindow.h"
#include "tools/morvex/render/QuietNoise.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "framework/window/x11/DisplayLoss.h"
#include "framework/window/x11/X11HostWindow.h"
#include "platform/CFRunLoop.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/editor/NoEditorError.h"
#include "tools/morvex/editor/StopSignals.h"
#include "tools/morvex/editor/UnitView.h"
#include "tools/morvex/output/StateOutputs.h"
#include "tools/morvex/settings/PresetChoice.h"
#include "tools/morvex/settings/UnitSettings.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr UInt32 kBlock = 512;
// How often the host looks at its window and feeds the unit.
constexpr CFTimeInterval kHostTick = 0.02;

// Quiet noise (about -60 dBFS) rendered as fast as real time goes, so the
// sweep display moves as it would in a host; nothing is played. Ctrl-C or
// SIGTERM closes the window as the user would, so that what they asked to
// keep is saved.
class QuietHost : public EditorHost {
 public:
  QuietHost(const UnitSettings& settings, StopSignals& stop)
      : mSettings(settings), mStop(stop), mIn(kBlock), mOutL(kBlock), mOutR(kBlock) {}

  Unit& unit() override { return mUnit; }

  void start() override {
    mUnit.configure(2, kSampleRate, kBlock);
    mUnit.initialize();
    mSettings.apply(mUnit);
    mRenderer.emplace(mUnit, 2);
    mStart = std::chrono::steady_clock::now();
  }

  bool keepOpen() override {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - mStart;
    while (mRendered + kBlock <= elapsed.count() * kSampleRate) {
      FillQuietNoise(mNoise, mIn);
      const float* in[2] = {mIn.data(), mIn.data()};
      float* out[2] = {mOutL.data(), mOutR.data()};
      const OSStatus status = mRenderer->render(in, out, kBlock);
      if (status != noErr) throw ToolError("Morvex failed to render: " + StatusText(status));
      mRendered += kBlock;
    }
    return !mStop.arrived();
  }

 private:
  const UnitSettings& mSettings;
  StopSignals& mStop;
  Unit mUnit;
  std::optional<Renderer> mRenderer;
  std::vector<float> mIn, mOutL, mOutR;
  std::chrono::steady_clock::time_point mStart;
  double mRendered = 0;
  ReproducibleNoise mNoise{1};
};

struct HostLoop {
  X11HostWindow* window;
  EditorHost* host;
  std::optional<ToolError> failure;
};

void OnHostTick(CFRunLoopTimerRef, void* info) {
  auto* loop = static_cast<HostLoop*>(info);
  try {
    loop->window->HandlePendingEvents();
    if (loop->window->IsOpen() && !loop->host->keepOpen()) loop->window->Close();
  } catch (const ToolError& error) {
    loop->failure = error;
  }
  if (!loop->window->IsOpen() || loop->failure) CFRunLoopStop(CFRunLoopGetCurrent());
}

// What was saved, for the message of a lost display.
std::string SavedWhere(const UnitSettings& settings) {
  std::string saved;
  if (!settings.saveStatePath.empty()) saved = "the state to " + settings.saveStatePath;
  if (!settings.savePresetName.empty())
    saved +=
        (saved.empty() ? "" : " and ") + std::string("the user preset ") + settings.savePresetName;
  return saved;
}

// Without a display the window cannot close, so what the user asked to keep
// is saved as soon as the display goes: the process cannot go on after Xlib
// lost its connection. Only while the editor is open.
struct SavingWhenTheDisplayGoes {
  SavingWhenTheDisplayGoes(const UnitSettings& settings, const Unit& unit,
                           std::optional<StateOutputs>& outputs) {
    SetDisplayLostHandler([&settings, &unit, &outputs] { SaveAfterLoss(settings, unit, outputs); });
  }
  ~SavingWhenTheDisplayGoes() { SetDisplayLostHandler(nullptr); }
  SavingWhenTheDisplayGoes(const SavingWhenTheDisplayGoes&) = delete;
  SavingWhenTheDisplayGoes& operator=(const SavingWhenTheDisplayGoes&) = delete;

  static void SaveAfterLoss(const UnitSettings& settings, const Unit& unit,
                            std::optional<StateOutputs>& outputs) {
    std::string message = "lost the connection to the X display";
    try {
      outputs->write(unit);
      outputs->commit();
      if (!SavedWhere(settings).empty()) message += "; saved " + SavedWhere(settings);
    } catch (const std::exception& error) {
      message += "; " + std::string(error.what());
    }
    // Removes the temporaries of outputs that were not committed.
    outputs.reset();
    std::fprintf(stderr, "morvex: error: %s\n", message.c_str());
  }
};

}  // namespace

int RunEditorWindow(const UnitSettings& settings, int scale, EditorHost* host) {
  if (scale) setenv("MORVEX_UI_SCALE", scale == 2 ? "2" : "1", 1);
  // Before the unit starts any thread, so that every one inherits the
  // blocked signals.
  std::optional<StopSignals> stop;
  std::optional<QuietHost> quiet;
  if (!host) host = &quiet.emplace(settings, stop.emplace());
  Unit& unit = host->unit();
  RefuseHiddenPresetName(unit, settings.savePresetName);
  X11HostWindow window;
  if (!window.Connected())
    throw DisplayMissing("cannot open the X display" +
                         std::string(std::getenv("DISPLAY") ? "" : " ($DISPLAY is not set)"));
  std::optional<StateOutputs> stateOutputs(std::in_place, settings);
  const SavingWhenTheDisplayGoes saving(settings, unit, stateOutputs);

  host->start();
  void* view = OpenView(unit);
  if (!view) throw NoEditorError();
  if (!window.Show(view, "Morvex"))
    throw ToolError("the editor's view is not a window on this display");
  {
    HostLoop loop{&window, host, std::nullopt};
    CFRunLoopTimerContext context = {0, &loop, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent(), kHostTick,
                                                   0, 0, OnHostTick, &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    CFRunLoopRun();
    CFRunLoopTimerInvalidate(timer);
    CFRelease(timer);
    window.Close();
    if (loop.failure) throw *loop.failure;
  }
  stateOutputs->write(unit);
  stateOutputs->commit();
  return 0;
}
