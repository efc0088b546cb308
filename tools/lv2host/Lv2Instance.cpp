#include "tools/lv2host/Lv2Instance.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstring>

#include "tools/lv2host/ScopedNode.h"

namespace {

// Room for the few events a plug-in talks to its editor with.
constexpr size_t kAtomCapacity = 8192;

std::string symbolOf(const LilvPlugin* plugin, const LilvPort* port) {
  return lilv_node_as_string(lilv_port_get_symbol(plugin, port));
}

bool supplied(const char* uri, const LV2_Feature* const* features) {
  for (; *features; ++features) {
    if (!std::strcmp((*features)->URI, uri)) return true;
  }
  return false;
}

// The first feature the plug-in requires that `features` lacks, or "".
std::string missingFeature(const LilvPlugin* plugin, const LV2_Feature* const* features) {
  LilvNodes* required = lilv_plugin_get_required_features(plugin);
  std::string missing;
  LILV_FOREACH(nodes, i, required) {
    const char* uri = lilv_node_as_uri(lilv_nodes_get(required, i));
    if (!supplied(uri, features)) {
      missing = uri;
      break;
    }
  }
  lilv_nodes_free(required);
  return missing;
}

}  // namespace

std::unique_ptr<Lv2Instance> Lv2Instance::create(Lv2World& world, const LilvPlugin* plugin,
                                                 double sampleRate, uint32_t maxBlock,
                                                 const ControlSettings& settings,
                                                 std::string& error) {
  std::unique_ptr<Lv2Instance> self(new Lv2Instance());
  self->mFeatures = {world.urids().feature(), nullptr};
  const std::string missing = missingFeature(plugin, self->mFeatures.data());
  if (!missing.empty()) {
    error = "needs the feature " + missing + ", which this host does not supply";
    return nullptr;
  }
  self->mInstance = lilv_plugin_instantiate(plugin, sampleRate, self->mFeatures.data());
  if (!self->mInstance) {
    error = "refused to instantiate";
    return nullptr;
  }
  error = self->connect(world, plugin, maxBlock, settings);
  if (!error.empty()) return nullptr;
  lilv_instance_activate(self->mInstance);
  self->mActive = true;
  return self;
}

Lv2Instance::~Lv2Instance() {
  if (mActive) lilv_instance_deactivate(mInstance);
  if (mInstance) lilv_instance_free(mInstance);
}

std::string Lv2Instance::connect(Lv2World& world, const LilvPlugin* plugin, uint32_t maxBlock,
                                 const ControlSettings& settings) {
  LilvWorld* w = world.lilv();
  const ScopedNode control{lilv_new_uri(w, LV2_CORE__ControlPort)};
  const ScopedNode audio{lilv_new_uri(w, LV2_CORE__AudioPort)};
  const ScopedNode atom{lilv_new_uri(w, LV2_ATOM__AtomPort)};
  const ScopedNode input{lilv_new_uri(w, LV2_CORE__InputPort)};
  const ScopedNode optional{lilv_new_uri(w, LV2_CORE__connectionOptional)};
  mChunkType = world.urids().map(LV2_ATOM__Chunk);
  const LV2_URID sequenceType = world.urids().map(LV2_ATOM__Sequence);

  const uint32_t numPorts = lilv_plugin_get_num_ports(plugin);
  std::vector<float> minimums(numPorts), defaults(numPorts);
  lilv_plugin_get_port_ranges_float(plugin, minimums.data(), nullptr, defaults.data());
  // Sized up front: the plug-in holds pointers into all of these.
  mControls.assign(numPorts, 0.0f);
  mOutBuffers.reserve(numPorts);
  mAtomBuffers.reserve(numPorts);

  for (uint32_t i = 0; i < numPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    const bool isInput = lilv_port_is_a(plugin, port, input.node);
    void* data = nullptr;
    if (lilv_port_is_a(plugin, port, control.node)) {
      // A port without a default starts at its minimum, or at zero.
      const float fallback = std::isnan(minimums[i]) ? 0.0f : minimums[i];
      mControls[i] = std::isnan(defaults[i]) ? fallback : defaults[i];
      mControlIndex[symbolOf(plugin, port)] = i;
      data = &mControls[i];
    } else if (lilv_port_is_a(plugin, port, audio.node)) {
      // Inputs are connected by connectInputs before each run.
      if (isInput) {
        mAudioIn.push_back(i);
        continue;
      }
      mAudioOut.push_back(i);
      data = mOutBuffers.emplace_back(maxBlock).data();
    } else if (lilv_port_is_a(plugin, port, atom.node)) {
      auto& buffer = mAtomBuffers.emplace_back(kAtomCapacity / sizeof(uint64_t));
      auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer.data());
      if (isInput) {
        *sequence = {{sizeof(LV2_Atom_Sequence_Body), sequenceType}, {0, 0}};
      } else {
        mAtomOutputs.push_back(mAtomBuffers.size() - 1);
      }
      data = sequence;
    } else if (lilv_port_has_property(plugin, port, optional.node)) {
      continue;
    } else {
      return "port '" + symbolOf(plugin, port) + "' is of a kind this host cannot feed";
    }
    lilv_instance_connect_port(mInstance, i, data);
  }

  for (const auto& [symbol, value] : settings) {
    const ScopedNode name{lilv_new_string(w, symbol.c_str())};
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, name.node);
    if (!port || !lilv_port_is_a(plugin, port, control.node) ||
        !lilv_port_is_a(plugin, port, input.node)) {
      return "has no control input '" + symbol + "'";
    }
    mControls[lilv_port_get_index(plugin, port)] = value;
  }
  return "";
}

void Lv2Instance::connectInputs(const float* const* channels) {
  for (size_t c = 0; c < mAudioIn.size(); ++c) {
    // Input ports are read-only to the plug-in; connect_port just takes void*.
    lilv_instance_connect_port(mInstance, mAudioIn[c], const_cast<float*>(channels[c]));
  }
}

void Lv2Instance::run(uint32_t frames) {
  // An output sequence's size tells the plug-in how much room it has, so it
  // is restored before every run.
  for (size_t i : mAtomOutputs) {
    auto* atom = reinterpret_cast<LV2_Atom*>(mAtomBuffers[i].data());
    *atom = {static_cast<uint32_t>(kAtomCapacity - sizeof(LV2_Atom)), mChunkType};
  }
  lilv_instance_run(mInstance, frames);
}

void Lv2Instance::connectOutputs(float* const* channels) {
  for (size_t c = 0; c < mAudioOut.size(); ++c)
    lilv_instance_connect_port(mInstance, mAudioOut[c], channels[c]);
}

float* Lv2Instance::control(const std::string& symbol) {
  const auto found = mControlIndex.find(symbol);
  return found == mControlIndex.end() ? nullptr : &mControls[found->second];
}
