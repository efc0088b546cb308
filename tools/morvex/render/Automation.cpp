#include "tools/morvex/render/Automation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/settings/TypedInput.h"

namespace {

constexpr long long kNever = std::numeric_limits<long long>::max();
// A day of audio: far beyond any file, and safe from overflow in frames.
constexpr double kLatestSeconds = 86400.0;

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
    parts.push_back(text.substr(start, at - start));
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

void Automation::add(const std::string& envelope, const Unit& unit,
                     const std::vector<ParameterDescription>& parameters, const NoteSink& note) {
  const std::string context = "--automate " + envelope;
  const size_t equals = envelope.find('=');
  if (equals == std::string::npos || equals == 0)
    throw UsageError(context + ": expected NAME=TIME:VALUE,TIME:VALUE,...");
  const ParameterDescription& parameter =
      FindParameter(parameters, envelope.substr(0, equals), context);
  for (const Lane& lane : mLanes)
    if (lane.id == parameter.id)
      throw UsageError(context + ": " + parameter.name + " is automated twice");

  Lane lane = {parameter.id, parameter.unit == kAudioUnitParameterUnit_Indexed, {}, NAN};
  for (const std::string& point : split(envelope.substr(equals + 1), ',')) {
    const size_t colon = point.find(':');
    char* end = nullptr;
    const double seconds = colon == std::string::npos ? NAN : std::strtod(point.c_str(), &end);
    if (colon == 0 || end != point.c_str() + colon || !(seconds >= 0 && seconds <= kLatestSeconds))
      throw UsageError(context + ": '" + point +
                       "' is not TIME:VALUE with TIME in seconds from 0 to 86400");
    const long long frame = std::llround(seconds * mSampleRate);
    if (!lane.points.empty() && frame < lane.points.back().frame)
      throw UsageError(context + ": the times must not go back (" + point + ")");
    const ParameterValue value =
        ParseParameterValue(unit, parameter, point.substr(colon + 1), context);
    if (!value.note.empty()) note(value.note);
    lane.points.push_back({frame, value.value});
  }
  mLanes.push_back(std::move(lane));
}

float Automation::valueAt(const Lane& lane, long long frame) {
  const auto after = std::upper_bound(lane.points.begin(), lane.points.end(), frame,
                                      [](long long f, const Point& p) { return f < p.frame; });
  if (after == lane.points.begin()) return after->value;
  const Point& from = *(after - 1);
  if (after == lane.points.end() || lane.stepped) return from.value;
  const long long rampFrame = from.frame + (frame - from.frame) / kRampStep * kRampStep;
  const double progress =
      static_cast<double>(rampFrame - from.frame) / static_cast<double>(after->frame - from.frame);
  return static_cast<float>(from.value + (after->value - from.value) * progress);
}

long long Automation::nextChange(const Lane& lane, long long frame) {
  const auto after = std::upper_bound(lane.points.begin(), lane.points.end(), frame,
                                      [](long long f, const Point& p) { return f < p.frame; });
  if (after == lane.points.end()) return kNever;
  if (after == lane.points.begin() || lane.stepped || (after - 1)->value == after->value)
    return after->frame;
  const long long from = (after - 1)->frame;
  return std::min(after->frame, from + ((frame - from) / kRampStep + 1) * kRampStep);
}

long long Automation::framesUntilChange(long long frame) const {
  long long next = kNever;
  for (const Lane& lane : mLanes)
    next = std::min(next, nextChange(lane, frame));
  return next == kNever ? kNever : next - frame;
}

void Automation::applyAt(Unit& unit, long long frame) {
  for (Lane& lane : mLanes) {
    const float value = valueAt(lane, frame);
    if (value == lane.current) continue;
    unit.setParameter(lane.id, value);
    lane.current = value;
  }
}
