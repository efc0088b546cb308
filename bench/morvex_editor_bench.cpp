// Morvex's own editor with its real images, built in-process as a host
// builds it. Goals: a full redraw within 0.2 ms, the sweep display's update
// (what the audio thread triggers ten times a second) within 30 us, an idle
// timer tick within 1 us.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "effect/Morvex.h"
#include "framework/au/MakePlug.h"
#include "framework/editor/IGraphics.h"

namespace {

constexpr int kLfoDisplay = 9;  // the sweep display the audio thread moves

struct Editor {
  Editor() {
    // The images are the bundle's, found as the plug-in finds them.
    setenv("AUDIOUNIT_PATH", MORVEX_BUNDLE, 0);
    plug.reset(MakePlug());
    graphics = dynamic_cast<IGraphics*>(plug->DemandGUI());
  }
  // One timer tick; whether it drew.
  bool Tick() {
    IRECT r;
    return graphics->IsDirty(&r) && graphics->Draw(&r);
  }
  std::unique_ptr<IPlugAU> plug;
  IGraphics* graphics = nullptr;
};

void BM_MorvexFullRedraw(benchmark::State& state) {
  Editor editor;
  if (!editor.graphics) return state.SkipWithError("no editor: the bundle has no images");
  IRECT whole(0, 0, 424, 104);
  for (auto _ : state)
    editor.graphics->Draw(&whole);
}
BENCHMARK(BM_MorvexFullRedraw);

void BM_MorvexSweepDisplayTick(benchmark::State& state) {
  Editor editor;
  if (!editor.graphics) return state.SkipWithError("no editor: the bundle has no images");
  editor.Tick();
  double value = 0.0;
  for (auto _ : state) {
    value = value > 0.99 ? 0.0 : value + 0.013;
    editor.graphics->SetControlFromPlug(kLfoDisplay, value);
    editor.Tick();
  }
}
BENCHMARK(BM_MorvexSweepDisplayTick);

void BM_MorvexIdleTick(benchmark::State& state) {
  Editor editor;
  if (!editor.graphics) return state.SkipWithError("no editor: the bundle has no images");
  for (IRECT r; editor.graphics->IsDirty(&r); r = IRECT())
    editor.graphics->Draw(&r);
  for (auto _ : state)
    benchmark::DoNotOptimize(editor.Tick());
}
BENCHMARK(BM_MorvexIdleTick);

}  // namespace
