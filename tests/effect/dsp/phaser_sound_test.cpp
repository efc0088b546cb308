#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

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

}  // namespace

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

// The mends touch only the first moments and silence: at 44.1 kHz and above,
// ordinary input sounds as it did once the old start-up transient has died
// away (Hexagon's, the most resonant, rings for two seconds at 96 kHz).
TEST(PhaserSoundTest, OrdinaryInputAtFullRatesIsUnchangedAfterTheStart) {
  struct Case {
    EngineSettings settings;
    double seconds;  // when the old transient is gone
  };
  for (double rate : {44100.0, 48000.0, 96000.0}) {
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
}
