// CPhaser at 44.1 kHz for every stage setting, with the counters of
// frame_counters.h: processBlock on blocks of 512 frames in the same
// buffers every time, as a host sends them, and process() one frame at a
// time. The goals are at most 15 ns
// per stereo frame with six sections and 6 ns with one, on blocks. The
// machine may be shared: run with --benchmark_repetitions and read the median.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "effect/dsp/CPhaser.h"
#include "frame_counters.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr int kBlock = 512;

void configure(CPhaser& p, int stages) {
  p.reset(kSampleRate);
  p.setStages(stages);
  p.setMix(0.5);
  p.setFreq(0.1);
  p.setFeedback(0.8);
  p.setSpread(0.5);
  p.setRate(0.6);
  p.setDepth(1.0);
}

void renderBlocks(benchmark::State& state, CPhaser& p, const std::vector<double>& l,
                  const std::vector<double>& r) {
  std::vector<double> outL(kBlock), outR(kBlock);
  for (auto _ : state) {
    p.processBlock(l.data(), r.data(), outL.data(), outR.data(), kBlock);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }
  setFrameCounters(state, kBlock, kSampleRate);
}

std::vector<double> noise(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-0.5, 0.5);
  std::vector<double> v(kBlock);
  for (double& x : v)
    x = dist(rng);
  return v;
}

void BM_PhaserBlock(benchmark::State& state) {
  CPhaser p;
  configure(p, static_cast<int>(state.range(0)));
  renderBlocks(state, p, noise(1), noise(2));
}
BENCHMARK(BM_PhaserBlock)->DenseRange(0, 5)->ArgName("stages");

// The loop processors without fused multiply-adds run.
void BM_PhaserBlockOn(benchmark::State& state, InstructionSet set) {
  if (!hasInstructionSet(set)) return state.SkipWithError("not on this processor");
  CPhaser p;
  p.setInstructionSet(set);
  configure(p, static_cast<int>(state.range(0)));
  renderBlocks(state, p, noise(1), noise(2));
}
BENCHMARK_CAPTURE(BM_PhaserBlockOn, sse2, InstructionSet::kSse2)->Arg(0)->Arg(5);

void BM_PhaserFrameByFrame(benchmark::State& state) {
  CPhaser p;
  configure(p, static_cast<int>(state.range(0)));
  const std::vector<double> l = noise(1), r = noise(2);
  std::vector<double> outL(kBlock), outR(kBlock);
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      p.process(l[i], r[i]);
      outL[i] = p.getOutL();
      outR[i] = p.getOutR();
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }
  setFrameCounters(state, kBlock, kSampleRate);
}
BENCHMARK(BM_PhaserFrameByFrame)->Arg(0)->Arg(5)->ArgName("stages");

// Six sections at the fastest sweep: the LFO lands on a new table entry at
// every control update, so every update recomputes both chains' coefficients.
void BM_PhaserFastestSweep(benchmark::State& state) {
  CPhaser p;
  configure(p, 5);
  p.setRate(1.0);
  renderBlocks(state, p, noise(1), noise(2));
}
BENCHMARK(BM_PhaserFastestSweep);

// Six sections with the left input silent for half a minute: the left chain
// has rung out and the feedback smoothers have glided to zero, where
// unflushed state would have turned denormal.
void BM_PhaserDecayingTail(benchmark::State& state) {
  CPhaser p;
  configure(p, 5);
  p.setFeedback(0.5);
  const std::vector<double> silent(kBlock, 0.0), r = noise(3);
  for (int i = 0; i < 30 * 44100 / kBlock; ++i) {
    std::vector<double> outL(kBlock), outR(kBlock);
    p.processBlock(silent.data(), r.data(), outL.data(), outR.data(), kBlock);
  }
  renderBlocks(state, p, silent, r);
}
BENCHMARK(BM_PhaserDecayingTail);

// Six sections fed digital silence once they have rung out, as between the
// regions of a session: the chains are skipped, the sweep runs on.
void BM_PhaserSilence(benchmark::State& state) {
  CPhaser p;
  configure(p, 5);
  const std::vector<double> silent(kBlock, 0.0);
  p.processBlock(noise(1).data(), noise(2).data(), std::vector<double>(kBlock).data(),
                 std::vector<double>(kBlock).data(), kBlock);
  for (int i = 0; i < 30 * 44100 / kBlock; ++i) {
    std::vector<double> outL(kBlock), outR(kBlock);
    p.processBlock(silent.data(), silent.data(), outL.data(), outR.data(), kBlock);
  }
  renderBlocks(state, p, silent, silent);
}
BENCHMARK(BM_PhaserSilence);

}  // namespace
