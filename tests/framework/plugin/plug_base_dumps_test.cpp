#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/plugin/Base64.h"
#include "framework/plugin/IPlugBase.h"
#include "tests/support/TestPlug.h"

namespace {
// A temporary file path, removed when the test ends.
class TempFile {
 public:
  TempFile() {
    char pattern[] = "/tmp/morvex_dump_XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    mPath = pattern;
  }
  ~TempFile() { unlink(mPath.c_str()); }
  const char* Path() const { return mPath.c_str(); }
  std::string Contents() const {
    std::ifstream in(mPath);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string mPath;
};
}  // namespace

TEST(IPlugBaseDumpsTest, PresetSourceCodeNamesEveryParameter) {
  TestPlug plug;
  plug.GetParam(TestPlug::kGain)->Set(0.25);
  const char* names[] = {"kGain", "kStages", "kOn"};
  TempFile file;
  plug.DumpPresetSrcCode(file.Path(), names);
  EXPECT_EQ(file.Contents(),
            "  MakePresetFromNamedParams(\"name\", 3,\n"
            "    kGain, 0.250000,\n"
            "    kStages, 3,\n"
            "    kOn, true);\n");
}

TEST(IPlugBaseDumpsTest, BlobsDecodeBackToTheChunks) {
  TestPlug plug("1-1", 2);
  plug.MakePreset("Warm", 0.25, 2, 1);
  plug.RestorePreset(0);
  TempFile file;
  plug.DumpPresetBlob(file.Path());
  char blob[64];
  base64encode(plug.Preset(0)->mChunk.GetBytes(), blob, 24);
  EXPECT_EQ(file.Contents(), "MakePresetFromBlob(\"name\", \"" + std::string(blob) + "\", 24);\n");

  plug.DumpBankBlob(file.Path());
  const std::string bank = file.Contents();
  EXPECT_EQ(bank.find("MakePresetFromBlob(\"Warm\", \"" + std::string(blob) + "\", 24);\n"), 0u);
  EXPECT_NE(bank.find("MakePresetFromBlob(\"empty\", \"\", 0);\n"), std::string::npos);

  // A missing target produces nothing and no crash.
  plug.DumpBankBlob("/nonexistent/dir/bank.txt");
  plug.DumpPresetBlob(nullptr);
}

TEST(IPlugBaseDumpsTest, ChunksBeyondTheOldFixedBufferAreDumpedWhole) {
  TestPlug plug("1-1", 1);
  ByteChunk big;
  for (int i = 0; i < 2000; ++i) {
    const unsigned char byte = static_cast<unsigned char>(i * 7);
    big.PutBytes(&byte, 1);
  }
  plug.MakePresetFromChunk("Big", &big);
  TempFile file;
  plug.DumpPresetBlob(file.Path());
  const std::string text = file.Contents();
  const std::string head = "MakePresetFromBlob(\"name\", \"";
  ASSERT_EQ(text.find(head), 0u);
  const std::string blob = text.substr(head.size(), text.find('"', head.size()) - head.size());
  EXPECT_EQ(blob.size(), 4u * 667u);
  unsigned char back[2000];
  EXPECT_EQ(base64decode(blob.c_str(), back, sizeof(back)), 2000);
  EXPECT_EQ(memcmp(back, big.GetBytes(), 2000), 0);
  EXPECT_NE(text.find("\", 2000);\n"), std::string::npos);
}
