#include <gtest/gtest.h>

#include <string>

#include "framework/editor/FontHeight.h"
#include "framework/editor/IChannelBlend.h"
#include "framework/editor/IColor.h"
#include "framework/editor/IText.h"
#include "framework/editor/LiceConversions.h"

// Alpha sits in the lowest byte, then red, green and blue.
TEST(LiceConversionsTest, ColourPacksAlphaLowestAndMasksEachChannel) {
  const IColor color(0x12, 0x34, 0x56, 0x78);
  EXPECT_EQ(LiceColor(&color), 0x78563412u);
  const IColor outOfRange(256 + 7, -1, 0x1FF, 0);
  EXPECT_EQ(LiceColor(&outOfRange), 0x00FFFF07u);
  EXPECT_EQ(LiceColor(nullptr), 0u);

  for (const IColor& c : {COLOR_TRANSPARENT, COLOR_GRAY, COLOR_ORANGE, color})
    EXPECT_EQ(IColorFromLice(LiceColor(&c)), c);
}

TEST(LiceConversionsTest, BlendMethodsMapToRasterModesAndWeights) {
  EXPECT_EQ(LiceBlendMode(nullptr), 0x10000);
  EXPECT_FLOAT_EQ(LiceWeight(nullptr), 1.0f);
  const struct {
    int method;
    int mode;
  } cases[] = {{0, 0x10000}, {1, 0}, {2, 0x10001}, {3, 0x10002}, {4, 0x10000}, {-1, 0x10000}};
  for (const auto& c : cases) {
    const IChannelBlend blend(static_cast<IChannelBlend::EBlendMethod>(c.method), 0.25f);
    EXPECT_EQ(LiceBlendMode(&blend), c.mode) << "method " << c.method;
    EXPECT_FLOAT_EQ(LiceWeight(&blend), 0.25f);
  }
}

TEST(ITextTest, NullArgumentsTakeTheDefaultsAndLongFaceNamesAreCut) {
  const IText defaults;
  EXPECT_STREQ(defaults.mFont, "Monaco");
  EXPECT_EQ(defaults.mColor, COLOR_BLACK);
  EXPECT_EQ(defaults.mTextEntryBGColor, COLOR_WHITE);
  EXPECT_EQ(defaults.mTextEntryFGColor, COLOR_BLACK);

  const std::string longFace(40, 'x');
  const IText given(14, nullptr, longFace.c_str(), IText::kStyleBold, IText::kAlignFar, 0,
                    IText::kQualityDefault, &COLOR_BLUE, &COLOR_YELLOW);
  EXPECT_EQ(std::string(given.mFont), longFace.substr(0, IText::kMaxFontName - 1));
  EXPECT_EQ(given.mTextEntryBGColor, COLOR_BLUE);
  EXPECT_EQ(given.mTextEntryFGColor, COLOR_YELLOW);
}

TEST(FontHeightTest, CorrectionScalesByTheRenderedLineHeightAndSurvivesZero) {
  EXPECT_EQ(FontRequestHeight(0), 2);
  EXPECT_EQ(FontRequestHeight(-4), 2);
  EXPECT_EQ(FontRequestHeight(12), 12);
  // 12 asked, 15 rendered: 12 * 12 / 15 = 9.6 rounds to 10.
  EXPECT_EQ(CorrectedFontHeight(12, 15), 10);
  EXPECT_EQ(CorrectedFontHeight(2, 40), 2);
  EXPECT_EQ(CorrectedFontHeight(12, 0), 12);
  EXPECT_EQ(CorrectedFontHeight(0, 0), 2);
  EXPECT_EQ(CorrectedFontHeight(50000, 1), 2147483647);
}
