#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/window/IGraphicsOffscreen.h"
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

  std::atomic<int> running{2};
  std::thread audio([&] {
    for (int i = 1; i <= kValues; ++i)
      gui->SetControlFromPlug(displayIdx, static_cast<double>(i) / kValues);
    --running;
  });
  std::thread host([&] {
    for (int i = kValues; i >= 0; --i)
      gui->SetParameterFromPlug(TestPlug::kGain, static_cast<double>(i % 1000) / 999.0, true);
    --running;
  });
  int passes = 0;
  while (running > 0) {
    passes += gui->Tick();
  }
  audio.join();
  host.join();
  while (gui->Tick()) {
  }

  EXPECT_GT(passes, 0);
  EXPECT_EQ(display->lastDrawnValue, 1.0);
  EXPECT_EQ(knob->lastDrawnValue, 0.0);
  IRECT dirty;
  EXPECT_FALSE(gui->IsDirty(&dirty));
}

}  // namespace
