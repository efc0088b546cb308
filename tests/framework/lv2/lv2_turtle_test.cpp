// The Turtle the wrapper writes for a plug-in, read back by lilv as a host
// reads it: every port where the wrapper connects it, numbers that come back
// as the plug-in's own values, names of values, presets once each.
#include "framework/lv2/LV2Turtle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "lv2/atom/atom.h"
#include "lv2/presets/presets.h"
#include "tests/framework/lv2/LV2TestPlug.h"
#include "tests/support/TempDir.h"
#include "tools/lv2host/Lv2World.h"
#include "tools/lv2host/ScopedNode.h"

namespace {

const std::string kStereo = std::string(kTestIdentity.mURI) + ":stereo";
const std::string kMono = std::string(kTestIdentity.mURI) + ":mono";

// The plug-in's Turtle in a bundle of its own, loaded into a lilv world.
class TurtleOf {
 public:
  explicit TurtleOf(LV2TestPlug& plug) {
    LV2Turtle turtle(plug, kTestIdentity);
    mBundle.write("manifest.ttl", turtle.Manifest());
    mBundle.write(LV2Turtle::kPluginsFile, turtle.Plugins());
    mBundle.write(LV2Turtle::kPresetsFile, turtle.Presets());
    mWorld.loadBundle(mBundle.path());
  }

  const LilvPlugin* Plugin(const std::string& uri) const { return mWorld.plugin(uri.c_str()); }
  ScopedNode URI(const char* uri) const { return {lilv_new_uri(mWorld.lilv(), uri)}; }
  Lv2World& World() { return mWorld; }

 private:
  test_support::TempDir mBundle;
  Lv2World mWorld;
};

std::string Text(const LilvNode* node) {
  return node ? lilv_node_as_string(node) : "";
}

int IntValue(const LilvPlugin* plugin, const TurtleOf& turtle, const char* predicate) {
  const ScopedNode p = turtle.URI(predicate);
  LilvNodes* values = lilv_plugin_get_value(plugin, p.node);
  const int value = values ? lilv_node_as_int(lilv_nodes_get_first(values)) : -1;
  lilv_nodes_free(values);
  return value;
}

TEST(LV2Turtle, EveryPortIsWhereTheWrapperConnectsIt) {
  LV2TestPlug plug;
  TurtleOf turtle(plug);
  const ScopedNode input = turtle.URI(LV2_CORE__InputPort);
  const ScopedNode output = turtle.URI(LV2_CORE__OutputPort);
  const ScopedNode audio = turtle.URI(LV2_CORE__AudioPort);
  const ScopedNode control = turtle.URI(LV2_CORE__ControlPort);
  const ScopedNode enabled = turtle.URI(LV2_CORE__enabled);
  for (const std::string& uri : {kStereo, kMono}) {
    SCOPED_TRACE(uri);
    const LilvPlugin* plugin = turtle.Plugin(uri);
    ASSERT_NE(plugin, nullptr);
    EXPECT_TRUE(lilv_plugin_verify(plugin));
    const uint32_t channels = uri == kStereo ? 2 : 1;
    const uint32_t params = LV2TestPlug::kNumParams;
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), params + 2 + 2 * channels);
    for (uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i) {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
      const bool isAudio = i > params && i <= params + 2 * channels;
      const bool isInput = i != params && (i <= params + channels || !isAudio);
      EXPECT_TRUE(lilv_port_is_a(plugin, port, isAudio ? audio.node : control.node)) << i;
      EXPECT_TRUE(lilv_port_is_a(plugin, port, isInput ? input.node : output.node)) << i;
    }
    // The bypass comes last, so the ports before it keep their indices.
    const LilvPort* bypass = lilv_plugin_get_port_by_designation(plugin, input.node, enabled.node);
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(lilv_port_get_index(plugin, bypass), params + 1 + 2 * channels);
    // Version 1.2.3: LV2 reads an odd number, or minor version 0, as a
    // development build.
    EXPECT_EQ(IntValue(plugin, turtle, LV2_CORE__minorVersion), 204);
    EXPECT_EQ(IntValue(plugin, turtle, LV2_CORE__microVersion), 6);
  }
  LilvNode* name = lilv_plugin_get_name(turtle.Plugin(kMono));
  EXPECT_EQ(Text(name), "Test Plug (mono)");
  lilv_node_free(name);
}

TEST(LV2Turtle, APlugInWithoutAMonoLayoutOffersNone) {
  LV2TestPlug plug(IPlugInstanceInfo(), "2-2");
  TurtleOf turtle(plug);
  EXPECT_NE(turtle.Plugin(kStereo), nullptr);
  EXPECT_EQ(turtle.Plugin(kMono), nullptr);
}

// Symbols from the parameters' names; numbers that read back as the
// parameters' own values in single precision, however many digits that
// takes; named values as scale points, an enumeration only when every value
// has a name.
TEST(LV2Turtle, ControlPortsDescribeTheParameters) {
  LV2TestPlug plug;
  TurtleOf turtle(plug);
  const LilvPlugin* plugin = turtle.Plugin(kStereo);
  ASSERT_NE(plugin, nullptr);
  const char* const symbols[] = {"level", "mode", "steps__max_", "_2nd_order"};
  std::vector<float> minimums(lilv_plugin_get_num_ports(plugin));
  std::vector<float> maximums(minimums.size()), defaults(minimums.size());
  lilv_plugin_get_port_ranges_float(plugin, minimums.data(), maximums.data(), defaults.data());
  for (int i = 0; i < LV2TestPlug::kNumParams; ++i) {
    const IParam* param = plug.GetParam(i);
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(i));
    EXPECT_EQ(Text(lilv_port_get_symbol(plugin, port)), symbols[i]);
    EXPECT_EQ(defaults[static_cast<size_t>(i)], static_cast<float>(param->GetDefault())) << i;
    EXPECT_EQ(minimums[static_cast<size_t>(i)], static_cast<float>(param->GetMin())) << i;
    EXPECT_EQ(maximums[static_cast<size_t>(i)], static_cast<float>(param->GetMax())) << i;
  }

  const ScopedNode integer = turtle.URI(LV2_CORE__integer);
  const ScopedNode enumeration = turtle.URI(LV2_CORE__enumeration);
  const struct {
    int param;
    bool integer, enumeration;
    std::vector<std::string> names;  // by value from 0
  } expected[] = {{LV2TestPlug::kLevel, false, false, {}},
                  {LV2TestPlug::kMode, true, true, {"Off", "Half", "Full"}},
                  {LV2TestPlug::kSteps, true, false, {"None"}},
                  {LV2TestPlug::kSecondOrder, true, false, {}}};
  for (const auto& e : expected) {
    SCOPED_TRACE(symbols[e.param]);
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(e.param));
    EXPECT_EQ(lilv_port_has_property(plugin, port, integer.node), e.integer);
    EXPECT_EQ(lilv_port_has_property(plugin, port, enumeration.node), e.enumeration);
    std::vector<std::string> names(e.names.size());
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, port);
    EXPECT_EQ(points ? lilv_scale_points_size(points) : 0u, e.names.size());
    LILV_FOREACH(scale_points, p, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, p);
      const size_t value = static_cast<size_t>(lilv_node_as_int(lilv_scale_point_get_value(point)));
      ASSERT_LT(value, names.size());
      names[value] = Text(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(points);
    EXPECT_EQ(names, e.names);
  }
}

// A preset's port values as a host takes them: whole numbers come as
// integers, the rest as floats.
struct PortValues {
  UridMap& urids;
  std::map<std::string, float> values;
};

void CollectPortValue(const char* symbol, void* userData, const void* value, uint32_t size,
                      uint32_t type) {
  auto* collected = static_cast<PortValues*>(userData);
  float v = NAN;
  int32_t whole = 0;
  if (type == collected->urids.map(LV2_ATOM__Float) && size == sizeof v) {
    std::memcpy(&v, value, sizeof v);
  } else if (type == collected->urids.map(LV2_ATOM__Int) && size == sizeof whole) {
    std::memcpy(&whole, value, sizeof whole);
    v = static_cast<float>(whole);
  }
  collected->values[symbol] = v;
}

TEST(LV2Turtle, EachDistinctPresetIsListedOnceWithItsValues) {
  LV2TestPlug plug;
  TurtleOf turtle(plug);
  const LilvPlugin* plugin = turtle.Plugin(kMono);
  ASSERT_NE(plugin, nullptr);
  const ScopedNode presetClass = turtle.URI(LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass.node);
  std::vector<std::string> labels;
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, i);
    lilv_world_load_resource(turtle.World().lilv(), preset);
    LilvState* state = lilv_state_new_from_world(turtle.World().lilv(),
                                                 turtle.World().urids().mapInterface(), preset);
    ASSERT_NE(state, nullptr);
    labels.push_back(lilv_state_get_label(state));
    if (labels.back() == "Quiet") {
      PortValues collected{turtle.World().urids(), {}};
      lilv_state_emit_port_values(state, CollectPortValue, &collected);
      EXPECT_EQ(collected.values,
                (std::map<std::string, float>{
                    {"level", 0.1f}, {"mode", 0.0f}, {"steps__max_", 2.0f}, {"_2nd_order", 0.0f}}));
    }
    lilv_state_free(state);
  }
  lilv_nodes_free(presets);
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::string>{"Loud", "Quiet"}));
}

}  // namespace
