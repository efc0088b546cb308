#include "framework/base/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/TempDir.h"

namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Everything in the folder: a temporary left behind shows here.
size_t Entries(const test_support::TempDir& folder) {
  const std::filesystem::directory_iterator all(folder.path());
  return static_cast<size_t>(std::distance(begin(all), end(all)));
}

bool Write(const std::string& path, const std::string& text) {
  return WriteFileAtomically(path.c_str(), text.data(), text.size());
}

}  // namespace

// A new file gets the usual permission bits, a replaced one keeps its own,
// and no temporary is left beside either.
TEST(AtomicFileTest, WritesWholeFilesAndKeepsTheReplacedFilesPermissions) {
  const test_support::TempDir folder;
  const std::string fresh = folder / "fresh", kept = folder / "kept";
  const mode_t mask = umask(022);
  ASSERT_TRUE(Write(fresh, "new"));
  umask(mask);
  EXPECT_EQ(Contents(fresh), "new");
  EXPECT_EQ(ModeOf(fresh), 0644u);

  folder.write("kept", std::string("old"));
  ASSERT_EQ(chmod(kept.c_str(), 0600), 0);
  ASSERT_TRUE(Write(kept, "replaced"));
  EXPECT_EQ(Contents(kept), "replaced");
  EXPECT_EQ(ModeOf(kept), 0600u);
  EXPECT_EQ(Entries(folder), 2u);
}

// A user's link stays a link: the file at the end of the chain (relative
// targets read from the link's own folder) is what gets replaced.
TEST(AtomicFileTest, ReplacesWhatSymbolicLinksLeadToAndKeepsTheLinks) {
  const test_support::TempDir folder;
  folder.write("real/target", std::string("old"));
  ASSERT_EQ(symlink("real/target", (folder / "middle").c_str()), 0);
  ASSERT_EQ(symlink("middle", (folder / "link").c_str()), 0);
  ASSERT_TRUE(Write(folder / "link", "through the links"));
  struct stat st;
  ASSERT_EQ(lstat((folder / "link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Contents(folder / "real/target"), "through the links");

  ASSERT_EQ(symlink("loop-b", (folder / "loop-a").c_str()), 0);
  ASSERT_EQ(symlink("loop-a", (folder / "loop-b").c_str()), 0);
  errno = 0;
  EXPECT_FALSE(Write(folder / "loop-a", "x"));
  EXPECT_EQ(errno, ELOOP);
}

// What cannot be replaced is refused before a byte is written, and a writer
// that gives up leaves the old file as it was.
TEST(AtomicFileTest, RefusesWhatCannotBeReplacedAndLeavesNothingWhenAbandoned) {
  const test_support::TempDir folder;
  const std::string fifo = folder / "fifo", file = folder / "file";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(AtomicFile(fifo.c_str()).ok());
  EXPECT_FALSE(AtomicFile(folder.path().c_str()).ok());
  EXPECT_FALSE(AtomicFile("").ok());
  EXPECT_FALSE(Write(folder / "missing/file", "x"));

  folder.write("file", std::string("kept"));
  {
    AtomicFile abandoned(file.c_str());
    ASSERT_TRUE(abandoned.ok());
    ASSERT_TRUE(abandoned.write("half", 4));
  }
  EXPECT_EQ(Contents(file), "kept");
  EXPECT_EQ(Entries(folder), 2u);  // the FIFO and the file
}

// A file to keep is refused when it is there at the start, and when one
// appears while the new one is written: the rename must not replace it.
TEST(AtomicFileTest, AFileToKeepIsNeverReplacedEvenIfItAppearsMeanwhile) {
  const test_support::TempDir folder;
  folder.write("there", std::string("the user's"));
  errno = 0;
  EXPECT_FALSE(AtomicFile((folder / "there").c_str(), AtomicFile::Existing::Keep).ok());
  EXPECT_EQ(errno, EEXIST);

  const std::string late = folder / "late";
  AtomicFile writer(late.c_str(), AtomicFile::Existing::Keep);
  ASSERT_TRUE(writer.ok());
  ASSERT_TRUE(writer.write("ours", 4));
  folder.write("late", std::string("theirs"));
  errno = 0;
  EXPECT_FALSE(writer.commit());
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(Contents(late), "theirs");
  EXPECT_EQ(Entries(folder), 2u);

  AtomicFile fresh((folder / "fresh").c_str(), AtomicFile::Existing::Keep);
  ASSERT_TRUE(fresh.write("new", 3) && fresh.commit());
  EXPECT_EQ(Contents(folder / "fresh"), "new");
}
