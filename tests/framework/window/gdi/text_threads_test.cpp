#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "framework/window/gdi/TextDrawing.h"
#include "tests/framework/window/gdi/gdi_canvas.h"

namespace {

// What a font of this height draws, as bytes.
std::vector<uint8_t> render(int height, const char* face) {
  GdiCanvas canvas(120, 40);
  HFONT font = MakeFont(height, face);
  SelectObject(canvas.dc(), font);
  SetTextColor(canvas.dc(), RGB(200, 100, 50));
  RECT r = {0, 0, 120, 40};
  DrawText(canvas.dc(), "Rate 0.5 Hz", -1, &r, DT_CENTER | DT_VCENTER);
  DeleteObject(font);
  return std::vector<uint8_t>(canvas.at(0, 0), canvas.at(0, 0) + 120 * 40 * 4);
}

}  // namespace

// Fonts share faces, and the faces their sizes, across threads: text drawn
// while another thread creates, draws and deletes fonts must come out the
// same as when drawn alone.
TEST(TextThreadsTest, FontsCreatedAndDrawnOnTwoThreadsDrawAsAlone) {
  const char* faces[] = {"Monaco", "Times"};
  std::vector<uint8_t> alone[2][3];
  for (int t = 0; t < 2; ++t) {
    for (int s = 0; s < 3; ++s)
      alone[t][s] = render(-10 - 4 * s, faces[t]);
  }
  bool same[2] = {true, true};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 30; ++i)
        same[t] &= render(-10 - 4 * (i % 3), faces[t]) == alone[t][i % 3];
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_TRUE(same[0]);
  EXPECT_TRUE(same[1]);
}
