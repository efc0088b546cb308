// The audio benchmarks' shared figures. time_per_frame is the cost of one
// stereo frame; realtime_factor (printed as a rate: seconds of audio per
// second) is how many times faster than real time that runs on one core.
#pragma once

#include <benchmark/benchmark.h>

inline void setFrameCounters(benchmark::State& state, double framesPerIteration,
                             double sampleRate) {
  const double frames = static_cast<double>(state.iterations()) * framesPerIteration;
  state.counters["time_per_frame"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["realtime_factor"] =
      benchmark::Counter(frames / sampleRate, benchmark::Counter::kIsRate);
}
