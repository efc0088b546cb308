#pragma once

#include <cstdint>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/MemContext.h"

inline HFONT MakeFont(int height, const char* face = "Monaco", int width = 0) {
  return CreateFont(height, width, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face);
}

// A memory context for text tests, deleted at the end of the scope; with a
// font height, a font of its own is selected into it.
class GdiCanvas {
 public:
  GdiCanvas(int width, int height, int fontHeight = 0, const char* face = "Monaco")
      : mDC(SWELL_CreateMemContext(nullptr, width, height)),
        mFont(fontHeight ? MakeFont(fontHeight, face) : nullptr),
        mWidth(width),
        mHeight(height) {
    if (mFont) SelectObject(mDC, mFont);
  }
  ~GdiCanvas() {
    SWELL_DeleteGfxContext(mDC);
    if (mFont) DeleteObject(mFont);
  }
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC dc() const { return mDC; }
  // The pixel's bytes in memory order: alpha, red, green, blue.
  const uint8_t* at(int x, int y) const {
    return reinterpret_cast<const uint8_t*>(
        static_cast<const uint32_t*>(SWELL_GetCtxFrameBuffer(mDC)) + y * ((mWidth + 3) & ~3) + x);
  }
  // The smallest rectangle holding every pixel whose red byte is not 0;
  // empty (right <= left) when there is none.
  RECT ink() const {
    RECT r = {mWidth, mHeight, 0, 0};
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x) {
        if (!at(x, y)[1]) continue;
        r = {r.left < x ? r.left : x, r.top < y ? r.top : y, r.right > x + 1 ? r.right : x + 1,
             r.bottom > y + 1 ? r.bottom : y + 1};
      }
    }
    return r;
  }

 private:
  HDC mDC;
  HFONT mFont;
  int mWidth, mHeight;
};
