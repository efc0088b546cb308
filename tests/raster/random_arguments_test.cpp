// Every drawing operation with arguments from anywhere in their ranges:
// nothing may be touched outside the bitmaps' pixels (checked by the guard
// words here and by the address sanitizer in its build), and every call must
// return.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>

#include "raster/lice.h"
#include "tests/raster/reference_blit.h"
#include "tests/raster/test_bitmap.h"

namespace {

class Args {
 public:
  explicit Args(unsigned seed) : mRng(seed) {}

  int coord(int size) {
    switch (mRng() % 6) {
      case 0:
        return static_cast<int>(mRng());
      case 1:
        return mRng() % 2 ? INT_MAX : INT_MIN;
      default:
        return static_cast<int>(mRng() % (4 * size + 1)) - 2 * size;
    }
  }
  float real(float size) {
    switch (mRng() % 8) {
      case 0:
        return std::numeric_limits<float>::quiet_NaN();
      case 1:
        return (mRng() % 2 ? 1 : -1) * std::numeric_limits<float>::infinity();
      case 2:
        return (mRng() % 2 ? 1 : -1) * std::ldexp(1.0f, static_cast<int>(mRng() % 120));
      default:
        return (static_cast<float>(mRng() % 10001) / 10000.0f * 4 - 2) * size;
    }
  }
  LICE_pixel color() { return static_cast<LICE_pixel>(mRng()); }
  int mode() { return mRng() % 8 == 0 ? static_cast<int>(mRng()) : randomMode(mRng); }
  float weight() { return mRng() % 10 == 0 ? real(2) : randomWeight(mRng); }
  bool flag() { return mRng() % 2; }
  unsigned pick(unsigned n) { return static_cast<unsigned>(mRng() % n); }

 private:
  std::mt19937 mRng;
};

}  // namespace

TEST(RandomArgumentsTest, NoOperationTouchesAnythingOutsideItsBitmaps) {
  Args a(81);
  for (int iter = 0; iter < 6000; ++iter) {
    TestBitmap dst(1 + a.pick(24), 1 + a.pick(24), a.flag()),
        src(1 + a.pick(24), 1 + a.pick(24), a.flag());
    TestBitmap& other = a.pick(4) ? src : dst;  // sometimes a bitmap onto itself
    const int w = dst.getWidth(), h = dst.getHeight();
    const float fw = static_cast<float>(w);
    switch (iter % 16) {
      case 0:
        LICE_Blit(&dst, &other, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.coord(w),
                  a.coord(h), a.weight(), a.mode());
        break;
      case 1:
        LICE_ScaledBlit(&dst, &other, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.real(fw),
                        a.real(fw), a.real(fw), a.real(fw), a.weight(), a.mode());
        break;
      case 2:
        LICE_RotatedBlit(&dst, &other, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.real(fw),
                         a.real(fw), a.real(fw), a.real(fw), a.real(10), a.flag(), a.weight(),
                         a.mode(), a.real(fw), a.real(fw));
        break;
      case 3:
        LICE_FillRect(&dst, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.color(), a.weight(),
                      a.mode());
        break;
      case 4:
        LICE_ClearRect(&dst, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.color(), a.color());
        break;
      case 5:
        LICE_PutPixel(&dst, a.coord(w), a.coord(h), a.color(), a.weight(), a.mode());
        break;
      case 6:
        LICE_Line(&dst, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.color(), a.weight(),
                  a.mode(), a.flag());
        break;
      case 7:
        LICE_DrawRect(&dst, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.color(), a.weight(),
                      a.mode());
        break;
      case 8:
        LICE_BorderedRect(&dst, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.color(),
                          a.color(), a.weight(), a.mode());
        break;
      case 9:
        LICE_Arc(&dst, a.real(fw), a.real(fw), a.real(fw), a.real(10), a.real(10), a.color(),
                 a.weight(), a.mode(), a.flag());
        break;
      case 10:
        LICE_Circle(&dst, a.real(fw), a.real(fw), a.real(fw), a.color(), a.weight(), a.mode(),
                    a.flag());
        break;
      case 11:
        LICE_FillCircle(&dst, a.real(fw), a.real(fw), a.real(fw), a.color(), a.weight(), a.mode(),
                        a.flag());
        break;
      case 12:
        LICE_RoundRect(&dst, a.real(fw), a.real(fw), a.real(fw), a.real(fw), a.coord(w), a.color(),
                       a.weight(), a.mode(), a.flag());
        break;
      case 13: {
        int xs[6], ys[6];
        for (int i = 0; i < 6; ++i)
          xs[i] = a.coord(w), ys[i] = a.coord(h);
        LICE_FillConvexPolygon(&dst, xs, ys, 1 + static_cast<int>(a.pick(6)), a.color(), a.weight(),
                               a.mode());
        break;
      }
      case 14:
        LICE_FillTriangle(&dst, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.coord(w),
                          a.coord(h), a.color(), a.weight(), a.mode());
        break;
      default:
        LICE_Blur(&dst, &other, a.coord(w), a.coord(h), a.coord(w), a.coord(h), a.coord(w),
                  a.coord(h));
        break;
    }
    ASSERT_TRUE(dst.guardsIntact()) << "iteration " << iter;
    ASSERT_TRUE(src.guardsIntact()) << "iteration " << iter;
  }
}
