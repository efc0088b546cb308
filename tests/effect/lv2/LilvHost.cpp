#include "tests/effect/lv2/LilvHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "lv2/atom/atom.h"
#include "lv2/state/state.h"

LilvHost::LilvHost() : mWorld(lilv_world_new()) {
  // The build's bundle beside the system's LV2 vocabularies, which give the
  // plug-in classes; the build tree itself holds far more than bundles.
  char folder[] = "/tmp/morvex-lv2-XXXXXX";
  if (mkdtemp(folder)) {
    mFolder = folder;
    if (symlink(MORVEX_LV2_BUNDLE, (mFolder + "/Morvex.lv2").c_str()) != 0) mFolder.clear();
  }
  LilvNode* path = lilv_new_string(mWorld, (mFolder + ":/usr/lib/lv2").c_str());
  lilv_world_set_option(mWorld, LILV_OPTION_LV2_PATH, path);
  lilv_node_free(path);
  lilv_world_load_all(mWorld);
  // Kept loaded for the whole test, as long-running hosts keep plug-in
  // libraries: its static data then stays in the leak checker's sight.
  dlopen(MORVEX_LV2_BUNDLE "/Morvex.so", RTLD_NOW | RTLD_NODELETE);
}

LilvHost::~LilvHost() {
  lilv_world_free(mWorld);
  if (!mFolder.empty()) {
    unlink((mFolder + "/Morvex.lv2").c_str());
    rmdir(mFolder.c_str());
  }
}

const LilvPlugin* LilvHost::Plugin(const std::string& uri) const {
  LilvNode* node = NewURI(uri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return plugin;
}

LV2_URID LilvHost::MapURI(LV2_URID_Map_Handle handle, const char* uri) {
  auto* host = static_cast<LilvHost*>(handle);
  auto found = host->mIds.find(uri);
  if (found != host->mIds.end()) return found->second;
  host->mURIs.push_back(uri);
  const auto id = static_cast<LV2_URID>(host->mURIs.size());
  host->mIds[uri] = id;
  return id;
}

const char* LilvHost::UnmapURID(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  auto* host = static_cast<LilvHost*>(handle);
  return urid >= 1 && urid <= host->mURIs.size() ? host->mURIs[urid - 1].c_str() : nullptr;
}

LilvPlug::LilvPlug(LilvHost& host, const std::string& uri, double sampleRate)
    : mHost(host), mPlugin(host.Plugin(uri)), mInstance(nullptr) {
  if (!mPlugin) throw std::runtime_error("no plug-in " + uri);
  mInstance = lilv_plugin_instantiate(mPlugin, sampleRate, host.Features());
  if (!mInstance) throw std::runtime_error("cannot instantiate " + uri);
  LilvNode* audio = host.NewURI(LV2_CORE__AudioPort);
  LilvNode* control = host.NewURI(LV2_CORE__ControlPort);
  LilvNode* input = host.NewURI(LV2_CORE__InputPort);
  const uint32_t nPorts = lilv_plugin_get_num_ports(mPlugin);
  // Every control port gets its own float; the map never moves them.
  for (uint32_t i = 0; i < nPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(mPlugin, port));
    if (lilv_port_is_a(mPlugin, port, control)) {
      LilvNode* def = nullptr;
      lilv_port_get_range(mPlugin, port, &def, nullptr, nullptr);
      mControls[symbol] = def ? lilv_node_as_float(def) : 0.0f;
      lilv_node_free(def);
      lilv_instance_connect_port(mInstance, i, &mControls[symbol]);
    } else if (lilv_port_is_a(mPlugin, port, audio)) {
      (lilv_port_is_a(mPlugin, port, input) ? mAudioIn : mAudioOut).push_back(i);
    }
  }
  lilv_node_free(audio);
  lilv_node_free(control);
  lilv_node_free(input);
  lilv_instance_activate(mInstance);
}

LilvPlug::~LilvPlug() {
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

float& LilvPlug::Control(const std::string& symbol) {
  auto found = mControls.find(symbol);
  if (found == mControls.end()) throw std::runtime_error("no control port " + symbol);
  return found->second;
}

std::vector<float> LilvPlug::Process(const std::vector<float>& interleaved, int blockSize,
                                     bool inPlace) {
  const size_t n = static_cast<size_t>(Channels());
  const size_t frames = interleaved.size() / n;
  std::vector<std::vector<float>> in(n, std::vector<float>(frames));
  std::vector<std::vector<float>> out(n, std::vector<float>(frames));
  for (size_t f = 0; f < frames; ++f)
    for (size_t c = 0; c < n; ++c)
      in[c][f] = interleaved[f * n + c];
  std::vector<std::vector<float>>& result = inPlace ? in : out;
  for (size_t done = 0; done < frames;) {
    const size_t count = std::min(frames - done, static_cast<size_t>(blockSize));
    for (size_t c = 0; c < n; ++c) {
      lilv_instance_connect_port(mInstance, mAudioIn[c], in[c].data() + done);
      lilv_instance_connect_port(mInstance, mAudioOut[c], result[c].data() + done);
    }
    lilv_instance_run(mInstance, static_cast<uint32_t>(count));
    done += count;
  }
  std::vector<float> processed(interleaved.size());
  for (size_t f = 0; f < frames; ++f)
    for (size_t c = 0; c < n; ++c)
      processed[f * n + c] = result[c][f];
  return processed;
}

LilvState* LilvPlug::Save() const {
  return lilv_state_new_from_instance(mPlugin, mInstance, mHost.Map(), nullptr, nullptr, nullptr,
                                      nullptr, GetPortValue, const_cast<LilvPlug*>(this),
                                      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
}

void LilvPlug::Restore(const LilvState* state) {
  lilv_state_restore(state, mInstance, SetPortValue, this, 0, mHost.Features());
}

void LilvPlug::SetPortValue(const char* symbol, void* userData, const void* value, uint32_t size,
                            uint32_t) {
  auto* plug = static_cast<LilvPlug*>(userData);
  if (size == sizeof(float)) std::memcpy(&plug->Control(symbol), value, sizeof(float));
}

const void* LilvPlug::GetPortValue(const char* symbol, void* userData, uint32_t* size,
                                   uint32_t* type) {
  auto* plug = static_cast<LilvPlug*>(userData);
  *size = sizeof(float);
  *type = plug->mHost.Map()->map(plug->mHost.Map()->handle, LV2_ATOM__Float);
  return &plug->Control(symbol);
}
