// raster_shapes: draws a sheet of the raster library's shapes and blits, or
// of its text, into a PNG file, for judging rasterisation and anti-aliasing
// by eye.

#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/base/AtomicFile.h"
#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/lice.h"

namespace {

const char kUsage[] =
    "usage: raster_shapes [--text] [--zoom N] [--crop X,Y,W,H] OUTPUT.png\n"
    "\n"
    "Draws lines, circles, arcs, rounded rectangles, polygons, a knob built from\n"
    "them and rotated blits of it into a 424 x 208 bitmap and writes it as PNG.\n"
    "\n"
    "  --text            draw text instead: the native path on the left, the\n"
    "                    glyph cache on the right, then sizes, effects, faces\n"
    "  --zoom N          enlarge every pixel to N x N (1..16, default 1)\n"
    "  --crop X,Y,W,H    write only that part of the sheet (sheet pixels)\n"
    "  --help            show this help\n";

constexpr LICE_pixel kBackground = LICE_RGBA(40, 44, 52, 255);
constexpr LICE_pixel kInk = LICE_RGBA(235, 235, 225, 255);
constexpr LICE_pixel kAccent = LICE_RGBA(250, 160, 40, 255);

// A knob face like the editor's: a shaded disc, a ring and a pointer.
void drawKnob(LICE_IBitmap* bm, float cx, float cy, float r, float angle, bool aa) {
  LICE_FillCircle(bm, cx, cy, r, LICE_RGBA(90, 96, 110, 255), 1.0f, LICE_BLIT_MODE_COPY, aa);
  LICE_FillCircle(bm, cx, cy, r - 4, LICE_RGBA(60, 64, 74, 255), 1.0f, LICE_BLIT_MODE_COPY, aa);
  LICE_Arc(bm, cx, cy, r + 3, -2.4f, angle, kAccent, 1.0f, LICE_BLIT_MODE_COPY, aa);
  const float x2 = cx + (r - 6) * std::sin(angle), y2 = cy - (r - 6) * std::cos(angle);
  LICE_Line(bm, static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(x2),
            static_cast<int>(y2), kInk, 1.0f, LICE_BLIT_MODE_COPY, aa);
}

void drawSheet(LICE_IBitmap* bm) {
  LICE_Clear(bm, kBackground);
  // Row 1: plain on the left half, anti-aliased on the right half.
  for (int half = 0; half < 2; ++half) {
    const bool aa = half == 1;
    const int ox = half * 212;
    const float oxf = static_cast<float>(ox);
    for (int k = 0; k < 12; ++k) {
      const double a = k * 3.14159265 / 24;
      LICE_Line(bm, ox + 10, 90, ox + 10 + static_cast<int>(80 * std::cos(a)),
                90 - static_cast<int>(80 * std::sin(a)), kInk, 1.0f, LICE_BLIT_MODE_COPY, aa);
    }
    LICE_Circle(bm, oxf + 120.0f, 30.0f, 20.0f, kInk, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_Circle(bm, oxf + 120.0f, 30.0f, 6.5f, kAccent, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_FillCircle(bm, oxf + 170.0f, 30.0f, 18.0f, kAccent, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_FillCircle(bm, oxf + 195.0f, 10.0f, 3.0f, kInk, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_Arc(bm, oxf + 120.0f, 78.0f, 16.0f, -2.0f, 2.0f, kInk, 1.0f, LICE_BLIT_MODE_COPY, aa);
    LICE_RoundRect(bm, oxf + 150.0f, 60.0f, 54.0f, 36.0f, 8, kInk, 1.0f, LICE_BLIT_MODE_COPY, aa);
    drawKnob(bm, oxf + 40.0f, 150.0f, 24.0f, 1.2f, aa);
  }
  // Row 2: fills and blends.
  LICE_FillTriangle(bm, 90, 120, 140, 200, 80, 190, kAccent, 1.0f, LICE_BLIT_MODE_COPY);
  const int px[5] = {160, 200, 190, 150, 140}, py[5] = {120, 140, 190, 195, 150};
  LICE_FillConvexPolygon(bm, px, py, 5, kInk, 0.5f, LICE_BLIT_MODE_COPY);
  LICE_BorderedRect(bm, 302, 120, 40, 30, LICE_RGBA(20, 90, 160, 255), kInk, 1.0f,
                    LICE_BLIT_MODE_COPY);
  LICE_FillRect(bm, 310, 140, 40, 40, LICE_RGBA(200, 40, 40, 128), 1.0f, LICE_BLIT_USE_ALPHA);

  // Rotated copies of the anti-aliased knob, the way the editor turns knob
  // images: bilinear, with source alpha.
  LICE_MemBitmap knob(56, 56);
  LICE_Clear(&knob, 0);
  drawKnob(&knob, 28.0f, 28.0f, 22.0f, 0.0f, true);
  for (int k = 0; k < 2; ++k) {
    LICE_RotatedBlit(bm, &knob, 360, 116 + k * 48, 56, 56, 0, 0, 56, 56,
                     0.6f + static_cast<float>(k) * 0.9f, false, 1.0f,
                     LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);
  }
  LICE_ScaledBlit(bm, &knob, 230, 179, 28, 28, 0, 0, 56, 56, 1.0f,
                  LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);
  LICE_Blur(bm, bm, 262, 179, 230, 179, 28, 28);
}

// A font over a face from the drawing-context layer, owning its handle.
struct SheetFont {
  SheetFont(int height, int flags, const char* face = "Monaco", int weight = FW_NORMAL) {
    font.SetFromHFont(CreateFont(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face),
                      flags | LICE_FONT_FLAG_OWNS_HFONT);
    font.SetTextColor(kInk);
  }
  LICE_CachedFont font;
};

void drawText(LICE_IBitmap* bm, LICE_IFont* font, const char* text, int x, int y, int w, int h,
              unsigned int format) {
  RECT r = {x, y, x + w, y + h};
  LICE_DrawRect(bm, x - 1, y - 1, w + 1, h + 1, LICE_RGBA(70, 76, 90, 255), 1.0f,
                LICE_BLIT_MODE_COPY);
  font->DrawText(bm, text, -1, &r, format);
}

void drawTextSheet(LICE_IBitmap* bm) {
  LICE_Clear(bm, kBackground);
  // Native on the left, glyph cache on the right: they should look alike.
  for (int half = 0; half < 2; ++half) {
    const int ox = 4 + half * 212;
    const unsigned int path = half ? LICE_DT_USEGLYPHS : 0;
    SheetFont small(-10, LICE_FONT_FLAG_FORCE_NATIVE), large(-20, LICE_FONT_FLAG_FORCE_NATIVE);
    drawText(bm, &small.font, "Mix 50 %  Rate 0.25 Hz", ox, 4, 200, 14, path);
    drawText(bm, &small.font, "Centred", ox, 22, 200, 14, path | DT_CENTER | DT_VCENTER);
    drawText(bm, &small.font, "Right", ox, 40, 200, 14, path | DT_RIGHT | DT_VCENTER);
    drawText(bm, &large.font, "Feedback -3 dB", ox, 58, 200, 26, path | DT_CENTER);
    drawText(bm, &small.font, "Two lines,\ncentred", ox, 88, 98, 28, path | DT_CENTER);
    large.font.SetCombineMode(LICE_BLIT_MODE_COPY, 0.5f);
    drawText(bm, &large.font, "Half", ox + 104, 88, 96, 28, path | DT_CENTER);
  }
  // Effects (glyph cache only), the opaque background, UTF-8 and faces.
  const struct {
    int flags;
    const char* label;
  } kEffects[] = {{LICE_FONT_FLAG_FX_SHADOW, "Shadow"},
                  {LICE_FONT_FLAG_FX_OUTLINE, "Outline"},
                  {LICE_FONT_FLAG_FX_MONO, "Mono"},
                  {LICE_FONT_FLAG_FX_BLUR, "Blur"},
                  {LICE_FONT_FLAG_FX_INVERT, "Invert"}};
  for (int i = 0; i < 5; ++i) {
    SheetFont fx(-12, kEffects[i].flags, "DejaVu Sans", FW_BOLD);
    fx.font.SetEffectColor(kAccent);
    drawText(bm, &fx.font, kEffects[i].label, 4 + i * 62, 124, 58, 18, DT_CENTER);
  }
  SheetFont down(-12, LICE_FONT_FLAG_VERTICAL),
      up(-12, LICE_FONT_FLAG_VERTICAL | LICE_FONT_FLAG_VERTICAL_BOTTOMUP);
  drawText(bm, &down.font, "Down", 320, 122, 16, 60, 0);
  drawText(bm, &up.font, "Up", 340, 122, 16, 60, DT_BOTTOM);
  SheetFont opaque(-12, LICE_FONT_FLAG_FORCE_NATIVE),
      missing(-12, LICE_FONT_FLAG_FORCE_NATIVE, "No Such Face");
  opaque.font.SetBkMode(LICE_BKMODE_OPAQUE);
  opaque.font.SetBkColor(LICE_RGBA(20, 90, 160, 255));
  drawText(bm, &opaque.font, "Opaque", 4, 148, 100, 16, 0);
  opaque.font.SetLineSpacingAdjust(1);
  drawText(bm, &opaque.font, "Opaque cells", 108, 148, 100, 16, 0);
  drawText(bm, &missing.font, "No Such Face", 212, 148, 100, 16, 0);
  SheetFont serif(-16, LICE_FONT_FLAG_FORCE_NATIVE, "Times");
  drawText(bm, &serif.font, "Grüße ½ → 5°", 4, 170, 150, 22, 0);
  drawText(bm, &serif.font, "Grüße ½ → 5°", 160, 170, 150, 22, LICE_DT_USEGLYPHS);
}

struct Crop {
  int x = 0, y = 0, w = 0, h = 0;
};

bool writePng(const char* path, LICE_IBitmap* bm, const Crop& crop, int zoom, std::string* error) {
  AtomicFile output(path);
  FILE* f = output.ok() ? fdopen(dup(output.fd()), "wb") : nullptr;
  if (!f) {
    *error = "cannot write '" + std::string(path) + "': " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    *error = "cannot encode '" + std::string(path) + "'";
    return false;
  }
  const int w = crop.w * zoom, h = crop.h * zoom;
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const LICE_pixel p = LICE_GetPixel(bm, crop.x + x / zoom, crop.y + y / zoom);
      png_byte* o = &row[static_cast<size_t>(x) * 4];
      o[0] = static_cast<png_byte>(LICE_GETR(p));
      o[1] = static_cast<png_byte>(LICE_GETG(p));
      o[2] = static_cast<png_byte>(LICE_GETB(p));
      o[3] = static_cast<png_byte>(LICE_GETA(p));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(f) != 0 || !output.commit()) {
    *error = "cannot write '" + std::string(path) + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int zoom = 1;
  bool text = false;
  Crop crop{0, 0, 424, 208};
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--text")) {
      text = true;
    } else if (!std::strcmp(argv[i], "--zoom")) {
      char* end = nullptr;
      const long v = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end || v < 1 || v > 16) {
        std::fprintf(stderr,
                     "raster_shapes: error: --zoom needs a whole number from 1 to 16, not '%s'\n",
                     i + 1 < argc ? argv[i + 1] : "");
        return 2;
      }
      zoom = static_cast<int>(v);
      ++i;
    } else if (!std::strcmp(argv[i], "--crop")) {
      Crop c;
      char tail = 0;
      if (i + 1 >= argc ||
          std::sscanf(argv[i + 1], "%d,%d,%d,%d%c", &c.x, &c.y, &c.w, &c.h, &tail) != 4 ||
          c.x < 0 || c.y < 0 || c.w < 1 || c.h < 1 || c.x + c.w > crop.w || c.y + c.h > crop.h) {
        std::fprintf(stderr,
                     "raster_shapes: error: --crop needs X,Y,W,H inside the 424 x 208 sheet, not "
                     "'%s'\n",
                     i + 1 < argc ? argv[i + 1] : "");
        return 2;
      }
      crop = c;
      ++i;
    } else if (argv[i][0] == '-' && argv[i][1]) {
      std::fprintf(stderr, "raster_shapes: error: unknown option '%s'\n%s", argv[i], kUsage);
      return 2;
    } else if (output) {
      std::fprintf(stderr, "raster_shapes: error: more than one output file ('%s', '%s')\n", output,
                   argv[i]);
      return 2;
    } else {
      output = argv[i];
    }
  }
  if (!output) {
    std::fprintf(stderr, "raster_shapes: error: no output file given\n%s", kUsage);
    return 2;
  }
  LICE_MemBitmap sheet(424, 208);
  if (text) {
    drawTextSheet(&sheet);
  } else {
    drawSheet(&sheet);
  }
  std::string error;
  if (!writePng(output, &sheet, crop, zoom, &error)) {
    std::fprintf(stderr, "raster_shapes: error: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
