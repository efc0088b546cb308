// The editor's redraw at the plug-in's size: a 424 x 104 panel with a
// background and sixteen alpha-blended bitmap controls (seven knobs of 128
// frames, nine two-state switches), drawn off screen. Goals: a full redraw
// within 0.2 ms, one knob within 20 us, an idle timer tick within 1 us.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "framework/editor/IBitmapControl.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "raster/LICE_MemBitmap.h"

namespace {

constexpr int kEditorW = 424, kEditorH = 104;
constexpr int kKnobs = 7, kKnobSize = 60, kKnobFrames = 128;
constexpr int kSwitches = 9, kSwitchW = 30, kSwitchH = 20;

// Random colours; with soft > 0, every frame of frameH rows is an opaque
// disc with a soft edge on a transparent ground, as control images are.
LICE_MemBitmap* MakeImage(int w, int h, int frameH, unsigned seed, bool soft) {
  auto* bm = new LICE_MemBitmap(w, h);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y) {
    LICE_pixel* row = bm->getBits() + static_cast<size_t>(y) * bm->getRowSpan();
    for (int x = 0; x < w; ++x) {
      LICE_pixel p = static_cast<LICE_pixel>(rng()) | 0xFFu;
      if (soft) {
        const double half = w / 2.0, r = std::min(w, frameH) / 2.0 - 2;
        const double d = std::hypot(x + 0.5 - half, y % frameH + 0.5 - frameH / 2.0) - r;
        const int a = d <= 0 ? 255 : d >= 2 ? 0 : static_cast<int>(255 * (1 - d / 2));
        p = (p & ~0xFFu) | static_cast<LICE_pixel>(a);
      }
      row[x] = p;
    }
  }
  return bm;
}

// The editor with its controls attached, prepared and shown; the
// pixels go to the process-wide cache as run-time bitmaps.
struct Panel {
  Panel() : editor(nullptr, kEditorW, kEditorH) {
    IBitmap background(MakeImage(kEditorW, kEditorH, kEditorH, 1, false), kEditorW, kEditorH);
    editor.RetainBitmap(&background);
    editor.AttachControl(new IBitmapControl(nullptr, 0, 0, &background, IChannelBlend::kBlendCopy));
    for (int i = 0; i < kKnobs; ++i) {
      IBitmap strip(MakeImage(kKnobSize, kKnobSize * kKnobFrames, kKnobSize, 10u + i, true),
                    kKnobSize, kKnobSize * kKnobFrames, kKnobFrames);
      editor.RetainBitmap(&strip);
      const int index =
          editor.AttachControl(new IBitmapControl(nullptr, 2 + i * kKnobSize, 4, &strip));
      if (i == 0) knob = index;
    }
    IBitmap toggle(MakeImage(kSwitchW, kSwitchH * 2, kSwitchH, 30, true), kSwitchW, kSwitchH * 2,
                   2);
    editor.RetainBitmap(&toggle);
    for (int i = 0; i < kSwitches; ++i)
      editor.AttachControl(new IBitmapControl(nullptr, 8 + i * 46, 74, &toggle));
    editor.PrepDraw();
    editor.OpenWindow(nullptr);
    for (int i = 0; i < kKnobs; ++i)
      editor.SetControlFromPlug(knob + i, 0.5);
    Settle();
  }
  // Ticks until nothing is left to draw.
  void Settle() {
    while (editor.Tick()) {
    }
  }

  IGraphicsOffscreen editor;
  int knob = -1;
};

Panel& ThePanel() {
  static Panel panel;
  return panel;
}

void BM_FullRedraw(benchmark::State& state) {
  Panel& panel = ThePanel();
  IRECT all(0, 0, kEditorW, kEditorH);
  for (auto _ : state) {
    IRECT r = all;
    benchmark::DoNotOptimize(panel.editor.Draw(&r));
  }
  panel.Settle();
  state.counters["controls"] = panel.editor.NControls();
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  Panel& panel = ThePanel();
  panel.Settle();
  for (auto _ : state)
    benchmark::DoNotOptimize(panel.editor.Tick());
  if (panel.editor.Tick()) state.SkipWithError("an idle tick drew");
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

// The value alternates, as a host's automation would move it, so every tick
// redraws the knob's 60 x 60 area.
void BM_OneKnobRedraw(benchmark::State& state) {
  Panel& panel = ThePanel();
  panel.Settle();
  double value = 0.25;
  for (auto _ : state) {
    value = value == 0.25 ? 0.75 : 0.25;
    panel.editor.SetControlFromPlug(panel.knob, value);
    benchmark::DoNotOptimize(panel.editor.Tick());
  }
  panel.Settle();
}
BENCHMARK(BM_OneKnobRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
