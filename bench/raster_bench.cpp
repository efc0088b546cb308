// Raster throughput: the blits and fills the editor leans on every frame.
// Figures are pixels per second; the plain copy is also compared with a
// memcpy of the same bytes in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/lice.h"

namespace {

constexpr int kEditorW = 424, kEditorH = 104;

// Random colours; with cell > 0 the alpha of control images: in every
// cell x cell square an opaque disc with a soft edge on a transparent ground,
// so that alpha comes in runs as it does in real images.
void fillRandom(LICE_IBitmap* bm, unsigned seed, int cell) {
  std::mt19937 rng(seed);
  for (int y = 0; y < bm->getHeight(); ++y) {
    LICE_pixel* row = bm->getBits() + static_cast<size_t>(y) * bm->getRowSpan();
    for (int x = 0; x < bm->getWidth(); ++x) {
      LICE_pixel p = static_cast<LICE_pixel>(rng());
      if (cell > 0) {
        const double half = cell / 2.0;
        const double d = std::hypot(x % cell - half, y % cell - half) - (half - 3);
        const int a = d <= 0 ? 255 : d >= 2 ? 0 : static_cast<int>(255 * (1 - d / 2));
        p = (p & ~0xFFu) | static_cast<LICE_pixel>(a);
      }
      row[x] = p;
    }
  }
}

void setPixelRate(benchmark::State& state, double pixelsPerIteration) {
  state.counters["pixels/s"] = benchmark::Counter(
      pixelsPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Memcpy424x104(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(kEditorW) * kEditorH * 4;
  void* a = std::aligned_alloc(64, bytes);
  void* b = std::aligned_alloc(64, bytes);
  std::memset(a, 1, bytes);
  std::memset(b, 2, bytes);
  for (auto _ : state) {
    std::memcpy(b, a, bytes);
    benchmark::DoNotOptimize(b);
    benchmark::ClobberMemory();
  }
  setPixelRate(state, kEditorW * kEditorH);
  std::free(a);
  std::free(b);
}
BENCHMARK(BM_Memcpy424x104);

void BM_BlitCopy424x104(benchmark::State& state) {
  LICE_MemBitmap src(kEditorW, kEditorH);
  LICE_SysBitmap dst(kEditorW, kEditorH);
  fillRandom(&src, 1, 0);
  for (auto _ : state) {
    LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    benchmark::ClobberMemory();
  }
  setPixelRate(state, kEditorW * kEditorH);
}
BENCHMARK(BM_BlitCopy424x104);

// Both in one loop, alternating, so that they see the same machine state;
// "blit/memcpy" is the ratio of their times (goal: at most 1.5). Argument 1
// pads the source rows (alignment 64 pixels), so the copy goes row by row.
void BM_BlitCopyVersusMemcpy(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const size_t bytes = static_cast<size_t>(kEditorW) * kEditorH * 4;
  LICE_MemBitmap src(kEditorW, kEditorH, state.range(0) ? 64 : 4);
  LICE_SysBitmap dst(kEditorW, kEditorH);
  fillRandom(&src, 2, 0);
  void* a = std::aligned_alloc(64, bytes);
  void* b = std::aligned_alloc(64, bytes);
  std::memset(a, 3, bytes);
  Clock::duration blit{}, copy{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    std::memcpy(b, a, bytes);
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    copy += t1 - t0;
    blit += t2 - t1;
  }
  state.counters["blit/memcpy"] =
      std::chrono::duration<double>(blit).count() / std::chrono::duration<double>(copy).count();
  std::free(a);
  std::free(b);
}
BENCHMARK(BM_BlitCopyVersusMemcpy)->Arg(0)->Arg(1);

void BM_BlitSourceAlpha424x104(benchmark::State& state) {
  LICE_MemBitmap src(kEditorW, kEditorH);
  LICE_SysBitmap dst(kEditorW, kEditorH);
  fillRandom(&src, 3, 52);
  fillRandom(&dst, 4, 0);
  for (auto _ : state) {
    LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_USE_ALPHA);
    benchmark::ClobberMemory();
  }
  setPixelRate(state, kEditorW * kEditorH);
}
BENCHMARK(BM_BlitSourceAlpha424x104);

void BM_FillRect424x104(benchmark::State& state) {
  LICE_SysBitmap dst(kEditorW, kEditorH);
  const float alpha = static_cast<float>(state.range(0)) / 100.0f;
  for (auto _ : state) {
    LICE_FillRect(&dst, 0, 0, kEditorW, kEditorH, LICE_RGBA(30, 60, 90, 255), alpha,
                  LICE_BLIT_USE_ALPHA);
    benchmark::ClobberMemory();
  }
  setPixelRate(state, kEditorW * kEditorH);
}
BENCHMARK(BM_FillRect424x104)->Arg(100)->Arg(50)->Arg(37);

// One frame of a 128-frame knob strip (48 x 48 frames stacked), drawn the
// way the editor draws a control: with its source alpha.
void BM_KnobStripFrame(benchmark::State& state) {
  constexpr int kFrame = 48, kFrames = 128;
  LICE_MemBitmap strip(kFrame, kFrame * kFrames);
  LICE_SysBitmap dst(kEditorW, kEditorH);
  fillRandom(&strip, 5, kFrame);
  int frame = 0;
  for (auto _ : state) {
    LICE_Blit(&dst, &strip, 200, 30, 0, frame * kFrame, kFrame, kFrame, 1.0f, LICE_BLIT_USE_ALPHA);
    frame = (frame + 37) % kFrames;
    benchmark::ClobberMemory();
  }
  setPixelRate(state, kFrame * kFrame);
}
BENCHMARK(BM_KnobStripFrame);

void BM_RotatedBlit64Bilinear(benchmark::State& state) {
  LICE_MemBitmap src(64, 64);
  LICE_SysBitmap dst(kEditorW, kEditorH);
  fillRandom(&src, 6, 64);
  float angle = 0.1f;
  for (auto _ : state) {
    LICE_RotatedBlit(&dst, &src, 100, 20, 64, 64, 0, 0, 64, 64, angle, false, 1.0f,
                     LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);
    angle += 0.01f;
    benchmark::ClobberMemory();
  }
  setPixelRate(state, 64 * 64);
}
BENCHMARK(BM_RotatedBlit64Bilinear);

// A parameter value label as the editor draws it: natively (arg 0, each call
// rasterises the text) or from the glyph cache (arg 1, filled once).
void BM_DrawTextLabel(benchmark::State& state) {
  LICE_CachedFont font;
  font.SetFromHFont(CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Monaco"),
                    LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  font.SetTextColor(LICE_RGBA(230, 230, 220, 255));
  LICE_MemBitmap dst(kEditorW, kEditorH);
  fillRandom(&dst, 7, 0);
  const unsigned int format = DT_CENTER | DT_VCENTER | (state.range(0) ? LICE_DT_USEGLYPHS : 0);
  for (auto _ : state) {
    RECT r = {150, 40, 274, 60};
    benchmark::DoNotOptimize(font.DrawText(&dst, "Feedback -3.5 dB", -1, &r, format));
    benchmark::ClobberMemory();
  }
  state.counters["labels/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DrawTextLabel)->Arg(0)->Arg(1);

}  // namespace
