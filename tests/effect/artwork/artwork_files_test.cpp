// The generator as the build uses it: the files it writes, their shapes,
// their bytes from run to run, and how it refuses a folder it cannot use.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "tests/effect/artwork/ArtworkTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using artwork_test::LoadBundled;
using artwork_test::RunArtwork;
using artwork_test::Slurp;
using test_support::TempDir;

struct Strip {
  const char* name;
  int width, frameHeight, frames;
};

// The editor's thirteen images, with the frame counts its layout loads them
// with and the frame sizes that fit its positions.
const Strip kStrips[] = {
    {"bg", 424, 104, 1},         {"depth__mask", 90, 10, 79}, {"freq__mask", 90, 10, 79},
    {"info", 424, 104, 1},       {"knob", 40, 40, 128},       {"knob_rot_1", 50, 50, 128},
    {"knob_rot_2", 50, 50, 128}, {"knob_rot_3", 50, 50, 128}, {"knob_rot_4", 50, 50, 128},
    {"knob_rot_5", 50, 50, 128}, {"knob_rot_6", 50, 50, 128}, {"lfo__mask", 90, 10, 79},
    {"stages", 67, 29, 6},
};

TEST(ArtworkFilesTest, WritesTheThirteenStripsAndTheSameBytesOnEveryRun) {
  TempDir first, second, scratch;
  ASSERT_EQ(RunArtwork({first.path()}, scratch / "err").status, 0);
  ASSERT_EQ(RunArtwork({second.path()}, scratch / "err").status, 0);

  std::vector<std::string> expected;
  for (const Strip& s : kStrips)
    expected.push_back(std::string(s.name) + ".png");
  // Nothing else: no temporaries left behind.
  EXPECT_EQ(first.list(), expected);

  for (const Strip& s : kStrips) {
    SCOPED_TRACE(s.name);
    const std::string file = std::string(s.name) + ".png";
    std::unique_ptr<LICE_IBitmap> image(LICE_LoadPNG((first / file).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), s.width);
    EXPECT_EQ(image->getHeight(), s.frameHeight * s.frames);
    const std::string bytes = Slurp(first / file);
    EXPECT_EQ(bytes, Slurp(second / file)) << "differs between two runs";
    // The bundle's copies are this generator's output too.
    EXPECT_EQ(bytes, Slurp(std::string(MORVEX_BUNDLE) + "/Contents/Resources/" + file));
  }

  // The background covers the panel; the overlay hides nearly all of it.
  std::unique_ptr<LICE_IBitmap> bg = LoadBundled("bg"), info = LoadBundled("info");
  ASSERT_TRUE(bg && info);
  for (int y = 0; y < 104; ++y) {
    for (int x = 0; x < 424; ++x) {
      ASSERT_EQ(LICE_GETA(LICE_GetPixel(bg.get(), x, y)), 255) << x << ", " << y;
      ASSERT_GE(LICE_GETA(LICE_GetPixel(info.get(), x, y)), 230) << x << ", " << y;
    }
  }
}

TEST(ArtworkFilesTest, RefusesAFolderItCannotUseAndLeavesNothingBehind) {
  TempDir scratch, folder;
  const std::string err = scratch / "err";

  // Missing, or a file where the folder should be.
  const std::string missing = scratch / "no-such-folder";
  artwork_test::Run run = RunArtwork({missing}, err);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("morvex-artwork: error: " + missing + ": No such file"), std::string::npos)
      << run.err;
  const std::string file = scratch.write("plain-file", std::string("x"));
  run = RunArtwork({file}, err);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(file + ": is not a folder"), std::string::npos) << run.err;

  // A folder that takes no new files: a read-only one where permissions
  // bind us, sysfs (which takes none, even from root) where they do not.
  std::string locked = scratch / "locked";
  mkdir(locked.c_str(), 0555);
  if (geteuid() == 0) locked = "/sys";
  run = RunArtwork({locked}, err);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("morvex-artwork: error: " + locked + ": cannot create files there"),
            std::string::npos)
      << run.err;

  // One image that cannot be written stops all of them: the others are not
  // put in place and no temporary stays.
  mkdir((folder / "knob.png").c_str(), 0755);
  run = RunArtwork({folder.path()}, err);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(folder / "knob.png"), std::string::npos) << run.err;
  EXPECT_EQ(folder.list(), std::vector<std::string>{"knob.png"});

  // Usage mistakes are told apart from failures.
  EXPECT_EQ(RunArtwork({}, err).status, 2);
  EXPECT_EQ(RunArtwork({folder.path(), "--scale", "2"}, err).status, 2);
}

}  // namespace
