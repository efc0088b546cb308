#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "effect/dsp/CLfo.h"
#include "effect/dsp/CPhaser.h"
#include "tests/effect/dsp/EngineSettings.h"
#include "tests/effect/dsp/ReferencePhaser.h"
#include "tests/effect/dsp/TestSignals.h"

// What a listener would hear, measured in levels: these faults each damaged
// ordinary recordings while every frame stayed within the engine's laws.
namespace {

struct Stereo {
  std::vector<double> l, r;
};

template <class Engine>
Stereo render(Engine& e, const std::vector<double>& l, const std::vector<double>& r) {
  Stereo out{std::vector<double>(l.size()), std::vector<double>(l.size())};
  for (size_t i = 0; i < l.size(); ++i) {
    e.process(l[i], r[i]);
    if constexpr (std::is_same_v<Engine, CPhaser>) {
      out.l[i] = e.getOutL(), out.r[i] = e.getOutR();
    } else {
      out.l[i] = e.outL, out.r[i] = e.outR;
    }
  }
  return out;
}

// An engine as a host prepares it: rate first, then every parameter.
template <class Engine>
void prepare(Engine& e, double sampleRate, const EngineSettings& s) {
  e.reset(sampleRate);
  apply(e, s);
}

double rmsDb(const std::vector<double>& v, size_t from, size_t to) {
  double sum = 0.0;
  for (size_t i = from; i < to; ++i)
    sum += v[i] * v[i];
  return 10.0 * std::log10(sum / static_cast<double>(to - from) + 1e-300);
}

double rmsDb(const std::vector<double>& v) {
  return rmsDb(v, 0, v.size());
}

// Fourth-order Butterworth high-pass as two identical biquads: 24 dB per
// octave is ample to see a 100 Hz tone's distortion above 3 kHz.
std::vector<double> highPass(const std::vector<double>& in, double cutoff, double sampleRate) {
  const double w = 2.0 * M_PI * cutoff / sampleRate, alpha = std::sin(w) / (2.0 * M_SQRT1_2);
  const double a0 = 1.0 + alpha, a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
  const double b0 = (1.0 + std::cos(w)) / 2.0 / a0, b1 = -2.0 * b0, b2 = b0;
  std::vector<double> out = in;
  for (int pass = 0; pass < 2; ++pass) {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (double& v : out) {
      const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
      x2 = x1, x1 = v, y2 = y1, y1 = y;
      v = y;
    }
  }
  return out;
}

// Pink-ish noise (three one-pole bands over white), the test signal whose
// low end shows a thump: it has a steady level of its own down there.
std::vector<double> pinkNoise(int frames, unsigned seed) {
  const std::vector<double> white = noise(frames, seed, 0.1);
  std::vector<double> pink(white.size());
  double b0 = 0.0, b1 = 0.0, b2 = 0.0;
  for (size_t i = 0; i < white.size(); ++i) {
    b0 = 0.99765 * b0 + white[i] * 0.0990460;
    b1 = 0.96300 * b1 + white[i] * 0.2965164;
    b2 = 0.57000 * b2 + white[i] * 1.0526913;
    pink[i] = b0 + b1 + b2 + white[i] * 0.1848;
  }
  return pink;
}

double peak(const std::vector<double>& v) {
  double highest = 0.0;
  for (double x : v)
    highest = std::max(highest, std::fabs(x));
  return highest;
}

// The peak below 20 Hz (four one-pole low-passes) over [from, to).
double subSonicPeak(const std::vector<double>& v, size_t from, size_t to, double rate) {
  const double a = 1.0 - std::exp(-2.0 * M_PI * 20.0 / rate);
  double poles[4] = {0.0, 0.0, 0.0, 0.0}, peak = 0.0;
  for (size_t i = 0; i < to; ++i) {
    double x = v[i];
    for (double& pole : poles)
      x = pole += a * (x - pole);
    if (i >= from) peak = std::max(peak, std::fabs(x));
  }
  return peak;
}

}  // namespace

// Changing Stages while the sweep ran used to restart the sweep at its
// bottom under sections still ringing at the old tuning: a sub-20 Hz swing to
// full scale for about 100 ms. Now the low end after a change is the one an
// unchanged engine gives, and nothing clips.
TEST(PhaserSoundTest, AStageChangeMidSweepDoesNotThump) {
  const double rate = 44100.0;
  const size_t change = 44100, end = change + 22050;
  const std::vector<double> l = pinkNoise(static_cast<int>(end), 21);
  std::vector<double> r(l.size());
  std::transform(l.begin(), l.end(), r.begin(), [](double v) { return 0.9 * v; });
  for (const auto& [from, to] : {std::pair{0, 5}, {5, 0}, {1, 2}, {2, 3}, {3, 4}}) {
    EngineSettings settings = kClassicVirus;
    settings.stages = from;
    CPhaser changed, steady;
    prepare(changed, rate, settings);
    prepare(steady, rate, settings);
    Stereo out{std::vector<double>(end), std::vector<double>(end)};
    for (size_t i = 0; i < end; ++i) {
      if (i == change) changed.setStages(to);
      changed.process(l[i], r[i]);
      out.l[i] = changed.getOutL(), out.r[i] = changed.getOutR();
    }
    const Stereo reference = render(steady, l, r);
    for (const auto& [channel, unchanged] :
         {std::pair{&out.l, &reference.l}, {&out.r, &reference.r}}) {
      EXPECT_LT(subSonicPeak(*channel, change, end, rate),
                1.1 * subSonicPeak(*unchanged, change, end, rate))
          << from + 1 << " to " << to + 1 << " sections";
      EXPECT_LT(peak(*channel), 1.0) << from + 1 << " to " << to + 1 << " sections";
    }
  }
}

// A section's normalised frequency f stands for f × 22050 Hz at every rate,
// so the sweep's range in Hz must not move with the host's rate: it once
// sat more than an octave lower at 96 kHz. Below 44.1 kHz only the top is
// held lower, under the Nyquist frequency.
TEST(PhaserSoundTest, TheSweepCoversTheSameFrequenciesAtEveryRate) {
  struct Range {
    double lowest = 1e9, highest = 0.0;
  };
  const auto sweepRange = [](double rate) {
    // Two seconds for the smoothers to settle, then a whole sweep and more.
    const int settle = static_cast<int>(2.0 * rate), frames = settle + static_cast<int>(4.0 * rate);
    const std::vector<double> l = noise(frames, 8, 0.1), r = noise(frames, 9, 0.1);
    CPhaser p;
    prepare(p, rate, kOneStage);
    Range range;
    for (int i = 0; i < frames; ++i) {
      p.process(l[static_cast<size_t>(i)], r[static_cast<size_t>(i)]);
      EXPECT_LT(std::fabs(p.getOutL()), 1.0);
      if (i < settle) continue;
      const double hz = p.getAllPassR().getfr() * 22050.0;
      range.lowest = std::min(range.lowest, hz);
      range.highest = std::max(range.highest, hz);
    }
    return range;
  };
  const Range at44 = sweepRange(44100.0);
  // The plain law: the base 32 × 2^(9.42849 × 0.22^1.06) Hz, the LFO above it.
  const double baseHz = 32.0 * std::pow(2.0, 9.42849 * std::pow(0.22, 1.06));
  EXPECT_NEAR(at44.lowest, baseHz * CLfo::multiplier(0), 1e-9);
  EXPECT_GT(at44.highest, 4.0 * at44.lowest);
  for (double rate : {22050.0, 48000.0, 96000.0, 192000.0}) {
    const Range range = sweepRange(rate);
    EXPECT_NEAR(range.lowest, at44.lowest, 1e-9) << rate;
    EXPECT_NEAR(range.highest, at44.highest, at44.highest * 1e-3) << rate;
  }
  // At 8 kHz the top is held at the same share of Nyquist as 0.982 at 44.1.
  const Range at8 = sweepRange(8000.0);
  EXPECT_NEAR(at8.lowest, at44.lowest, 1e-9);
  EXPECT_NEAR(at8.highest, 22050.0 * 0.982 * 8000.0 / 44100.0, 1e-9);
}

// Right = −left used to cancel to total silence.
TEST(PhaserSoundTest, AntiPhaseStereoIsAsLoudAsInPhase) {
  const std::vector<double> l = noise(2 * 44100, 1, 0.3);
  std::vector<double> minusL(l.size());
  std::transform(l.begin(), l.end(), minusL.begin(), [](double v) { return -v; });
  CPhaser inPhase, antiPhase;
  prepare(inPhase, 44100.0, kClassicVirus);
  prepare(antiPhase, 44100.0, kClassicVirus);
  const Stereo same = render(inPhase, l, l), opposite = render(antiPhase, l, minusL);
  EXPECT_NEAR(rmsDb(opposite.l), rmsDb(same.l), 0.5);
  EXPECT_NEAR(rmsDb(opposite.r), rmsDb(same.r), 0.5);
}

// 16-bit material sits on exact zeros at every quiet zero crossing; the
// chains must ring on through them instead of being cut to 0 (a click each).
TEST(PhaserSoundTest, QuietSixteenBitSineGainsNoHighFrequencies) {
  const double rate = 44100.0;
  std::vector<double> sine(3 * 44100);
  int zeros = 0;
  for (size_t i = 0; i < sine.size(); ++i) {
    const double v = 0.002 * std::sin(2.0 * M_PI * 100.0 * static_cast<double>(i) / rate);
    sine[i] = std::round(v * 32767.0) / 32767.0;
    zeros += sine[i] == 0.0;
  }
  ASSERT_GT(zeros, 500);
  CPhaser p;
  prepare(p, rate, kTwin);
  const Stereo out = render(p, sine, sine);
  const size_t settled = 22050;
  EXPECT_LT(rmsDb(highPass(out.l, 3000.0, rate), settled, sine.size()), -80.0);
  EXPECT_LT(rmsDb(highPass(out.r, 3000.0, rate), settled, sine.size()), -80.0);
}

// Below 44.1 kHz the top of the sweep used to tune the sections past Nyquist:
// the all-pass blew up and the output stuck at full scale.
TEST(PhaserSoundTest, LowSampleRatesKeepTheLevelAndNeverClip) {
  for (double rate : {8000.0, 16000.0, 22050.0, 32000.0}) {
    for (const EngineSettings& s : {kClassicVirus, kHexagon}) {
      const int frames = static_cast<int>(8.0 * rate);  // past the top of the sweep
      const std::vector<double> l = noise(frames, 2, 0.2), r = noise(frames, 3, 0.2);
      CPhaser p;
      prepare(p, rate, s);
      double highest = 0.0;
      Stereo out{std::vector<double>(l.size()), std::vector<double>(l.size())};
      for (int i = 0; i < frames; ++i) {
        p.process(l[i], r[i]);
        out.l[i] = p.getOutL(), out.r[i] = p.getOutR();
        highest = std::max(highest, p.getAllPassR().getfr());
      }
      EXPECT_LE(highest, 0.982 * rate / 44100.0) << rate;
      const double input = rmsDb(l);
      const size_t window = static_cast<size_t>(rate / 2);
      for (size_t from = 0; from + window <= out.l.size(); from += window) {
        ASSERT_NEAR(rmsDb(out.l, from, from + window), input, 6.0) << rate << " Hz at " << from;
        ASSERT_NEAR(rmsDb(out.r, from, from + window), input, 6.0) << rate << " Hz at " << from;
      }
      for (size_t i = 0; i < out.l.size(); ++i)
        ASSERT_LT(std::max(std::fabs(out.l[i]), std::fabs(out.r[i])), 1.0) << rate << " Hz " << i;
    }
  }
}

// The controls used to glide up from 0, through near-zero Q with signal in
// the chains, and low Spread boomed for a quarter second.
TEST(PhaserSoundTest, HexagonStartsAtItsSteadyLevel) {
  const int quarter = 44100 / 4;
  const std::vector<double> l = noise(8 * quarter, 4, 0.1), r = noise(8 * quarter, 5, 0.1);
  CPhaser p;
  prepare(p, 44100.0, kHexagon);
  const Stereo out = render(p, l, r);
  for (const std::vector<double>* channel : {&out.l, &out.r}) {
    const double steady = rmsDb(*channel, quarter, 8 * quarter);
    EXPECT_NEAR(rmsDb(*channel, 0, quarter), steady, 1.0);
  }
}

// The mends touch only the first moments, silence, stage changes and rates
// other than 44.1 kHz: there, ordinary input sounds as it did once the old
// start-up transient has died away (Hexagon's, the most resonant, rings for
// two seconds).
TEST(PhaserSoundTest, OrdinaryInputAt44kIsUnchangedAfterTheStart) {
  struct Case {
    EngineSettings settings;
    double seconds;  // when the old transient is gone
  };
  const double rate = 44100.0;
  for (const Case& c : {Case{kClassicVirus, 1.0}, Case{kTwin, 1.0}, Case{kHexagon, 2.5}}) {
    const int frames = static_cast<int>((c.seconds + 1.0) * rate);
    const std::vector<double> l = noise(frames, 6, 0.2), r = noise(frames, 7, 0.2);
    CPhaser p;
    ReferencePhaser original(ReferencePhaser::Rules::kOriginal);
    prepare(p, rate, c.settings);
    prepare(original, rate, c.settings);
    const Stereo now = render(p, l, r), before = render(original, l, r);
    for (size_t i = static_cast<size_t>(c.seconds * rate); i < l.size(); ++i) {
      ASSERT_NEAR(now.l[i], before.l[i], 1e-9) << rate << " Hz, frame " << i;
      ASSERT_NEAR(now.r[i], before.r[i], 1e-9) << rate << " Hz, frame " << i;
    }
  }
}
