#include "tools/morvex/validate/StrictChecks.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/validate/AudioFeed.h"

namespace {

// Told before the checks it bears on, so that a pass is not taken for more
// than was watched.
void noteSystemCallWatch(CheckReport& report, const RtProbe& probe) {
  report.info("raw system-call watch",
              probe.watchesSystemCalls()
                  ? "on: a system call instruction in an audio call fails it too, one the C "
                    "library makes inside itself or one a plug-in makes directly"
                  : "unavailable: the kernel refused Syscall User Dispatch (Linux 5.11 or later "
                    "on x86 has it); only system calls through the C library's functions are "
                    "watched",
              0);
}

void checkRealTime(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  if (level.probe) noteSystemCallWatch(report, *level.probe);
  const std::string prefix = level.probe ? "real-time: " : "";
  report.run(
      prefix + "every parameter automated from another thread every block",
      [&](std::string* detail) { return AutomatedRender(plugin, level, 4.0, nullptr, detail); });

  report.run(prefix + "presets and state changed between blocks", [&](std::string* detail) {
    auto instance = plugin.open(kCheckRate, kLargestBlock);
    const int presets = instance->presetCount();
    std::vector<std::vector<unsigned char>> states;
    for (int p = 0; p < presets; ++p) {
      instance->loadPreset(p);
      states.push_back(instance->saveState());
    }
    HitsOf(level);
    AudioFeed feed(*instance, level.probe);
    int changes = 0;
    const Channels out =
        feed.run(TestSignal(2, kCheckRate, 2.0), VaryingBlocks(7), false, [&](int block) {
          if (presets == 0) return;
          const int which = block / 2 % presets;
          if (block % 2)
            instance->loadPreset(which);
          else
            instance->restoreState(states[static_cast<size_t>(which)]);
          ++changes;
        });
    *detail = std::to_string(changes) + " changes among " + std::to_string(presets) +
              " presets and their states over " + std::to_string(feed.blocks()) + " blocks";
    return VerdictOf(level, out, "output");
  });

  if (plugin.stagesParameter() >= 0) {
    report.run(prefix + "Stages changed through every value", [&](std::string* detail) {
      const StrictParameter& stages =
          plugin.parameters()[static_cast<size_t>(plugin.stagesParameter())];
      auto instance = plugin.open(kCheckRate, kLargestBlock);
      AudioFeed feed(*instance, level.probe);
      int value = static_cast<int>(stages.minValue);
      const Channels out =
          feed.run(TestSignal(2, kCheckRate, 1.0), FixedBlocks(256), false, [&](int block) {
            if (block % 4) return;
            value = value >= static_cast<int>(stages.maxValue) ? static_cast<int>(stages.minValue)
                                                               : value + 1;
            instance->automate(plugin.stagesParameter(), static_cast<float>(value));
          });
      *detail = NumberText(stages.minValue) + " to " + NumberText(stages.maxValue) +
                " and round again, every 4 blocks";
      return VerdictOf(level, out, "output");
    });
  }

  struct Input {
    const char* name;
    float (*sample)(size_t i);
  };
  const Input inputs[] = {
      {"silence", [](size_t) { return 0.0f; }},
      {"denormal-range input",
       [](size_t i) {
         return (i % 2 ? 1.0f : -1.0f) * std::numeric_limits<float>::denorm_min() *
                static_cast<float>(1 + i % 1000);
       }},
  };
  for (const Input& input : inputs) {
    report.run(prefix + input.name, [&](std::string* detail) {
      auto instance = plugin.open(kCheckRate, kLargestBlock);
      Channels in(2, std::vector<float>(static_cast<size_t>(kCheckRate)));
      for (auto& channel : in)
        for (size_t i = 0; i < channel.size(); ++i)
          channel[i] = input.sample(i);
      HitsOf(level);
      const Channels out = AudioFeed(*instance, level.probe).run(in, VaryingBlocks(3), false);
      *detail = "one second, finite output, peak " + NumberText(PeakOf(out));
      return VerdictOf(level, out, "output");
    });
  }

  report.run(prefix + "NaN and infinity in the input", [&](std::string* detail) {
    const Channels normal = TestSignal(2, kCheckRate, 0.5);
    auto fresh = plugin.open(kCheckRate, kLargestBlock);
    const float freshPeak = PeakOf(AudioFeed(*fresh, nullptr).run(normal, FixedBlocks(512), false));
    auto instance = plugin.open(kCheckRate, kLargestBlock);
    Channels poisoned = TestSignal(2, kCheckRate, 0.1);
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity()};
    for (size_t i = 0; i < poisoned[0].size(); i += 97)
      poisoned[i % 2][i] = specials[i % 3];
    HitsOf(level);
    AudioFeed feed(*instance, level.probe);
    const Channels during = feed.run(poisoned, FixedBlocks(512), false);
    std::string verdict = VerdictOf(level, during, "while the input held NaN and infinities");
    if (!verdict.empty()) return verdict;
    const Channels after = feed.run(normal, FixedBlocks(512), false);
    verdict = VerdictOf(level, after, "in the normal input after them");
    if (!verdict.empty()) return verdict;
    const float peak = PeakOf(after);
    *detail = "finite throughout; the normal input after them peaks at " + NumberText(peak) +
              " (a fresh instance: " + NumberText(freshPeak) + ")";
    if (peak < 0.25f * freshPeak)
      return "the normal input after them comes out at peak " + NumberText(peak) + " against " +
             NumberText(freshPeak) + " from a fresh instance";
    return std::string();
  });
}

}  // namespace

std::string AutomatedRender(StrictPlugin& plugin, const StrictLevel& level, double seconds,
                            const Alongside& alongside, std::string* detail, bool paced) {
  auto instance = plugin.open(kCheckRate, kLargestBlock);
  const std::vector<StrictParameter>& parameters = plugin.parameters();
  std::atomic<bool> stop{false};
  // One round of changes to every parameter per block, made while the block
  // runs: each block starts a round and the next waits for it to end.
  std::atomic<int> started{0};
  std::atomic<int> rounds{0};
  std::thread automation([&] {
    ReproducibleNoise noise(99);
    while (!stop.load()) {
      if (started.load() == rounds.load()) {
        std::this_thread::yield();
        continue;
      }
      for (size_t p = 0; p < parameters.size(); ++p)
        instance->automate(static_cast<int>(p), RandomValue(parameters[p], noise));
      ++rounds;
    }
  });
  std::thread side;
  if (alongside) side = std::thread([&] { alongside(*instance, stop); });
  HitsOf(level);
  AudioFeed feed(*instance, level.probe);
  const auto start = std::chrono::steady_clock::now();
  const Channels out =
      feed.run(TestSignal(2, kCheckRate, seconds), VaryingBlocks(5, 512), false, [&](int block) {
        while (rounds.load() < started.load())
          std::this_thread::yield();
        if (paced)
          std::this_thread::sleep_until(
              start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(feed.framesDone() / kCheckRate)));
        started.store(block);
      });
  stop.store(true);
  automation.join();
  if (side.joinable()) side.join();
  *detail = std::to_string(rounds.load() * static_cast<long>(parameters.size())) +
            " parameter changes over " + std::to_string(feed.blocks()) + " blocks";
  return VerdictOf(level, out, "output");
}

void RunStrictChecks(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  checkRealTime(report, plugin, level);
  CheckBlockSplits(report, plugin, level);
  CheckLifecycles(report, plugin, level);
}
