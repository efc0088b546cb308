// The in-memory LV2 host on this build's Morvex.lv2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "tools/lv2host/Lv2Instance.h"

namespace {

constexpr const char* kStereo = "urn:tarnbrook:morvex:stereo";

TEST(Lv2HostUridMap, HandsOutOneIdPerUriFromOneAndMapsItBack) {
  UridMap urids;
  const LV2_URID a = urids.map("urn:a");
  const LV2_URID b = urids.map("urn:b");
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 2u);
  EXPECT_EQ(urids.map("urn:a"), a);
  // Through the interface a plug-in holds, after more URIs were added.
  for (int i = 0; i < 100; ++i)
    urids.map(("urn:more:" + std::to_string(i)).c_str());
  LV2_URID_Unmap* unmap = urids.unmapInterface();
  EXPECT_STREQ(unmap->unmap(unmap->handle, b), "urn:b");
  EXPECT_EQ(urids.unmap(0), nullptr);
  EXPECT_EQ(urids.unmap(10000), nullptr);
}

class Lv2HostInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.loadBundle(MORVEX_LV2_BUNDLE));
    plugin = world.plugin(kStereo);
    ASSERT_NE(plugin, nullptr);
  }
  std::unique_ptr<Lv2Instance> create(const ControlSettings& settings, std::string& error) {
    return Lv2Instance::create(world, plugin, 44100.0, 256, settings, error);
  }

  Lv2World world;
  const LilvPlugin* plugin = nullptr;
};

TEST_F(Lv2HostInstance, RefusesASettingWithoutAPortAndNamesIt) {
  std::string error;
  EXPECT_EQ(create({{"speed", 1.0f}}, error), nullptr);
  EXPECT_EQ(error, "has no control input 'speed'");
  EXPECT_EQ(world.plugin("urn:no:such:plugin"), nullptr);
}

TEST_F(Lv2HostInstance, InPlaceRunsSoundAsRunsIntoItsOwnBuffers) {
  std::vector<std::vector<float>> signal(2, std::vector<float>(256));
  ReproducibleNoise noise(3);
  for (auto& channel : signal)
    for (float& sample : channel)
      sample = static_cast<float>(noise.unit() - 0.5);

  std::string error;
  auto separate = create({}, error);
  auto inPlace = create({}, error);
  ASSERT_NE(separate, nullptr) << error;
  ASSERT_NE(inPlace, nullptr) << error;
  ASSERT_EQ(separate->numInputs(), 2);
  ASSERT_EQ(separate->numOutputs(), 2);

  const float* in[2] = {signal[0].data(), signal[1].data()};
  separate->connectInputs(in);
  separate->run(256);

  auto shared = signal;
  float* both[2] = {shared[0].data(), shared[1].data()};
  inPlace->connectInputs(both);
  inPlace->connectOutputs(both);
  inPlace->run(256);

  for (int c = 0; c < 2; ++c) {
    const std::vector<float> own(separate->output(c), separate->output(c) + 256);
    EXPECT_EQ(shared[static_cast<size_t>(c)], own) << "channel " << c;
    EXPECT_NE(own, signal[static_cast<size_t>(c)])
        << "the effect left channel " << c << " as it was";
  }
}

}  // namespace
