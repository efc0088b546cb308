#include "framework/base/RegularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/TempDir.h"

// A pipe without a writer would hold a plain fopen for ever; a folder opens
// but reads nothing. Only a regular file is handed out.
TEST(RegularFileTest, OnlyRegularFilesOpenAndNothingBlocks) {
  const test_support::TempDir folder;
  const std::string dir = folder.path(), fifo = folder / "fifo", file = folder / "file";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("12345", out);
  std::fclose(out);

  EXPECT_EQ(OpenRegularFile(fifo.c_str()), nullptr);
  EXPECT_EQ(OpenRegularFile(dir.c_str()), nullptr);
  EXPECT_EQ(OpenRegularFile((dir + "/missing").c_str()), nullptr);
  EXPECT_EQ(OpenRegularFile(""), nullptr);
  EXPECT_EQ(OpenRegularFile(nullptr), nullptr);
  long long size = 0;
  std::FILE* in = OpenRegularFile(file.c_str(), &size);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(size, 5);
  char text[8] = {};
  EXPECT_EQ(std::fread(text, 1, sizeof text, in), 5u);
  EXPECT_STREQ(text, "12345");
  std::fclose(in);
}
