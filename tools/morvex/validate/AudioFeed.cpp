#include "tools/morvex/validate/AudioFeed.h"

#include <cmath>
#include <memory>

#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/settings/TypedInput.h"

BlockSizeSource FixedBlocks(uint32_t frames) {
  return [frames] { return frames; };
}

BlockSizeSource VaryingBlocks(uint32_t seed, uint32_t largest) {
  auto noise = std::make_shared<ReproducibleNoise>(seed);
  return [noise, largest] {
    // The square of a uniform draw: small blocks more often than large.
    const double u = noise->unit();
    return 1 + static_cast<uint32_t>(u * u * (largest - 1));
  };
}

Channels AudioFeed::run(const Channels& in, const BlockSizeSource& blockSize, bool inPlace,
                        const std::function<void(int block)>& between) {
  Channels out = inPlace ? in : Channels(in.size(), std::vector<float>(in[0].size()));
  const Channels& source = inPlace ? out : in;
  int block = 0;
  for (size_t offset = 0; offset < in[0].size(); ++block) {
    const uint32_t frames =
        static_cast<uint32_t>(std::min<size_t>(blockSize(), in[0].size() - offset));
    if (between && block > 0) between(block);
    const float* inPointers[2] = {source[0].data() + offset, source[1].data() + offset};
    float* outPointers[2] = {out[0].data() + offset, out[1].data() + offset};
    bool processed;
    {
      const AudioCall call(mProbe);
      processed = mInstance.process(inPointers, outPointers, frames);
    }
    if (!processed) throw ToolError(mInstance.failure());
    offset += frames;
    mFrames += frames;
  }
  mBlocks += block;
  return out;
}

std::string HitsOf(const StrictLevel& level) {
  return level.probe ? level.probe->takeHits() : std::string();
}

std::string FiniteOf(const Channels& out, const std::string& what) {
  for (size_t c = 0; c < out.size(); ++c)
    for (size_t i = 0; i < out[c].size(); ++i)
      if (!std::isfinite(out[c][i]))
        return what + ": sample " + std::to_string(i) + " of channel " + std::to_string(c) +
               " is " + NumberText(out[c][i]);
  return {};
}

std::string VerdictOf(const StrictLevel& level, const Channels& out, const std::string& what) {
  const std::string hits = HitsOf(level);
  return hits.empty() ? FiniteOf(out, what) : hits;
}

float RandomValue(const StrictParameter& p, ReproducibleNoise& noise) {
  const double value = p.minValue + noise.unit() * (p.maxValue - p.minValue);
  return static_cast<float>(p.integer ? std::round(value) : value);
}
