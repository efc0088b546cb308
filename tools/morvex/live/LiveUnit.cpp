#include "tools/morvex/live/LiveUnit.h"

#include <algorithm>
#include <cstdio>

#include "tools/morvex/settings/UnitSettings.h"

LiveUnit::LiveUnit(Unit& unit, const UnitSettings& settings) : mUnit(unit), mSettings(settings) {}

void LiveUnit::process(const float* const* in, float* const* out, uint32_t frames) noexcept {
  if (mRenderer->render(in, out, frames) == noErr) return;
  mRefused.fetch_add(1, std::memory_order_relaxed);
  std::fill_n(out[0], frames, 0.0f);
  std::fill_n(out[1], frames, 0.0f);
}

// A unit takes a new rate or slice size only while uninitialised; the
// parameters keep their values through it.
void LiveUnit::prepare(double sampleRate, uint32_t maxFrames) {
  const bool first = !mRenderer;
  mUnit.uninitialize();
  mUnit.configure(2, sampleRate, maxFrames);
  mUnit.initialize();
  if (first) {
    mSettings.apply(mUnit);
    mRenderer.emplace(mUnit, 2, RenderCall::FastDispatch);
  } else {
    std::fprintf(stderr, "morvex: following the JACK server: %.0f Hz, %u frames a period\n",
                 sampleRate, static_cast<unsigned>(maxFrames));
  }
}
