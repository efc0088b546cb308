#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

// PNG files for tests, written with libpng into memory, and surgery on their
// chunks for making broken ones.

struct PngImage {
  int width = 1;
  int height = 1;
  int colorType = PNG_COLOR_TYPE_RGBA;
  int depth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;       // the tRNS chunk of a palette image
  std::vector<std::vector<png_byte>> rows;  // packed as the file stores them
};

namespace png_test_detail {

inline void append(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}
inline void flush(png_structp) {}

// Keeps objects with destructors out of the frame libpng may long-jump into.
inline bool encode(const PngImage& image, png_bytep* rows, std::vector<unsigned char>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, append, flush);
  png_set_IHDR(png, info, image.width, image.height, image.depth, image.colorType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty()) {
    png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
  }
  if (!image.paletteAlpha.empty()) {
    png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()),
                 nullptr);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

inline uint32_t readBig(const unsigned char* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
inline void writeBig(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

}  // namespace png_test_detail

inline std::vector<unsigned char> EncodePng(const PngImage& image) {
  std::vector<png_bytep> rows;
  for (const auto& row : image.rows)
    rows.push_back(const_cast<png_bytep>(row.data()));
  std::vector<unsigned char> out;
  if (!png_test_detail::encode(image, rows.data(), &out)) out.clear();
  return out;
}

// Calls f(offset of the length field, type, data length) for every chunk.
template <class F>
void ForEachChunk(const std::vector<unsigned char>& file, F&& f) {
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = png_test_detail::readBig(&file[at]);
    f(at, std::string(reinterpret_cast<const char*>(&file[at + 4]), 4), length);
    at += 12 + length;
  }
}

// Recomputes every chunk's CRC, so that damage inside reaches the decoder.
inline void FixCrcs(std::vector<unsigned char>* file) {
  ForEachChunk(*file, [&](size_t at, const std::string&, uint32_t length) {
    if (at + 12 + length > file->size()) return;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &(*file)[at + 4], length + 4));
    png_test_detail::writeBig(&(*file)[at + 8 + length], crc);
  });
}

inline std::vector<unsigned char> WithoutChunk(const std::vector<unsigned char>& file,
                                               const std::string& type) {
  std::vector<unsigned char> out(file.begin(), file.begin() + 8);
  ForEachChunk(file, [&](size_t at, const std::string& t, uint32_t length) {
    if (t != type) out.insert(out.end(), file.begin() + at, file.begin() + at + 12 + length);
  });
  return out;
}

// The header's width and height replaced, its CRC kept valid.
inline std::vector<unsigned char> WithSize(std::vector<unsigned char> file, uint32_t width,
                                           uint32_t height) {
  png_test_detail::writeBig(&file[16], width);
  png_test_detail::writeBig(&file[20], height);
  FixCrcs(&file);
  return file;
}
