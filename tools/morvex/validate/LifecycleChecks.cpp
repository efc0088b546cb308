// Lifecycles, state round trips and two instances at once.
#include "tools/morvex/validate/StrictChecks.h"

#include <dirent.h>

#include <thread>

#include "tools/morvex/validate/AudioFeed.h"

namespace {

int openDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder))
      ++count;
    closedir(folder);
  }
  return count;
}

}  // namespace

void CheckLifecycles(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  report.run(std::to_string(level.cycles) + " lifecycles without a leak", [&](std::string* detail) {
    const Channels in = TestSignal(2, 44100, 512 / 44100.0);
    const auto cycle = [&] {
      auto instance = plugin.open(44100, 512);
      AudioFeed(*instance, level.probe).run(in, FixedBlocks(512), false);
    };
    // Process-wide caches fill on the first few.
    for (int i = 0; i < 3; ++i)
      cycle();
    HitsOf(level);
    const int fds = openDescriptors();
    const RtProbe::HeapUse before =
        level.probe ? level.probe->heapInUse() : RtProbe::HeapUse{0, ""};
    for (int i = 0; i < level.cycles; ++i)
      cycle();
    const std::string hits = HitsOf(level);
    if (!hits.empty()) return hits;
    const int fdsAfter = openDescriptors();
    if (fdsAfter != fds)
      return std::to_string(fdsAfter - fds) + " more file descriptors open after the cycles";
    *detail = "file descriptors: " + std::to_string(fds) + " before and after";
    if (!level.probe) return std::string();
    const long growth = level.probe->heapInUse().amount - before.amount;
    *detail += "; heap: " + std::to_string(growth) + " " + before.unit + " more after the cycles";
    // A block per cycle is a leak; a cache that settles is not.
    if (growth >= before.leakOver(level.cycles))
      return std::to_string(growth) + " heap " + before.unit + " more after " +
             std::to_string(level.cycles) + " cycles";
    return std::string();
  });

  report.run(
      "state saved and restored " + std::to_string(level.cycles) + " times",
      [&](std::string* detail) {
        auto instance = plugin.open(44100, 512);
        ReproducibleNoise noise(5);
        for (size_t p = 0; p < plugin.parameters().size(); ++p)
          instance->automate(static_cast<int>(p), RandomValue(plugin.parameters()[p], noise));
        AudioFeed(*instance, level.probe).run(TestSignal(2, 44100, 0.01), FixedBlocks(512), false);
        const std::vector<unsigned char> first = instance->saveState();
        for (int i = 0; i < level.cycles; ++i) {
          instance->restoreState(first);
          if (instance->saveState() != first)
            return "round trip " + std::to_string(i + 1) + " gives other bytes";
        }
        *detail = "the same " + std::to_string(first.size()) + " bytes every time";
        return std::string();
      });

  report.run("two instances on two threads sound as each alone", [&](std::string* detail) {
    const Channels in = TestSignal(2, kCheckRate, 2.0);
    Channels alone;
    {
      auto instance = plugin.open(kCheckRate, kLargestBlock);
      alone = AudioFeed(*instance, nullptr).run(in, VaryingBlocks(17), false);
    }
    auto a = plugin.open(kCheckRate, kLargestBlock);
    auto b = plugin.open(kCheckRate, kLargestBlock);
    Channels outB;
    std::thread other([&] { outB = AudioFeed(*b, level.probe).run(in, VaryingBlocks(17), false); });
    const Channels outA = AudioFeed(*a, level.probe).run(in, VaryingBlocks(17), false);
    other.join();
    std::string verdict = HitsOf(level);
    if (verdict.empty()) verdict = Compare(alone, outA, "the instance on this thread");
    if (verdict.empty()) verdict = Compare(alone, outB, "the instance on the other thread");
    *detail = "both identical to one alone, two seconds at 48 kHz";
    return verdict;
  });
}
