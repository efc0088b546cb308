#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/plugin/Base64.h"
#include "framework/plugin/IPlugBase.h"
#include "tests/support/TestPlug.h"

namespace {
ByteChunk Doubles(std::vector<double> values) {
  ByteChunk chunk;
  for (double v : values)
    chunk.Put(&v);
  return chunk;
}

std::vector<double> Values(const IPlugBase& plug) {
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i)
    v.push_back(plug.GetParam(i)->Value());
  return v;
}
}  // namespace

TEST(IPlugBaseStateTest, ParameterChunkIsOneLittleEndianDoublePerParameter) {
  TestPlug plug;
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeParams(&chunk));
  ASSERT_EQ(chunk.Size(), 24);
  // 0.5, 3.0 and 1.0 as IEEE binary64, least significant byte first.
  const unsigned char expected[24] = {0, 0, 0,    0,    0, 0, 0xE0, 0x3F, 0, 0, 0,    0,
                                      0, 0, 0x08, 0x40, 0, 0, 0,    0,    0, 0, 0xF0, 0x3F};
  EXPECT_EQ(memcmp(chunk.GetBytes(), expected, 24), 0);

  TestPlug other;
  other.GetParam(0)->Set(0.0);
  other.GetParam(1)->Set(0.0);
  other.GetParam(2)->Set(0.0);
  EXPECT_EQ(other.UnserializeParams(&chunk, 0), 24);
  EXPECT_EQ(Values(other), (std::vector<double>{0.5, 3.0, 1.0}));
  EXPECT_EQ(other.paramChanges, (std::vector<int>{0, 1, 2}));

  // Save, load, save gives the same bytes.
  ByteChunk again;
  other.SerializeState(&again);
  EXPECT_TRUE(again.IsEqual(chunk));
}

TEST(IPlugBaseStateTest, ShortChunkSetsWhatItHasZeroesTheFailureAndKeepsTheRest) {
  TestPlug plug;
  ByteChunk shortChunk = Doubles({0.25, 4.0});
  EXPECT_EQ(plug.UnserializeParams(&shortChunk, 0), -1);
  EXPECT_EQ(Values(plug), (std::vector<double>{0.25, 4.0, 0.0}));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2}));

  TestPlug later;
  ByteChunk oneValue = Doubles({0.75});
  later.GetParam(2)->Set(1.0);
  EXPECT_EQ(later.UnserializeParams(&oneValue, 0), -1);
  EXPECT_EQ(Values(later), (std::vector<double>{0.75, 0.0, 1.0}));  // parameter 2 untouched

  ByteChunk outOfRange = Doubles({7.0, -3.0, 0.4});
  EXPECT_EQ(plug.UnserializeState(&outOfRange, 0), 24);
  EXPECT_EQ(Values(plug), (std::vector<double>{1.0, 0.0, 0.0}));

  ByteChunk offset = Doubles({99.0, 0.1, 2.0, 1.0});
  EXPECT_EQ(plug.UnserializeParams(&offset, 8), 32);
  EXPECT_EQ(Values(plug), (std::vector<double>{0.1, 2.0, 1.0}));
  EXPECT_LT(plug.UnserializeParams(&offset, -8), 0);  // reads nothing
  EXPECT_EQ(Values(plug), (std::vector<double>{0.1, 2.0, 1.0}));
}

TEST(IPlugBaseStateTest, IndexedParametersFromAStateLandOnTheNearestIndex) {
  const struct {
    double stages, on;
    double expectedStages, expectedOn;
  } cases[] = {
      {2.5, 0.5, 3.0, 1.0},   {2.49, 0.49, 2.0, 0.0}, {5e-324, 1e-300, 0.0, 0.0},
      {4.999, 0.9, 5.0, 1.0}, {9.7, 3.0, 5.0, 1.0},   {-3.2, -0.6, 0.0, 0.0},
  };
  for (const auto& c : cases) {
    TestPlug plug;
    ByteChunk state = Doubles({0.123, c.stages, c.on});
    EXPECT_EQ(plug.UnserializeState(&state, 0), 24);
    EXPECT_EQ(Values(plug), (std::vector<double>{0.123, c.expectedStages, c.expectedOn}))
        << c.stages << " " << c.on;
  }
  // A preset chunk goes the same way.
  TestPlug plug("1-1", 1);
  ByteChunk chunk = Doubles({0.5, 1.5, 1.0});
  plug.MakePresetFromChunk("Between", &chunk);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetParam(TestPlug::kStages)->Value(), 2.0);
}

TEST(IPlugBaseStateTest, MakePresetStoresValuesAsPassedInSlotOrder) {
  TestPlug plug("1-1", 3);
  plug.MakePreset("First", 0.25, 2, 0);
  plug.MakePreset("Second", 7.0, 9, 1);  // stored unclamped
  ASSERT_TRUE(plug.Preset(0)->mInitialized);
  EXPECT_STREQ(plug.GetPresetName(0), "First");
  ByteChunk expected = Doubles({0.25, 2.0, 0.0});
  EXPECT_TRUE(plug.Preset(0)->mChunk.IsEqual(expected));
  ByteChunk unclamped = Doubles({7.0, 9.0, 1.0});
  EXPECT_TRUE(plug.Preset(1)->mChunk.IsEqual(unclamped));

  plug.MakePreset("Third", 0.5, 1, 1);
  const std::string before = plug.Snapshot();
  plug.MakePreset("Fourth", 0.5, 1, 1);  // every slot taken: nothing changes
  plug.MakeDefaultPreset("Fifth", 2);
  plug.MakePresetFromChunk("Sixth", &expected);
  EXPECT_EQ(plug.Snapshot(), before);

  // Restoring applies the values, clamped, and tells the effect.
  plug.paramChanges.clear();
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(Values(plug), (std::vector<double>{1.0, 5.0, 1.0}));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
}

TEST(IPlugBaseStateTest, NamedParamsFillTheRestFromCurrentValues) {
  TestPlug plug("1-1", 2);
  plug.GetParam(0)->Set(0.3);
  plug.MakePresetFromNamedParams("Named", 2, TestPlug::kStages, 5, TestPlug::kOn, 0);
  ByteChunk expected = Doubles({0.3, 5.0, 0.0});
  EXPECT_TRUE(plug.Preset(0)->mChunk.IsEqual(expected));
  EXPECT_STREQ(plug.GetPresetName(0), "Named");
}

TEST(IPlugBaseStateDeathTest, NamedParamsWithABadIndexStopTheProgram) {
  TestPlug plug("1-1", 2);
  EXPECT_DEATH(plug.MakePresetFromNamedParams("Bad", 1, 3, 0.5), "paramIdx >= 0 && paramIdx < n");
  EXPECT_DEATH(plug.MakePresetFromNamedParams("Bad", 1, -1, 0.5), "paramIdx >= 0 && paramIdx < n");
}

TEST(IPlugBaseStateTest, BlobPresetsDecodeIntoTheChunk) {
  TestPlug plug("1-1", 2);
  ByteChunk values = Doubles({0.125, 1.0, 0.0});
  char text[64];
  base64encode(values.GetBytes(), text, values.Size());
  plug.MakePresetFromBlob("Blob", text, values.Size());
  EXPECT_TRUE(plug.Preset(0)->mChunk.IsEqual(values));
  // A declared size larger than the data leaves zeros after it.
  plug.MakePresetFromBlob("Short", text, values.Size() + 8);
  EXPECT_EQ(plug.Preset(1)->mChunk.Size(), 32);
  double tail = -1;
  plug.Preset(1)->mChunk.Get(&tail, 24);
  EXPECT_EQ(tail, 0.0);
}

TEST(IPlugBaseStateTest, RestoreByIndexAndNameAndUserPresetNaming) {
  TestPlug plug("1-1", 4);
  plug.MakePreset("Alpha", 0.1, 1, 0);
  plug.MakePreset("user preset 1", 0.2, 2, 1);
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset(plug.NPresets()));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug.RestorePreset("alpha"));  // case-sensitive
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);

  bool destroyed = false;
  auto* editor = new FakeEditor(&destroyed);
  plug.AttachGraphics(editor);
  editor->calls.clear();
  EXPECT_TRUE(plug.RestorePreset("Alpha"));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.1);
  EXPECT_EQ(editor->calls.size(), 3u);  // redrawn after the restore

  // An uninitialised slot becomes a user preset holding the current state.
  plug.GetParam(0)->Set(0.9);
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 2");
  EXPECT_TRUE(plug.Preset(3)->mInitialized);
  ByteChunk current;
  plug.SerializeState(&current);
  EXPECT_TRUE(plug.Preset(3)->mChunk.IsEqual(current));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
  EXPECT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 3");
}

TEST(IPlugBaseStateTest, ModifyCurrentPresetRefillsAndMayRename) {
  TestPlug plug("1-1", 2);
  plug.MakePreset("Base", 0.1, 1, 0);
  plug.RestorePreset(0);
  plug.GetParam(0)->Set(0.6);
  plug.ModifyCurrentPreset();
  EXPECT_STREQ(plug.GetPresetName(0), "Base");
  double v = 0;
  plug.Preset(0)->mChunk.Get(&v, 0);
  EXPECT_EQ(v, 0.6);
  EXPECT_EQ(plug.Preset(0)->mChunk.Size(), 24);
  plug.ModifyCurrentPreset("Renamed");
  EXPECT_STREQ(plug.GetPresetName(0), "Renamed");

  // The initialised flag is not the modifier's business.
  TestPlug fresh("1-1", 1);
  fresh.ModifyCurrentPreset("x");
  EXPECT_FALSE(fresh.Preset(0)->mInitialized);
  EXPECT_STREQ(fresh.GetPresetName(0), "x");
}

TEST(IPlugBaseStateTest, DefaultPresetsPruningAndLongNames) {
  TestPlug plug("1-1", 5);
  plug.MakePreset("One", 0.1, 1, 0);
  plug.MakePreset("Two", 0.2, 2, 1);
  plug.GetParam(0)->Set(0.7);
  plug.EnsureDefaultPreset();
  ByteChunk current;
  plug.SerializeState(&current);
  for (int i = 2; i < 5; ++i) {
    EXPECT_STREQ(plug.GetPresetName(i), "Empty");
    EXPECT_TRUE(plug.Preset(i)->mChunk.IsEqual(current));
  }

  TestPlug unnamed("1-1", 1);
  unnamed.MakeDefaultPreset(nullptr, 1);
  EXPECT_STREQ(unnamed.GetPresetName(0), "Empty");

  TestPlug gaps("1-1", 3);
  gaps.MakePreset("A", 0.1, 1, 0);
  gaps.MutablePreset(2)->mInitialized = true;
  gaps.MutablePreset(2)->SetName("C");
  gaps.PruneUninitializedPresets();
  ASSERT_EQ(gaps.NPresets(), 2);
  EXPECT_STREQ(gaps.GetPresetName(0), "A");
  EXPECT_STREQ(gaps.GetPresetName(1), "C");

  const std::string longName(400, 'L');
  TestPlug named("1-1", 1);
  named.MakePreset(longName.c_str(), 0.1, 1, 0);
  EXPECT_EQ(std::string(named.GetPresetName(0)), longName.substr(0, MAX_PRESET_NAME_LEN - 1));
}

TEST(IPlugBaseStateTest, PresetBankRoundTripsAndReencodesClampedValues) {
  TestPlug source("1-1", 3);
  source.MakePreset("Loud", 1.0, 5, 1);
  source.MakePreset("", 0.2, 9, 0);  // empty name, out-of-range stage count
  ByteChunk bank;
  EXPECT_TRUE(source.SerializePresets(&bank));

  TestPlug target("1-1", 3);
  target.MakePreset("Old", 0.3, 3, 1);
  target.MakePreset("Older", 0.4, 4, 1);
  target.MakePreset("Oldest", 0.5, 5, 1);
  EXPECT_EQ(target.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(target.GetPresetName(0), "Loud");
  EXPECT_STREQ(target.GetPresetName(1), "");  // not the previous preset's name
  EXPECT_STREQ(target.GetPresetName(2), "empty");
  EXPECT_FALSE(target.Preset(2)->mInitialized);
  ByteChunk clamped = Doubles({0.2, 5.0, 0.0});
  EXPECT_TRUE(target.Preset(1)->mChunk.IsEqual(clamped));
  // The current preset (0) is restored at the end.
  EXPECT_EQ(Values(target), (std::vector<double>{1.0, 5.0, 1.0}));

  ByteChunk again;
  target.SerializePresets(&again);
  ByteChunk expected;
  source.UnserializePresets(&bank, 0);  // clamps source's own preset 1 too
  source.SerializePresets(&expected);
  EXPECT_TRUE(again.IsEqual(expected));
}

TEST(IPlugBaseStateTest, TruncatedPresetBankStopsWithoutTouchingLaterPresets) {
  TestPlug source("1-1", 2);
  source.MakePreset("First", 0.1, 1, 0);
  source.MakePreset("Second", 0.2, 2, 1);
  ByteChunk bank;
  source.SerializePresets(&bank);
  for (int cut = 0; cut < bank.Size(); ++cut) {
    ByteChunk partial;
    partial.PutBytes(bank.GetBytes(), cut);
    TestPlug target("1-1", 2);
    target.MakePreset("Keep0", 0.9, 0, 0);
    target.MakePreset("Keep1", 0.8, 0, 0);
    EXPECT_EQ(target.UnserializePresets(&partial, 0), -1) << cut;
    // A name changes only once its preset's whole header (name and flag) is
    // there: preset 0's header ends at 4 + 5 + 1, preset 1's at 34 + 4 + 6 + 1.
    EXPECT_STREQ(target.GetPresetName(0), cut >= 10 ? "First" : "Keep0") << cut;
    EXPECT_STREQ(target.GetPresetName(1), cut >= 45 ? "Second" : "Keep1") << cut;
  }
}
