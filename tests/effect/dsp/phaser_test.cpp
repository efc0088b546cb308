#include "effect/dsp/CPhaser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/effect/dsp/TestSignals.h"

namespace {

// Runs frames of stereo noise; returns the outputs interleaved.
std::vector<double> render(CPhaser& p, const std::vector<double>& l, const std::vector<double>& r) {
  std::vector<double> out;
  out.reserve(2 * l.size());
  for (size_t i = 0; i < l.size(); ++i) {
    p.process(l[i], r[i]);
    out.push_back(p.getOutL());
    out.push_back(p.getOutR());
  }
  return out;
}

void settle(CPhaser& p, int frames) {
  const std::vector<double> l = noise(frames, 101, 0.1), r = noise(frames, 102, 0.1);
  render(p, l, r);
}

}  // namespace

// The depth smoother moves the LFO's span at every control update and only then.
TEST(PhaserTest, ControlUpdateRunsOnEveryEighthProcessedFrame) {
  CPhaser p;
  double scale = p.getOscillator().getScale();
  for (int frame = 1; frame <= 7; ++frame) {
    p.process(0.1, 0.2);
    EXPECT_EQ(p.getCounter(), 7 - frame);
    EXPECT_EQ(p.getOscillator().getScale(), scale);
  }
  int updates = 0;
  for (int frame = 0; frame < 800; ++frame) {
    p.process(0.1, 0.2);
    if (p.getOscillator().getScale() != scale) ++updates;
    scale = p.getOscillator().getScale();
  }
  EXPECT_EQ(updates, 100);
}

TEST(PhaserTest, SettersFollowTheirLaws) {
  CPhaser p;
  const double spreads[] = {0.0, 0.25, 0.5, 0.75, 1.0};
  const double qs[] = {3.8953, 1.8169, 1.011, 0.645, 0.3953};
  for (int i = 0; i < 5; ++i) {
    p.setSpread(spreads[i]);
    EXPECT_NEAR(p.getQ(), qs[i], 5e-4) << spreads[i];
  }

  // Nominal base frequency 32 Hz .. 22050 Hz, the left chain 5 % below.
  const double settings[] = {0.0, 0.5, 1.0};
  const double hz[] = {32.0, 735.0, 22050.0};
  for (int i = 0; i < 3; ++i) {
    p.setFreq(settings[i]);
    EXPECT_EQ(p.getFreqShape(), std::pow(settings[i], 1.06));
    EXPECT_NEAR(p.getFreqR() * 22050.0 / hz[i], 1.0, 2e-3) << settings[i];
    EXPECT_EQ(p.getFreqL(), 0.95 * p.getFreqR());
  }

  p.setFeedback(0.0);
  EXPECT_DOUBLE_EQ(p.getFeedback(), -0.94);
  p.setFeedback(0.5);
  EXPECT_EQ(p.getFeedback(), 0.0);
  p.setFeedback(1.0);
  EXPECT_DOUBLE_EQ(p.getFeedback(), 0.94);

  p.setMix(0.0);
  EXPECT_EQ(p.getDry(), 0.0);
  EXPECT_EQ(p.getWet(), 1.0);
  // 1.5708 is a little above π/2, so "all input" leaves a trace of inverted chain.
  p.setMix(1.0);
  EXPECT_NEAR(p.getDry(), 1.0, 1e-10);
  EXPECT_NEAR(p.getWet(), -3.6732e-6, 1e-9);

  p.setRate(0.42);
  p.setDepth(0.17);
  EXPECT_EQ(p.getRate(), 0.42);
  EXPECT_EQ(p.getDepth(), 0.17);
}

TEST(PhaserTest, SettersOtherThanStagesLeaveTheEngineStateAlone) {
  CPhaser p;
  p.setRate(1.0);
  settle(p, 3000);
  const double phase = p.getOscillator().getPhase(), out = p.getAllPassL().getOut();
  p.setFreq(0.7);
  p.setFeedback(0.9);
  p.setSpread(0.1);
  p.setRate(0.2);
  p.setDepth(0.3);
  p.setMix(0.8);
  p.getlfo();
  EXPECT_EQ(p.getOscillator().getPhase(), phase);
  EXPECT_EQ(p.getAllPassL().getOut(), out);
}

// A change of the stage count sets how many sections run and nothing else:
// the sweep goes on where it was, as in an engine never changed.
TEST(PhaserTest, StagesChangeOnlyTheSectionCount) {
  CPhaser changed, steady;
  const std::vector<double> l = noise(6000, 7), r = noise(6000, 8);
  for (CPhaser* p : {&changed, &steady}) {
    p->setRate(1.0);
    p->setStages(3);
  }
  std::vector<double> head(l.begin(), l.begin() + 3001), headR(r.begin(), r.begin() + 3001);
  render(changed, head, headR);
  render(steady, head, headR);
  ASSERT_NE(changed.getOscillator().getPhase(), 0.0);
  changed.setStages(3);
  changed.setStages(5);
  for (size_t i = 3001; i < l.size(); ++i) {
    changed.process(l[i], r[i]);
    steady.process(l[i], r[i]);
    ASSERT_EQ(changed.getOscillator().getPhase(), steady.getOscillator().getPhase()) << i;
    ASSERT_EQ(changed.getLfoValue(), steady.getLfoValue()) << i;
    ASSERT_EQ(changed.getAllPassR().getfr(), steady.getAllPassR().getfr()) << i;
  }
  EXPECT_NE(changed.getOutL(), steady.getOutL());  // six sections against four

  // 5, 9 and -1 all run six sections; every setting from 0 to 5 sounds different.
  std::vector<std::vector<double>> outs;
  const std::vector<double> shortL(l.begin(), l.begin() + 4000),
      shortR(r.begin(), r.begin() + 4000);
  for (int n : {0, 1, 2, 3, 4, 5, 9, -1}) {
    CPhaser q;
    q.setStages(n);
    outs.push_back(render(q, shortL, shortR));
  }
  EXPECT_EQ(outs[6], outs[5]);
  EXPECT_EQ(outs[7], outs[5]);
  for (int a = 0; a < 6; ++a) {
    for (int b = a + 1; b < 6; ++b)
      EXPECT_NE(outs[a], outs[b]) << a << " vs " << b;
  }
}

// Digital silence skips the chains only once they have rung out, and never
// the sweep: across a gap of exact zeros the LFO, the counter and the
// smoothers move exactly as across a gap of noise at -135 dBFS.
TEST(PhaserTest, SilenceSkipsTheChainsOnlyAfterTheTailAndKeepsTheSweepGoing) {
  CPhaser zeros, hiss;
  for (CPhaser* p : {&zeros, &hiss}) {
    p->setStages(5);
    p->setSpread(0.0);
    p->setFeedback(0.9);
    p->setRate(0.8);
    settle(*p, 5000);
  }
  const std::vector<double> tinyL = noise(44100, 11, 1.8e-7), tinyR = noise(44100, 12, 1.8e-7);
  int ringing = 0;
  for (int i = 0; i < 44100; ++i) {
    const CAllPass6::Section before = zeros.getAllPassR().getSection(5);
    const double out = zeros.getAllPassL().getOut();
    zeros.process(0.0, i % 2 ? 0.0 : -0.0);
    hiss.process(tinyL[static_cast<size_t>(i)], tinyR[static_cast<size_t>(i)]);
    const bool skipped =
        zeros.getAllPassL().getOut() == out && zeros.getAllPassR().getSection(5).y1 == before.y1;
    if (!skipped) {
      ASSERT_EQ(ringing, i) << "the chains ran again after a skipped frame";
      ASSERT_NE(zeros.getOutL(), 0.0) << "tail cut at frame " << i;
      ++ringing;
    } else {
      ASSERT_EQ(zeros.getOutL(), 0.0);
      ASSERT_EQ(zeros.getOutR(), 0.0);
    }
    ASSERT_EQ(zeros.getCounter(), hiss.getCounter()) << i;
    ASSERT_EQ(zeros.getOscillator().getPhase(), hiss.getOscillator().getPhase()) << i;
    ASSERT_EQ(zeros.getLfoValue(), hiss.getLfoValue()) << i;
    ASSERT_EQ(zeros.getSmoothFbL().getState(), hiss.getSmoothFbL().getState()) << i;
  }
  EXPECT_GT(ringing, 1000);
  EXPECT_LT(ringing, 44100);
  EXPECT_LT(std::fabs(zeros.getAllPassL().getOut()), 1e-12);
  EXPECT_EQ(zeros.getAllPassR().getfr(), hiss.getAllPassR().getfr());
  EXPECT_EQ(zeros.getlfo(), hiss.getlfo());
}
TEST(PhaserTest, OutputIsClippedToExactlyPlusMinusOne) {
  CPhaser p;
  p.setStages(5);
  p.setFeedback(1.0);
  const std::vector<double> out = render(p, noise(20000, 11, 4.0), noise(20000, 12, 4.0));
  int high = 0, low = 0;
  for (double v : out) {
    ASSERT_GE(v, -1.0);
    ASSERT_LE(v, 1.0);
    high += v == 1.0;
    low += v == -1.0;
  }
  EXPECT_GT(high, 100);
  EXPECT_GT(low, 100);
}

TEST(PhaserTest, ResetKeepsTheTuningInHzAndRestartsTheEngine) {
  CPhaser p;
  p.setFreq(0.4);
  p.setRate(1.0);
  settle(p, 2000);
  const double at44 = p.getFreqR();
  EXPECT_EQ(at44, 2.0 / 44100.0 * 32.0 * std::pow(2.0, 9.42849 * std::pow(0.4, 1.06)));
  for (double rate : {48000.0, 96000.0, 8000.0, 96000.0}) {
    p.reset(rate);
    EXPECT_EQ(p.getFreqR(), at44) << rate;
  }
  EXPECT_EQ(p.getFreqL(), 0.95 * p.getFreqR());
  EXPECT_EQ(p.getFreqShape(), std::pow(0.4, 1.06));

  // Seen from the audio thread before its next frame: sweep restarted and
  // stepped once by the reset's own control update, filters cleared.
  p.getlfo();
  EXPECT_EQ(p.getOscillator().getSampleRate(), 96000.0);
  EXPECT_EQ(p.getOscillator().getPhase(), p.getOscillator().getInc());
  EXPECT_EQ(p.getCounter(), 7);
  EXPECT_EQ(p.getOutL(), 0.0);
  for (const CAllPass6* c : {&p.getAllPassL(), &p.getAllPassR()}) {
    EXPECT_EQ(c->getSampleRate(), 96000.0);
    EXPECT_EQ(c->getOut(), 0.0);
    EXPECT_EQ(c->getSection(0).y1, 0.0);
    EXPECT_NE(c->getA(), 0.0);
  }
  p.process(0.1, 0.1);
  EXPECT_EQ(p.getCounter(), 6);
}
TEST(PhaserTest, LfoDisplayMapsThirtyTwoHzToZeroAndNyquistToOne) {
  EXPECT_NEAR(CPhaser::displayPosition(32.0), 0.0, 1e-9);
  EXPECT_NEAR(CPhaser::displayPosition(840.0), 0.514, 1e-3);
  EXPECT_NEAR(CPhaser::displayPosition(22050.0), 1.0, 1e-5);
  for (double below : {31.9, 10.0, 0.0, std::nan("")}) {
    EXPECT_EQ(CPhaser::displayPosition(below), 0.0) << below;
  }
  double previous = -1.0;
  for (double hz = 32.0; hz <= 22050.0; hz *= 1.01) {
    const double v = CPhaser::displayPosition(hz);
    ASSERT_GT(v, previous) << hz;
    previous = v;
  }

  // At full frequency the right chain sits at its 0.982 ceiling.
  CPhaser top;
  top.setFreq(1.0);
  settle(top, 40000);
  EXPECT_EQ(top.getAllPassR().getfr(), 0.982);
  EXPECT_NEAR(top.getAllPassL().getfr(), 0.9546, 1e-4);
  EXPECT_EQ(top.getlfo(), CPhaser::displayPosition(0.982 * 22050.0));
  // The frequency smoothers start at 0, so a new engine sits on the 0.0015
  // floor, 33 Hz at every rate.
  CPhaser floor;
  floor.reset(32000.0);
  EXPECT_EQ(floor.getAllPassR().getfr(), 0.0015);
  EXPECT_EQ(floor.getlfo(), CPhaser::displayPosition(0.0015 * 22050.0));
  // The display shows the frequency the sections sound, whatever the rate.
  for (double rate : {8000.0, 48000.0, 96000.0, 192000.0}) {
    CPhaser atRate;
    atRate.reset(rate);
    atRate.setFreq(0.5);
    settle(atRate, 40000);
    EXPECT_EQ(atRate.getlfo(), CPhaser::displayPosition(atRate.getAllPassR().getfr() * 22050.0));
  }
}

TEST(PhaserTest, FullDepthSweepsFromTheFloorToTheCeiling) {
  CPhaser p;
  p.setRate(0.8);  // fine enough steps to come within one table entry of the top
  settle(p, 40000);
  double minR = 1.0, maxR = 0.0, minL = 1.0, maxL = 0.0;
  for (int i = 0; i < 15000; ++i) {
    p.process(0.1, 0.1);
    minR = std::min(minR, p.getAllPassR().getfr());
    maxR = std::max(maxR, p.getAllPassR().getfr());
    minL = std::min(minL, p.getAllPassL().getfr());
    maxL = std::max(maxL, p.getAllPassL().getfr());
  }
  EXPECT_EQ(minR, 0.0015);
  EXPECT_EQ(maxR, 0.982);
  EXPECT_EQ(minL, 0.0015);
  EXPECT_NEAR(maxL, 0.9498, 0.01);
}

// Fully wet without feedback the engine is a pure all-pass: the output keeps
// the input's energy, which a wrong coefficient sign would not.
TEST(PhaserTest, FullyWetWithoutFeedbackKeepsTheSignalEnergy) {
  const double freqs[] = {0.0, 0.3, 0.8};
  const double spreads[] = {1.0, 0.5, 0.0};
  for (int stages : {0, 2, 5}) {
    for (int k = 0; k < 3; ++k) {
      CPhaser p;
      p.setMix(0.0);
      p.setFeedback(0.5);
      p.setDepth(0.0);
      p.setStages(stages);
      p.setFreq(freqs[k]);
      p.setSpread(spreads[k]);
      settle(p, 60000);
      const int n = 1 << 17;
      const std::vector<double> l = noise(n, 13, 0.25), r = noise(n, 14, 0.25);
      const std::vector<double> out = render(p, l, r);
      double in = 0.0, wetEnergy = 0.0;
      for (int i = 0; i < n; ++i)
        in += l[i] * l[i] + r[i] * r[i];
      for (double v : out)
        wetEnergy += v * v;
      EXPECT_NEAR(wetEnergy / in, 1.0, 5e-3) << "stages " << stages << " setting " << k;
    }
  }
}

// Two engines fed alike stay alike, whatever else is called between frames:
// display reads, setters rewriting the same values, or the run cut into pieces.
TEST(PhaserTest, ProcessingIsDeterministicAndIndependentOfCallPattern) {
  CPhaser a, b;
  for (CPhaser* p : {&a, &b}) {
    p->setStages(4);
    p->setFreq(0.2);
    p->setRate(0.8);
    p->setFeedback(0.85);
  }
  const std::vector<double> l = noise(30000, 15), r = noise(30000, 16);
  const std::vector<double> whole = render(a, l, r);
  std::vector<double> pieces;
  for (size_t start = 0; start < l.size(); start += 777) {
    const size_t end = std::min(l.size(), start + 777);
    const std::vector<double> pl(l.begin() + start, l.begin() + end);
    const std::vector<double> pr(r.begin() + start, r.begin() + end);
    const std::vector<double> part = render(b, pl, pr);
    pieces.insert(pieces.end(), part.begin(), part.end());
    b.getlfo();
    b.setFreq(0.2);
    b.setFeedback(0.85);
    b.setMix(0.5);
  }
  EXPECT_EQ(whole, pieces);
}

// reset() acts on the audio thread's next entry, yet as if it had acted at
// once: each in turn, with the settings of its moment.
TEST(PhaserTest, ResetsTakeEffectInCallOrder) {
  // Each reset runs a control update, so two resets step the smoothers twice
  // (seen through the depth smoother, which sets the sweep's span).
  CPhaser once, twice, onceAndCalc;
  once.reset(48000.0);
  twice.reset(48000.0);
  twice.reset(48000.0);
  onceAndCalc.reset(48000.0);
  onceAndCalc.calc();
  once.getlfo();
  twice.getlfo();
  EXPECT_EQ(twice.getOscillator().getScale(), onceAndCalc.getOscillator().getScale());
  EXPECT_NE(twice.getOscillator().getScale(), once.getOscillator().getScale());

  // A reset's control update uses the settings at the time of the reset,
  // not those written after it.
  CPhaser early, late;
  early.reset(48000.0);
  early.getlfo();
  early.setDepth(0.0);
  late.reset(48000.0);
  late.setDepth(0.0);
  late.getlfo();
  EXPECT_EQ(late.getOscillator().getScale(), early.getOscillator().getScale());
}
