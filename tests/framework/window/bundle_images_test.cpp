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

  // The window layer's loader goes by base name and bundle identifier.
  BundleImages images;
  std::unique_ptr<LICE_IBitmap> byPath(images.Load("resources/img/bg.png"));
  EXPECT_NE(byPath, nullptr);
  std::unique_ptr<LICE_IBitmap> upperCase(images.Load("bg.PNG"));
  EXPECT_NE(upperCase, nullptr);
  EXPECT_EQ(images.Load("resources/img/bg.jpg"), nullptr);
  EXPECT_EQ(images.Load(".png"), nullptr);
  EXPECT_EQ(images.Load(nullptr), nullptr);
  images.SetBundleID("com.morvex.tests.png");
  std::unique_ptr<LICE_IBitmap> byIdentifier(images.Load("bg.png"));
  EXPECT_NE(byIdentifier, nullptr);
  images.SetBundleID("com.morvex.tests.elsewhere");
  EXPECT_EQ(images.Load("bg.png"), nullptr);
  HostSetMainBundle(nullptr, nullptr);
}
