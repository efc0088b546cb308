#include <png.h>

#include <cstdio>
#include <new>
#include <vector>

#include "framework/base/AtomicFile.h"
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

// The output's room is reserved before encoding, so no allocation (and no
// exception) happens inside libpng's frames.
void Append(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  if (out->capacity() - out->size() < count) png_error(png, "PNG larger than reserved");
  out->insert(out->end(), data, data + count);
}

void Flush(png_structp) {}

// Kept free of objects with destructors: libpng long-jumps out of it on an
// error.
bool Encode(std::vector<unsigned char>* out, const LICE_IBitmap* bitmap, bool wantAlpha,
            png_byte* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, Append, Flush);
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

bool LICE_EncodePNG(const LICE_IBitmap* bitmap, bool wantAlpha, std::vector<unsigned char>* png) {
  if (!png || !bitmap || !bitmap->getBits() || bitmap->getWidth() < 1 || bitmap->getHeight() < 1) {
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(bitmap->getWidth()) * (wantAlpha ? 4 : 3) + 1;
  const size_t raw = rowBytes * static_cast<size_t>(bitmap->getHeight());
  std::vector<png_byte> row;
  try {
    row.resize(rowBytes);
    png->clear();
    // Deflate never grows data by more than a few bytes per 16 KiB block.
    png->reserve(raw + raw / 256 + 4096);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return Encode(png, bitmap, wantAlpha, row.data());
}

bool LICE_WritePNG(const char* filename, const LICE_IBitmap* bitmap, bool wantAlpha) {
  std::vector<unsigned char> png;
  return filename && LICE_EncodePNG(bitmap, wantAlpha, &png) &&
         WriteFileAtomically(filename, png.data(), png.size());
}
