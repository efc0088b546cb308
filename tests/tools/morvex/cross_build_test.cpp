// Another build of Morvex, for another processor (the x86-64 build beside
// the 32-bit one), renders the demo clip as this build does with every
// factory preset, and each loads the state the other saved. Both take their
// doubles through SSE2 (the 32-bit build rounds no double on the x87 unit),
// and fused multiply-adds, rounding once, move the engine's samples by at
// most 1e-9. The engine's coefficients come from each build's C library,
// whose sin, cos and pow differ in the last bit for about one argument in a
// thousand between the i386 and x86-64 builds: that moves the engine's
// doubles by about 1e-14, below what the files' floats show on SSE2 for
// this clip, but now and then across a float's rounding point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "effect/dsp/InstructionSet.h"
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

// On SSE2 the two builds write the same bits. Each build's own choice (FMA
// where the processor it sees has it) stays within 1e-9 of its SSE2 render
// and of the other build's choice.
TEST_F(CrossBuildTest, EveryFactoryPresetRendersAlikeInBothBuilds) {
  ASSERT_GE(sPresets.size(), 7u);
  bool fusedSomewhere = false;
  for (const std::string& preset : sPresets) {
    SCOPED_TRACE("preset " + preset);
    const Channels thisSse2 = Render(kThisBin, Arithmetic::kSse2, {"--preset", preset});
    const Channels otherSse2 = Render(kOtherBin, Arithmetic::kSse2, {"--preset", preset});
    ASSERT_FALSE(thisSse2.empty());
    ASSERT_GT(thisSse2[0].size(), 44100u);
    EXPECT_TRUE(SameBits(thisSse2, otherSse2));

    const Channels thisOwn = Render(kThisBin, Arithmetic::kDefault, {"--preset", preset});
    const Channels otherOwn = Render(kOtherBin, Arithmetic::kDefault, {"--preset", preset});
    EXPECT_LE(WorstBeyondFloatRounding(thisOwn, thisSse2), 1e-9);
    EXPECT_LE(WorstBeyondFloatRounding(otherOwn, otherSse2), 1e-9);
    EXPECT_LE(WorstBeyondFloatRounding(thisOwn, otherOwn), 1e-9);
    fusedSomewhere = fusedSomewhere || !SameBits(thisOwn, thisSse2);
  }
  // Where this build fuses, holding it to SSE2 must have changed something.
  if (hasInstructionSet(InstructionSet::kFma)) {
    EXPECT_TRUE(fusedSomewhere);
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
