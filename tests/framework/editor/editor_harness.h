#pragma once

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "framework/editor/IControl.h"
#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_fill.h"

// A pixel that tells where it came from: red is x, green and blue are y
// (low and high byte), alpha is opaque. Good for x below 256.
inline LICE_pixel PositionCode(int x, int y) {
  return LICE_RGBA(x & 255, y & 255, (y >> 8) & 255, 255);
}

inline int RowOfCode(LICE_pixel p) {
  return LICE_GETG(p) | LICE_GETB(p) << 8;
}

// What the surface held before a test drew: no drawing rule makes it.
constexpr LICE_pixel kUntouched = LICE_RGBA(1, 2, 3, 4);

inline void PaintPositions(LICE_IBitmap* bitmap) {
  for (int y = 0; y < bitmap->getHeight(); ++y) {
    for (int x = 0; x < bitmap->getWidth(); ++x)
      LICE_PutPixel(bitmap, x, y, PositionCode(x, y), 1.0f, 0);
  }
}

// A control over the whole editor that runs a test's drawing code while a
// redraw pass is under way.
class ProbeControl : public IControl {
 public:
  ProbeControl(int w, int h) : IControl(nullptr, IRECT(0, 0, w, h)) {}
  bool Draw(IGraphics* graphics) override {
    if (mDraw) mDraw(graphics);
    return true;
  }
  std::function<void(IGraphics*)> mDraw;
};

// An off-screen editor whose images come from memory: id -> size, pixels
// painted with PositionCode. Counts how often the window layer was asked.
class TestEditor : public IGraphicsOffscreen {
 public:
  TestEditor(int w, int h, bool prepare = true) : IGraphicsOffscreen(nullptr, w, h) {
    mProbe = new ProbeControl(w, h);
    AttachControl(mProbe);
    if (prepare) PrepDraw();
  }

  LICE_IBitmap* OSLoadBitmap(int id, const char* /*name*/) override {
    ++mLoads;
    const auto it = mImages.find(id);
    if (it == mImages.end()) return nullptr;
    auto* bitmap = new LICE_MemBitmap(it->second.first, it->second.second);
    PaintPositions(bitmap);
    return bitmap;
  }

  // Runs draw inside a strict redraw of area, so that it is the draw
  // rectangle.
  void DrawDuring(IRECT area, std::function<void(IGraphics*)> draw) {
    mProbe->mDraw = std::move(draw);
    Draw(&area);
    mProbe->mDraw = nullptr;
  }

  void Fill(LICE_pixel p) { LICE_Clear(GetDrawBitmap(), p); }

  LICE_pixel At(int x, int y) const { return LICE_GetPixel(GetDrawBitmap(), x, y); }

  // Row-major, top row first.
  std::vector<LICE_pixel> Pixels() const {
    std::vector<LICE_pixel> out;
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x)
        out.push_back(At(x, y));
    }
    return out;
  }

  std::map<int, std::pair<int, int>> mImages;
  int mLoads = 0;

 private:
  ProbeControl* mProbe;
};

// The pixels of an editor of w x h where `painted` says what each one must
// be, kUntouched elsewhere.
inline std::vector<LICE_pixel> Expected(int w, int h,
                                        const std::function<LICE_pixel(int, int)>& painted) {
  std::vector<LICE_pixel> out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      out.push_back(painted(x, y));
  }
  return out;
}
