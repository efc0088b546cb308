// A host that knows nothing of ours: loads the Morvex.lv2 found in the
// folder it is given through lilv, runs the stereo plug-in over a block,
// opens the user interface's library and asks it for its descriptor, then
// lists every file it has mapped that lies in the forbidden folder (the
// build tree). Prints "rendered", "ui <URI>" and "mapped <path>" lines; the
// test reads them. Links only lilv and the C library.
#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/ui/ui.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Fail(const char* what) {
  std::printf("failed %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: bundle_probe BUNDLE_FOLDER FORBIDDEN_FOLDER");
  const std::string bundle = std::string(argv[1]) + "/";
  const std::string forbidden = argv[2];
  LilvWorld* world = lilv_world_new();
  LilvNode* bundleURI = lilv_new_file_uri(world, nullptr, bundle.c_str());
  lilv_world_load_bundle(world, bundleURI);
  LilvNode* uri = lilv_new_uri(world, "urn:tarnbrook:morvex:stereo");
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  if (!plugin) return Fail("to find the plug-in");
  LilvInstance* instance = lilv_plugin_instantiate(plugin, 44100.0, nullptr);
  if (!instance) return Fail("to instantiate the plug-in");

  const uint32_t ports = lilv_plugin_get_num_ports(plugin);
  std::vector<float> controls(ports, 0.0f), mins(ports), maxes(ports), defaults(ports);
  lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxes.data(), defaults.data());
  constexpr uint32_t kFrames = 256;
  std::vector<std::vector<float>> audio(ports, std::vector<float>(kFrames));
  LilvNode* audioClass = lilv_new_uri(world, LILV_URI_AUDIO_PORT);
  LilvNode* outputClass = lilv_new_uri(world, LILV_URI_OUTPUT_PORT);
  for (uint32_t p = 0; p < ports; ++p) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
    if (lilv_port_is_a(plugin, port, audioClass)) {
      for (uint32_t i = 0; i < kFrames; ++i)
        audio[p][i] = std::sin(0.05f * static_cast<float>(i));
      lilv_instance_connect_port(instance, p, audio[p].data());
    } else {
      controls[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
      lilv_instance_connect_port(instance, p, &controls[p]);
    }
  }
  lilv_instance_activate(instance);
  lilv_instance_run(instance, kFrames);
  bool heard = false, finite = true;
  for (uint32_t p = 0; p < ports; ++p) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
    if (!lilv_port_is_a(plugin, port, audioClass) || !lilv_port_is_a(plugin, port, outputClass))
      continue;
    for (float v : audio[p]) {
      finite = finite && std::isfinite(v);
      heard = heard || v != 0.0f;
    }
  }
  if (heard && finite) std::printf("rendered\n");

  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  LILV_FOREACH(uis, i, uis) {
    const LilvUI* ui = lilv_uis_get(uis, i);
    char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    void* library = path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (!library) std::printf("failed to open %s: %s\n", path ? path : "?", dlerror());
    auto entry =
        library ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"))
                : nullptr;
    const LV2UI_Descriptor* descriptor = entry ? entry(0) : nullptr;
    if (descriptor) std::printf("ui %s %s\n", descriptor->URI, path);
    lilv_free(path);
  }

  // Every file in this process's memory: none may come from the build tree.
  if (FILE* maps = std::fopen("/proc/self/maps", "r")) {
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
      const char* file = std::strchr(line, '/');
      if (file && std::strncmp(file, forbidden.c_str(), forbidden.size()) == 0 &&
          !std::strstr(file, "/bundle_probe"))
        std::printf("mapped %s", file);
    }
    std::fclose(maps);
  }
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
  lilv_uis_free(uis);
  lilv_node_free(outputClass);
  lilv_node_free(audioClass);
  lilv_node_free(uri);
  lilv_node_free(bundleURI);
  lilv_world_free(world);
  return 0;
}
