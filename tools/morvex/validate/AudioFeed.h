#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/base/ReproducibleNoise.h"
#include "tools/morvex/validate/SignalChecks.h"
#include "tools/morvex/validate/StrictChecks.h"
#include "tools/morvex/validate/StrictPlugin.h"

// What the strict checks share: how they feed an instance, one watched audio
// call per block, and how they judge what came out.

inline constexpr double kCheckRate = 48000;
inline constexpr uint32_t kLargestBlock = 4096;

using BlockSizeSource = std::function<uint32_t()>;
// Every block the same size.
BlockSizeSource FixedBlocks(uint32_t frames);
// Blocks of 1 to `largest` frames, different from call to call, small ones
// more often than large ones; the same sequence for the same seed.
BlockSizeSource VaryingBlocks(uint32_t seed, uint32_t largest = kLargestBlock);

// Feeds whole stereo signals through an instance, one audio call per block,
// each watched when a probe is given; throws ToolError when the plug-in
// refuses a call. between runs before each block after the first.
class AudioFeed {
 public:
  AudioFeed(StrictInstance& instance, const RtProbe* probe) : mInstance(instance), mProbe(probe) {}

  Channels run(const Channels& in, const BlockSizeSource& blockSize, bool inPlace,
               const std::function<void(int block)>& between = nullptr);
  int blocks() const { return mBlocks; }
  double framesDone() const { return static_cast<double>(mFrames); }

 private:
  StrictInstance& mInstance;
  const RtProbe* mProbe;
  int mBlocks = 0;
  size_t mFrames = 0;
};

// The forbidden calls since the last look, as RtProbe::takeHits tells them;
// "" without a probe.
std::string HitsOf(const StrictLevel& level);
// "" when every sample is finite, else `what` and the first that is not.
std::string FiniteOf(const Channels& out, const std::string& what);
// The forbidden calls of a watched render, else its first non-finite sample.
std::string VerdictOf(const StrictLevel& level, const Channels& out, const std::string& what);
// A value across the parameter's range, whole for an integer one.
float RandomValue(const StrictParameter& p, ReproducibleNoise& noise);
