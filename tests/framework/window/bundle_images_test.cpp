#include "framework/window/BundleImages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/HostBundle.h"
#include "tests/raster/png_file.h"
#include "tests/support/TempDir.h"

// Images are found by base name in the main bundle's resources, and only there.
TEST(BundleImagesTest, NamedResourcesComeFromTheMainBundle) {
  const test_support::TempDir scratch;
  PngImage image{3, 2, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}, {}};
  image.rows.assign(2, std::vector<png_byte>(3 * 4, 0x80));
  const std::vector<unsigned char> png = EncodePng(image);
  scratch.write("Fx.component/Contents/Resources/bg.png", png);

  EXPECT_EQ(LICE_LoadPNGFromNamedResource("bg.png"), nullptr);  // no main bundle yet
  HostSetMainBundle((scratch / "Fx.component").c_str(), "com.morvex.tests.png");
  std::unique_ptr<LICE_IBitmap> bm(LICE_LoadPNGFromNamedResource("bg.png"));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 3);
  EXPECT_EQ(bm->getHeight(), 2);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("missing.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(std::string(401, 'a').c_str()), nullptr);
  HostSetMainBundle(nullptr, nullptr);
}
