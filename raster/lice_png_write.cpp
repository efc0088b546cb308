#include <png.h>

#include <cstdio>
#include <vector>

#include "raster/lice_pixel.h"
#include "raster/lice_png.h"

namespace {

void PackRow(const LICE_IBitmap* bitmap, int y, bool wantAlpha, png_byte* out) {
  const int storedRow = bitmap->isFlipped() ? bitmap->getHeight() - 1 - y : y;
  const LICE_pixel* row = bitmap->getBits() + static_cast<size_t>(storedRow) *
                                                  static_cast<size_t>(bitmap->getRowSpan());
  for (int x = 0; x < bitmap->getWidth(); ++x) {
    const LICE_pixel p = row[x];
    *out++ = static_cast<png_byte>(LICE_GETR(p));
    *out++ = static_cast<png_byte>(LICE_GETG(p));
    *out++ = static_cast<png_byte>(LICE_GETB(p));
    if (wantAlpha) *out++ = static_cast<png_byte>(LICE_GETA(p));
  }
}

// Kept free of objects with destructors: libpng long-jumps out of it on an
// error.
bool Encode(FILE* file, const LICE_IBitmap* bitmap, bool wantAlpha, png_byte* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap->getWidth()),
               static_cast<png_uint_32>(bitmap->getHeight()), 8,
               wantAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < bitmap->getHeight(); ++y) {
    PackRow(bitmap, y, wantAlpha, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool LICE_WritePNG(const char* filename, const LICE_IBitmap* bitmap, bool wantAlpha) {
  if (!filename || !bitmap || !bitmap->getBits() || bitmap->getWidth() < 1 ||
      bitmap->getHeight() < 1) {
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(bitmap->getWidth()) * (wantAlpha ? 4 : 3));
  FILE* file = std::fopen(filename, "wb");
  if (!file) return false;
  const bool encoded = Encode(file, bitmap, wantAlpha, row.data());
  if (std::fclose(file) != 0 || !encoded) {
    std::remove(filename);
    return false;
  }
  return true;
}
