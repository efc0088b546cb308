// The same output whatever the rate's block split.
#include "tools/morvex/validate/StrictChecks.h"

#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/validate/AudioFeed.h"

void CheckBlockSplits(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level) {
  for (double rate : {8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0,
                      96000.0, 176400.0, 192000.0, 352800.0, 384000.0}) {
    report.run("every block split at " + NumberText(rate) + " Hz", [&](std::string* detail) {
      const Channels in = TestSignal(2, rate, 0.2);
      Channels reference;
      {
        auto instance = plugin.open(rate, kLargestBlock);
        reference = AudioFeed(*instance, level.probe).run(in, FixedBlocks(kLargestBlock), false);
      }
      std::string verdict = VerdictOf(level, reference, "blocks of 4096");
      if (!verdict.empty()) return verdict;
      // Single frames for a while, then the rest in one block each.
      auto singlesThenLarge = [n = 0]() mutable { return ++n <= 3000 ? 1u : kLargestBlock; };
      const struct {
        const char* name;
        BlockSizeSource sizes;
        bool inPlace;
      } splits[] = {{"varying blocks, separate buffers", VaryingBlocks(11), false},
                    {"varying blocks, in place", VaryingBlocks(13), true},
                    {"3000 single frames first", singlesThenLarge, false}};
      for (const auto& split : splits) {
        auto instance = plugin.open(rate, kLargestBlock);
        const Channels out = AudioFeed(*instance, level.probe).run(in, split.sizes, split.inPlace);
        verdict = HitsOf(level);
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
