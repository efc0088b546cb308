// The saved state: the parameter chunk as one POD property, restored whole
// or not at all, and not undone by control ports the host leaves alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "lv2/atom/atom.h"
#include "tests/framework/lv2/DirectInstance.h"

namespace {

// One property as a host keeps it between save and restore.
struct Property {
  uint32_t key = 0;
  std::vector<unsigned char> bytes;
  uint32_t type = 0;
  uint32_t flags = 0;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                       uint32_t type, uint32_t flags) {
  auto* property = static_cast<Property*>(handle);
  const auto* bytes = static_cast<const unsigned char*>(value);
  *property = {key, std::vector<unsigned char>(bytes, bytes + size), type, flags};
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  const auto* property = static_cast<const Property*>(handle);
  if (key != property->key) return nullptr;
  *size = property->bytes.size();
  *type = property->type;
  *flags = property->flags;
  return property->bytes.data();
}

uint32_t Map(const char* uri) {
  return DirectInstance::Urids().map(uri);
}

Property Save(DirectInstance& instance) {
  Property saved;
  EXPECT_EQ(instance.State()->save(instance.Handle(), Store, &saved, 0, instance.Features()),
            LV2_STATE_SUCCESS);
  return saved;
}

LV2_State_Status Restore(DirectInstance& instance, const Property& property) {
  return instance.State()->restore(instance.Handle(), Retrieve, const_cast<Property*>(&property), 0,
                                   instance.Features());
}

// The chunk of the given values, one double per parameter.
Property Chunk(const std::vector<double>& values) {
  Property chunk{Map((std::string(kTestIdentity.mURI) + ":state").c_str()),
                 std::vector<unsigned char>(values.size() * sizeof(double)), Map(LV2_ATOM__Chunk),
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE};
  std::memcpy(chunk.bytes.data(), values.data(), chunk.bytes.size());
  return chunk;
}

void RunABlock(DirectInstance& instance) {
  std::vector<float> left(16), right(16);
  const float* in[] = {left.data(), right.data()};
  float* out[] = {left.data(), right.data()};
  instance.connectInputs(in);
  instance.connectOutputs(out);
  instance.run(16);
}

// Level 0.1 is no single-precision number: only the chunk carries it.
const std::vector<double> kSettings = {0.1, 2.0, 3.0, 1.0};

TEST(LV2State, ARestoredChunkSetsExactValuesThatPortsLeftAloneCannotUndo) {
  for (bool controlsFirst : {true, false}) {
    SCOPED_TRACE(controlsFirst ? "controls connected first" : "controls connected after");
    DirectInstance::Setup setup;
    setup.controlsFirst = controlsFirst;
    DirectInstance instance(setup);
    ASSERT_EQ(Restore(instance, Chunk(kSettings)), LV2_STATE_SUCCESS);
    if (!controlsFirst) instance.ConnectControls();
    RunABlock(instance);  // the ports still hold the defaults
    for (int i = 0; i < LV2TestPlug::kNumParams; ++i)
      EXPECT_EQ(instance.Param(i), kSettings[static_cast<size_t>(i)]) << i;
    const Property saved = Save(instance);
    EXPECT_EQ(saved.bytes, Chunk(kSettings).bytes);
    EXPECT_EQ(saved.key, Chunk(kSettings).key);
    EXPECT_EQ(saved.type, Map(LV2_ATOM__Chunk));
    EXPECT_EQ(saved.flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));

    instance.Control(LV2TestPlug::kMode) = 0.0f;  // a later change applies
    RunABlock(instance);
    EXPECT_EQ(instance.Param(LV2TestPlug::kMode), 0.0);
    EXPECT_EQ(instance.Param(LV2TestPlug::kLevel), 0.1);
  }
}

TEST(LV2State, AMissingShortMistypedOrNonFiniteChunkChangesNothing) {
  Property shortChunk = Chunk(kSettings);
  shortChunk.bytes.pop_back();
  Property mistyped = Chunk(kSettings);
  mistyped.type = Map(LV2_ATOM__Float);
  Property foreign = Chunk(kSettings);
  foreign.key = Map("urn:test:other:state");
  std::vector<double> notANumber = kSettings, infinite = kSettings;
  notANumber[2] = NAN;
  infinite[0] = -INFINITY;
  for (const Property& bad : {shortChunk, mistyped, foreign, Chunk(notANumber), Chunk(infinite)}) {
    DirectInstance instance;
    EXPECT_NE(Restore(instance, bad), LV2_STATE_SUCCESS);
    RunABlock(instance);
    EXPECT_EQ(instance.Param(LV2TestPlug::kLevel), 1.0 / 3.0);
    EXPECT_EQ(instance.Param(LV2TestPlug::kMode), 1.0);
    EXPECT_EQ(instance.Param(LV2TestPlug::kSteps), 0.0);
  }
}

}  // namespace
