// PNG files arrive from disk and may be anything. A decoded image must have
// the size its header gives and be the bitmap it was decoded into.
#include <cstdint>
#include <cstdlib>

#include "raster/LICE_MemBitmap.h"
#include "raster/lice_png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const int length = static_cast<int>(size);
  LICE_IBitmap* made = LICE_LoadPNGFromMemory(bytes, length, nullptr);
  LICE_MemBitmap given(5, 5);
  LICE_IBitmap* filled = LICE_LoadPNGFromMemory(bytes, length, &given);
  if (!made != !filled) std::abort();
  if (filled && (filled != &given || given.getWidth() != made->getWidth() ||
                 given.getHeight() != made->getHeight())) {
    std::abort();
  }
  delete made;
  return 0;
}
