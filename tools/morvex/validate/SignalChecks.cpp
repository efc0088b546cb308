#include "tools/morvex/validate/SignalChecks.h"

#include <cmath>
#include <cstring>

#include "framework/base/ReproducibleNoise.h"
#include "tools/morvex/settings/TypedInput.h"

Channels TestSignal(int channels, double rate, double seconds) {
  const size_t frames = static_cast<size_t>(rate * seconds);
  Channels signal(static_cast<size_t>(channels), std::vector<float>(frames));
  ReproducibleNoise noise(12345);
  for (size_t c = 0; c < signal.size(); ++c)
    for (size_t i = 0; i < frames; ++i) {
      const double tone =
          std::sin(2 * M_PI * (220.0 * static_cast<double>(c + 1)) * static_cast<double>(i) / rate);
      signal[c][i] = static_cast<float>(0.45 * noise.bipolar() + 0.45 * tone);
    }
  return signal;
}

float PeakOf(const Channels& signal) {
  float peak = 0;
  for (const auto& channel : signal)
    for (float x : channel)
      peak = std::max(peak, std::fabs(x));
  return peak;
}

std::string CheckRange(const Channels& signal) {
  for (size_t c = 0; c < signal.size(); ++c)
    for (size_t i = 0; i < signal[c].size(); ++i)
      if (!std::isfinite(signal[c][i]) || std::fabs(signal[c][i]) > 1.0f)
        return "sample " + std::to_string(i) + " of channel " + std::to_string(c) + " is " +
               NumberText(signal[c][i]);
  return {};
}

std::string Compare(const Channels& a, const Channels& b, const std::string& what) {
  for (size_t c = 0; c < a.size(); ++c)
    for (size_t i = 0; i < a[c].size(); ++i)
      if (std::memcmp(&a[c][i], &b[c][i], sizeof(float)) != 0)
        return what + ": sample " + std::to_string(i) + " of channel " + std::to_string(c) +
               " is " + NumberText(b[c][i]) + " instead of " + NumberText(a[c][i]);
  return {};
}
