#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace test_support {

// Runs interleaved frames through an LV2 instance in blocks of blockSize,
// the outputs in buffers of their own or over the inputs. Instance offers
// numInputs(), connectInputs(), connectOutputs() and run(), as the lilv
// host's instances and the wrapper tests' direct ones do.
template <typename Instance>
std::vector<float> ProcessInBlocks(Instance& instance, const std::vector<float>& interleaved,
                                   int blockSize, bool inPlace = false) {
  const size_t n = static_cast<size_t>(instance.numInputs());
  const size_t frames = interleaved.size() / n;
  std::vector<std::vector<float>> in(n, std::vector<float>(frames));
  std::vector<std::vector<float>> out(n, std::vector<float>(frames));
  for (size_t f = 0; f < frames; ++f)
    for (size_t c = 0; c < n; ++c)
      in[c][f] = interleaved[f * n + c];
  std::vector<std::vector<float>>& result = inPlace ? in : out;
  std::vector<const float*> inputs(n);
  std::vector<float*> outputs(n);
  for (size_t done = 0; done < frames;) {
    const size_t count = std::min(frames - done, static_cast<size_t>(blockSize));
    for (size_t c = 0; c < n; ++c) {
      inputs[c] = in[c].data() + done;
      outputs[c] = result[c].data() + done;
    }
    instance.connectInputs(inputs.data());
    instance.connectOutputs(outputs.data());
    instance.run(static_cast<uint32_t>(count));
    done += count;
  }
  std::vector<float> processed(interleaved.size());
  for (size_t f = 0; f < frames; ++f)
    for (size_t c = 0; c < n; ++c)
      processed[f * n + c] = result[c][f];
  return processed;
}

}  // namespace test_support
