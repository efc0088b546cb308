// The test plug-in made into a bundle by morvex_add_lv2_bundle from an
// identity of its own: lilv finds its plug-ins and user interface under its
// own URIs, loads its library by the name the Turtle gives and hears the
// plug-in's own output; each library exports its descriptor alone. Nothing
// of Morvex's may leak into the recipe.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/framework/lv2/LV2TestPlug.h"
#include "tests/framework/lv2/SignalSources.h"
#include "tests/support/DynamicSymbols.h"
#include "tests/support/ProcessInBlocks.h"
#include "tools/lv2host/Lv2Instance.h"

TEST(LV2Bundle, ASecondPlugInsBundleLoadsByItsOwnIdentity) {
  EXPECT_EQ(test_support::DefinedSymbols(TEST_PLUG_BUNDLE "/TestPlug.so"),
            std::set<std::string>{"lv2_descriptor"});
  EXPECT_EQ(test_support::DefinedSymbols(TEST_PLUG_BUNDLE "/TestPlugUI.so"),
            std::set<std::string>{"lv2ui_descriptor"});

  Lv2World world;
  ASSERT_TRUE(world.loadBundle(TEST_PLUG_BUNDLE));
  for (const char* uri : {"urn:test:bundled:stereo", "urn:test:bundled:mono"}) {
    SCOPED_TRACE(uri);
    const LilvPlugin* plugin = world.plugin(uri);
    ASSERT_NE(plugin, nullptr);
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    EXPECT_EQ(std::string(lilv_node_as_uri(lilv_ui_get_uri(ui))), "urn:test:bundled:ui");
    lilv_uis_free(uis);

    std::string error;
    auto instance = Lv2Instance::create(world, plugin, 44100.0, 512, {}, error);
    ASSERT_NE(instance, nullptr) << error;
    const std::vector<float> input = Noise(static_cast<size_t>(instance->numInputs()) * 2000);
    EXPECT_EQ(test_support::ProcessInBlocks(*instance, input, 512),
              DefaultOutput(input, instance->numInputs()));
  }
}
