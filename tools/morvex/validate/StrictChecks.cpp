#include "tools/morvex/validate/StrictChecks.h"

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "framework/base/ReproducibleNoise.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/settings/TypedInput.h"

namespace {

constexpr double kRate = 48000;
constexpr uint32_t kMaxFrames = 4096;

// Block sizes of 1 to 4096 frames, different from call to call, the same
// sequence for the same seed.
class BlockSizes {
 public:
  explicit BlockSizes(uint32_t seed, uint32_t largest = kMaxFrames)
      : mNoise(seed), mLargest(largest) {}
  uint32_t next() {
    // Small blocks as often as large ones: the square of a uniform draw.
    const double u = mNoise.unit();
    return 1 + static_cast<uint32_t>(u * u * (mLargest - 1));
  }

 private:
  ReproducibleNoise mNoise;
  uint32_t mLargest;
};

// Feeds a whole signal through an instance, one audio call per block; each
// call watched. between runs before each block after the first.
class Feed {
 public:
  Feed(StrictInstance& instance, const RtProbe* probe) : mInstance(instance), mProbe(probe) {}

  Channels run(const Channels& in, const std::function<uint32_t()>& blockSize, bool inPlace,
               const std::function<void(int block)>& between = nullptr) {
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
  int blocks() const { return mBlocks; }
  double framesDone() const { return static_cast<double>(mFrames); }

 private:
  StrictInstance& mInstance;
  const RtProbe* mProbe;
  int mBlocks = 0;
  size_t mFrames = 0;
};

std::string hitsOf(const StrictLevel& level) {
  return level.probe ? level.probe->takeHits() : std::string();
}

std::string finiteOf(const Channels& out, const std::string& what) {
  for (size_t c = 0; c < out.size(); ++c)
    for (size_t i = 0; i < out[c].size(); ++i)
      if (!std::isfinite(out[c][i]))
        return what + ": sample " + std::to_string(i) + " of channel " + std::to_string(c) +
               " is " + NumberText(out[c][i]);
  return {};
}

float randomValue(const StrictParameter& p, ReproducibleNoise& noise) {
  const double value = p.minValue + noise.unit() * (p.maxValue - p.minValue);
  return static_cast<float>(p.integer ? std::round(value) : value);
}

std::function<uint32_t()> fixed(uint32_t frames) {
  return [frames] { return frames; };
}

std::function<uint32_t()> varying(uint32_t seed, uint32_t largest = kMaxFrames) {
  auto sizes = std::make_shared<BlockSizes>(seed, largest);
  return [sizes] { return sizes->next(); };
}

// Forbidden calls and non-finite output of one watched render.
std::string verdictOf(const StrictLevel& level, const Channels& out, const std::string& what) {
  const std::string hits = hitsOf(level);
  return hits.empty() ? finiteOf(out, what) : hits;
}

int openDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder))
      ++count;
    closedir(folder);
  }
  return count;
}

void checkRealTime(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  const std::string prefix = level.probe ? "real-time: " : "";
  report.run(
      prefix + "every parameter automated from another thread every block",
      [&](std::string* detail) { return AutomatedRender(plugin, level, 4.0, nullptr, detail); });

  report.run(prefix + "presets and state changed between blocks", [&](std::string* detail) {
    auto instance = plugin.open(kRate, kMaxFrames);
    const int presets = instance->presetCount();
    std::vector<std::vector<unsigned char>> states;
    for (int p = 0; p < presets; ++p) {
      instance->loadPreset(p);
      states.push_back(instance->saveState());
    }
    hitsOf(level);
    Feed feed(*instance, level.probe);
    int changes = 0;
    const Channels out = feed.run(TestSignal(2, kRate, 2.0), varying(7), false, [&](int block) {
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
    return verdictOf(level, out, "output");
  });

  if (plugin.stagesParameter() >= 0) {
    report.run(prefix + "Stages changed through every value", [&](std::string* detail) {
      const StrictParameter& stages =
          plugin.parameters()[static_cast<size_t>(plugin.stagesParameter())];
      auto instance = plugin.open(kRate, kMaxFrames);
      Feed feed(*instance, level.probe);
      int value = static_cast<int>(stages.minValue);
      const Channels out = feed.run(TestSignal(2, kRate, 1.0), fixed(256), false, [&](int block) {
        if (block % 4) return;
        value = value >= static_cast<int>(stages.maxValue) ? static_cast<int>(stages.minValue)
                                                           : value + 1;
        instance->automate(plugin.stagesParameter(), static_cast<float>(value));
      });
      *detail = NumberText(stages.minValue) + " to " + NumberText(stages.maxValue) +
                " and round again, every 4 blocks";
      return verdictOf(level, out, "output");
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
      auto instance = plugin.open(kRate, kMaxFrames);
      Channels in(2, std::vector<float>(static_cast<size_t>(kRate)));
      for (auto& channel : in)
        for (size_t i = 0; i < channel.size(); ++i)
          channel[i] = input.sample(i);
      hitsOf(level);
      const Channels out = Feed(*instance, level.probe).run(in, varying(3), false);
      *detail = "one second, finite output, peak " + NumberText(PeakOf(out));
      return verdictOf(level, out, "output");
    });
  }

  report.run(prefix + "NaN and infinity in the input", [&](std::string* detail) {
    const Channels normal = TestSignal(2, kRate, 0.5);
    auto fresh = plugin.open(kRate, kMaxFrames);
    const float freshPeak = PeakOf(Feed(*fresh, nullptr).run(normal, fixed(512), false));
    auto instance = plugin.open(kRate, kMaxFrames);
    Channels poisoned = TestSignal(2, kRate, 0.1);
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity()};
    for (size_t i = 0; i < poisoned[0].size(); i += 97)
      poisoned[i % 2][i] = specials[i % 3];
    hitsOf(level);
    Feed feed(*instance, level.probe);
    const Channels during = feed.run(poisoned, fixed(512), false);
    std::string verdict = verdictOf(level, during, "while the input held NaN and infinities");
    if (!verdict.empty()) return verdict;
    const Channels after = feed.run(normal, fixed(512), false);
    verdict = verdictOf(level, after, "in the normal input after them");
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

void checkRatesAndBlocks(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  for (double rate : {8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0,
                      96000.0, 176400.0, 192000.0, 352800.0, 384000.0}) {
    report.run("every block split at " + NumberText(rate) + " Hz", [&](std::string* detail) {
      const Channels in = TestSignal(2, rate, 0.2);
      Channels reference;
      {
        auto instance = plugin.open(rate, kMaxFrames);
        reference = Feed(*instance, level.probe).run(in, fixed(kMaxFrames), false);
      }
      std::string verdict = verdictOf(level, reference, "blocks of 4096");
      if (!verdict.empty()) return verdict;
      // Single frames for a while, then the rest in one block each.
      auto singlesThenLarge = [n = 0]() mutable { return ++n <= 3000 ? 1u : kMaxFrames; };
      const struct {
        const char* name;
        std::function<uint32_t()> sizes;
        bool inPlace;
      } splits[] = {{"varying blocks, separate buffers", varying(11), false},
                    {"varying blocks, in place", varying(13), true},
                    {"3000 single frames first", singlesThenLarge, false}};
      for (const auto& split : splits) {
        auto instance = plugin.open(rate, kMaxFrames);
        const Channels out = Feed(*instance, level.probe).run(in, split.sizes, split.inPlace);
        verdict = hitsOf(level);
        if (verdict.empty())
          verdict = Compare(reference, out, std::string(split.name) + " against blocks of 4096");
        if (!verdict.empty()) return verdict;
      }
      *detail =
          "blocks of 4096, of 1 to 4096 varying (separate and in place), and single frames: "
          "identical";
      return std::string();
    });
  }
}

void checkLifecycle(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  report.run(std::to_string(level.cycles) + " lifecycles without a leak", [&](std::string* detail) {
    const Channels in = TestSignal(2, 44100, 512 / 44100.0);
    const auto cycle = [&] {
      auto instance = plugin.open(44100, 512);
      Feed(*instance, level.probe).run(in, fixed(512), false);
    };
    // Process-wide caches fill on the first few.
    for (int i = 0; i < 3; ++i)
      cycle();
    hitsOf(level);
    const int fds = openDescriptors();
    const RtProbe::HeapUse before =
        level.probe ? level.probe->heapInUse() : RtProbe::HeapUse{0, ""};
    for (int i = 0; i < level.cycles; ++i)
      cycle();
    const std::string hits = hitsOf(level);
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

  report.run("state saved and restored " + std::to_string(level.cycles) + " times",
             [&](std::string* detail) {
               auto instance = plugin.open(44100, 512);
               ReproducibleNoise noise(5);
               for (size_t p = 0; p < plugin.parameters().size(); ++p)
                 instance->automate(static_cast<int>(p),
                                    randomValue(plugin.parameters()[p], noise));
               Feed(*instance, level.probe).run(TestSignal(2, 44100, 0.01), fixed(512), false);
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
    const Channels in = TestSignal(2, kRate, 2.0);
    Channels alone;
    {
      auto instance = plugin.open(kRate, kMaxFrames);
      alone = Feed(*instance, nullptr).run(in, varying(17), false);
    }
    auto a = plugin.open(kRate, kMaxFrames);
    auto b = plugin.open(kRate, kMaxFrames);
    Channels outB;
    std::thread other([&] { outB = Feed(*b, level.probe).run(in, varying(17), false); });
    const Channels outA = Feed(*a, level.probe).run(in, varying(17), false);
    other.join();
    std::string verdict = hitsOf(level);
    if (verdict.empty()) verdict = Compare(alone, outA, "the instance on this thread");
    if (verdict.empty()) verdict = Compare(alone, outB, "the instance on the other thread");
    *detail = "both identical to one alone, two seconds at 48 kHz";
    return verdict;
  });
}

}  // namespace

std::string AutomatedRender(StrictPlugin& plugin, const StrictLevel& level, double seconds,
                            const Alongside& alongside, std::string* detail, bool paced) {
  auto instance = plugin.open(kRate, kMaxFrames);
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
        instance->automate(static_cast<int>(p), randomValue(parameters[p], noise));
      ++rounds;
    }
  });
  std::thread side;
  if (alongside) side = std::thread([&] { alongside(*instance, stop); });
  hitsOf(level);
  Feed feed(*instance, level.probe);
  const auto start = std::chrono::steady_clock::now();
  const Channels out =
      feed.run(TestSignal(2, kRate, seconds), varying(5, 512), false, [&](int block) {
        while (rounds.load() < started.load())
          std::this_thread::yield();
        if (paced)
          std::this_thread::sleep_until(
              start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(feed.framesDone() / kRate)));
        started.store(block);
      });
  stop.store(true);
  automation.join();
  if (side.joinable()) side.join();
  *detail = std::to_string(rounds.load() * static_cast<long>(parameters.size())) +
            " parameter changes over " + std::to_string(feed.blocks()) + " blocks";
  return verdictOf(level, out, "output");
}

void RunStrictChecks(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  checkRealTime(report, plugin, level);
  checkRatesAndBlocks(report, plugin, level);
  checkLifecycle(report, plugin, level);
}
