#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "tests/framework/editor/probe_control.h"
#include "tests/support/TestPlug.h"

namespace {

// The audio thread moves a display control and the host's parameter thread
// moves a parameter's control while the UI thread runs the timer and draws:
// whatever the interleaving, the last value stored is the one finally drawn.
TEST(EditorHandoffTest, TheLastValueStoredFromThePlugInSideIsTheOneDrawn) {
  constexpr int kValues = 20000;
  TestPlug plug;
  auto* gui = new IGraphicsOffscreen(&plug, 40, 20);
  auto* display = new ProbeControl(&plug, IRECT(0, 0, 10, 10));
  auto* knob = new ProbeControl(&plug, IRECT(10, 0, 20, 10), TestPlug::kGain);
  const int displayIdx = gui->AttachControl(display);
  ASSERT_GE(gui->AttachControl(knob), 0);
  plug.AttachGraphics(gui);
  gui->OpenWindow(nullptr);

  // The writers go on until the UI thread has drawn while they wrote.
  constexpr int kOverlappingPasses = 50;
  std::atomic<int> passes{0};
  std::atomic<int> running{2};
  std::atomic<double> lastDisplay{-1.0}, lastKnob{-1.0};
  auto valueFor = [](int i) { return static_cast<double>(i % 1000) / 999.0; };
  std::thread audio([&] {
    int i = 0;
    do {
      gui->SetControlFromPlug(displayIdx, valueFor(++i));
    } while (i < kValues || passes < kOverlappingPasses);
    lastDisplay = valueFor(i);
    --running;
  });
  std::thread host([&] {
    int i = 0;
    do {
      gui->SetParameterFromPlug(TestPlug::kGain, valueFor(i += 7), true);
    } while (i < kValues || passes < kOverlappingPasses);
    lastKnob = valueFor(i);
    --running;
  });
  while (running > 0) {
    if (gui->Tick()) ++passes;
  }
  audio.join();
  host.join();
  while (gui->Tick()) {
  }

  EXPECT_EQ(display->lastDrawnValue, lastDisplay);
  EXPECT_EQ(knob->lastDrawnValue, lastKnob);
  IRECT dirty;
  EXPECT_FALSE(gui->IsDirty(&dirty));
}

}  // namespace
