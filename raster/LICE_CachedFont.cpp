#include "raster/LICE_CachedFont.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "framework/base/WDL_Mutex.h"
#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "framework/window/gdi/Utf8.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/detail/combiner_select.h"
#include "raster/detail/glyph_mask.h"
#include "raster/detail/pixel_rows.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_blur.h"
#include "raster/lice_fill.h"

namespace {

constexpr unsigned int kAlignmentFlags = DT_VCENTER | DT_CENTER | DT_BOTTOM | DT_RIGHT;
constexpr int kNativeLineHeight = 256;
constexpr int kMaxGlyphLineHeight = 1024;
constexpr int kMeasureSide = 256;

// The bitmaps every font shares and the count of fonts keeping them.
struct Shared {
  WDL_Mutex lock;
  int fonts = 0;
  LICE_SysBitmap* measure = nullptr;  // measuring and glyph rendering
  LICE_SysBitmap* native = nullptr;   // native text
};

// Never destroyed: a font may be destroyed during static destruction.
Shared& shared() {
  static Shared* s = new Shared;
  return *s;
}

// The shared bitmap in `slot`, grown to at least w x h; null when memory
// runs out. Growing may replace its context, so fonts are selected only
// after this.
LICE_SysBitmap* sharedBitmap(LICE_SysBitmap*& slot, int w, int h) {
  if (!slot) {
    slot = new (std::nothrow) LICE_SysBitmap(w, h);
  } else if (slot->getWidth() < w || slot->getHeight() < h) {
    slot->resize(std::max(w, slot->getWidth()), std::max(h, slot->getHeight()));
  }
  if (!slot || !slot->getDC() || slot->getWidth() < w || slot->getHeight() < h) return nullptr;
  return slot;
}

COLORREF toColorRef(LICE_pixel c) {
  return RGB(LICE_GETR(c), LICE_GETG(c), LICE_GETB(c));
}

long long alignedStart(long long low, long long high, long long extent, unsigned int format,
                       unsigned int centre, unsigned int far) {
  if (format & far) return high - extent;
  if (format & centre) return (low + high - extent) / 2;
  return low;
}

int clampInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Calls f(code) for every character of the text, and f('\n') where a line
// ends; line feeds are spaces on a single line, carriage returns skipped.
template <class F>
void forEachChar(const char* text, int length, bool singleLine, F&& f) {
  const int end =
      static_cast<int>(length < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(length)));
  for (int pos = 0; pos < end;) {
    unsigned int c = SWELL_Utf8Next(text, end, &pos);
    if (c == '\r') continue;
    if (c == '\n' && singleLine) c = ' ';
    f(c);
  }
}

}  // namespace

LICE_CachedFont::LICE_CachedFont() {
  WDL_MutexLock lock(&shared().lock);
  ++shared().fonts;
}

LICE_CachedFont::~LICE_CachedFont() {
  if ((mFlags & LICE_FONT_FLAG_OWNS_HFONT) && mFont) DeleteObject(mFont);
  Shared& s = shared();
  WDL_MutexLock lock(&s.lock);
  if (--s.fonts == 0) {
    delete s.measure;
    delete s.native;
    s.measure = nullptr;
    s.native = nullptr;
  }
}

void LICE_CachedFont::SetFromHFont(HFONT font, int flags) {
  if ((mFlags & LICE_FONT_FLAG_OWNS_HFONT) && mFont && mFont != font) DeleteObject(mFont);
  mFlags = flags;
  mFont = font;
  mLineHeight = 0;
  if (font) {
    WDL_MutexLock lock(&shared().lock);
    LICE_SysBitmap* bm = sharedBitmap(shared().measure, kMeasureSide, kMeasureSide);
    if (bm) {
      HDC dc = bm->getDC();
      ::SetTextColor(dc, RGB(255, 255, 255));
      ::SetBkMode(dc, TRANSPARENT);
      ::SetBkColor(dc, RGB(0, 0, 0));
      HGDIOBJ previous = SelectObject(dc, font);
      TEXTMETRIC tm;
      if (GetTextMetrics(dc, &tm)) mLineHeight = tm.tmHeight;
      SelectObject(dc, previous);
    }
  }
  std::memset(mLowChars, 0, sizeof mLowChars);
  mExtraChars.Resize(0);
  mMaskStore.Resize(0);
  if (flags & LICE_FONT_FLAG_PRECALCALL) {
    for (unsigned int c = 0; c < 128; ++c)
      RenderGlyph(c);
  }
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) {
  return std::exchange(mTextColor, color);
}

LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) {
  return std::exchange(mBkColor, color);
}

LICE_pixel LICE_CachedFont::SetEffectColor(LICE_pixel color) {
  return std::exchange(mEffectColor, color);
}

int LICE_CachedFont::SetBkMode(int mode) {
  return std::exchange(mBkMode, mode);
}

void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
  mCombineMode = mode;
  mAlpha = alpha;
}

int LICE_CachedFont::SetLineSpacingAdjust(int pixels) {
  return std::exchange(mLineSpacing, pixels);
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
                              unsigned int format) {
  if (!text || !rect || (!bitmap && !(format & DT_CALCRECT))) return 0;
  return usesNativePath(format) ? drawNative(bitmap, text, length, rect, format)
                                : drawGlyphs(bitmap, text, length, rect, format);
}

bool LICE_CachedFont::usesNativePath(unsigned int format) const {
  if (!mFont) return false;
  if (mLineHeight >= kNativeLineHeight) return true;
  return (mFlags & LICE_FONT_FLAG_FORCE_NATIVE) && !(format & LICE_DT_USEGLYPHS) &&
         !(mFlags & (LICE_FONT_FLAG_PRECALCALL | LICE_FONT_FLAGS_GLYPHS_ONLY)) &&
         (mLineSpacing == 0 || (format & DT_SINGLELINE));
}

int LICE_CachedFont::drawNative(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
                                unsigned int format) {
  const unsigned int textFlags =
      (format & ~(DT_CALCRECT | DT_NOCLIP | LICE_DT_USEGLYPHS | kAlignmentFlags)) | DT_NOPREFIX;
  WDL_MutexLock lock(&shared().lock);

  // A bitmap with its own context takes the text directly, as long as no
  // weight has to be applied on the way in.
  HDC own = bitmap ? bitmap->getDC() : nullptr;
  if (own && !(format & DT_CALCRECT) && mAlpha >= 1.0f) {
    HGDIOBJ previous = SelectObject(own, mFont);
    ::SetTextColor(own, toColorRef(mTextColor));
    ::SetBkMode(own, mBkMode == LICE_BKMODE_OPAQUE ? OPAQUE : TRANSPARENT);
    if (mBkMode == LICE_BKMODE_OPAQUE) ::SetBkColor(own, toColorRef(mBkColor));
    RECT r = *rect;
    const int height = ::DrawText(own, text, length, &r,
                                  (format & ~(DT_CALCRECT | LICE_DT_USEGLYPHS)) | DT_NOPREFIX);
    SelectObject(own, previous);
    return height;
  }

  LICE_SysBitmap* scratch = sharedBitmap(shared().native, 4, 4);
  if (!scratch) return 0;
  RECT extent = {0, 0, 0, 0};
  HGDIOBJ previous = SelectObject(scratch->getDC(), mFont);
  ::DrawText(scratch->getDC(), text, length, &extent, textFlags | DT_CALCRECT);
  SelectObject(scratch->getDC(), previous);
  const long long w = extent.right, h = extent.bottom;
  if (format & DT_CALCRECT) {
    rect->right = clampInt(rect->left + w);
    rect->bottom = clampInt(rect->top + h);
    return static_cast<int>(h);
  }

  const long long x = alignedStart(rect->left, rect->right, w, format, DT_CENTER, DT_RIGHT);
  const long long y = alignedStart(rect->top, rect->bottom, h, format, DT_VCENTER, DT_BOTTOM);
  // Glyphs may reach past their advances (italics, some symbols): the area
  // taken in spares them that much on either side.
  const long long overhang = mLineHeight / 2;
  long long left = std::max(0LL, x - overhang), top = std::max(0LL, y);
  long long right = std::min<long long>(bitmap->getWidth(), x + w + overhang);
  long long bottom = std::min<long long>(bitmap->getHeight(), y + h);
  if (!(format & DT_NOCLIP)) {
    left = std::max<long long>(left, rect->left);
    top = std::max<long long>(top, rect->top);
    right = std::min<long long>(right, rect->right);
    bottom = std::min<long long>(bottom, rect->bottom);
  }
  if (right <= left || bottom <= top) return static_cast<int>(h);
  const int areaW = static_cast<int>(right - left), areaH = static_cast<int>(bottom - top);
  scratch = sharedBitmap(shared().native, areaW, areaH);
  if (!scratch) return 0;
  const int areaX = static_cast<int>(left), areaY = static_cast<int>(top);
  LICE_Blit(scratch, bitmap, 0, 0, areaX, areaY, areaW, areaH, 1.0f, LICE_BLIT_MODE_COPY);

  HDC dc = scratch->getDC();
  previous = SelectObject(dc, mFont);
  ::SetTextColor(dc, toColorRef(mTextColor));
  ::SetBkMode(dc, mBkMode == LICE_BKMODE_OPAQUE ? OPAQUE : TRANSPARENT);
  if (mBkMode == LICE_BKMODE_OPAQUE) ::SetBkColor(dc, toColorRef(mBkColor));
  RECT box = {clampInt(x - left), clampInt(y - top), clampInt(x - left + w), clampInt(y - top + h)};
  // Horizontal alignment stays: within the box it centres or right-aligns
  // the shorter lines of several.
  const int height =
      ::DrawText(dc, text, length, &box, textFlags | DT_NOCLIP | (format & (DT_CENTER | DT_RIGHT)));
  SelectObject(dc, previous);
  LICE_Blit(bitmap, scratch, areaX, areaY, 0, 0, areaW, areaH, mAlpha, LICE_BLIT_MODE_COPY);
  return height;
}

int LICE_CachedFont::drawGlyphs(LICE_IBitmap* bitmap, const char* text, int length, RECT* rect,
                                unsigned int format) {
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  const bool vertical = (mFlags & LICE_FONT_FLAG_VERTICAL) != 0;
  const bool bottomUp = vertical && (mFlags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP);

  // Lengths of the lines along the text's direction; a final line feed
  // starts no further line.
  std::vector<long long> lines;
  size_t feeds = 0;
  forEachChar(text, length, singleLine, [&](unsigned int c) {
    if (c == '\n') {
      ++feeds;
      return;
    }
    if (lines.size() <= feeds) lines.resize(feeds + 1, 0);
    if (const charEnt* e = glyphFor(c)) lines[feeds] += e->advance;
  });
  lines.resize(std::max(lines.size(), feeds), 0);
  const long long count = static_cast<long long>(lines.size());
  const long long step = static_cast<long long>(mLineHeight) + mLineSpacing;
  const long long across = count ? count * mLineHeight + (count - 1) * mLineSpacing : 0;
  const long long along = lines.empty() ? 0 : *std::max_element(lines.begin(), lines.end());
  const long long extentW = vertical ? across : along, extentH = vertical ? along : across;
  if (format & DT_CALCRECT) {
    rect->right = clampInt(rect->left + extentW);
    rect->bottom = clampInt(rect->top + extentH);
    return clampInt(extentH);
  }

  const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
  // Each line starts at (x, y) and runs right, down, or up from y.
  long long x = 0, y = 0;
  auto startLine = [&](size_t line) {
    if (vertical) {
      const long long first =
          alignedStart(rect->left, rect->right, extentW, format, DT_CENTER, DT_RIGHT);
      // Clockwise glyphs face right, so later lines sit further left.
      const long long index = bottomUp ? static_cast<long long>(line) : count - 1 - line;
      x = first + index * step;
      y = alignedStart(rect->top, rect->bottom, lines[line], format, DT_VCENTER, DT_BOTTOM);
      if (bottomUp) y += lines[line];
    } else {
      x = alignedStart(rect->left, rect->right, lines[line], format, DT_CENTER, DT_RIGHT);
      y = alignedStart(rect->top, rect->bottom, extentH, format, DT_VCENTER, DT_BOTTOM) +
          static_cast<long long>(line) * step;
    }
  };
  size_t line = 0;
  bool started = false;
  forEachChar(text, length, singleLine, [&](unsigned int c) {
    if (c == '\n') {
      ++line;
      started = false;
      return;
    }
    if (!started) startLine(line);
    started = true;
    const charEnt* e = glyphFor(c);
    if (!e) return;
    const long long gy = bottomUp ? y - e->height : y;
    if (x >= INT_MIN && x <= INT_MAX && gy >= INT_MIN && gy <= INT_MAX) {
      DrawGlyph(bitmap, c, static_cast<int>(x), static_cast<int>(gy), clip);
    }
    if (!vertical) {
      x += e->advance;
    } else {
      y += bottomUp ? -e->advance : e->advance;
    }
  });
  return clampInt(extentH);
}

LICE_CachedFont::charEnt* LICE_CachedFont::findChar(unsigned int character) {
  if (character < 128) return &mLowChars[character];
  charEnt* first = mExtraChars.Get();
  charEnt* last = first + mExtraChars.GetSize();
  charEnt* found = std::lower_bound(first, last, character, [](const charEnt& e, unsigned int c) {
    return static_cast<unsigned int>(e.charId) < c;
  });
  return found != last && static_cast<unsigned int>(found->charId) == character ? found : nullptr;
}

const LICE_CachedFont::charEnt* LICE_CachedFont::glyphFor(unsigned int character) {
  const charEnt* e = findChar(character);
  if ((!e || !e->baseOffset) && !(character >= 128 && (mFlags & LICE_FONT_FLAG_PRECALCALL))) {
    RenderGlyph(character);
    e = findChar(character);
  }
  return e && e->baseOffset ? e : nullptr;
}

bool LICE_CachedFont::RenderGlyph(unsigned int character) {
  if (!mFont || mLineHeight >= kMaxGlyphLineHeight) return false;
  if (character >= 128 && !findChar(character)) {
    const int at = static_cast<int>(
        std::lower_bound(mExtraChars.Get(), mExtraChars.Get() + mExtraChars.GetSize(), character,
                         [](const charEnt& e, unsigned int c) {
                           return static_cast<unsigned int>(e.charId) < c;
                         }) -
        mExtraChars.Get());
    if (!mExtraChars.Insert(charEnt{0, 0, 0, 0, static_cast<int>(character)}, at)) return false;
  }

  WDL_MutexLock lock(&shared().lock);
  const int side = 2 * std::max(1, mLineHeight) + 8;
  LICE_SysBitmap* bm = sharedBitmap(shared().measure, side, side);
  if (!bm) return false;
  HDC dc = bm->getDC();
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBkColor(dc, RGB(0, 0, 0));
  HGDIOBJ previous = SelectObject(dc, mFont);
  char text[5];
  const int bytes = SWELL_Utf8Encode(character, text);
  const unsigned int format = DT_NOPREFIX | DT_SINGLELINE;
  RECT box = {0, 0, 0, 0};
  ::DrawText(dc, text, bytes, &box, format | DT_CALCRECT);
  const int w = std::min(box.right, bm->getWidth()), h = std::min(box.bottom, bm->getHeight());
  // Ink past the advance (italic overhangs) is kept, so the whole width is
  // cleared and scanned.
  const int scanW = bm->getWidth();
  if (w > 0 && h > 0) {
    LICE_FillRect(bm, 0, 0, scanW, h, 0, 1.0f, LICE_BLIT_MODE_COPY);
    box = RECT{0, 0, w, h};
    ::DrawText(dc, text, bytes, &box, format | DT_NOCLIP);
  }
  SelectObject(dc, previous);

  charEnt* e = findChar(character);
  if (w <= 0 || h <= 0) {
    *e = charEnt{-1, 0, 0, 0, e->charId};
    return true;
  }
  if (mFlags & LICE_FONT_FLAG_FX_BLUR) LICE_Blur(bm, bm, 0, 0, 0, 0, scanW, h);
  const lice_detail::PixelRows rows(bm);
  auto ink = [&](int x, int y) {
    return reinterpret_cast<const unsigned char*>(rows.at(x, y))[LICE_PIXEL_R];
  };
  // The kept width follows the ink, not inverted coverage, which would keep
  // everything.
  int kept = w;
  for (int x = scanW - 1; x >= w && kept == w; --x) {
    for (int y = 0; y < h; ++y) {
      if (ink(x, y)) {
        kept = x + 1;
        break;
      }
    }
  }
  const int offset = mMaskStore.GetSize();
  const long long size = static_cast<long long>(kept) * h;
  if (size > INT_MAX - offset || !mMaskStore.ResizeOK(offset + static_cast<int>(size), false)) {
    e = findChar(character);
    *e = charEnt{-1, 0, 0, 0, e->charId};
    return false;
  }
  unsigned char* mask = mMaskStore.Get() + offset;
  const unsigned char invert = (mFlags & LICE_FONT_FLAG_FX_INVERT) ? 255 : 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < kept; ++x)
      mask[static_cast<size_t>(y) * kept + x] = ink(x, y) ^ invert;
  }
  int maskW = kept, maskH = h;
  finishMask(mask, &maskW, &maskH);
  e = findChar(character);
  *e = charEnt{offset + 1, maskW, maskH, w, e->charId};
  return true;
}

void LICE_CachedFont::finishMask(unsigned char* mask, int* width, int* height) const {
  if (mFlags & LICE_FONT_FLAG_VERTICAL) {
    lice_detail::rotateMask(mask, width, height, (mFlags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP) != 0);
  }
  const bool effects = (mFlags & (LICE_FONT_FLAG_FX_SHADOW | LICE_FONT_FLAG_FX_OUTLINE)) != 0;
  if (effects || (mFlags & LICE_FONT_FLAG_FX_MONO)) {
    lice_detail::thresholdMask(mask, static_cast<size_t>(*width) * *height);
  }
  if (effects) {
    lice_detail::markEdges(mask, *width, *height, (mFlags & LICE_FONT_FLAG_FX_OUTLINE) != 0);
  }
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bitmap, unsigned int character, int x, int y,
                                const RECT* clip) {
  const charEnt* e = findChar(character);
  if (!e || e->baseOffset <= 0 || !lice_detail::hasPixels(bitmap)) return false;
  long long left = std::max<long long>(0, x), top = std::max<long long>(0, y);
  long long right = std::min<long long>(bitmap->getWidth(), static_cast<long long>(x) + e->width);
  long long bottom =
      std::min<long long>(bitmap->getHeight(), static_cast<long long>(y) + e->height);
  if (clip) {
    left = std::max<long long>(left, clip->left);
    top = std::max<long long>(top, clip->top);
    right = std::min<long long>(right, clip->right);
    bottom = std::min<long long>(bottom, clip->bottom);
  }
  if (right <= left || bottom <= top) return false;
  if (mBkMode == LICE_BKMODE_OPAQUE) {
    LICE_FillRect(bitmap, static_cast<int>(left), static_cast<int>(top),
                  static_cast<int>(right - left), static_cast<int>(bottom - top), mBkColor, mAlpha,
                  mCombineMode);
  }

  const int w = LICE_IntWeight(mAlpha);
  if (!w) return true;
  const int op = mCombineMode & LICE_BLIT_MODE_MASK;
  const bool store = w == 256 && op == LICE_BLIT_MODE_COPY;
  const bool mono = (mFlags & LICE_FONT_FLAG_FX_MONO) != 0;
  const bool effects = (mFlags & (LICE_FONT_FLAG_FX_SHADOW | LICE_FONT_FLAG_FX_OUTLINE)) != 0;
  const unsigned char* mask = mMaskStore.Get() + (e->baseOffset - 1);
  const lice_detail::PixelRows rows(bitmap);
  lice_detail::withSolidCombiner(op, [&](auto combiner) {
    using Combiner = decltype(combiner);
    auto put = [&](LICE_pixel* d, LICE_pixel color, int weight, bool direct) {
      if (direct) {
        *d = color;
      } else {
        Combiner::doPix(lice_detail::chans(d), LICE_GETR(color), LICE_GETG(color), LICE_GETB(color),
                        255, weight);
      }
    };
    for (long long py = top; py < bottom; ++py) {
      const unsigned char* maskRow = mask + (py - y) * e->width;
      for (long long px = left; px < right; ++px) {
        const int c = maskRow[px - x];
        if (!c) continue;
        LICE_pixel* d = rows.at(static_cast<int>(px), static_cast<int>(py));
        if (mono) {
          put(d, mTextColor, w, store);
        } else if (effects) {
          put(d, c == 255 ? mTextColor : mEffectColor, w, store);
        } else {
          put(d, mTextColor, w == 256 ? c + 1 : std::min(c * w / 256, 256), false);
        }
      }
    }
  });
  return true;
}
