#include "tools/morvex/validate/Lv2Editor.h"

#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <chrono>
#include <string>
#include <thread>

#include "framework/base/ReproducibleNoise.h"
#include "framework/window/x11/X11HostWindow.h"

namespace {

// What the interface writes to its ports goes nowhere: the audio instance is
// the automation's.
void ignoreWrite(SuilController, uint32_t, uint32_t, uint32_t, const void*) {}

struct UiFiles {
  std::string uri, bundle, binary;
};

// The first X11 user interface of the plug-in; empty when it has none.
UiFiles firstX11Ui(const LilvPlugin* plugin) {
  UiFiles files;
  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  LILV_FOREACH(uis, i, uis) {
    const LilvUI* ui = lilv_uis_get(uis, i);
    bool x11 = false;
    const LilvNodes* classes = lilv_ui_get_classes(ui);
    LILV_FOREACH(nodes, c, classes)
    x11 |= std::string(lilv_node_as_uri(lilv_nodes_get(classes, c))) == LV2_UI__X11UI;
    if (!x11) continue;
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    files = {lilv_node_as_uri(lilv_ui_get_uri(ui)), bundle ? bundle : "", binary ? binary : ""};
    lilv_free(bundle);
    lilv_free(binary);
    break;
  }
  lilv_uis_free(uis);
  return files;
}

}  // namespace

std::string Lv2EditorSide::run(StrictInstance&, const std::atomic<bool>& stop) {
  const UiFiles ui = firstX11Ui(mPlugin);
  if (ui.uri.empty()) {
    absent = true;
    return "the plug-in has no X11 user interface";
  }
  X11HostWindow window;
  if (!window.ShowEmpty(640, 320, "LV2 user interface")) return "cannot open the X display";
  window.Sync();

  SuilHost* host = suil_host_new(ignoreWrite, nullptr, nullptr, nullptr);
  const LV2_Feature parentFeature = {LV2_UI__parent, window.Handle()};
  const LV2_Feature idleFeature = {LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&parentFeature, &idleFeature, mUrids.feature(), nullptr};
  const char* pluginUri = lilv_node_as_uri(lilv_plugin_get_uri(mPlugin));
  SuilInstance* instance =
      suil_instance_new(host, this, LV2_UI__X11UI, pluginUri, ui.uri.c_str(), LV2_UI__X11UI,
                        ui.bundle.c_str(), ui.binary.c_str(), features);
  std::string failure;
  const auto* idle = instance ? static_cast<const LV2UI_Idle_Interface*>(
                                    suil_instance_extension_data(instance, LV2_UI__idleInterface))
                              : nullptr;
  if (!instance) {
    failure = "suil could not instantiate " + ui.uri;
  } else if (!idle) {
    failure = ui.uri + " offers no idle interface";
  } else {
    ReproducibleNoise noise(3);
    while (!stop.load() && idle->idle(suil_instance_get_handle(instance)) == 0) {
      for (const Lv2ControlPort& port : mPorts) {
        const float value =
            port.minValue + static_cast<float>(noise.unit()) * (port.maxValue - port.minValue);
        suil_instance_port_event(instance, port.index, sizeof value, 0, &value);
      }
      ++turns;
      window.Sync();
      look(window, false);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!stop.load()) failure = "the user interface closed by itself";
    look(window, true);
  }
  if (instance) suil_instance_free(instance);
  suil_host_free(host);
  return failure;
}
