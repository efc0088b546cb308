#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "framework/plugin/IPlugBase.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlug.h"

namespace {
using test_support::TempDir;

// A path in the folder as the plug-in base takes file names.
WDL_String File(const TempDir& dir, const char* name) {
  return WDL_String((dir / name).c_str());
}

ByteChunk Read(const WDL_String& path) {
  std::ifstream file(path.Get(), std::ios::binary);
  EXPECT_TRUE(file.good()) << path.Get();
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ByteChunk bytes;
  bytes.PutBytes(text.data(), static_cast<int>(text.size()));
  return bytes;
}

uint32_t BE32(const ByteChunk& c, int pos) {
  const unsigned char* b = c.GetBytes() + pos;
  return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

std::string Text(const ByteChunk& c, int pos, int n) {
  return std::string(reinterpret_cast<const char*>(c.GetBytes()) + pos, n);
}

float BEFloat(const ByteChunk& c, int pos) {
  const uint32_t bits = BE32(c, pos);
  float f;
  memcpy(&f, &bits, 4);
  return f;
}

ByteChunk Prefix(const ByteChunk& c, int n) {
  ByteChunk out;
  out.PutBytes(c.GetBytes(), n);
  return out;
}

void PutBE(ByteChunk* c, int pos, uint32_t v) {
  unsigned char* b = c->GetBytes() + pos;
  b[0] = static_cast<unsigned char>(v >> 24);
  b[1] = static_cast<unsigned char>(v >> 16);
  b[2] = static_cast<unsigned char>(v >> 8);
  b[3] = static_cast<unsigned char>(v);
}

// A plug-in whose state differs from the defaults in every parameter and
// preset, so that any stray write shows in its snapshot.
void Populate(TestPlug* plug) {
  plug->MakePreset("Warm", 0.25, 2, 1);
  plug->MakePreset("Cold", 0.75, 4, 0);
  plug->MakePreset("A preset name longer than twenty-seven", 0.5, 5, 1);
  plug->RestorePreset(1);
}

// The bytes of a program or bank file saved by a populated plug-in.
ByteChunk SavedFile(bool bank, bool chunks, int nPresets = 3) {
  TempDir dir;
  TestPlug source("1-1", nPresets, chunks);
  Populate(&source);
  const WDL_String path = File(dir, bank ? "b.fxb" : "p.fxp");
  EXPECT_TRUE(bank ? source.SaveBankAsFXB(path) : source.SaveProgramAsFXP(path));
  return Read(path);
}
}  // namespace

TEST(ProgramBankFilesTest, ProgramHeaderFollowsTheTable) {
  TempDir dir;
  TestPlug plug("1-1", 3);
  Populate(&plug);
  const WDL_String path = File(dir, "p.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(path));
  const ByteChunk file = Read(path);
  ASSERT_EQ(file.Size(), 56 + 4 * 3);
  EXPECT_EQ(Text(file, 0, 4), "CcnK");
  EXPECT_EQ(BE32(file, 4), 0u);
  EXPECT_EQ(Text(file, 8, 4), "FxCk");
  EXPECT_EQ(BE32(file, 12), 1u);
  EXPECT_EQ(BE32(file, 16), uint32_t(TestPlug::kUniqueID));
  EXPECT_EQ(BE32(file, 20), 10203u);
  EXPECT_EQ(BE32(file, 24), 3u);
  EXPECT_EQ(Text(file, 28, 28), std::string("Cold") + std::string(24, '\0'));
  EXPECT_FLOAT_EQ(BEFloat(file, 56), 0.75f);
  EXPECT_FLOAT_EQ(BEFloat(file, 60), 0.8f);
  EXPECT_FLOAT_EQ(BEFloat(file, 64), 0.0f);

  TestPlug chunky("1-1", 3, true);
  Populate(&chunky);
  ASSERT_TRUE(chunky.SaveProgramAsFXP(path));
  const ByteChunk chunkFile = Read(path);
  const uint32_t chunkSize = 8 + 24;  // "tffp", version, three doubles
  ASSERT_EQ(chunkFile.Size(), int(60 + chunkSize));
  EXPECT_EQ(BE32(chunkFile, 4), chunkSize + 60);
  EXPECT_EQ(Text(chunkFile, 8, 4), "FPCh");
  EXPECT_EQ(BE32(chunkFile, 56), chunkSize);
  EXPECT_EQ(Text(chunkFile, 60, 4), "tffp");
  int32_t version = 0;
  memcpy(&version, chunkFile.GetBytes() + 64, 4);
  EXPECT_EQ(version, 0x10000);
  double gain = 0;
  memcpy(&gain, chunkFile.GetBytes() + 68, 8);
  EXPECT_EQ(gain, 0.75);
}

TEST(ProgramBankFilesTest, ProgramRoundTripsInBothForms) {
  for (bool chunks : {false, true}) {
    TempDir dir;
    TestPlug source("1-1", 3, chunks);
    Populate(&source);
    source.GetParam(0)->Set(0.5);  // exact in single precision
    const WDL_String path = File(dir, "p.fxp");
    ASSERT_TRUE(source.SaveProgramAsFXP(path));

    TestPlug target("1-1", 3, chunks);
    Populate(&target);
    target.RestorePreset(0);
    ASSERT_TRUE(target.LoadProgramFromFXP(path)) << chunks;
    EXPECT_EQ(target.GetParam(0)->Value(), 0.5);
    EXPECT_EQ(target.GetParam(1)->Value(), 4.0);
    EXPECT_EQ(target.GetParam(2)->Value(), 0.0);
    // The file's name replaces the current preset's and the host is told.
    EXPECT_STREQ(target.GetPresetName(0), "Cold");
    EXPECT_EQ(target.programChanges, 1);
    EXPECT_FALSE(target.paramChanges.empty());
  }
}

TEST(ProgramBankFilesTest, BankRoundTripsInBothForms) {
  for (bool chunks : {false, true}) {
    TempDir dir;
    TestPlug source("1-1", 4, chunks);
    Populate(&source);
    const WDL_String path = File(dir, "b.fxb");
    ASSERT_TRUE(source.SaveBankAsFXB(path));
    const ByteChunk file = Read(path);
    EXPECT_EQ(Text(file, 0, 4), "CcnK");
    EXPECT_EQ(Text(file, 8, 4), chunks ? "FBCh" : "FxBk");
    EXPECT_EQ(BE32(file, 12), 2u);
    EXPECT_EQ(BE32(file, 24), 4u);
    EXPECT_EQ(BE32(file, 28), 1u);  // current preset
    for (int i = 32; i < 156; ++i)
      ASSERT_EQ(file.GetBytes()[i], 0) << i;
    if (!chunks) {
      ASSERT_EQ(file.Size(), 156 + 4 * (56 + 12));
      EXPECT_EQ(Text(file, 156 + 68 + 8, 4), "FxCk");
      EXPECT_EQ(Text(file, 156 + 68 + 28, 5), std::string("Cold\0", 5));
    } else {
      EXPECT_EQ(BE32(file, 4), BE32(file, 156) + 160);
    }

    TestPlug target("1-1", 4, chunks);
    target.GetParam(0)->Set(0.1);
    target.RestorePreset(2);
    ASSERT_TRUE(target.LoadBankFromFXB(path)) << chunks;
    for (int i = 0; i < 3; ++i) {
      // Program records keep 27 characters of a name; chunks keep it whole.
      const std::string name = source.GetPresetName(i);
      EXPECT_EQ(target.GetPresetName(i), chunks ? name : name.substr(0, 27)) << i;
      EXPECT_TRUE(target.Preset(i)->mChunk.IsEqual(source.Preset(i)->mChunk)) << i;
    }
    // A parameter-form bank ends on the file's current preset, a chunk-form
    // bank on the plug-in's own.
    EXPECT_EQ(target.GetCurrentPresetIdx(), chunks ? 2 : 1);
    EXPECT_EQ(target.GetParam(0)->Value(), chunks ? 0.5 : 0.75);
    EXPECT_EQ(target.programChanges, 1);
    if (chunks) {
      // Save, load, save: the same bytes, once on the source's preset.
      ASSERT_TRUE(target.RestorePreset(1));
      ASSERT_TRUE(target.SaveBankAsFXB(path));
      EXPECT_TRUE(Read(path).IsEqual(file));
    }
  }
}

// A user who keeps a program behind a symbolic link keeps the link: saving
// replaces the file it leads to.
TEST(ProgramBankFilesTest, SavingThroughALinkReplacesItsTarget) {
  TempDir dir;
  TestPlug plug("1-1", 3);
  Populate(&plug);
  ASSERT_TRUE(plug.SaveProgramAsFXP(File(dir, "target.fxp")));
  ASSERT_EQ(symlink("target.fxp", (dir / "link.fxp").c_str()), 0);
  plug.RestorePreset(2);
  ASSERT_TRUE(plug.SaveProgramAsFXP(File(dir, "link.fxp")));
  char target[64] = {};
  EXPECT_EQ(readlink((dir / "link.fxp").c_str(), target, sizeof target - 1), 10);
  EXPECT_STREQ(target, "target.fxp");
  ByteChunk saved = Read(File(dir, "target.fxp"));
  EXPECT_TRUE(plug.LoadProgramFromFXPData(saved));
  ASSERT_TRUE(plug.SaveProgramAsFXP(File(dir, "again.fxp")));
  EXPECT_TRUE(Read(File(dir, "again.fxp")).IsEqual(saved));
}

TEST(ProgramBankFilesTest, RefusedFilesChangeNothing) {
  const ByteChunk good = SavedFile(false, false);

  TestPlug target("1-1", 3);
  Populate(&target);
  const std::string before = target.Snapshot();
  auto refused = [&](ByteChunk& bad, const char* why) {
    EXPECT_FALSE(target.LoadProgramFromFXPData(bad)) << why;
    EXPECT_EQ(target.Snapshot(), before) << why;
  };
  const struct {
    int pos;
    uint32_t value;
    const char* why;
  } corruptions[] = {{0, 0x43636E4C, "magic"},
                     {8, 0x46784378, "form"},
                     {12, 2, "version"},
                     {16, 0x12345678, "unique ID"},
                     {24, 4, "parameter count"},
                     {56, 0x7FC00000, "NaN value"},
                     {60, 0x7F800000, "infinite value"},
                     {64, 0xFF800000, "negative infinite value"}};
  for (const auto& c : corruptions) {
    ByteChunk bad = Prefix(good, good.Size());
    PutBE(&bad, c.pos, c.value);
    refused(bad, c.why);
  }
  // A chunk-form program only loads into a plug-in that does chunks.
  ByteChunk chunkForm = Prefix(good, good.Size());
  PutBE(&chunkForm, 8, 0x46504368);  // "FPCh"
  refused(chunkForm, "chunk form without chunks");
  EXPECT_EQ(target.programChanges, 0);

  EXPECT_FALSE(target.LoadProgramFromFXP(WDL_String("")));
  EXPECT_FALSE(target.LoadProgramFromFXP(WDL_String("/nonexistent/dir/p.fxp")));
  EXPECT_FALSE(target.LoadBankFromFXB(WDL_String("/nonexistent/dir/b.fxb")));
  EXPECT_FALSE(target.SaveProgramAsFXP(WDL_String("")));
  EXPECT_FALSE(target.SaveBankAsFXB(WDL_String("/nonexistent/dir/b.fxb")));
  EXPECT_EQ(target.Snapshot(), before);
}

TEST(ProgramBankFilesTest, EveryTruncationAndRandomBytesAreRefusedSafely) {
  for (bool chunks : {false, true}) {
    const ByteChunk goodProgram = SavedFile(false, chunks);
    const ByteChunk goodBank = SavedFile(true, chunks);

    TestPlug target("1-1", 3, chunks);
    Populate(&target);
    target.GetParam(0)->Set(0.33);
    const std::string before = target.Snapshot();
    for (int n = 0; n < goodProgram.Size(); ++n) {
      ByteChunk cut = Prefix(goodProgram, n);
      ASSERT_FALSE(target.LoadProgramFromFXPData(cut)) << n;
      ASSERT_EQ(target.Snapshot(), before) << n;
    }
    for (int n = 0; n < goodBank.Size(); ++n) {
      ByteChunk cut = Prefix(goodBank, n);
      ASSERT_FALSE(target.LoadBankFromFXBData(cut)) << n;
      ASSERT_EQ(target.Snapshot(), before) << n;
    }

    // Random bytes, and valid headers over random bodies.
    std::mt19937 rng(chunks ? 7 : 11);
    for (int round = 0; round < 2000; ++round) {
      const ByteChunk& base = round % 2 ? goodBank : goodProgram;
      ByteChunk noise;
      const int size = static_cast<int>(rng() % (base.Size() + 64));
      for (int i = 0; i < size; ++i) {
        const unsigned char byte = static_cast<unsigned char>(rng());
        noise.PutBytes(&byte, 1);
      }
      const int keep = round % 4 < 2 ? 0 : (round % 4 == 2 ? 28 : 56);
      for (int i = 0; i < keep && i < size && i < base.Size(); ++i) {
        noise.GetBytes()[i] = base.GetBytes()[i];
      }
      if (round % 2) {
        target.LoadBankFromFXBData(noise);
      } else {
        target.LoadProgramFromFXPData(noise);
      }
    }
  }
}

TEST(ProgramBankFilesTest, ChunkBankWithAHostileNameLengthIsRefused) {
  const ByteChunk file = SavedFile(true, true, 2);
  TestPlug target("1-1", 2, true);
  const std::string before = target.Snapshot();
  // The first preset's name length sits after the chunk size, "tffp" and the
  // version: 156 + 4 + 8.
  for (int32_t length : {-1, -12, 1 << 30, 0x7FFFFFFF}) {
    ByteChunk bad = Prefix(file, file.Size());
    memcpy(bad.GetBytes() + 168, &length, 4);
    EXPECT_FALSE(target.LoadBankFromFXBData(bad)) << length;
    EXPECT_EQ(target.Snapshot(), before);
  }
  // A chunk size larger than the file.
  ByteChunk oversized = Prefix(file, file.Size());
  PutBE(&oversized, 156, BE32(file, 156) + 1);
  EXPECT_FALSE(target.LoadBankFromFXBData(oversized));
  EXPECT_EQ(target.Snapshot(), before);
}

TEST(ProgramBankFilesTest, FiniteValuesOutside0To1LoadClamped) {
  // Gain 1.5 and Stages -0.5 stand where the plug-in's own values would be.
  const auto outOfRange = [](ByteChunk* file, int valuesPos) {
    PutBE(file, valuesPos, 0x3FC00000);      // 1.5
    PutBE(file, valuesPos + 4, 0xBF000000);  // -0.5
  };
  ByteChunk program = SavedFile(false, false);
  outOfRange(&program, 56);
  TestPlug target("1-1", 3);
  Populate(&target);
  ASSERT_TRUE(target.LoadProgramFromFXPData(program));
  EXPECT_EQ(target.GetParam(TestPlug::kGain)->Value(), 1.0);
  EXPECT_EQ(target.GetParam(TestPlug::kStages)->Value(), 0.0);

  // The second record of a bank, whose values start after the bank header,
  // one record and the record's own header.
  ByteChunk bank = SavedFile(true, false);
  outOfRange(&bank, 156 + (56 + 12) + 56);
  TestPlug bankTarget("1-1", 3);
  ASSERT_TRUE(bankTarget.LoadBankFromFXBData(bank));
  ASSERT_TRUE(bankTarget.RestorePreset(1));
  EXPECT_EQ(bankTarget.GetParam(TestPlug::kGain)->Value(), 1.0);
  EXPECT_EQ(bankTarget.GetParam(TestPlug::kStages)->Value(), 0.0);

  PutBE(&bank, 156 + (56 + 12) + 56, 0x7FC00000);  // NaN
  TestPlug refusing("1-1", 3);
  const std::string before = refusing.Snapshot();
  EXPECT_FALSE(refusing.LoadBankFromFXBData(bank));
  EXPECT_EQ(refusing.Snapshot(), before);
}

TEST(ProgramBankFilesTest, ChunkBankWithFewerPresetsLoadsThoseItHolds) {
  const ByteChunk file = SavedFile(true, true, 2);
  TestPlug source("1-1", 2, true);
  Populate(&source);
  TestPlug target("1-1", 4, true);
  target.MakePreset("Third", 0.125, 1, 0);
  target.MakePreset("Fourth", 0.375, 2, 1);
  target.MakePreset("Fifth", 0.625, 3, 0);
  ASSERT_TRUE(target.LoadBankFromFXBData(file));
  for (int i = 0; i < 2; ++i) {
    EXPECT_STREQ(target.GetPresetName(i), source.GetPresetName(i)) << i;
    EXPECT_TRUE(target.Preset(i)->mChunk.IsEqual(source.Preset(i)->mChunk)) << i;
  }
  EXPECT_STREQ(target.GetPresetName(2), "Fifth");
  EXPECT_FALSE(target.Preset(3)->mInitialized);
  EXPECT_EQ(target.programChanges, 1);
}
