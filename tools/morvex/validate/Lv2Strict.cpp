#include "tools/morvex/validate/Lv2Strict.h"

#include <dirent.h>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/lv2host/Lv2Instance.h"
#include "tools/lv2host/Lv2World.h"
#include "tools/lv2host/ScopedNode.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/validate/Lv2Editor.h"

namespace {

std::string executableFolder() {
  char exe[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) return "./";
  exe[length] = '\0';
  const std::string path(exe);
  return path.substr(0, path.rfind('/') + 1);
}

// Every bundle (a folder with a manifest) in each folder, in order.
void loadBundlesIn(Lv2World& world, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) continue;
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') world.loadBundle(folder + "/" + entry->d_name);
    closedir(dir);
  }
}

std::vector<std::string> searchFolders() {
  std::vector<std::string> folders;
  if (const char* path = std::getenv("LV2_PATH")) {
    std::string rest = path;
    for (size_t colon; (colon = rest.find(':')) != std::string::npos; rest.erase(0, colon + 1))
      folders.push_back(rest.substr(0, colon));
    folders.push_back(rest);
  }
  const std::string bin = executableFolder();
  // The build's own bundle sits in the folder the path from bin/ leads to.
  const std::string buildBundle = bin + MORVEX_LV2_BUNDLE_FROM_BIN;
  folders.push_back(buildBundle.substr(0, buildBundle.rfind('/')));
  if (const char* home = std::getenv("HOME")) folders.push_back(std::string(home) + "/.lv2");
  folders.push_back(bin + "../lib/lv2");
  folders.push_back("/usr/local/lib/lv2");
  folders.push_back("/usr/lib/lv2");
  return folders;
}

struct StateAccess {
  Lv2Instance* instance;
  LV2_URID floatType;
};

const void* getPortValue(const char* symbol, void* userData, uint32_t* size, uint32_t* type) {
  auto* access = static_cast<StateAccess*>(userData);
  *size = sizeof(float);
  *type = access->floatType;
  return access->instance->control(symbol);
}

void setPortValue(const char* symbol, void* userData, const void* value, uint32_t size, uint32_t) {
  float* port = static_cast<Lv2Instance*>(userData)->control(symbol);
  if (port && size == sizeof(float)) std::memcpy(port, value, sizeof(float));
}

class Lv2Plugin;

class Lv2StrictInstance : public StrictInstance {
 public:
  Lv2StrictInstance(Lv2Plugin& plugin, std::unique_ptr<Lv2Instance> instance);

  bool process(const float* const* in, float* const* out, uint32_t frames) noexcept override;
  std::string failure() const override { return "run failed"; }
  void automate(int index, float value) override;
  std::vector<unsigned char> saveState() override;
  void restoreState(const std::vector<unsigned char>& state) override;
  int presetCount() override;
  void loadPreset(int index) override;

 private:
  void restore(const LilvState* state);

  Lv2Plugin& mPlugin;
  std::unique_ptr<Lv2Instance> mInstance;
  std::vector<float*> mPorts;
  // What automation sent, taken into the ports before the next run as a
  // host's audio thread does: NaN for nothing new.
  std::unique_ptr<std::atomic<float>[]> mPending;
};

class Lv2Plugin : public StrictPlugin {
 public:
  explicit Lv2Plugin(const std::string& uri) {
    loadBundlesIn(mWorld, searchFolders());
    mPlugin = mWorld.plugin(uri.c_str());
    if (!mPlugin)
      throw ToolError("no LV2 bundle describes " + uri +
                      " (LV2_PATH, this build's bundle, ~/.lv2, " +
                      "the installation's lib/lv2, /usr/local/lib/lv2 and /usr/lib/lv2 searched)");
    mUri = uri;
    LilvWorld* w = mWorld.lilv();
    char* path =
        lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_bundle_uri(mPlugin)), nullptr);
    char resolved[PATH_MAX];
    mSubject = std::string(path && realpath(path, resolved) ? resolved
                           : path                           ? path
                                                            : "") +
               " (" + uri + ")";
    lilv_free(path);
    // Kept loaded, as long-running hosts keep a plug-in's library.
    char* library =
        lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_library_uri(mPlugin)), nullptr);
    if (library) dlopen(library, RTLD_NOW | RTLD_NODELETE);
    lilv_free(library);

    const ScopedNode control{lilv_new_uri(w, LV2_CORE__ControlPort)};
    const ScopedNode input{lilv_new_uri(w, LV2_CORE__InputPort)};
    const ScopedNode audio{lilv_new_uri(w, LV2_CORE__AudioPort)};
    const ScopedNode integer{lilv_new_uri(w, LV2_CORE__integer)};
    const ScopedNode toggled{lilv_new_uri(w, LV2_CORE__toggled)};
    const ScopedNode enabled{lilv_new_uri(w, LV2_CORE__enabled)};
    const uint32_t ports = lilv_plugin_get_num_ports(mPlugin);
    std::vector<float> minimums(ports), maximums(ports);
    lilv_plugin_get_port_ranges_float(mPlugin, minimums.data(), maximums.data(), nullptr);
    int audioInputs = 0;
    for (uint32_t i = 0; i < ports; ++i) {
      const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
      if (!lilv_port_is_a(mPlugin, port, input.node)) continue;
      if (lilv_port_is_a(mPlugin, port, audio.node)) ++audioInputs;
      // The host's bypass switch is no parameter of the effect.
      if (!lilv_port_is_a(mPlugin, port, control.node) ||
          lilv_port_has_property(mPlugin, port, enabled.node))
        continue;
      const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(mPlugin, port));
      if (symbol == "stages") mStages = static_cast<int>(mParameters.size());
      mControlPorts.push_back({i, minimums[i], maximums[i]});
      mParameters.push_back({symbol, minimums[i], maximums[i],
                             lilv_port_has_property(mPlugin, port, integer.node) ||
                                 lilv_port_has_property(mPlugin, port, toggled.node)});
    }
    if (audioInputs != 2)
      throw ToolError(uri + " has " + std::to_string(audioInputs) +
                      " audio inputs; the checks need a stereo effect");

    const ScopedNode presetClass{lilv_new_uri(w, LV2_PRESETS__Preset)};
    LilvNodes* presets = lilv_plugin_get_related(mPlugin, presetClass.node);
    LILV_FOREACH(nodes, i, presets) {
      const LilvNode* preset = lilv_nodes_get(presets, i);
      lilv_world_load_resource(w, preset);
      if (LilvState* state = lilv_state_new_from_world(w, mWorld.urids().mapInterface(), preset))
        mPresets.push_back(state);
    }
    lilv_nodes_free(presets);
  }
  ~Lv2Plugin() override {
    for (LilvState* state : mPresets)
      lilv_state_free(state);
  }

  std::string subject() const override { return mSubject; }
  const std::vector<StrictParameter>& parameters() const override { return mParameters; }
  int stagesParameter() const override { return mStages; }
  std::unique_ptr<StrictInstance> open(double sampleRate, uint32_t maxFrames) override {
    std::string error;
    auto instance = Lv2Instance::create(mWorld, mPlugin, sampleRate, maxFrames, {}, error);
    if (!instance) throw ToolError(mUri + " " + error);
    return std::make_unique<Lv2StrictInstance>(*this, std::move(instance));
  }

  Lv2World& world() { return mWorld; }
  const LilvPlugin* plugin() const { return mPlugin; }
  const std::vector<LilvState*>& presets() const { return mPresets; }
  // The parameters' ports, in the same order.
  const std::vector<Lv2ControlPort>& controlPorts() const { return mControlPorts; }

 private:
  Lv2World mWorld;
  const LilvPlugin* mPlugin = nullptr;
  std::string mUri;
  std::string mSubject;
  std::vector<StrictParameter> mParameters;
  std::vector<Lv2ControlPort> mControlPorts;
  int mStages = -1;
  std::vector<LilvState*> mPresets;
};

Lv2StrictInstance::Lv2StrictInstance(Lv2Plugin& plugin, std::unique_ptr<Lv2Instance> instance)
    : mPlugin(plugin), mInstance(std::move(instance)) {
  const size_t count = plugin.parameters().size();
  mPending.reset(new std::atomic<float>[count]);
  for (size_t p = 0; p < count; ++p) {
    mPorts.push_back(mInstance->control(plugin.parameters()[p].name));
    mPending[p].store(NAN);
  }
}

bool Lv2StrictInstance::process(const float* const* in, float* const* out,
                                uint32_t frames) noexcept {
  for (size_t p = 0; p < mPorts.size(); ++p) {
    const float value = mPending[p].exchange(NAN);
    if (!std::isnan(value)) *mPorts[p] = value;
  }
  mInstance->connectInputs(in);
  mInstance->connectOutputs(out);
  mInstance->run(frames);
  return true;
}

void Lv2StrictInstance::automate(int index, float value) {
  mPending[static_cast<size_t>(index)].store(value);
}

std::vector<unsigned char> Lv2StrictInstance::saveState() {
  Lv2World& world = mPlugin.world();
  StateAccess access{mInstance.get(), world.urids().map(LV2_ATOM__Float)};
  LilvState* state = lilv_state_new_from_instance(
      mPlugin.plugin(), mInstance->lilv(), world.urids().mapInterface(), nullptr, nullptr, nullptr,
      nullptr, getPortValue, &access, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
  if (!state) throw ToolError("the plug-in saved no state");
  char* text = lilv_state_to_string(world.lilv(), world.urids().mapInterface(),
                                    world.urids().unmapInterface(), state,
                                    "urn:morvex:validate:state", nullptr);
  lilv_state_free(state);
  if (!text) throw ToolError("the saved state cannot be written as Turtle");
  std::vector<unsigned char> bytes(text, text + std::strlen(text));
  lilv_free(text);
  return bytes;
}

void Lv2StrictInstance::restoreState(const std::vector<unsigned char>& bytes) {
  const std::string text(bytes.begin(), bytes.end());
  LilvState* state = lilv_state_new_from_string(
      mPlugin.world().lilv(), mPlugin.world().urids().mapInterface(), text.c_str());
  if (!state) throw ToolError("a saved state does not read back");
  restore(state);
  lilv_state_free(state);
}

int Lv2StrictInstance::presetCount() {
  return static_cast<int>(mPlugin.presets().size());
}

void Lv2StrictInstance::loadPreset(int index) {
  restore(mPlugin.presets().at(static_cast<size_t>(index)));
}

void Lv2StrictInstance::restore(const LilvState* state) {
  const LV2_Feature* features[] = {mPlugin.world().urids().feature(), nullptr};
  lilv_state_restore(state, mInstance->lilv(), setPortValue, mInstance.get(), 0, features);
}

}  // namespace

void RunLv2Checks(CheckReport& report, const std::string& uri, const StrictLevel& level,
                  std::string* subject) {
  Lv2Plugin plugin(uri);
  *subject = plugin.subject();
  RunStrictChecks(report, plugin, level);
  Lv2EditorSide editor(plugin.plugin(), plugin.world().urids(), plugin.controlPorts());
  CheckEditor(report, plugin, level, editor);
}
