#pragma once

#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/settings/TypedInput.h"

// Parameter changes over a render, set through the unit's parameter calls
// between render slices as a host sets them. Each parameter follows its
// points: linear between them in the parameter's own value, stepped every
// kRampStep frames, held before the first point and after the last; an
// indexed parameter (Stages) jumps at each point instead. Two points at the
// same time make a jump there.
class Automation {
 public:
  static constexpr long long kRampStep = 64;

  explicit Automation(double sampleRate) : mSampleRate(sampleRate) {}

  // Adds "NAME=TIME:VALUE,TIME:VALUE,..." (times in seconds, values as
  // --set takes them, measured against the unit's settings now); throws
  // UsageError naming what is wrong. Values only approached are noted.
  void add(const std::string& envelope, const Unit& unit,
           const std::vector<ParameterDescription>& parameters, const NoteSink& note = PrintNote);

  bool empty() const { return mLanes.empty(); }
  // Frames from `frame` to the next frame at which a value changes; at
  // least 1, and huge when nothing changes again.
  long long framesUntilChange(long long frame) const;
  // Sets each parameter whose value at `frame` differs from the one it was
  // last given.
  void applyAt(Unit& unit, long long frame);

 private:
  struct Point {
    long long frame;
    float value;
  };
  struct Lane {
    AudioUnitParameterID id;
    bool stepped;
    std::vector<Point> points;
    float current;  // NaN until first set
  };

  static float valueAt(const Lane& lane, long long frame);
  static long long nextChange(const Lane& lane, long long frame);

  double mSampleRate;
  std::vector<Lane> mLanes;
};
