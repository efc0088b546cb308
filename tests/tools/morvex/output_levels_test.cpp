#include "tools/morvex/render/OutputLevels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// The levels taken one sample at a time, the sum in long double.
struct Reference {
  double peak = 0;
  long double squares = 0;
  long long clipped = 0;
  long long count = 0;

  void add(const std::vector<float>& samples) {
    for (const float s : samples) {
      const double magnitude = std::fabs(static_cast<double>(s));
      if (peak < magnitude) peak = magnitude;
      squares += static_cast<long double>(magnitude) * magnitude;
      clipped += magnitude >= 1.0;
      ++count;
    }
  }
  double rmsDbfs() const {
    return 20 * std::log10(static_cast<double>(std::sqrt(squares / count)));
  }
};

}  // namespace

// Chunks of any length and alignment, samples around full scale in both
// signs: the peak and the clipped count are exact, the RMS as good as a
// sample-by-sample sum.
TEST(OutputLevelsTest, PeakAndClippedCountAreExactAndRmsMatchesASerialSum) {
  std::mt19937 rng(31);
  std::uniform_real_distribution<float> loud(-1.25f, 1.25f);
  const float edges[] = {1.0f,
                         -1.0f,
                         std::nextafter(1.0f, 0.0f),
                         -std::nextafter(1.0f, 0.0f),
                         std::nextafter(1.0f, 2.0f),
                         0.0f,
                         -0.0f};
  OutputLevels levels;
  Reference reference;
  std::vector<float> storage(1 << 14);
  for (int chunk = 0; chunk < 60; ++chunk) {
    const size_t offset = rng() % 4;
    const size_t length = rng() % (storage.size() - 4);
    std::vector<float> samples(length);
    for (float& s : samples)
      s = rng() % 16 == 0 ? edges[rng() % std::size(edges)] : loud(rng) * (chunk % 3 ? 1.0f : 0.5f);
    std::copy(samples.begin(), samples.end(), storage.begin() + static_cast<long>(offset));
    levels.add(storage.data() + offset, length);
    reference.add(samples);
  }
  ASSERT_GT(reference.clipped, 0);
  EXPECT_EQ(levels.clipped(), reference.clipped);
  EXPECT_EQ(levels.peakDbfs(), 20 * std::log10(reference.peak));
  EXPECT_NEAR(levels.rmsDbfs(), reference.rmsDbfs(), 1e-9);
}

// Infinities are at full scale; a NaN is no level at all, as in a serial
// comparison; silence reads as the floor.
TEST(OutputLevelsTest, NonFiniteSamplesAndSilence) {
  OutputLevels silent;
  silent.add(std::vector<float>(9, 0.0f).data(), 9);
  EXPECT_EQ(silent.peakDbfs(), -200);
  EXPECT_EQ(silent.rmsDbfs(), -200);
  EXPECT_EQ(silent.clipped(), 0);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const std::vector<float>& samples :
       {std::vector<float>{0.5f, nan, 0.25f, -0.5f, nan, 0.125f, nan, 0.0f, 0.5f},
        std::vector<float>{nan, nan, nan, nan, 0.5f}}) {
    OutputLevels levels;
    levels.add(samples.data(), samples.size());
    EXPECT_EQ(levels.peakDbfs(), 20 * std::log10(0.5)) << samples.size();
    EXPECT_EQ(levels.clipped(), 0) << samples.size();
  }
  OutputLevels infinite;
  const std::vector<float> samples = {0.5f, -inf, 0.25f, inf, 1.0f, 0.0f};
  infinite.add(samples.data(), samples.size());
  EXPECT_EQ(infinite.clipped(), 3);
}
