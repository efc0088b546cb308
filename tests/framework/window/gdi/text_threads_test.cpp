#include <gtest/gtest.h>

#include <vector>

#include "framework/window/gdi/TextDrawing.h"
#include "tests/framework/base/same_on_two_threads.h"
#include "tests/framework/window/gdi/gdi_canvas.h"

// Fonts share faces, and the faces their sizes, across threads: text drawn
// while another thread creates, draws and deletes fonts comes out the same.
TEST(TextThreadsTest, FontsCreatedAndDrawnOnTwoThreadsDrawAsAlone) {
  EXPECT_TRUE(SameOnTwoThreadsAsAlone(3, 30, [](int thread, int variant) {
    GdiCanvas canvas(120, 40, -10 - 4 * variant, thread ? "Times" : "Monaco");
    SetTextColor(canvas.dc(), RGB(200, 100, 50));
    RECT r = {0, 0, 120, 40};
    DrawText(canvas.dc(), "Rate 0.5 Hz", -1, &r, DT_CENTER | DT_VCENTER);
    return std::vector<uint8_t>(canvas.at(0, 0), canvas.at(0, 0) + 120 * 40 * 4);
  }));
}
