#include "tools/morvex/render/RenderTail.h"

#include <algorithm>
#include <cmath>

#include "tools/morvex/console/ArgCursor.h"

namespace {
constexpr double kMaxSeconds = 600;
}  // namespace

TailLength ParseTail(const ArgCursor& args, const std::string& text) {
  TailLength length;
  if (text == "auto") {
    length.automatic = true;
    return length;
  }
  length.seconds = ParseDecimal(args, "--tail", text, 0, kMaxSeconds);
  return length;
}

RenderTail::RenderTail(const TailLength& length, int sampleRate)
    : mAutomatic(length.automatic),
      mLeft(std::llround((length.automatic ? kMaxAutoSeconds : length.seconds) * sampleRate)),
      mQuietNeeded(std::llround(kQuietSeconds * sampleRate)),
      mQuietLevel(static_cast<float>(std::pow(10.0, kQuietDbfs / 20))) {}

long long RenderTail::next(long long chunk) const {
  return std::min(chunk, mLeft);
}

long long RenderTail::keep(const float* interleaved, long long frames, int channels) {
  long long kept = frames;
  if (mAutomatic) {
    for (long long i = 0; i < frames; ++i) {
      bool quiet = true;
      for (int c = 0; c < channels; ++c)
        quiet = quiet && std::fabs(interleaved[i * channels + c]) < mQuietLevel;
      mQuiet = quiet ? mQuiet + 1 : 0;
      if (mQuiet >= mQuietNeeded) {
        kept = i + 1;
        mLeft = kept;  // becomes 0 below
        break;
      }
    }
  }
  mLeft -= kept;
  return kept;
}
