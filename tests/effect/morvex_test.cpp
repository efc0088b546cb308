// The effect class itself: what the engine receives and when, the parameter
// table and presets, the Mix bypass, and the editor hooks (with a stand-in
// editor, since the real one attaches later).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "effect/Morvex.h"
#include "framework/au/MakePlug.h"
#include "platform/HostBundle.h"
#include "platform/HostComponents.h"
#include "tests/effect/dsp/EngineSettings.h"
#include "tests/effect/dsp/TestSignals.h"
#include "tests/support/FakeEditor.h"

namespace {

class RecordingMorvex : public Morvex {
 public:
  RecordingMorvex() : Morvex(IPlugInstanceInfo()) {}
  void OnParamChange(int paramIdx) override {
    changes.push_back(paramIdx);
    Morvex::OnParamChange(paramIdx);
  }
  // Runs frames of stereo input through the effect.
  std::vector<double> Run(const std::vector<double>& inL, const std::vector<double>& inR) {
    std::vector<double> outL(inL.size()), outR(inL.size());
    double* in[2] = {const_cast<double*>(inL.data()), const_cast<double*>(inR.data())};
    double* out[2] = {outL.data(), outR.data()};
    ProcessDoubleReplacing(in, out, static_cast<int>(inL.size()));
    outL.insert(outL.end(), outR.begin(), outR.end());
    return outL;
  }
  void Set(int paramIdx, double value) {
    GetParam(paramIdx)->Set(value);
    OnParamChange(paramIdx);
  }
  std::vector<int> changes;
};

std::vector<double> RunEngine(CPhaser* engine, const std::vector<double>& inL,
                              const std::vector<double>& inR) {
  std::vector<double> outL, outR;
  for (size_t s = 0; s < inL.size(); ++s) {
    engine->process(inL[s], inR[s]);
    outL.push_back(engine->getOutL());
    outR.push_back(engine->getOutR());
  }
  outL.insert(outL.end(), outR.begin(), outR.end());
  return outL;
}

std::vector<double> Slice(const std::vector<double>& v, size_t from, size_t n) {
  return std::vector<double>(v.begin() + from, v.begin() + from + n);
}

struct PresetRow {
  const char* name;
  double mix;
  int stages;
  double freq, feedback, spread, rate, depth;
};
const PresetRow kPresets[] = {
    {"Classic Virus", 0.5, 3, 0.0, 0.5, 1.0, 0.29, 1.0},
    {"One Stage", 0.5, 0, 0.22, 0.64, 1.0, 0.47, 0.72},
    {"Twin", 0.78, 1, 0.14, 0.87, 0.46, 0.54, 0.8},
    {"Tri Force", 0.5, 2, 0.38, 0.82, 0.41, 0.54, 0.35},
    {"Winds", 0.5, 4, 0.58, 0.91, 1.0, 0.25, 0.35},
    {"Hexagon", 0.5, 5, 0.0, 0.72, 0.0, 0.29, 1.0},
    {"Init", 0.5, 3, 0.0, 0.5, 1.0, 0.5, 1.0},
    {"Init", 0.5, 3, 0.0, 0.5, 1.0, 0.5, 1.0},
    {"Init", 0.5, 3, 0.0, 0.5, 1.0, 0.5, 1.0},
    {"Init", 0.5, 3, 0.0, 0.5, 1.0, 0.5, 1.0},
};

ComponentResult Initialize(IPlugAU* plug) {
  ComponentParameters params = {};
  params.what = kAudioUnitInitializeSelect;
  return IPlugAU::IPlugAUEntry(&params, reinterpret_cast<Handle>(plug));
}

}  // namespace

TEST(MorvexTest, EngineKeepsItsOwnSettingsUntilInitializeDeliversEveryParameter) {
  RecordingMorvex plug;
  const std::vector<double> inL = noise(3000, 1), inR = noise(3000, 2);
  CPhaser untouched;
  EXPECT_EQ(plug.Run(inL, inR), RunEngine(&untouched, inL, inR));
  EXPECT_TRUE(plug.changes.empty());
  EXPECT_EQ(Initialize(&plug), noErr);
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

// The values themselves are checked by what the engine makes of them below.
TEST(MorvexTest, PresetLoadsDeliverEveryParameterInOrder) {
  RecordingMorvex plug;
  ASSERT_EQ(plug.NPresets(), 10);
  for (int p = 0; p < 10; ++p) {
    EXPECT_STREQ(plug.GetPresetName(p), kPresets[p].name);
    plug.changes.clear();
    ASSERT_TRUE(plug.RestorePreset(p));
    EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6})) << kPresets[p].name;
  }
}

// Indices outside the table change nothing the listener could hear.
TEST(MorvexTest, ChangesOutsideTheParameterTableAreIgnored) {
  const std::vector<double> inL = noise(3000, 8), inR = noise(3000, 9);
  RecordingMorvex poked, plain;
  poked.OnParamReset();
  plain.OnParamReset();
  for (int idx : {-1, static_cast<int>(Morvex::kNumParams), 1000})
    poked.OnParamChange(idx);
  EXPECT_EQ(poked.Run(inL, inR), plain.Run(inL, inR));
}

// Each preset (Tri Force runs three sections, Stages = 2) reaches the engine
// exactly as the parameter table maps it.
TEST(MorvexTest, EngineReceivesEveryParameterAsMapped) {
  const std::vector<double> inL = noise(4096, 3), inR = noise(4096, 4);
  for (const PresetRow& row : kPresets) {
    RecordingMorvex plug;
    ASSERT_TRUE(plug.RestorePreset(row.name));
    CPhaser reference;
    apply(reference, EngineSettings{row.mix, row.stages, row.freq, row.feedback, row.spread,
                                    row.rate, row.depth});
    EXPECT_EQ(plug.Run(inL, inR), RunEngine(&reference, inL, inR)) << row.name;
  }
}

TEST(MorvexTest, MixZeroPassesInputBitExactAndFreezesTheEngine) {
  const std::vector<double> inL = noise(3000, 5), inR = noise(3000, 6);
  RecordingMorvex bypassed, straight;
  bypassed.OnParamReset();
  straight.OnParamReset();
  EXPECT_EQ(bypassed.Run(Slice(inL, 0, 500), Slice(inR, 0, 500)),
            straight.Run(Slice(inL, 0, 500), Slice(inR, 0, 500)));
  bypassed.Set(Morvex::kMix, 0.0);
  const std::vector<double> dryL = Slice(inL, 500, 700), dryR = Slice(inR, 500, 700);
  std::vector<double> dry = dryL;
  dry.insert(dry.end(), dryR.begin(), dryR.end());
  EXPECT_EQ(bypassed.Run(dryL, dryR), dry);
  // Back at Mix 0.5 the engine carries on where it stood.
  bypassed.Set(Morvex::kMix, 0.5);
  EXPECT_EQ(bypassed.Run(Slice(inL, 1200, 1800), Slice(inR, 1200, 1800)),
            straight.Run(Slice(inL, 1200, 1800), Slice(inR, 1200, 1800)));
}

using test_support::FakeEditor;

TEST(MorvexTest, EditorHooksFollowParametersAndTheLfo) {
  RecordingMorvex plug;
  auto* editor = new FakeEditor;
  plug.AttachGraphics(editor);

  plug.Set(Morvex::kStages, 2);
  // Only the ring of the selected stage count shows the Mix setting.
  EXPECT_EQ(editor->values(), (std::vector<double>{0.0, 0.0, 0.5, 0.0, 0.0, 0.0}));
  editor->controls.clear();
  plug.Set(Morvex::kFreq, 0.3);
  plug.Set(Morvex::kDepth, 0.5);
  // The base frequency, then the top of the sweep after each change.
  ASSERT_EQ(editor->values().size(), 3u);
  EXPECT_EQ(editor->values()[0], 0.3);
  EXPECT_EQ(editor->values()[1], 1.0);
  EXPECT_DOUBLE_EQ(editor->values()[2], 0.65);
  plug.Set(Morvex::kMix, 0.0);
  plug.Set(Morvex::kMix, 0.4);
  using Grays = std::vector<std::pair<int, bool>>;
  EXPECT_EQ(editor->grays, (Grays{{1, true},
                                  {2, true},
                                  {3, true},
                                  {4, true},
                                  {5, true},
                                  {6, true},
                                  {1, false},
                                  {2, false},
                                  {3, false},
                                  {4, false},
                                  {5, false},
                                  {6, false}}));

  // The LFO display: the first processed frame, then every 2048 processed
  // frames; bypassed frames do not count.
  editor->controls.clear();
  const std::vector<double> in = noise(2048, 7);
  plug.Run(in, in);
  EXPECT_EQ(editor->controls.size(), 1u);
  plug.Set(Morvex::kMix, 0.0);
  editor->controls.clear();
  plug.Run(in, in);
  plug.Set(Morvex::kMix, 0.4);
  EXPECT_EQ(editor->controls.size(), 6u);  // the rings of the Mix change only
  editor->controls.clear();
  plug.Run(Slice(in, 0, 1), Slice(in, 0, 1));
  ASSERT_EQ(editor->controls.size(), 1u);
  EXPECT_GE(editor->controls[0].second, 0.0);
  EXPECT_LE(editor->controls[0].second, 1.0);
}

TEST(MorvexTest, MakePlugBuildsMorvexForItsBundle) {
  HostSetMainBundle(nullptr, "com.apple.logic10");
  IPlugAU* plug = MakePlug();
  ASSERT_NE(dynamic_cast<Morvex*>(plug), nullptr);
  EXPECT_EQ(plug->GetHost(), kHostLogic);
  delete plug;
  HostSetMainBundle(nullptr, nullptr);
}

// A Carbon view outliving its Audio Unit must not reach the deleted plug-in.
TEST(MorvexTest, CarbonViewOpensTheEditorAndSurvivesItsUnit) {
  const ComponentDescription unitDesc = {kAudioUnitType_Effect, 0x54657374, 0x41636D65, 0, 0};
  const ComponentDescription viewDesc = {kAudioUnitCarbonViewComponentType, 0x54657374, 0x41636D65,
                                         0, 0};
  Component unitComponent = HostRegisterComponent(&unitDesc, IPlugAU::IPlugAUEntry, "Test", 1);
  Component viewComponent =
      HostRegisterComponent(&viewDesc, IPlugAU::IPlugAUCarbonViewEntry, "Test", 1);
  for (bool unitFirst : {false, true}) {
    AudioUnit unit = OpenComponent(unitComponent);
    AudioUnitCarbonView view = OpenComponent(viewComponent);
    ASSERT_TRUE(unit && view);
    auto* plug = reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(unit));
    auto* editor = new FakeEditor;
    plug->AttachGraphics(editor);
    ControlRef control = nullptr;
    const Float32Point origin = {0, 0};
    EXPECT_EQ(AudioUnitCarbonViewCreate(view, unit, nullptr, nullptr, &origin, &origin, &control),
              noErr);
    EXPECT_EQ(control, editor->GetWindow());
    EXPECT_EQ(editor->opened, 1);
    if (unitFirst) {
      EXPECT_EQ(CloseComponent(unit), noErr);
      EXPECT_EQ(CloseComponent(view), noErr);
    } else {
      // A second view takes the editor; closing the first leaves it open.
      AudioUnitCarbonView newer = OpenComponent(viewComponent);
      EXPECT_EQ(
          AudioUnitCarbonViewCreate(newer, unit, nullptr, nullptr, &origin, &origin, &control),
          noErr);
      EXPECT_EQ(CloseComponent(view), noErr);
      EXPECT_EQ(editor->closed, 0);
      EXPECT_EQ(CloseComponent(newer), noErr);
      EXPECT_EQ(editor->closed, 1);
      EXPECT_EQ(CloseComponent(unit), noErr);
    }
  }
}

// The factory opens the editor of its own plug-ins only; another
// component's unit, whatever its storage holds, gets nothing.
TEST(MorvexTest, CocoaViewFactoryOpensOnlyItsOwnUnitsEditors) {
  const ComponentDescription unitDesc = {kAudioUnitType_Effect, 0x436F636F, 0x41636D65, 0, 0};
  const ComponentDescription otherDesc = {kAudioUnitType_Effect, 0x4F746872, 0x41636D65, 0, 0};
  Component unitComponent = HostRegisterComponent(&unitDesc, IPlugAU::IPlugAUEntry, "Cocoa", 1);
  static int notAPlug = 7;
  const auto otherEntry = [](ComponentParameters* params, Handle) -> ComponentResult {
    if (params->what == kComponentOpenSelect) {
      SetComponentInstanceStorage(reinterpret_cast<ComponentInstance>(params->params[0]),
                                  reinterpret_cast<Handle>(&notAPlug));
    }
    return noErr;
  };
  Component otherComponent = HostRegisterComponent(&otherDesc, otherEntry, "Other", 1);
  AudioUnit unit = OpenComponent(unitComponent);
  AudioUnit other = OpenComponent(otherComponent);
  ASSERT_TRUE(unit && other);
  const NSSize size = {100, 100};

  EXPECT_EQ(IPlugAU::CocoaViewForAudioUnit(other, size), nullptr);
  EXPECT_EQ(IPlugAU::CocoaViewForAudioUnit(nullptr, size), nullptr);
  EXPECT_EQ(IPlugAU::CocoaViewForAudioUnit(unit, size), nullptr);  // no editor yet
  auto* editor = new FakeEditor;
  IPlugAU::LivePlugOf(unit)->AttachGraphics(editor);
  void* view = IPlugAU::CocoaViewForAudioUnit(unit, size);
  EXPECT_NE(view, nullptr);
  EXPECT_EQ(view, editor->GetWindow());
  EXPECT_EQ(CloseComponent(other), noErr);
  EXPECT_EQ(CloseComponent(unit), noErr);
  EXPECT_EQ(IPlugAU::LivePlugOf(unit), nullptr);  // closed units are no longer ours
}
