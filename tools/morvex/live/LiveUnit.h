#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "tools/auhost/Unit.h"
#include "tools/jackhost/JackClient.h"

struct UnitSettings;

// Morvex as the audio of a JACK client: the unit renders in the process
// callback through its fast-dispatch render function, which takes no lock,
// and is prepared again, off the audio thread, for each new stream.
class LiveUnit : public JackProcessor {
 public:
  // The settings apply once the unit is first prepared, before it plays.
  LiveUnit(Unit& unit, const UnitSettings& settings);

  void process(const float* const* in, float* const* out, uint32_t frames) noexcept override;
  void prepare(double sampleRate, uint32_t maxFrames) override;

  // The periods the unit refused to render, played as silence.
  unsigned refusedPeriods() const { return mRefused.load(); }

 private:
  Unit& mUnit;
  const UnitSettings& mSettings;
  std::optional<Renderer> mRenderer;
  std::atomic<unsigned> mRefused{0};
};
