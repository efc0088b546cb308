// A host may save Morvex.lv2's state on another thread while the audio
// thread runs it: neither may race the other, and a control change that
// meets a save is applied by a later block, not lost.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "lv2/state/state.h"
#include "tests/effect/lv2/MorvexWorld.h"

namespace {
constexpr int kRateParam = 5;

LV2_State_Status StoreChunk(LV2_State_Handle handle, uint32_t, const void* value, size_t size,
                            uint32_t, uint32_t) {
  auto* chunk = static_cast<std::vector<unsigned char>*>(handle);
  const auto* bytes = static_cast<const unsigned char*>(value);
  chunk->assign(bytes, bytes + size);
  return LV2_STATE_SUCCESS;
}

std::vector<unsigned char> SaveChunk(const LV2_State_Interface& state, Lv2Instance& instance,
                                     const LV2_Feature* const* features) {
  std::vector<unsigned char> chunk;
  state.save(lilv_instance_get_handle(instance.lilv()), StoreChunk, &chunk, 0, features);
  return chunk;
}

TEST(MorvexLV2Concurrency, StateSavesBesideRunNeitherRaceNorLoseAControlChange) {
  MorvexWorld world;
  const auto instance = world.Instantiate(MorvexWorld::kStereo, {}, 64);
  ASSERT_NE(instance, nullptr);
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance->lilv(), LV2_STATE__interface));
  ASSERT_NE(state, nullptr);
  const LV2_Feature* features[] = {world.urids().feature(), nullptr};

  std::atomic<bool> audioDone{false};
  std::atomic<int> saves{0};
  std::thread saver([&] {
    while (!audioDone.load()) {
      if (SaveChunk(*state, *instance, features).size() == 7 * sizeof(double)) ++saves;
    }
  });
  std::vector<float> left(64, 0.1f), right(64, -0.1f);
  const float* inputs[] = {left.data(), right.data()};
  instance->connectInputs(inputs);
  float lastRate = 0.0f;
  // Runs until many saves have overlapped the changes.
  for (int block = 0; block < 4000 || saves.load() < 50; ++block) {
    if (block % 7 == 0)
      *instance->control("rate") = lastRate = static_cast<float>(block % 997) / 997.0f;
    instance->run(64);
  }
  audioDone = true;
  saver.join();

  instance->run(64);
  const std::vector<unsigned char> chunk = SaveChunk(*state, *instance, features);
  ASSERT_EQ(chunk.size(), 7 * sizeof(double));
  double rate;
  std::memcpy(&rate, chunk.data() + kRateParam * sizeof(double), sizeof rate);
  EXPECT_EQ(rate, static_cast<double>(lastRate));
}
}  // namespace
