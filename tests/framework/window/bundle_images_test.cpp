#include "framework/window/BundleImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/HostBundle.h"
#include "tests/raster/png_file.h"

// Images are found by base name in the main bundle's resources, and only there.
TEST(BundleImagesTest, NamedResourcesComeFromTheMainBundle) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/morvex_bundle_images_XXXXXX";
  const std::string scratch = mkdtemp(pattern);
  const fs::path resources = fs::path(scratch) / "Fx.component/Contents/Resources";
  fs::create_directories(resources);
  PngImage image{3, 2, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}, {}};
  image.rows.assign(2, std::vector<png_byte>(3 * 4, 0x80));
  const std::vector<unsigned char> png = EncodePng(image);
  FILE* f = std::fopen((resources / "bg.png").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(png.data(), 1, png.size(), f);
  std::fclose(f);

  EXPECT_EQ(LICE_LoadPNGFromNamedResource("bg.png"), nullptr);  // no main bundle yet
  HostSetMainBundle((scratch + "/Fx.component").c_str(), "com.morvex.tests.png");
  std::unique_ptr<LICE_IBitmap> bm(LICE_LoadPNGFromNamedResource("bg.png"));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 3);
  EXPECT_EQ(bm->getHeight(), 2);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("missing.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(std::string(401, 'a').c_str()), nullptr);
  HostSetMainBundle(nullptr, nullptr);
  fs::remove_all(scratch);
}
