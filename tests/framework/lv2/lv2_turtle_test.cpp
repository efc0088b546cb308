// The Turtle the wrapper writes for a plug-in, read back by lilv as a host
// reads it: every port where the wrapper connects it, numbers that come back
// as the plug-in's own values, names of values. (That each distinct preset
// is listed once, and sounds as it should, Morvex.lv2's tests show.)
#include "framework/lv2/LV2Turtle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
