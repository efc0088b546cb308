// Another build of Morvex, for another processor (the x86-64 build beside
// the 32-bit one), renders the demo clip as this build does with every
// factory preset, and each loads the state the other saved. Both take their
// doubles through SSE2 (the 32-bit build rounds no double on the x87 unit),
// so on the same arithmetic path the samples are the same bits; only fused
// multiply-adds, rounding once, move them, by at most 1e-9 in the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/morvex/ToolTestSupport.h"

using namespace tool_test;

namespace {

const std::string kThisBin = MORVEX_THIS_BIN;
const std::string kOtherBin = MORVEX_OTHER_BIN;

enum class Arithmetic { kDefault, kSse2 };

// Sets MORVEX_INSTRUCTION_SET for the programs started in its lifetime.
class ArithmeticGuard {
 public:
  explicit ArithmeticGuard(Arithmetic arithmetic) {
    if (arithmetic == Arithmetic::kSse2) {
      setenv("MORVEX_INSTRUCTION_SET", "sse2", 1);
    } else {
      unsetenv("MORVEX_INSTRUCTION_SET");
    }
  }
  ~ArithmeticGuard() { unsetenv("MORVEX_INSTRUCTION_SET"); }
};

bool SameBits(const Channels& a, const Channels& b) {
  if (a.size() != b.size()) return false;
  for (size_t c = 0; c < a.size(); ++c) {
    if (a[c].size() != b[c].size() ||
        std::memcmp(a[c].data(), b[c].data(), a[c].size() * sizeof(float)) != 0)
      return false;
  }
  return true;
}

// The largest difference between the files' samples beyond what rounding the
// engine's doubles to the files' floats allows: two doubles 1e-9 apart
// round to floats at most 1e-9 plus one float step apart.
double WorstBeyondFloatRounding(const Channels& a, const Channels& b) {
  double worst = 0;
  for (size_t c = 0; c < a.size(); ++c) {
    for (size_t i = 0; i < a[c].size(); ++i) {
      const float larger = std::fmax(std::fabs(a[c][i]), std::fabs(b[c][i]));
      const double step = double(std::nextafter(larger, INFINITY)) - larger;
      worst = std::fmax(worst, std::fabs(double(a[c][i]) - double(b[c][i])) - step);
    }
  }
  return worst;
}

class CrossBuildTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    sScratch = new TempDir;
    const tool_test::Run clip =
        RunProgram(kThisBin + "/morvex-demo", {"clip", Clip()}, sScratch->path());
    ASSERT_EQ(clip.status, 0) << clip.err;
    const tool_test::Run listed = RunProgram(kThisBin + "/morvex", {"presets"}, sScratch->path());
    ASSERT_EQ(listed.status, 0) << listed.err;
    std::istringstream lines(listed.out);
    int number;
    std::string name;
    while (lines >> number && std::getline(lines, name))
      sPresets.push_back(std::to_string(number));
  }
  static void TearDownTestSuite() {
    delete sScratch;
    sScratch = nullptr;
    sPresets.clear();
  }

  static std::string Clip() { return *sScratch / "clip.wav"; }

  // Renders the clip as 32-bit floats with the bin folder's morvex.
  Channels Render(const std::string& bin, Arithmetic arithmetic,
                  const std::vector<std::string>& settings) {
    const ArithmeticGuard guard(arithmetic);
    const std::string out = mDir / "out.wav";
    std::vector<std::string> args = {"render", Clip(), out, "--format", "float", "--quiet"};
    args.insert(args.end(), settings.begin(), settings.end());
    const tool_test::Run run = RunProgram(bin + "/morvex", args, mDir.path());
    EXPECT_EQ(run.status, 0) << bin << ": " << run.err;
    const Audio audio = ReadAudio(out);
    EXPECT_EQ(audio.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
    return audio.channels;
  }

  static TempDir* sScratch;
  static std::vector<std::string> sPresets;
  TempDir mDir;
};

TempDir* CrossBuildTest::sScratch = nullptr;
std::vector<std::string> CrossBuildTest::sPresets;

TEST_F(CrossBuildTest, BothBuildsWriteTheSameDemoClip) {
  const tool_test::Run clip =
      RunProgram(kOtherBin + "/morvex-demo", {"clip", mDir / "clip.wav"}, mDir.path());
  ASSERT_EQ(clip.status, 0) << clip.err;
  EXPECT_EQ(Slurp(mDir / "clip.wav"), Slurp(Clip()));
}

// On SSE2 the two builds agree to the bit. Each build's own choice (FMA
// where the processor it sees has it) agrees to the bit when both choose
// alike, and within 1e-9 otherwise, as SSE2 and FMA agree in either build.
TEST_F(CrossBuildTest, EveryFactoryPresetRendersAlikeInBothBuilds) {
  ASSERT_GE(sPresets.size(), 7u);
  bool thisFused = false, otherFused = false;
  std::vector<Channels> thisDefault, otherDefault;
  for (const std::string& preset : sPresets) {
    SCOPED_TRACE("preset " + preset);
    const Channels thisSse2 = Render(kThisBin, Arithmetic::kSse2, {"--preset", preset});
    const Channels otherSse2 = Render(kOtherBin, Arithmetic::kSse2, {"--preset", preset});
    ASSERT_FALSE(thisSse2.empty());
    ASSERT_GT(thisSse2[0].size(), 44100u);
    EXPECT_TRUE(SameBits(thisSse2, otherSse2));

    thisDefault.push_back(Render(kThisBin, Arithmetic::kDefault, {"--preset", preset}));
    otherDefault.push_back(Render(kOtherBin, Arithmetic::kDefault, {"--preset", preset}));
    EXPECT_LE(WorstBeyondFloatRounding(thisDefault.back(), thisSse2), 1e-9);
    EXPECT_LE(WorstBeyondFloatRounding(otherDefault.back(), otherSse2), 1e-9);
    EXPECT_LE(WorstBeyondFloatRounding(thisDefault.back(), otherDefault.back()), 1e-9);
    // Rounding once moves some sample of a few seconds of phasing: a build
    // whose choice renders SSE2's bits throughout has chosen SSE2.
    thisFused = thisFused || !SameBits(thisDefault.back(), thisSse2);
    otherFused = otherFused || !SameBits(otherDefault.back(), otherSse2);
  }
  RecordProperty("this build fuses", thisFused);
  RecordProperty("other build fuses", otherFused);
  if (thisFused == otherFused) {
    for (size_t p = 0; p < sPresets.size(); ++p)
      EXPECT_TRUE(SameBits(thisDefault[p], otherDefault[p])) << "preset " << sPresets[p];
  }
}

// A state saved by either build loads in the other to the same sound.
TEST_F(CrossBuildTest, EachBuildLoadsTheStateTheOtherSaved) {
  for (const std::string& preset : sPresets) {
    SCOPED_TRACE("preset " + preset);
    const std::string thisState = mDir / "this.aupreset", otherState = mDir / "other.aupreset";
    const Channels thisRender =
        Render(kThisBin, Arithmetic::kSse2, {"--preset", preset, "--save-state", thisState});
    const Channels otherRender =
        Render(kOtherBin, Arithmetic::kSse2, {"--preset", preset, "--save-state", otherState});
    ASSERT_TRUE(SameBits(thisRender, otherRender));
    // The class-info dictionary and its chunk are the same bytes in both.
    EXPECT_EQ(Slurp(thisState), Slurp(otherState));
    EXPECT_TRUE(SameBits(Render(kThisBin, Arithmetic::kSse2, {"--state", otherState}), thisRender));
    EXPECT_TRUE(SameBits(Render(kOtherBin, Arithmetic::kSse2, {"--state", thisState}), thisRender));
  }
}

}  // namespace
