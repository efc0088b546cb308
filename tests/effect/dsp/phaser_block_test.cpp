#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "effect/dsp/CPhaser.h"
#include "tests/effect/dsp/EngineSettings.h"
#include "tests/effect/dsp/InstructionSets.h"
#include "tests/effect/dsp/PlainOrderChain.h"
#include "tests/effect/dsp/RandomControl.h"
#include "tests/effect/dsp/ReferencePhaser.h"
#include "tests/effect/dsp/TestSignals.h"

namespace {

bool sameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameState(const CAllPass6& a, const CAllPass6& b) {
  bool same = sameBits(a.getIn(), b.getIn()) && sameBits(a.getOut(), b.getOut()) &&
              sameBits(a.getA(), b.getA()) && sameBits(a.getB(), b.getB());
  for (int i = 0; i < CAllPass6::kSections; ++i) {
    const CAllPass6::Section &s = a.getSection(i), &t = b.getSection(i);
    same = same && sameBits(s.x1, t.x1) && sameBits(s.x2, t.x2) && sameBits(s.y1, t.y1) &&
           sameBits(s.y2, t.y2);
  }
  return same;
}

enum class Input { kNoise, kSilence, kOneSided, kAntiPhase, kFaulty };

// Noise that drives the chains hard, digital silence, silence on the left
// only (that chain decays until its state needs flushing), anti-phase
// stereo, or noise sprinkled with samples the engine must treat as silence.
void fill(std::mt19937& rng, Input kind, std::vector<double>& l, std::vector<double>& r) {
  const double faults[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), -1e30, CPhaser::kMaxInput * 2};
  std::uniform_real_distribution<double> sample(-1.5, 1.5);
  for (size_t i = 0; i < l.size(); ++i) {
    l[i] = kind == Input::kSilence || kind == Input::kOneSided ? 0.0 : sample(rng);
    r[i] = kind == Input::kSilence ? 0.0 : kind == Input::kAntiPhase ? -l[i] : sample(rng);
    if (kind == Input::kFaulty && rng() % 50 == 0) (rng() % 2 ? l[i] : r[i]) = faults[rng() % 4];
  }
}

bool sameAboveFlush(double a, double b) {
  return sameBits(a, b) || std::fabs(a - b) < 1e-200;
}

double faultAsSilence(double x) {
  return std::fabs(x) <= CPhaser::kMaxInput ? x : 0.0;
}

// Runs one engine on blocks and another frame by frame through the same
// random session, failing on the first bit that differs, and the frame by
// frame one against the plain law.
void blocksAgainstFrames(InstructionSet set, unsigned seed) {
  CPhaser blocks, frames;
  ReferencePhaser law;
  blocks.setInstructionSet(set);
  frames.setInstructionSet(set);
  law.setInstructionSet(set);
  std::mt19937 rng(seed);
  int runLeft = 0;
  Input kind = Input::kNoise;
  long shortcutFrames = 0;  // frames the silence shortcut took
  for (int block = 0; block < 600; ++block) {
    // Silence comes in runs of blocks long enough for tails to ring out,
    // with nothing set meanwhile but the stage count, which leaves the
    // sections it stops in the state they reached.
    if (runLeft > 0) {
      --runLeft;
      if (rng() % 4 == 0) {
        const int stages = static_cast<int>(rng() % 6);
        blocks.setStages(stages), frames.setStages(stages), law.setStages(stages);
      }
    } else {
      kind = static_cast<Input>(rng() % 5);
      if (kind == Input::kSilence || kind == Input::kOneSided)
        runLeft = static_cast<int>(rng() % 24);
      for (int op = static_cast<int>(rng() % 3); op > 0; --op)
        randomControl(rng, blocks, frames, law);
      // Feedback beyond ±1 rings up until a chain clears itself.
      if (rng() % 12 == 0) blocks.setFeedback(1.4), frames.setFeedback(1.4), law.setFeedback(1.4);
    }
    const size_t n = 1 + rng() % 4096;
    std::vector<double> inL(n), inR(n), outL(n), outR(n);
    fill(rng, kind, inL, inR);
    if (rng() % 2) {  // in place
      outL = inL, outR = inR;
      blocks.processBlock(outL.data(), outR.data(), outL.data(), outR.data(), static_cast<int>(n));
    } else {
      blocks.processBlock(inL.data(), inR.data(), outL.data(), outR.data(), static_cast<int>(n));
    }
    for (size_t i = 0; i < n; ++i) {
      const double chainOutBefore = frames.getAllPassL().getOut();
      frames.process(inL[i], inR[i]);
      law.process(faultAsSilence(inL[i]), faultAsSilence(inR[i]));
      if (!sameBits(outL[i], frames.getOutL()) || !sameBits(outR[i], frames.getOutR()) ||
          !sameAboveFlush(law.outL, frames.getOutL()) ||
          !sameAboveFlush(law.outR, frames.getOutR())) {
        ADD_FAILURE() << "block " << block << " frame " << i << " of " << n << ": blocks "
                      << outL[i] << " " << outR[i] << ", frames " << frames.getOutL() << " "
                      << frames.getOutR() << ", law " << law.outL << " " << law.outR;
        return;
      }
      shortcutFrames +=
          inL[i] == 0.0 && inR[i] == 0.0 && frames.getAllPassL().getOut() == chainOutBefore;
    }
    if (!sameState(blocks.getAllPassL(), frames.getAllPassL()) ||
        !sameState(blocks.getAllPassR(), frames.getAllPassR()) ||
        !sameBits(blocks.getOutL(), frames.getOutL()) ||
        !sameBits(blocks.getOutR(), frames.getOutR())) {
      ADD_FAILURE() << "the state differs after block " << block;
      return;
    }
  }
  EXPECT_GT(shortcutFrames, 100000);
  EXPECT_EQ(blocks.getCounter(), frames.getCounter());
  EXPECT_TRUE(sameBits(blocks.getSmoothFbL().getState(), frames.getSmoothFbL().getState()));
  EXPECT_TRUE(sameBits(blocks.getOscillator().getPhase(), frames.getOscillator().getPhase()));
}

}  // namespace

// Where a block ends must not matter: settings, stage counts (the invalid
// ones too) and resets between blocks, every block size up to 4096, the
// silence shortcut, the settling after a reset, faulty samples and blocks
// processed in place all give the samples and leave the state that
// process() frame by frame does, and both follow the plain law, in every
// build of the loop.
TEST(PhaserBlockTest, BlocksGiveWhatFrameByFrameGives) {
  for (InstructionSet set : availableInstructionSets()) {
    SCOPED_TRACE(nameOf(set));
    blocksAgainstFrames(set, 41);
  }
}

// The sections are grouped so that only a·u waits for their input, and
// fused multiply-adds round once where the plain order rounds each step:
// at the most resonant settings, where rounding differences ring longest, a
// minute of noise must stay within 1e-9 of the plain order of operations.
TEST(PhaserBlockTest, StaysWithinANanoOfThePlainOrderAtTheMostResonantSettings) {
  constexpr double kSampleRate = 44100.0;
  const int frames = static_cast<int>(60 * kSampleRate);
  const std::vector<double> l = noise(frames, 43, 0.05), r = noise(frames, 44, 0.05);
  for (InstructionSet set : availableInstructionSets()) {
    for (double feedback : {0.0, 1.0}) {
      SCOPED_TRACE(testing::Message() << nameOf(set) << ", feedback setting " << feedback);
      const EngineSettings resonant = {1.0, 5, 0.0, feedback, 0.0, 0.29, 1.0};
      CPhaser engine;
      BasicReferencePhaser<PlainOrderChain> plain;
      engine.setInstructionSet(set);
      for (auto* e : {&engine})
        e->reset(kSampleRate), apply(*e, resonant);
      plain.reset(kSampleRate);
      apply(plain, resonant);

      std::vector<double> outL(frames), outR(frames);
      for (int at = 0; at < frames; at += 512) {
        const int n = std::min(512, frames - at);
        engine.processBlock(&l[at], &r[at], &outL[at], &outR[at], n);
      }
      double worst = 0.0, loudest = 0.0;
      int unclipped = 0;
      for (int i = 0; i < frames; ++i) {
        plain.process(l[i], r[i]);
        worst = std::max({worst, std::fabs(outL[i] - plain.outL), std::fabs(outR[i] - plain.outR)});
        loudest = std::max(loudest, std::fabs(plain.outL));
        unclipped += std::fabs(plain.outL) < 1.0 && std::fabs(plain.outR) < 1.0;
      }
      EXPECT_LT(worst, 1e-9);
      // The comparison means something only where the chains ring loudly
      // and the clamp hides nothing.
      EXPECT_GT(loudest, 0.3);
      EXPECT_GT(unclipped, frames * 99 / 100);
      RecordProperty(std::string(nameOf(set)) + (feedback > 0.5 ? " +0.94" : " -0.94"),
                     testing::PrintToString(worst));
    }
  }
}

// MORVEX_INSTRUCTION_SET=sse2 holds new engines to SSE2, so that renders can
// be compared bit for bit across machines and builds; nothing else does.
TEST(PhaserBlockTest, TheEnvironmentCanHoldNewEnginesToSse2) {
  EXPECT_EQ(defaultInstructionSet("sse2"), InstructionSet::kSse2);
  for (const char* other : {static_cast<const char*>(nullptr), "", "fma", "SSE2", "sse2 ", "avx"})
    EXPECT_EQ(defaultInstructionSet(other), fastestInstructionSet()) << (other ? other : "unset");
  EXPECT_EQ(CPhaser().getInstructionSet(),
            defaultInstructionSet(std::getenv("MORVEX_INSTRUCTION_SET")));
}
