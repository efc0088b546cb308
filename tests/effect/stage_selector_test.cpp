#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "effect/IRadioBitmapControl2D.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "raster/LICE_MemBitmap.h"
#include "tests/support/TestPlug.h"

namespace {

constexpr IMouseMod kLeft(true);

// The stage selector as the editor lays it out: six 67 x 29 frames at
// (70, 49), three cells a row, bound to a 0..5 parameter.
class StageSelectorTest : public ::testing::Test {
 protected:
  StageSelectorTest() {
    const IBitmap strip(&mPixels, 67, 29 * 6, 6, false);
    mSelector = new IRadioBitmapControl2D(&mPlug, 70, 49, TestPlug::kStages, &strip,
                                          IRECT(0, 0, 67, 29), 3, kHorizontal, true);
    mGui->AttachControl(mSelector);
    mPlug.AttachGraphics(mGui);
  }

  int Stage() const { return static_cast<int>(mPlug.GetParam(TestPlug::kStages)->Value()); }
  void Click(int x, int y, int clicks = 1) {
    mGui->MouseDown(x, y, kLeft, clicks);
    mGui->MouseUp(x, y);
  }

  LICE_MemBitmap mPixels{67, 29 * 6};
  TestPlug mPlug;
  IGraphicsOffscreen* mGui = new IGraphicsOffscreen(&mPlug, 424, 104);
  IRadioBitmapControl2D* mSelector;
};

TEST_F(StageSelectorTest, ACellSelectsItsStageAndOnlyTheHitAreaCounts) {
  Click(70, 49);
  EXPECT_EQ(Stage(), 0);
  Click(136, 77);
  EXPECT_EQ(Stage(), 5);
  Click(93, 64);  // column 1, row 1
  EXPECT_EQ(Stage(), 4);
  EXPECT_DOUBLE_EQ(mSelector->GetValue(), 0.8);
  // Column boundaries at x - 70 = 23 and 45, the row boundary at y - 49 = 15.
  const std::vector<std::pair<IRECT, int>> corners = {
      {IRECT(92, 63, 93, 64), 0}, {IRECT(115, 63, 116, 64), 2}, {IRECT(114, 64, 115, 65), 4}};
  for (const auto& [point, stage] : corners) {
    Click(point.L, point.T);
    EXPECT_EQ(Stage(), stage) << point.L << "," << point.T;
  }
  Click(137, 60);  // inside the bitmap's reach but outside the hit area
  Click(100, 78);
  EXPECT_EQ(Stage(), 4);
}

TEST_F(StageSelectorTest, DraggingStepsCellByCellAndADoubleClickSelects) {
  mGui->MouseDown(75, 55);
  std::vector<int> seen;
  for (int x = 80; x <= 135; x += 5) {
    mGui->MouseDrag(x, 55);
    if (seen.empty() || seen.back() != Stage()) seen.push_back(Stage());
  }
  mGui->MouseDrag(135, 70);
  seen.push_back(Stage());
  mGui->MouseUp(135, 70);
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 5}));
  Click(75, 70, 2);
  EXPECT_EQ(Stage(), 3);
}

// Five states three to a row: the sixth cell lies past the last state and
// acts as it once clamped.
TEST(StageSelectorGridTest, CellsPastTheLastStateActAsTheLast) {
  TestPlug plug;
  auto* gui = new IGraphicsOffscreen(&plug, 100, 100);
  LICE_MemBitmap pixels(30, 100);
  const IBitmap strip(&pixels, 30, 100, 5, false);
  auto* grid = new IRadioBitmapControl2D(&plug, 0, 0, TestPlug::kGain, &strip, IRECT(0, 0, 30, 20),
                                         3, kHorizontal, false);
  gui->AttachControl(grid);
  plug.AttachGraphics(gui);
  gui->MouseDown(25, 15);
  EXPECT_EQ(grid->GetValue(), 1.0);
  gui->MouseDrag(5, 5);  // dragging does not select here
  EXPECT_EQ(grid->GetValue(), 1.0);
}

}  // namespace
