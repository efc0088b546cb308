// What the painted images show, read back from the bundle's PNG files and
// checked against the editor's layout rules rather than against recorded
// pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/effect/artwork/ArtworkTestSupport.h"

namespace {

using artwork_test::AngleDegrees;
using artwork_test::Frame;
using artwork_test::IsLitAccent;
using artwork_test::LoadBundled;

// The knob's travel: frame 1 at -150 degrees, frame 128 at +150.
double KnobDegrees(int frame0, int frames) {
  return -150.0 + 300.0 * frame0 / (frames - 1);
}

// Stage selector (6 states, 3 per row, horizontal, 67 x 29): the cell the
// value law maps a point to, as the frame the selector then shows (1-6).
int SelectedFrame(int x, int y) {
  const int a = (x * 3) / 67, b = (y * 6) / (29 * 3);
  const double value = (3 * b + a) / 5.0;
  return 1 + static_cast<int>(0.5 + value * 5);
}

TEST(ArtworkPixelsTest, StageFrameLightsTheCellTheSelectorLawGivesItsStage) {
  std::unique_ptr<LICE_IBitmap> strip = LoadBundled("stages");
  ASSERT_TRUE(strip);
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE("frame " + std::to_string(n));
    const Frame frame(strip.get(), n - 1, 29);
    double amber[7] = {};
    int area[7] = {}, litInside = 0, litOutside = 0;
    for (int y = 0; y < 29; ++y) {
      for (int x = 0; x < 67; ++x) {
        const LICE_pixel p = frame.at(x, y);
        const int cell = SelectedFrame(x, y);
        amber[cell] += LICE_GETA(p) / 255.0 * (LICE_GETR(p) - LICE_GETB(p));
        ++area[cell];
        if (IsLitAccent(p)) ++(cell == n ? litInside : litOutside);
      }
    }
    // Every amber pixel lies in the cell a click would select for it; that
    // cell is amber through and through, the others grey.
    EXPECT_EQ(litOutside, 0);
    EXPECT_GT(litInside, area[n] / 2);
    for (int cell = 1; cell <= 6; ++cell) {
      if (cell == n) {
        EXPECT_GT(amber[cell] / area[cell], 100.0);
      } else {
        EXPECT_LT(amber[cell] / area[cell], 10.0) << "cell " << cell;
      }
    }
  }
}

TEST(ArtworkPixelsTest, KnobPointerTurnsClockwiseThroughThreeHundredDegrees) {
  std::unique_ptr<LICE_IBitmap> strip = LoadBundled("knob");
  ASSERT_TRUE(strip);
  double previous = -360.0;
  for (int f = 0; f < 128; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f + 1));
    const Frame frame(strip.get(), f, 40);
    // The pointer's direction: the mean of its amber pixels' positions.
    double sx = 0.0, sy = 0.0;
    int count = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        if (IsLitAccent(frame.at(x, y))) {
          sx += x + 0.5;
          sy += y + 0.5;
          ++count;
        }
      }
    }
    ASSERT_GT(count, 8);
    const double angle = std::atan2(sx / count - 20.0, 20.0 - sy / count) * 180.0 / M_PI;
    EXPECT_NEAR(angle, KnobDegrees(f, 128), 3.0);
    EXPECT_GT(angle, previous);
    previous = angle;
    // Nothing but the disc and its shadow: the corners stay clear.
    EXPECT_EQ(LICE_GETA(frame.at(0, 0)), 0);
    EXPECT_EQ(LICE_GETA(frame.at(39, 0)), 0);
    EXPECT_EQ(LICE_GETA(frame.at(0, 39)), 0);
    EXPECT_EQ(LICE_GETA(frame.at(20, 20)), 255);
  }
}

// The lit marks of a ring frame: groups of touching amber pixels.
std::vector<std::vector<std::pair<int, int>>> LitMarks(const Frame& frame) {
  const int w = frame.width(), h = frame.height();
  std::vector<int> seen(static_cast<size_t>(w * h), 0);
  std::vector<std::vector<std::pair<int, int>>> marks;
  for (int y0 = 0; y0 < h; ++y0) {
    for (int x0 = 0; x0 < w; ++x0) {
      if (seen[y0 * w + x0] || !IsLitAccent(frame.at(x0, y0))) continue;
      marks.emplace_back();
      std::vector<std::pair<int, int>> todo = {{x0, y0}};
      seen[y0 * w + x0] = 1;
      while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        marks.back().push_back({x, y});
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[ny * w + nx]) continue;
            if (!IsLitAccent(frame.at(nx, ny))) continue;
            seen[ny * w + nx] = 1;
            todo.push_back({nx, ny});
          }
        }
      }
    }
  }
  return marks;
}

TEST(ArtworkPixelsTest, RingShowsOneLitMarkPerStageAndMixAsHowFarItIsLit) {
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE("ring " + std::to_string(k));
    std::unique_ptr<LICE_IBitmap> strip = LoadBundled("knob_rot_" + std::to_string(k));
    ASSERT_TRUE(strip);
    // The zero frame is blank: five rings show it over the one in use.
    const Frame zero(strip.get(), 0, 50);
    int visible = 0;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 50; ++x)
        visible += LICE_GETA(zero.at(x, y)) != 0;
    EXPECT_EQ(visible, 0);

    const Frame full(strip.get(), 127, 50);
    EXPECT_EQ(LitMarks(full).size(), static_cast<size_t>(k));

    // Part way, the marks are lit from the start of the knob's travel up to
    // the Mix angle and no further; the centre stays clear for the knob.
    for (int f : {32, 64, 100}) {
      const Frame part(strip.get(), f, 50);
      double last = -180.0;
      for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
          const double r = std::hypot(x + 0.5 - 25.0, y + 0.5 - 25.0);
          if (r < 15.0) {
            EXPECT_EQ(LICE_GETA(part.at(x, y)), 0) << x << ", " << y;
          }
          if (IsLitAccent(part.at(x, y))) last = std::max(last, AngleDegrees(x, y, 25.0, 25.0));
        }
      }
      const double mixAngle = KnobDegrees(f, 128);
      EXPECT_LE(last, mixAngle + 3.0) << "frame " << f + 1;
      // Unless the Mix angle falls in a gap between marks, light reaches it.
      const bool inGap =
          LitMarks(full).size() > 1 && last < mixAngle - 4.0 && mixAngle - last < 300.0 / k;
      EXPECT_TRUE(last >= mixAngle - 4.0 || inGap) << "frame " << f + 1 << " lit to " << last;
    }
  }
}

struct MarkStats {
  double centreX = 0.0;              // alpha-weighted mean column, continuous
  double weight = 0.0;               // summed alpha, in opaque pixels
  double r = 0.0, g = 0.0, b = 0.0;  // mean colour of the opaque pixels
};

MarkStats Measure(const Frame& frame) {
  MarkStats m;
  double sx = 0.0;
  int opaque = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      const LICE_pixel p = frame.at(x, y);
      const double a = LICE_GETA(p) / 255.0;
      sx += a * (x + 0.5);
      m.weight += a;
      if (LICE_GETA(p) > 200) {
        m.r += LICE_GETR(p);
        m.g += LICE_GETG(p);
        m.b += LICE_GETB(p);
        ++opaque;
      }
    }
  }
  if (m.weight > 0.0) m.centreX = sx / m.weight;
  if (opaque) {
    m.r /= opaque;
    m.g /= opaque;
    m.b /= opaque;
  }
  return m;
}

TEST(ArtworkPixelsTest, SweepDisplaysMarkOneEvenFrequencyScaleInThreeTints) {
  const char* names[3] = {"freq__mask", "depth__mask", "lfo__mask"};
  std::unique_ptr<LICE_IBitmap> strips[3];
  for (int d = 0; d < 3; ++d) {
    strips[d] = LoadBundled(names[d]);
    ASSERT_TRUE(strips[d]) << names[d];
  }
  MarkStats first[3], last[3];
  for (int d = 0; d < 3; ++d) {
    first[d] = Measure(Frame(strips[d].get(), 0, 10));
    last[d] = Measure(Frame(strips[d].get(), 78, 10));
  }
  for (int d = 0; d < 3; ++d) {
    SCOPED_TRACE(names[d]);
    // The scale spans most of the display, and every display uses the same.
    EXPECT_GT(last[d].centreX - first[d].centreX, 70.0);
    EXPECT_NEAR(first[d].centreX, first[0].centreX, 0.3);
    EXPECT_NEAR(last[d].centreX, last[0].centreX, 0.3);
    for (int i = 0; i < 79; ++i) {
      const MarkStats m = Measure(Frame(strips[d].get(), i, 10));
      // Frame i marks i / 78 of the way along, the lowest still visible.
      const double expected = first[d].centreX + (last[d].centreX - first[d].centreX) * i / 78.0;
      EXPECT_NEAR(m.centreX, expected, 0.3) << "frame " << i + 1;
      EXPECT_GT(m.weight, 8.0) << "frame " << i + 1;
    }
  }
  // Laid over one another, the three read apart by colour.
  for (int a = 0; a < 3; ++a) {
    for (int b = a + 1; b < 3; ++b) {
      const double distance =
          std::sqrt(std::pow(first[a].r - first[b].r, 2) + std::pow(first[a].g - first[b].g, 2) +
                    std::pow(first[a].b - first[b].b, 2));
      EXPECT_GT(distance, 40.0) << names[a] << " and " << names[b];
    }
  }
}

}  // namespace
