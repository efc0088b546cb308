// The morvex commands as a user meets them: help, usage mistakes, files that
// cannot be used, and what the listing and validation commands print.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/morvex/ToolTestSupport.h"

using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;
using tool_test::Morvex;
using tool_test::TempDir;

namespace {

TEST(MorvexCli, EveryCommandHasHelp) {
  TempDir dir;
  for (const char* command : {"render", "presets", "params", "info", "validate", "show", "live"}) {
    const auto run = Morvex({command, "--help"}, dir);
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_THAT(run.out, StartsWith(std::string("usage: morvex ") + command)) << command;
    EXPECT_EQ(run.err, "") << command;
  }
  const auto top = Morvex({"--help"}, dir);
  EXPECT_EQ(top.status, 0);
  for (const char* command : {"render", "presets", "params", "info", "validate", "show", "live"})
    EXPECT_THAT(top.out, HasSubstr(std::string("  ") + command + " ")) << command;
}

TEST(MorvexCli, UsageMistakesExitWithStatusTwoAndSayWhat) {
  TempDir dir;
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"render"}, "render: missing IN and OUT"},
      {{"render", "in.wav"}, "render: missing OUT"},
      {{"render", "a.wav", "b.wav", "c.wav"}, "unexpected argument 'c.wav'"},
      {{"render", "--bogus", "a.wav", "b.wav"}, "unknown option '--bogus'"},
      {{"render", "a.wav", "b.wav", "--block", "0"}, "--block 0: expected a whole number"},
      {{"render", "a.wav", "b.wav", "--block=many"}, "--block many: expected a whole number"},
      // An in-range number with anything after it is no count.
      {{"render", "a.wav", "b.wav", "--block", "64k"},
       "--block 64k: expected a whole number from 1 to 65536"},
      {{"render", "a.wav", "b.wav", "--block", "64.0"}, "--block 64.0: expected a whole number"},
      {{"render", "a", "--output-dir", dir.path(), "--jobs", "2x"},
       "--jobs 2x: expected a whole number from 1 to 64"},
      {{"params", "--sample-rate", "44100Hz"},
       "--sample-rate 44100Hz: expected a whole number from 8000 to 384000"},
      {{"editor", "--snapshot", dir / "e.png", "--scale", "2x"},
       "--scale 2x: expected a whole number from 1 to 2"},
      {{"render", "a.wav", "b.wav", "--format", "mp4"}, "--format mp4: expected same, pcm16"},
      {{"render", "a.wav", "b.wav", "--set", "Mix"}, "--set Mix: expected NAME=VALUE"},
      {{"render", "a.wav", "b.wav", "--preset"}, "--preset needs a value"},
      {{"presets", "extra"}, "presets: unexpected argument 'extra'"},
      {{"params", "--preset"}, "--preset needs a value"},
      {{"info", "--verbose"}, "info: unknown option '--verbose'"},
      {{"validate", "--slow"}, "validate: unknown option '--slow'"},
      {{"validate", "--quick", "--strict"}, "validate: --quick is for the Audio Unit's basic"},
      {{"validate", "--lv2", "urn:a", "urn:b"}, "validate: unexpected argument 'urn:b'"},
      {{"show"}, "show: missing FILE"},
      {{"show", "a.aupreset", "b.aupreset"}, "show: unexpected argument 'b.aupreset'"},
      {{"live", "extra"}, "live: unexpected argument 'extra'"},
      {{"live", "--connect-in", "system,,metro"},
       "--connect-in has an empty port name in 'system,,metro'"},
  };
  for (const auto& c : cases) {
    const auto run = Morvex(c.args, dir);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_THAT(run.err, StartsWith("morvex: error: ")) << c.message;
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(run.out, "");
  }
}

// Inputs and state files that cannot be used fail with status 1 before any
// output exists.
TEST(MorvexCli, UnusableFilesFailWithoutLeavingOutput) {
  TempDir dir;
  const std::string good = dir / "good.wav", flac = dir / "in.flac";
  tool_test::WriteAudio(good, tool_test::Signal(2, 44100, 0.1), 44100,
                        SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  tool_test::WriteAudio(flac, tool_test::Signal(1, 44100, 0.1), 44100,
                        SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  tool_test::WriteAudio(dir / "slow.wav", tool_test::Signal(1, 4000, 0.1), 4000,
                        SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  std::ofstream(dir / "garbage.wav") << "RIFF this is not audio at all";
  std::ofstream(dir / "garbage.aupreset") << "<?xml version=\"1.0\"?><plist><dict><key>";
  std::ofstream(dir / "array.aupreset")
      << "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>";
  std::ofstream(dir / "nodata.aupreset")
      << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>version</key><integer>0"
         "</integer><key>type</key><integer>1</integer><key>subtype</key><integer>2</integer>"
         "<key>manufacturer</key><integer>3</integer><key>name</key><string>x</string>"
         "</dict></plist>";
  // Past 4 GiB (and sparse): a 32-bit build sees its size only through 64-bit
  // file offsets, else stat fails and the file reads as missing.
  std::ofstream(dir / "huge.wav") << "RIFF";
  std::ofstream(dir / "huge.aupreset") << "<?xml";
  std::filesystem::resize_file(dir / "huge.wav", 5ull << 30);
  std::filesystem::resize_file(dir / "huge.aupreset", 5ull << 30);
  const auto before = dir.list();
  const std::string out = dir / "out.wav";

  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"render", dir / "missing.wav", out}, dir / "missing.wav" + ": cannot read (No such file"},
      {{"render", dir / "huge.wav", out}, dir / "huge.wav" + ": not an audio file"},
      {{"render", good, out, "--state", dir / "huge.aupreset"},
       dir / "huge.aupreset" + ": too large for a saved state"},
      {{"render", dir.path(), out}, dir.path() + ": is a folder"},
      {{"render", dir / "garbage.wav", out}, dir / "garbage.wav" + ": not an audio file"},
      {{"render", dir / "slow.wav", out}, "sample rate 4000 Hz is outside 8000 to 384000 Hz"},
      {{"render", flac, dir / "out.flac", "--format", "float"},
       dir / "out.flac" +
           ": a FLAC (Free Lossless Audio Codec) file cannot hold 32 bit float samples\n"},
      {{"render", good, out, "--state", dir / "missing.aupreset"},
       dir / "missing.aupreset" + ": cannot read"},
      {{"render", good, out, "--state", dir / "garbage.aupreset"},
       dir / "garbage.aupreset" + ": not a saved state, the property list is corrupt"},
      {{"render", good, out, "--state", dir / "array.aupreset"}, "is not a dictionary"},
      {{"render", good, out, "--state", dir / "nodata.aupreset"}, "no data under \"data\""},
  };
  for (const auto& c : cases) {
    const auto run = Morvex(c.args, dir);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_THAT(run.err, StartsWith("morvex: error: ")) << c.message;
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(dir.list(), before) << c.message;
  }
}

TEST(MorvexCli, ListsPresetsParametersAndIdentity) {
  TempDir dir;
  const auto presets = Morvex({"presets"}, dir);
  ASSERT_EQ(presets.status, 0) << presets.err;
  EXPECT_EQ(presets.out,
            " 0  Classic Virus\n 1  One Stage\n 2  Twin\n 3  Tri Force\n 4  Winds\n"
            " 5  Hexagon\n 6  Init\n 7  Init\n 8  Init\n 9  Init\nuser presets (" +
                tool_test::UserPresetsOf(dir) + "): none\n");

  const auto params = Morvex({"params"}, dir);
  ASSERT_EQ(params.status, 0) << params.err;
  // Name, value, range, default and meaning: nothing of the plug-in API's
  // jargon (unit kinds, the display of the bare value).
  EXPECT_THAT(params.out, StartsWith("name      value  range   default  meaning\n"
                                     "Mix       0.5    0 to 1  0.5      dry 50% / wet 50%\n"
                                     "Stages    3      0 to 5  3        4 sections\n"));
  EXPECT_THAT(params.out, HasSubstr("\nRate      0.29   0 to 1  0.29     one sweep in 7.22 s\n"));
  EXPECT_THAT(params.out, Not(HasSubstr("generic")));
  EXPECT_THAT(params.out, Not(HasSubstr("indexed")));
  // A preset changes the current values, not the defaults.
  const auto twin = Morvex({"params", "--preset", "twin"}, dir);
  ASSERT_EQ(twin.status, 0) << twin.err;
  EXPECT_THAT(twin.out, HasSubstr("\nMix       0.78   0 to 1  0.5      dry 11% / wet 89%\n"));

  const auto info = Morvex({"info"}, dir);
  ASSERT_EQ(info.status, 0) << info.err;
  for (const char* line :
       {"name               Morvex\n", "manufacturer       Tarnbrook\n",
        "component name     Tarnbrook: Morvex\n", "version            1.0.0 (0x00010000)\n",
        "type               aufx\n", "subtype            zJAu\n", "manufacturer code  Acme\n",
        "channel layouts    1-1 2-2 (inputs-outputs)\n", "latency            0 s\n",
        "Morvex.component\n"})
    EXPECT_THAT(info.out, HasSubstr(line));
}

TEST(MorvexCli, QuickValidationPasses) {
  TempDir dir;
  const auto run = Morvex({"validate", "--quick"}, dir);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("PASS  render 192000 Hz stereo"));
  EXPECT_THAT(run.out, testing::Not(HasSubstr("FAIL")));
  EXPECT_THAT(run.out, HasSubstr("validate: all "));
}

}  // namespace
