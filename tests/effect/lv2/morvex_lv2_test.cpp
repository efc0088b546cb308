// Morvex's LV2 bundle as a host sees it through lilv: the description, the
// processing and the saved state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "lv2/atom/atom.h"
#include "lv2/presets/presets.h"
#include "lv2/state/state.h"
#include "lv2/ui/ui.h"
#include "tests/effect/lv2/MorvexWorld.h"

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
    // The bypass comes last, so the ports before it keep their indices.
    LilvNode* enabled = mHost.NewURI(LV2_CORE__enabled);
    LilvNode* input = mHost.NewURI(LV2_CORE__InputPort);
    const LilvPort* bypass = lilv_plugin_get_port_by_designation(plugin, input, enabled);
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(lilv_port_get_index(plugin, bypass), static_cast<uint32_t>(8 + 2 * channels));
    lilv_node_free(input);
    lilv_node_free(enabled);

    LilvNode* minor = mHost.NewURI(LV2_CORE__minorVersion);
    LilvNodes* version = lilv_plugin_get_value(plugin, minor);
    ASSERT_NE(version, nullptr);
    const int minorVersion = lilv_node_as_int(lilv_nodes_get_first(version));
    EXPECT_TRUE(minorVersion > 0 && minorVersion % 2 == 0) << "a release, not a development build";
    lilv_nodes_free(version);
    lilv_node_free(minor);
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

TEST_F(MorvexLV2, AnyBlockSizeAndInPlaceBuffersGiveTheSameSamples) {
  const std::vector<float> input = Noise(2 * 9000);
  const ControlSettings feedback = {{"feedback", 0.9f}};
  const std::vector<float> reference = Process(*Instantiate(feedback), input, 9000);
  for (int block : {1, 7, 1023, 4097}) {
    for (bool inPlace : {false, true}) {
      SCOPED_TRACE(testing::Message() << "block " << block << (inPlace ? " in place" : ""));
      EXPECT_EQ(Process(*Instantiate(feedback), input, block, inPlace), reference);
    }
  }
}

// Disabled through the lv2:enabled port, the output is the input bit for
// bit, in place or not, at any block size.
TEST_F(MorvexLV2, DisabledIsABitExactPassthrough) {
  const std::vector<float> input = Noise(2 * 5000);
  for (int block : {1, 64, 4097}) {
    for (bool inPlace : {false, true}) {
      SCOPED_TRACE(testing::Message() << "block " << block << (inPlace ? " in place" : ""));
      EXPECT_EQ(
          Process(*Instantiate({{"enabled", 0.0f}, {"feedback", 0.9f}}), input, block, inPlace),
          input);
    }
  }
}

// Switching the bypass mid-render crossfades over 20 ms: with a sine in,
// no step of the output is larger than the largest of the input's and the
// effect's own; halfway through a fade the output is neither; once faded
// out it is the input exactly, and the engine, which kept running, comes
// back with the very samples an instance never bypassed gives.
TEST_F(MorvexLV2, TogglingTheBypassMidRenderNeverClicks) {
  constexpr int kBlock = 64, kFrames = kBlock * 344;  // half a second
  std::vector<float> sine(2 * kFrames);
  for (int f = 0; f < kFrames; ++f)
    sine[2 * f] = sine[2 * f + 1] =
        static_cast<float>(0.5 * std::sin(2 * M_PI * 440.0 * f / 44100.0));
  const std::vector<float> effect = Process(*Instantiate(), sine, kBlock);
  auto instance = Instantiate();
  float* enabled = instance->control("enabled");
  ASSERT_NE(enabled, nullptr);
  constexpr int kOffAt = 64 * 64, kOnAt = 64 * 192;  // frames, on block edges
  std::vector<float> out;
  for (int f = 0; f < kFrames; f += kBlock) {
    *enabled = f >= kOffAt && f < kOnAt ? 0.0f : 1.0f;
    const std::vector<float> chunk(sine.begin() + 2 * f, sine.begin() + 2 * (f + kBlock));
    const std::vector<float> done = Process(*instance, chunk, kBlock);
    out.insert(out.end(), done.begin(), done.end());
  }
  const auto largestStep = [](const std::vector<float>& x) {
    float largest = 0.0f;
    for (size_t i = 2; i < x.size(); ++i)
      largest = std::max(largest, std::fabs(x[i] - x[i - 2]));
    return largest;
  };
  const float own = std::max(largestStep(sine), largestStep(effect));
  EXPECT_LE(largestStep(out), own * 1.05f);
  const int fade = 882;  // 20 ms at 44.1 kHz
  const size_t half = 2 * static_cast<size_t>(kOffAt + fade / 2);
  EXPECT_NE(out[half], sine[half]);
  EXPECT_NE(out[half], effect[half]);
  for (size_t i = 2 * static_cast<size_t>(kOffAt + fade + 1); i < 2 * static_cast<size_t>(kOnAt);
       ++i)
    ASSERT_EQ(out[i], sine[i]) << i;
  for (size_t i = 2 * static_cast<size_t>(kOnAt + fade + 1); i < out.size(); ++i)
    ASSERT_EQ(out[i], effect[i]) << i;
}

TEST_F(MorvexLV2, BadInputAndBadControlValuesNeverEscapeFullScale) {
  std::vector<float> input = Noise(2 * 4000);
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 1e-40f};
  for (size_t i = 0; i < input.size(); i += 97)
    input[i] = bad[(i / 97) % 6];
  const std::vector<float> output =
      Process(*Instantiate({{"feedback", NAN}, {"rate", INFINITY}}), input, 256);
  for (float s : output)
    ASSERT_TRUE(s >= -1.0f && s <= 1.0f) << s;
}

TEST_F(MorvexLV2, ANonFiniteControlValueLeavesTheSettingAsItWas) {
  const std::vector<float> input = Noise(2 * 3000);
  EXPECT_EQ(Process(*Instantiate({{"depth", NAN}}), input, 512),
            Process(*Instantiate(), input, 512));
}

// The Audio Unit refuses a rate that is not a finite number; so does LV2's
// instantiate. The lfo port stays within the 0 to 1 its description
// declares at every rate: over four seconds of the fastest, widest sweep,
// and at the top of the highest, which at 48 kHz and above would read more.
TEST_F(MorvexLV2, RefusesNonFiniteRatesAndKeepsTheLfoPortInItsDeclaredRange) {
  for (double rate : {double{INFINITY}, double{-INFINITY}, double{NAN}, 0.0})
    EXPECT_EQ(mHost.Instantiate(MorvexWorld::kStereo, {}, 1024, rate), nullptr) << rate;
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

TEST_F(MorvexLV2, SavedStateRestoresTheExactSettingsInAFreshInstance) {
  const std::vector<float> input = Noise(2 * 5000);
  const ControlSettings settings = {{"stages", 5.0f}, {"feedback", 0.83f}, {"rate", 0.71f}};
  const auto original = Instantiate(settings);
  Process(*original, Noise(2 * 16), 16);
  LilvState* state = mHost.Save(MorvexWorld::kStereo, *original);
  ASSERT_NE(state, nullptr);

  const auto restored = Instantiate();
  mHost.Restore(*restored, state);
  lilv_state_free(state);
  EXPECT_EQ(*restored->control("stages"), 5.0f);
  EXPECT_EQ(Process(*restored, input, 512), Process(*Instantiate(settings), input, 512));
}

// The host hands a chunk back through the plug-in's state interface.
struct RetrievedChunk {
  std::vector<unsigned char> bytes;
  LV2_URID type;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  auto* chunk = static_cast<RetrievedChunk*>(handle);
  *size = chunk->bytes.size();
  *type = chunk->type;
  *flags = LV2_STATE_IS_POD;
  return chunk->bytes.data();
}

TEST_F(MorvexLV2, AShortMistypedOrNonFiniteStateChangesNothing) {
  const std::vector<float> input = Noise(2 * 3000);
  const std::vector<float> expected = Process(*Instantiate(), input, 512);
  const LV2_URID chunkType = mHost.urids().map(LV2_ATOM__Chunk);
  const LV2_URID floatType = mHost.urids().map(LV2_ATOM__Float);
  std::vector<unsigned char> full(7 * sizeof(double));
  const double feedback = 0.95;
  std::memcpy(full.data() + 3 * sizeof(double), &feedback, sizeof feedback);
  // A value that is no number: the others would apply and it would not.
  std::vector<unsigned char> notANumber = full, infinite = full;
  const double nan = NAN, inf = -INFINITY;
  std::memcpy(notANumber.data(), &nan, sizeof nan);
  std::memcpy(infinite.data() + 6 * sizeof(double), &inf, sizeof inf);
  const RetrievedChunk bad[] = {
      {std::vector<unsigned char>(full.begin(), full.end() - 1), chunkType},
      {full, floatType},
      {notANumber, chunkType},
      {infinite, chunkType}};
  for (const RetrievedChunk& chunk : bad) {
    const auto plug = Instantiate();
    const auto* iface = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(plug->lilv(), LV2_STATE__interface));
    ASSERT_NE(iface, nullptr);
    const LV2_Feature* features[] = {mHost.urids().feature(), nullptr};
    EXPECT_NE(iface->restore(lilv_instance_get_handle(plug->lilv()), Retrieve,
                             const_cast<RetrievedChunk*>(&chunk), 0, features),
              LV2_STATE_SUCCESS);
    EXPECT_EQ(Process(*plug, input, 512), expected);
  }
}
}  // namespace
