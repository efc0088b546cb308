#include "raster/lice_png.h"

#include <png.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/base/RegularFile.h"
#include "raster/LICE_MemBitmap.h"

// Defined with the PNG loader so that any program that walks the list also
// links the loader that heads it.
LICE_ImageLoader_rec* LICE_ImageLoader_list = nullptr;

namespace {

constexpr png_uint_32 kMaxSide = 32768;
constexpr unsigned long long kMaxPixels = 1ull << 25;
// Deflate cannot expand beyond 258 bytes per 2 bits of input; the slack
// covers headers and a final partial block.
constexpr unsigned long long kMaxInflateRatio = 1032;
constexpr unsigned long long kInflateSlack = 4096;
// No single block libpng asks for while decoding an image within the limits
// comes near this (its largest are rows of a few hundred kilobytes), but an
// ancillary chunk's claimed length would otherwise be allocated and cleared
// before its data is read.
constexpr size_t kMaxLibpngBlock = 4 << 20;
constexpr size_t kSignatureBytes = 8;
// Zeros read past the end of memory input before it counts as an error: a
// chunk claiming two gigabytes would otherwise be skipped a kilobyte of
// zeros at a time for many seconds.
constexpr size_t kMaxZeroFill = 4096;

struct MemoryInput {
  const unsigned char* next;
  size_t left;
  size_t zeroFilled;
};

// Truncated input reads as zeros, so that libpng finds the damage itself,
// but only for a few kilobytes.
void readMemory(png_structp png, png_bytep out, size_t count) {
  auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
  const size_t n = count < in->left ? count : in->left;
  in->zeroFilled += count - n;
  if (in->zeroFilled > kMaxZeroFill) png_error(png, "read past the end of the data");
  if (n) std::memcpy(out, in->next, n);
  std::memset(out + n, 0, count - n);
  in->next += n;
  in->left -= n;
}

// A broken file is an expected input, not something to print about.
void onError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

png_voidp allocate(png_structp, png_alloc_size_t size) {
  return size <= kMaxLibpngBlock ? std::malloc(size) : nullptr;
}
void release(png_structp, png_voidp block) {
  std::free(block);
}

// What the decoder must release. It lives outside decode()'s frame: after
// libpng long-jumps back there, that frame's own variables are indeterminate.
struct Decoding {
  png_structp png = nullptr;
  png_infop info = nullptr;
  FILE* file = nullptr;
  MemoryInput memory{};
  unsigned long long inputBytes = 0;
  LICE_IBitmap* given = nullptr;
  LICE_IBitmap* made = nullptr;
  png_bytep* rows = nullptr;
  // Set when only the header is wanted: decode() then stops before the
  // image data, leaving the size here.
  bool sizeOnly = false;
  int width = 0;
  int height = 0;
};

// Whether a header's image fits the limits and the input could hold it.
bool plausible(png_uint_32 width, png_uint_32 height, int depth, int colorType,
               unsigned long long inputBytes) {
  const unsigned long long pixels = static_cast<unsigned long long>(width) * height;
  if (pixels > kMaxPixels) return false;
  const int samples = (colorType & PNG_COLOR_MASK_PALETTE) ? 1
                      : (colorType & PNG_COLOR_MASK_COLOR) ? 3
                                                           : 1;
  const int alpha = (colorType & PNG_COLOR_MASK_ALPHA) ? 1 : 0;
  const unsigned long long rowBytes =
      1 + (static_cast<unsigned long long>(width) * (samples + alpha) * depth + 7) / 8;
  return rowBytes * height <= inputBytes * kMaxInflateRatio + kInflateSlack;
}

// Everything between reading the header and filling the rows. No object
// with a destructor may live in this frame, since libpng errors long-jump
// back into it.
LICE_IBitmap* decode(Decoding* d) {
  if (setjmp(png_jmpbuf(d->png))) return nullptr;
  if (d->file) {
    png_init_io(d->png, d->file);
  } else {
    png_set_read_fn(d->png, &d->memory, readMemory);
  }
  png_set_user_limits(d->png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(d->png, kMaxLibpngBlock);
  png_read_info(d->png, d->info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0;
  png_get_IHDR(d->png, d->info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
  if (!plausible(width, height, depth, colorType, d->inputBytes)) return nullptr;

  // Every row must arrive as alpha, red, green, blue bytes.
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(d->png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(d->png);
  if (png_get_valid(d->png, d->info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(d->png);
    colorType |= PNG_COLOR_MASK_ALPHA;
  }
  if (depth == 16) png_set_strip_16(d->png);
  if (depth < 8) png_set_packing(d->png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(d->png);
  }
  if (colorType & PNG_COLOR_MASK_ALPHA) {
    png_set_swap_alpha(d->png);
  } else {
    png_set_filler(d->png, 255, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(d->png);
  png_read_update_info(d->png, d->info);
  // Rows are decoded straight into the bitmap: anything but 4 bytes a pixel
  // would write past its rows.
  if (png_get_rowbytes(d->png, d->info) != static_cast<size_t>(width) * 4) return nullptr;

  const int w = static_cast<int>(width), h = static_cast<int>(height);
  d->width = w;
  d->height = h;
  if (d->sizeOnly) return nullptr;
  LICE_IBitmap* bm = d->given;
  if (bm) {
    bm->resize(w, h);
  } else {
    bm = d->made = new (std::nothrow) LICE_MemBitmap(w, h, 4);
  }
  if (!bm || bm->getWidth() != w || bm->getHeight() != h || !bm->getBits()) return nullptr;

  d->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!d->rows) return nullptr;
  const bool flipped = bm->isFlipped();
  const size_t span = static_cast<size_t>(bm->getRowSpan());
  for (int y = 0; y < h; ++y) {
    const size_t row = static_cast<size_t>(flipped ? h - 1 - y : y);
    d->rows[y] = reinterpret_cast<png_bytep>(bm->getBits() + row * span);
  }
  png_read_image(d->png, d->rows);
  return bm;
}

LICE_IBitmap* load(Decoding* d) {
  d->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr,
                                    allocate, release);
  if (d->png) d->info = png_create_info_struct(d->png);
  LICE_IBitmap* result = d->info ? decode(d) : nullptr;
  png_destroy_read_struct(&d->png, &d->info, nullptr);
  std::free(d->rows);
  if (!result) delete d->made;
  if (d->file) std::fclose(d->file);
  return result;
}

}  // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bitmap) {
  if (!filename) return nullptr;
  long long size = 0;
  Decoding d;
  d.file = OpenRegularFile(filename, &size);
  if (!d.file) return nullptr;
  d.inputBytes = static_cast<unsigned long long>(size);
  d.given = bitmap;
  return load(&d);
}

bool LICE_ReadPNGSize(const char* filename, int* width, int* height) {
  if (!filename) return false;
  long long size = 0;
  Decoding d;
  d.file = OpenRegularFile(filename, &size);
  if (!d.file) return false;
  d.inputBytes = static_cast<unsigned long long>(size);
  d.sizeOnly = true;
  load(&d);
  if (d.width < 1 || d.height < 1) return false;
  if (width) *width = d.width;
  if (height) *height = d.height;
  return true;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int length, LICE_IBitmap* bitmap) {
  if (!data || length < static_cast<int>(kSignatureBytes) ||
      png_sig_cmp(static_cast<png_const_bytep>(data), 0, kSignatureBytes)) {
    return nullptr;
  }
  Decoding d;
  d.memory = MemoryInput{static_cast<const unsigned char*>(data), static_cast<size_t>(length), 0};
  d.inputBytes = static_cast<unsigned long long>(length);
  d.given = bitmap;
  return load(&d);
}

LICE_PNGLoader::LICE_PNGLoader() : rec{loadfunc, get_extlist, LICE_ImageLoader_list} {
  LICE_ImageLoader_list = &rec;
}

LICE_IBitmap* LICE_PNGLoader::loadfunc(const char* filename, bool checkExtension,
                                       LICE_IBitmap* bitmap) {
  if (checkExtension) {
    const char* extension = nullptr;
    for (const char* p = filename; p && *p; ++p) {
      if (*p == '.') extension = p;
      if (*p == '/' || *p == '\\') extension = nullptr;
    }
    if (!extension || strcasecmp(extension, ".png")) return nullptr;
  }
  return LICE_LoadPNG(filename, bitmap);
}

const char* LICE_PNGLoader::get_extlist() {
  return "PNG files (*.PNG)\0*.PNG\0";
}

namespace {
LICE_PNGLoader pngLoader;
}  // namespace
