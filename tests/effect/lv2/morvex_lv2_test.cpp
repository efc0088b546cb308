// Morvex's LV2 bundle as a host sees it through lilv: its parameters,
// labels, presets and display in the description, and what it makes of bad
// input. What the wrapper does for any plug-in (ports, bypass, state, the
// Turtle's form) is tested in tests/framework/lv2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "lv2/presets/presets.h"
#include "lv2/ui/ui.h"
#include "tests/effect/lv2/MorvexWorld.h"
#include "tests/support/ProcessInBlocks.h"

using test_support::ProcessInBlocks;

namespace {
const std::string kStereo = MorvexWorld::kStereo;
const std::string kMono = MorvexWorld::kMono;
const char* const kParamSymbols[] = {"mix",    "stages", "freq", "feedback",
                                     "spread", "rate",   "depth"};

std::vector<float> Noise(size_t samples, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
  std::vector<float> noise(samples);
  for (float& s : noise)
    s = uniform(random);
  return noise;
}

std::string StringOf(const LilvNode* node) {
  return node ? lilv_node_as_string(node) : "";
}

class MorvexLV2 : public testing::Test {
 protected:
  // A stereo instance; the test fails at once when it cannot be made.
  std::unique_ptr<Lv2Instance> Instantiate(const ControlSettings& settings = {}) {
    auto instance = mHost.Instantiate(MorvexWorld::kStereo, settings, 16384);
    if (!instance) throw std::runtime_error("Morvex.lv2 did not instantiate");
    return instance;
  }

  MorvexWorld mHost;
};

TEST_F(MorvexLV2, DescribesBothPlugInsWithTheParameterTableAndTheLfoOutput) {
  for (const std::string& uri : {kStereo, kMono}) {
    SCOPED_TRACE(uri);
    const LilvPlugin* plugin = mHost.plugin(uri.c_str());
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(lilv_plugin_verify(plugin));
    EXPECT_EQ(StringOf(lilv_plugin_class_get_uri(lilv_plugin_get_class(plugin))),
              LV2_CORE__PhaserPlugin);
    const int channels = uri == kStereo ? 2 : 1;
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), static_cast<uint32_t>(9 + 2 * channels));
    for (uint32_t i = 0; i < 7; ++i) {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
      EXPECT_EQ(StringOf(lilv_port_get_symbol(plugin, port)), kParamSymbols[i]);
    }
    LilvNode* output = mHost.NewURI(LV2_CORE__OutputPort);
    const LilvPort* lfo = lilv_plugin_get_port_by_index(plugin, 7);
    EXPECT_EQ(StringOf(lilv_port_get_symbol(plugin, lfo)), "lfo");
    EXPECT_TRUE(lilv_port_is_a(plugin, lfo, output));
    lilv_node_free(output);
  }
}

TEST_F(MorvexLV2, StagesIsAnIntegerEnumerationOfSections) {
  const LilvPlugin* plugin = mHost.plugin(kStereo.c_str());
  ASSERT_NE(plugin, nullptr);
  const LilvPort* stages = lilv_plugin_get_port_by_index(plugin, 1);
  LilvNode* integer = mHost.NewURI(LV2_CORE__integer);
  LilvNode* enumeration = mHost.NewURI(LV2_CORE__enumeration);
  EXPECT_TRUE(lilv_port_has_property(plugin, stages, integer));
  EXPECT_TRUE(lilv_port_has_property(plugin, stages, enumeration));
  lilv_node_free(integer);
  lilv_node_free(enumeration);

  std::vector<std::string> labels(6);
  LilvScalePoints* points = lilv_port_get_scale_points(plugin, stages);
  ASSERT_EQ(lilv_scale_points_size(points), 6u);
  LILV_FOREACH(scale_points, i, points) {
    const LilvScalePoint* point = lilv_scale_points_get(points, i);
    const int value = lilv_node_as_int(lilv_scale_point_get_value(point));
    ASSERT_TRUE(value >= 0 && value < 6);
    labels[static_cast<size_t>(value)] = StringOf(lilv_scale_point_get_label(point));
  }
  lilv_scale_points_free(points);
  EXPECT_EQ(labels, (std::vector<std::string>{"1 section", "2 sections", "3 sections", "4 sections",
                                              "5 sections", "6 sections"}));
}

TEST_F(MorvexLV2, OffersEachDistinctFactoryPresetOnceAndAnX11Interface) {
  const LilvPlugin* plugin = mHost.plugin(kMono.c_str());
  ASSERT_NE(plugin, nullptr);
  LilvNode* presetClass = mHost.NewURI(LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
  std::vector<std::string> labels;
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, i);
    lilv_world_load_resource(mHost.lilv(), preset);
    LilvState* state =
        lilv_state_new_from_world(mHost.lilv(), mHost.urids().mapInterface(), preset);
    ASSERT_NE(state, nullptr);
    labels.push_back(lilv_state_get_label(state));
    lilv_state_free(state);
  }
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::string>{"Classic Virus", "Hexagon", "Init", "One Stage",
                                              "Tri Force", "Twin", "Winds"}));

  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  LilvNode* x11 = mHost.NewURI(LV2_UI__X11UI);
  EXPECT_TRUE(lilv_ui_is_a(ui, x11));
  lilv_node_free(x11);
  lilv_uis_free(uis);
}

TEST_F(MorvexLV2, BadInputAndBadControlValuesNeverEscapeFullScale) {
  std::vector<float> input = Noise(2 * 4000);
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 1e-40f};
  for (size_t i = 0; i < input.size(); i += 97)
    input[i] = bad[(i / 97) % 6];
  const std::vector<float> output =
      ProcessInBlocks(*Instantiate({{"feedback", NAN}, {"rate", INFINITY}}), input, 256);
  for (float s : output)
    ASSERT_TRUE(s >= -1.0f && s <= 1.0f) << s;
}

// The lfo port stays within the 0 to 1 its description declares at every
// rate: over four seconds of the fastest, widest sweep, and at the top of
// the highest, which at 48 kHz and above would read more.
TEST_F(MorvexLV2, TheLfoPortSweepsWithinItsDeclaredRangeAtEveryRate) {
  const std::vector<float> noise = Noise(2 * 1024);
  const float* const channels[] = {noise.data(), noise.data() + 1024};
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (float freq : {0.0f, 1.0f}) {
      SCOPED_TRACE(testing::Message() << rate << " Hz, freq " << freq);
      auto instance = mHost.Instantiate(
          MorvexWorld::kStereo, {{"rate", 1.0f}, {"depth", 1.0f}, {"freq", freq}}, 1024, rate);
      ASSERT_NE(instance, nullptr);
      instance->connectInputs(channels);
      float lowest = 1.0f, highest = 0.0f;
      for (int block = 0; block < 4 * static_cast<int>(rate) / 1024; ++block) {
        instance->run(1024);
        lowest = std::min(lowest, *instance->control("lfo"));
        highest = std::max(highest, *instance->control("lfo"));
      }
      EXPECT_GE(lowest, 0.0f);
      EXPECT_LE(highest, 1.0f);
      if (freq == 0.0f) {
        EXPECT_GT(highest - lowest, 0.5f);  // it did sweep
      }
    }
  }
}
}  // namespace
