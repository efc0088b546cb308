#include "tools/morvex/validate/AuStrict.h"

#include <chrono>
#include <cstdlib>
#include <optional>

#include "framework/window/x11/X11HostWindow.h"
#include "platform/CFRunLoop.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/editor/UnitView.h"
#include "tools/morvex/validate/EditorCheck.h"

namespace {

std::vector<unsigned char> bytesOf(CFDataRef data) {
  const UInt8* bytes = CFDataGetBytePtr(data);
  return std::vector<unsigned char>(bytes, bytes + CFDataGetLength(data));
}

class AuInstance : public StrictInstance {
 public:
  AuInstance(Component component, double sampleRate, uint32_t maxFrames) : mUnit(component) {
    mUnit.configure(2, sampleRate, maxFrames);
    mUnit.initialize();
    mRenderer.emplace(mUnit, 2, RenderCall::FastDispatch);
  }

  bool process(const float* const* in, float* const* out, uint32_t frames) noexcept override {
    mStatus = mRenderer->render(in, out, frames);
    return mStatus == noErr;
  }
  std::string failure() const override { return "rendering answered " + StatusText(mStatus); }

  void automate(int index, float value) override {
    mUnit.check(AudioUnitSetParameter(mUnit.au(), static_cast<AudioUnitParameterID>(index),
                                      kAudioUnitScope_Global, 0, value, 0),
                "a parameter change");
  }

  std::vector<unsigned char> saveState() override {
    CFRef<CFPropertyListRef> state = mUnit.state();
    CFRef<CFDataRef> data(CFPropertyListCreateData(kCFAllocatorDefault, state.get(),
                                                   kCFPropertyListXMLFormat_v1_0, 0, nullptr));
    if (!data) throw ToolError("the saved state is not a property list");
    return bytesOf(data.get());
  }

  void restoreState(const std::vector<unsigned char>& bytes) override {
    CFRef<CFDataRef> data(CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size())));
    CFRef<CFPropertyListRef> state(CFPropertyListCreateWithData(
        kCFAllocatorDefault, data.get(), kCFPropertyListImmutable, nullptr, nullptr));
    mUnit.check(mUnit.setState(state.get()), "restoring a saved state");
  }

  int presetCount() override {
    if (mPresets.empty()) mPresets = mUnit.factoryPresets();
    return static_cast<int>(mPresets.size());
  }
  void loadPreset(int index) override {
    presetCount();
    mUnit.selectPreset(mPresets.at(static_cast<size_t>(index)));
  }

  Unit& unit() { return mUnit; }

 private:
  Unit mUnit;
  std::optional<Renderer> mRenderer;
  OSStatus mStatus = noErr;
  std::vector<PresetDescription> mPresets;
};

class AuPlugin : public StrictPlugin {
 public:
  explicit AuPlugin(Component component) : mComponent(component) {
    Unit unit(component);
    for (const ParameterDescription& p : unit.parameters()) {
      if (p.name == "Stages") mStages = static_cast<int>(mParameters.size());
      const bool integer =
          p.unit == kAudioUnitParameterUnit_Indexed || p.unit == kAudioUnitParameterUnit_Boolean;
      mParameters.push_back({p.name, p.minValue, p.maxValue, integer});
    }
  }

  std::string subject() const override { return BundlePath(mComponent); }
  const std::vector<StrictParameter>& parameters() const override { return mParameters; }
  int stagesParameter() const override { return mStages; }
  std::unique_ptr<StrictInstance> open(double sampleRate, uint32_t maxFrames) override {
    return std::make_unique<AuInstance>(mComponent, sampleRate, maxFrames);
  }

 private:
  Component mComponent;
  std::vector<StrictParameter> mParameters;
  int mStages = -1;
};

// The view the factory the CocoaUI property names makes, shown in a window
// of the host's; this thread's run loop, where the editor's timers redraw
// it, turns until stop. The view goes with the instance.
class AuEditorSide : public EditorSide {
 public:
  std::string run(StrictInstance& instance, const std::atomic<bool>& stop) override {
    X11HostWindow window;
    if (!window.Connected()) return "cannot open the X display";
    void* view = nullptr;
    bool offered = false;
    try {
      view = OpenView(static_cast<AuInstance&>(instance).unit(), &offered);
    } catch (const ToolError& error) {
      return error.what();
    }
    absent = !offered;
    if (absent) return "the unit offers no editor view";
    if (!view) return "the view factory made no view";
    if (!window.Show(view, "Morvex")) return "the editor's view is not a window on this display";
    while (!stop.load()) {
      CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, true);
      ++turns;
      window.HandlePendingEvents();
      look(window, false);
    }
    look(window, true);
    return {};
  }
};

// The entry holds the plug-in's mutex for the whole render, so that a host
// that renders through it waits for the user interface; hosts that render
// in real time use fast dispatch instead, which the checks above watch.
void noteEntryRender(CheckReport& report, Component component, const StrictLevel& level) {
  if (!level.probe) return;
  const auto start = std::chrono::steady_clock::now();
  Unit unit(component);
  unit.configure(2, 48000, 512);
  unit.initialize();
  Renderer renderer(unit, 2, RenderCall::Entry);
  std::vector<float> left(512), right(512);
  const float* in[2] = {left.data(), right.data()};
  float* out[2] = {left.data(), right.data()};
  level.probe->takeHits();
  for (int block = 0; block < 16; ++block) {
    const AudioCall call(level.probe);
    renderer.render(in, out, 512);
  }
  const std::string hits = level.probe->takeHits();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.info("render through the component entry",
              (hits.empty() ? std::string("no forbidden call") : hits.substr(0, hits.find('\n'))) +
                  ": the entry holds the plug-in's mutex by design; real-time hosts render "
                  "through fast dispatch",
              seconds);
}

}  // namespace

void RunAuStrictChecks(CheckReport& report, Component component, const StrictLevel& level) {
  AuPlugin plugin(component);
  RunStrictChecks(report, plugin, level);
  AuEditorSide editor;
  CheckEditor(report, plugin, level, editor);
  noteEntryRender(report, component, level);
}
