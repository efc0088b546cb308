// morvex live's unit when the JACK server changes its stream under it: a
// server may be restarted at another rate, or another backend may take over,
// while the unit keeps its settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "platform/HostComponents.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/live/LiveUnit.h"
#include "tools/morvex/settings/UnitSettings.h"

namespace {

constexpr uint32_t kPeriod = 64;

// A second of stereo noise played through the unit a period at a time.
std::vector<float> Play(LiveUnit& live, double rate) {
  ReproducibleNoise noise(7);
  std::vector<float> inL(kPeriod), inR(kPeriod), outL(kPeriod), outR(kPeriod), played;
  for (size_t done = 0; done < static_cast<size_t>(rate); done += kPeriod) {
    for (uint32_t i = 0; i < kPeriod; ++i) {
      inL[i] = static_cast<float>(0.3 * noise.bipolar());
      inR[i] = static_cast<float>(0.3 * noise.bipolar());
    }
    const float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    live.process(in, out, kPeriod);
    played.insert(played.end(), outL.begin(), outL.end());
    played.insert(played.end(), outR.begin(), outR.end());
  }
  return played;
}

// After the change nothing of the old rate is left: the unit sounds as one
// that played at the new rate all along and was prepared again (the sweep
// starts over; the settings have long reached their values).
TEST(LiveUnit, AfterTheRateChangesItSoundsAsIfItHadAlwaysPlayedAtTheNewRate) {
  setenv("AUDIOUNIT_PATH", MORVEX_BUNDLE, 1);
  HostRescanComponents();
  UnitSettings settings;
  settings.preset = "Winds";
  settings.settings = {"Rate=0.8"};

  // Side by side: one unit follows the server from 44.1 to 96 kHz, the
  // other plays at 96 kHz throughout.
  Unit unit, other;
  LiveUnit live(unit, settings), always(other, settings);
  live.prepare(44100, kPeriod);
  always.prepare(96000, kPeriod);
  Play(live, 44100);
  Play(always, 96000);
  live.prepare(96000, kPeriod);
  always.prepare(96000, kPeriod);
  const std::vector<float> followed = Play(live, 96000), expected = Play(always, 96000);

  ASSERT_EQ(followed.size(), expected.size());
  size_t differ = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    differ += followed[i] != expected[i];
  EXPECT_EQ(differ, 0u);
  EXPECT_EQ(live.refusedPeriods(), 0u);
  EXPECT_EQ(unit.sampleRate(), 96000.0);
}

}  // namespace
