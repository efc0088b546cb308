// Run under other-machine-fonts.conf, where the machine's fontconfig
// resolves every face to DejaVu Serif: the private fonts must win anyway,
// leave the machine's configuration as it was, and give way to it only for
// a face they lack.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <string>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/TextDrawing.h"
#include "tests/framework/window/gdi/gdi_canvas.h"

namespace {

const std::string kFonts = MORVEX_TEST_FONTS;

// The file the process's own fontconfig picks for a family.
std::string MachinesFile(const char* family) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* best = FcFontMatch(nullptr, pattern, &result);
  FcChar8* file = nullptr;
  std::string path;
  if (best && FcPatternGetString(best, FC_FILE, 0, &file) == FcResultMatch)
    path = reinterpret_cast<const char*>(file);
  if (best) FcPatternDestroy(best);
  FcPatternDestroy(pattern);
  return path;
}

std::string MachinesChoice(const char* family) {
  const std::string path = MachinesFile(family);
  return path.substr(path.rfind('/') + 1);
}

struct Measured {
  TEXTMETRIC tm{};
  int width = 0;  // of the text, DT_CALCRECT
};

Measured Measure(const char* face, const char* text, int weight = FW_NORMAL) {
  GdiCanvas canvas(4, 4);
  HFONT font = CreateFont(-20, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face);
  SelectObject(canvas.dc(), font);
  Measured m;
  GetTextMetrics(canvas.dc(), &m.tm);
  RECT r = {0, 0, 0, 0};
  DrawText(canvas.dc(), text, -1, &r, DT_CALCRECT | DT_NOPREFIX);
  m.width = r.right;
  DeleteObject(font);
  return m;
}

// The same measurements read straight from a font file with FreeType at a
// 20-pixel character height: ascent, descent, widest advance and the
// advances of the text's characters, hinted as the drawing layer hints them.
Measured FromFile(const std::string& file, const char* text) {
  FT_Library library;
  FT_Face face;
  Measured m;
  if (FT_Init_FreeType(&library) != 0) return m;
  if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
    FT_Set_Pixel_Sizes(face, 0, 20);
    const FT_Size_Metrics& s = face->size->metrics;
    m.tm.tmAscent = static_cast<int>((s.ascender + 63) >> 6);
    m.tm.tmDescent = static_cast<int>((-s.descender + 63) >> 6);
    m.tm.tmMaxCharWidth = static_cast<int>((s.max_advance + 63) >> 6);
    for (const char* c = text; *c; ++c) {
      if (FT_Load_Char(face, static_cast<FT_ULong>(*c), FT_LOAD_DEFAULT) == 0)
        m.width += static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return m;
}

void ExpectSameFace(const Measured& drawn, const Measured& file, const char* what) {
  EXPECT_EQ(drawn.tm.tmAscent, file.tm.tmAscent) << what;
  EXPECT_EQ(drawn.tm.tmDescent, file.tm.tmDescent) << what;
  EXPECT_EQ(drawn.tm.tmMaxCharWidth, file.tm.tmMaxCharWidth) << what;
  EXPECT_NEAR(drawn.width, file.width, 1) << what;
}

}  // namespace

TEST(PrivateFontsTest, BundledFacesWinOverTheMachinesWithoutChangingIt) {
  // The machine's configuration really does send every face elsewhere.
  for (const char* family : {"Monaco", "Arial", "monospace", "sans-serif", "DejaVu Sans"})
    ASSERT_EQ(MachinesChoice(family), "DejaVuSerif.ttf") << family;
  const char* text = "Morvex 0.25 Hz";
  const Measured machineMono = Measure("Monaco", text);
  const Measured machineSerif = Measure("Times", text);
  ExpectSameFace(machineMono, FromFile(MachinesFile("Monaco"), text), "the machine's Monaco");

  EXPECT_EQ(AddFontResourceEx(nullptr, FR_PRIVATE, nullptr), 0);
  EXPECT_EQ(AddFontResourceEx((kFonts + "/missing").c_str(), FR_PRIVATE, nullptr), 0);
  EXPECT_EQ(AddFontResourceEx((kFonts + "/LICENSE-DejaVu.txt").c_str(), FR_PRIVATE, nullptr), 0);
  EXPECT_EQ(AddFontResourceEx(kFonts.c_str(), FR_PRIVATE, nullptr), 4);
  EXPECT_EQ(AddFontResourceEx((kFonts + "/DejaVuSans.ttf").c_str(), FR_PRIVATE, nullptr), 0);

  // Named faces the bundle lacks go to the bundled face of their kind; a
  // bundled family by its name; bold to the bold file.
  const Measured mono = FromFile(kFonts + "/DejaVuSansMono.ttf", text);
  const Measured sans = FromFile(kFonts + "/DejaVuSans.ttf", text);
  ExpectSameFace(Measure("Monaco", text), mono, "Monaco");
  ExpectSameFace(Measure("Courier New", text), mono, "Courier New");
  ExpectSameFace(Measure("Arial", text), sans, "Arial");
  ExpectSameFace(Measure("Lucida Grande", text), sans, "Lucida Grande");
  ExpectSameFace(Measure("DejaVu Sans", text), sans, "DejaVu Sans");
  ExpectSameFace(Measure("Monaco", text, FW_BOLD),
                 FromFile(kFonts + "/DejaVuSansMono-Bold.ttf", text), "Monaco bold");
  ExpectSameFace(Measure("Arial", text, FW_BOLD), FromFile(kFonts + "/DejaVuSans-Bold.ttf", text),
                 "Arial bold");
  EXPECT_NE(machineMono.width, mono.width);

  // A serif face the bundle does not carry is still the machine's.
  const Measured serif = Measure("Times", text);
  EXPECT_EQ(serif.width, machineSerif.width);
  EXPECT_EQ(serif.tm.tmAscent, machineSerif.tm.tmAscent);

  // The process's configuration is as it was: no application fonts, the
  // same choices.
  FcFontSet* added = FcConfigGetFonts(FcConfigGetCurrent(), FcSetApplication);
  EXPECT_TRUE(!added || added->nfont == 0);
  EXPECT_EQ(MachinesChoice("Monaco"), "DejaVuSerif.ttf");
  EXPECT_EQ(MachinesChoice("sans-serif"), "DejaVuSerif.ttf");
}
