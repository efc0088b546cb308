// Linked into every test that draws text: the fonts the bundles carry are
// added before any test runs, so tests measure the glyphs the editor draws
// with on every machine, whatever fonts it has.
#include <cstdio>
#include <cstdlib>

#include "framework/window/gdi/Fonts.h"

namespace {

const int kBundledFaces = [] {
  const int faces = AddFontResourceEx(MORVEX_TEST_FONTS, FR_PRIVATE, nullptr);
  if (faces == 0) {
    std::fprintf(stderr, "no fonts in %s\n", MORVEX_TEST_FONTS);
    std::abort();
  }
  return faces;
}();

}  // namespace
