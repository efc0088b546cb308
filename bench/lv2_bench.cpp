// `run` of two stereo phasers in an in-memory LV2 host, in one program run:
// Morvex's stereo plug-in with six sections beside the Calf Phaser with twelve
// stages, the same number of all-pass poles; every other control at its
// default. An iteration plays 60 s of stereo 44.1 kHz audio through the
// plug-in in 512-frame blocks; the counters are those of frame_counters.h.
// After the runs the program prints Calf's time per frame over Morvex's
// against the goal that Morvex be at least four times as fast. The machine may be
// shared: run with --benchmark_repetitions and the summary takes the medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "frame_counters.h"
#include "tools/lv2host/Lv2Instance.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr uint32_t kBlock = 512;
constexpr size_t kFrames = 60 * 44100;
// The last block is the short one the minute ends with.
constexpr size_t kLastStart = (kFrames - 1) / kBlock * kBlock;
constexpr size_t kLastFrames = kFrames - kLastStart;
constexpr double kGoal = 4.0;

struct Subject {
  const char* name;
  const char* bundle;
  const char* uri;
  const char* whenMissing;
  ControlSettings settings;
};

const Subject kMorvex{"Morvex",
                      MORVEX_LV2_DIR "/Morvex.lv2",
                      "urn:tarnbrook:morvex:stereo",
                      "build the MorvexLV2 target",
                      {{"stages", 5.0f}}};
// Calf's Active, Reset and LFO switches are set to processing, so it is never
// timed passing audio through untouched or with its sweep stopped.
const Subject kCalf{"CalfPhaser",
                    "/usr/lib/lv2/calf.lv2",
                    "http://calf.sourceforge.net/plugins/Phaser",
                    "the Calf Phaser is not installed: install the Debian package calf-plugins",
                    {{"stages", 12.0f}, {"on", 1.0f}, {"reset", 0.0f}, {"lfo", 1.0f}}};

struct StereoSignal {
  std::vector<float> channel[2];
};

// Noise under two tones per channel, the same on every run.
const StereoSignal& testSignal() {
  static const StereoSignal signal = [] {
    constexpr double kTwoPi = 6.283185307179586;
    const double tones[2][2] = {{220.0, 330.0}, {277.2, 415.3}};
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> noise(-0.1f, 0.1f);
    StereoSignal s;
    for (int c = 0; c < 2; ++c) {
      s.channel[c].resize(kFrames);
      for (size_t i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double sines =
            0.25 * (std::sin(kTwoPi * tones[c][0] * t) + std::sin(kTwoPi * tones[c][1] * t));
        s.channel[c][i] = static_cast<float>(sines) + noise(rng);
      }
    }
    return s;
  }();
  return signal;
}

// Why the last block did not come out processed, or "": a plug-in that
// returned early or was wired wrongly leaves its outputs silent or dry, and
// its time would mean nothing.
std::string unprocessed(const Lv2Instance& instance, const StereoSignal& in) {
  for (int c = 0; c < 2; ++c) {
    const float* out = instance.output(c);
    const float* dry = in.channel[c].data() + kLastStart;
    float energy = 0.0f, change = 0.0f;
    for (size_t i = 0; i < kLastFrames; ++i) {
      if (!std::isfinite(out[i])) return "output " + std::to_string(c) + " is not finite";
      energy += out[i] * out[i];
      change = std::max(change, std::fabs(out[i] - dry[i]));
    }
    if (energy == 0.0f) return "output " + std::to_string(c) + " is silent";
    if (change < 1e-3f) return "output " + std::to_string(c) + " is the dry input";
  }
  return "";
}

void runSubject(benchmark::State& state, Lv2World& world, const Subject& subject) {
  const LilvPlugin* plugin = world.plugin(subject.uri);
  if (!plugin) {
    const std::string error = std::string("no ") + subject.uri + " in " + subject.bundle + " (" +
                              subject.whenMissing + ")";
    state.SkipWithError(error.c_str());
    return;
  }
  std::string error;
  const auto instance =
      Lv2Instance::create(world, plugin, kSampleRate, kBlock, subject.settings, error);
  if (instance && (instance->numInputs() != 2 || instance->numOutputs() != 2)) {
    error = "has " + std::to_string(instance->numInputs()) + " audio inputs and " +
            std::to_string(instance->numOutputs()) + " outputs, not 2 and 2";
  }
  if (!error.empty()) {
    state.SkipWithError((std::string(subject.uri) + " " + error).c_str());
    return;
  }

  const StereoSignal& in = testSignal();
  for (auto _ : state) {
    for (size_t start = 0; start < kFrames; start += kBlock) {
      const float* block[2] = {in.channel[0].data() + start, in.channel[1].data() + start};
      instance->connectInputs(block);
      instance->run(static_cast<uint32_t>(std::min<size_t>(kBlock, kFrames - start)));
    }
    benchmark::ClobberMemory();
  }
  error = unprocessed(*instance, in);
  if (!error.empty()) state.SkipWithError((std::string(subject.uri) + ": " + error).c_str());
  setFrameCounters(state, kFrames, kSampleRate);
}

// The console report, keeping for the summary each benchmark's seconds per
// frame (the median when the runs were repeated) or why it has none.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      Figure& figure = mFigures[run.run_name.function_name];
      if (run.error_occurred) {
        figure.error = run.error_message;
        continue;
      }
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const auto counter = run.counters.find("time_per_frame");
      if (counter == run.counters.end()) continue;
      if (median || (run.run_type == Run::RT_Iteration && !figure.median)) {
        figure.secondsPerFrame = counter->second.value;
        figure.median = median;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints the subject's figure; false when it has none.
  bool print(const Subject& subject, double& secondsPerFrame) const {
    const auto it = mFigures.find(subject.name);
    if (it == mFigures.end() || !it->second.error.empty() || it->second.secondsPerFrame <= 0.0) {
      std::printf("%-11s not measured%s%s\n", subject.name, it == mFigures.end() ? "" : ": ",
                  it == mFigures.end() ? "" : it->second.error.c_str());
      return false;
    }
    secondsPerFrame = it->second.secondsPerFrame;
    std::printf("%-11s %8.2f ns per frame, %6.0f x real time%s\n", subject.name,
                secondsPerFrame * 1e9, 1.0 / (secondsPerFrame * kSampleRate),
                it->second.median ? " (median)" : "");
    return true;
  }

 private:
  struct Figure {
    double secondsPerFrame = 0.0;
    bool median = false;
    std::string error;
  };
  std::map<std::string, Figure> mFigures;
};

void printGoal(const SummaryReporter& reporter) {
  double morvex = 0.0, calf = 0.0;
  const bool haveMorvex = reporter.print(kMorvex, morvex);
  const bool haveCalf = reporter.print(kCalf, calf);
  if (!haveMorvex || !haveCalf) {
    std::printf("goal: Morvex at least four times as fast as the Calf Phaser: not measured\n");
    return;
  }
  const double ratio = calf / morvex;
  std::printf("Calf time / Morvex time: %.2f\n", ratio);
  std::printf("goal: Morvex at least four times as fast as the Calf Phaser: %s\n",
              ratio >= kGoal ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Lv2World world;
  for (const Subject* subject : {&kMorvex, &kCalf}) {
    // A bundle that is not there shows as its plug-in missing, in its benchmark.
    world.loadBundle(subject->bundle);
    benchmark::RegisterBenchmark(subject->name, [&world, subject](benchmark::State& state) {
      runSubject(state, world, *subject);
    })->Unit(benchmark::kMillisecond);
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n");
  printGoal(reporter);
  return 0;
}
