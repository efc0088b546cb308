#pragma once

#include <string>

class ArgCursor;

// --tail: how long a render goes on past the input's end, feeding the
// effect silence, so that what still rings after the input is kept.
struct TailLength {
  bool automatic = false;  // until the outputs have fallen quiet
  double seconds = 0;      // a fixed tail; 0 for none
};

// Parses --tail's value: seconds from 0 to 600, or "auto"; throws
// UsageError naming the value.
TailLength ParseTail(const ArgCursor& args, const std::string& text);

// Counts one render's tail frames as they are rendered. [the render's
// thread]
class RenderTail {
 public:
  // An automatic tail stops once every output channel has stayed below
  // kQuietDbfs for kQuietSeconds, and after kMaxAutoSeconds at the most.
  static constexpr double kQuietDbfs = -96;
  static constexpr double kQuietSeconds = 0.1;
  static constexpr double kMaxAutoSeconds = 30;

  RenderTail(const TailLength& length, int sampleRate);

  // Frames of silence to render next, at most `chunk`; 0 once done.
  long long next(long long chunk) const;
  // Of the `frames` tail frames just rendered (interleaved), how many the
  // output keeps; the tail is done once fewer than all are kept.
  long long keep(const float* interleaved, long long frames, int channels);

 private:
  bool mAutomatic;
  long long mLeft;
  long long mQuietNeeded;
  long long mQuiet = 0;
  float mQuietLevel;
};
