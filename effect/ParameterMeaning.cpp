#include "effect/ParameterMeaning.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "effect/Morvex.h"
#include "effect/dsp/CPhaser.h"

namespace {

// What a quantity is measured against: the sweep's span depends on Freq.
struct Context {
  double sampleRate;
  double freq;
};

// The mix is equal-power, so the two shares of the output's power add up.
double wetPowerShare(double mix) {
  const double dry = CPhaser::dryGain(Morvex::DryShare(mix));
  const double wet = CPhaser::wetGain(Morvex::DryShare(mix));
  return wet * wet / (dry * dry + wet * wet);
}

int sections(double stages) {
  return Morvex::Sections(static_cast<int>(stages));
}

double bottomHz(double freq, const Context& c) {
  return CPhaser::sweepBottomHz(freq, c.sampleRate);
}

double topHz(double depth, const Context& c) {
  return CPhaser::sweepTopHz(c.freq, depth, c.sampleRate);
}

double octaves(double depth, const Context& c) {
  return std::log2(topHz(depth, c) / bottomHz(c.freq, c));
}

// A quantity a parameter can be given in.
struct Quantity {
  int parameter;
  const char* unit;     // as typed after the number, in lower case
  const char* example;  // for help and errors; null for a second spelling
  bool logarithmic;     // nearness is by ratio rather than difference
  double (*of)(double value, const Context& c);
};

const Quantity kQuantities[] = {
    {Morvex::kMix, "%wet", "30%wet", false,
     [](double v, const Context&) { return 100.0 * wetPowerShare(v); }},
    {Morvex::kMix, "%dry", "70%dry", false,
     [](double v, const Context&) { return 100.0 * (1.0 - wetPowerShare(v)); }},
    {Morvex::kStages, "sections", "4sections", false,
     [](double v, const Context&) { return static_cast<double>(sections(v)); }},
    {Morvex::kStages, "section", nullptr, false,
     [](double v, const Context&) { return static_cast<double>(sections(v)); }},
    {Morvex::kFreq, "hz", "300Hz", true, bottomHz},
    {Morvex::kFreq, "khz", "1.2kHz", true,
     [](double v, const Context& c) { return bottomHz(v, c) / 1000.0; }},
    {Morvex::kFeedback, "%", "-40%", false,
     [](double v, const Context&) { return 100.0 * CPhaser::feedbackGain(v); }},
    {Morvex::kSpread, "q", "Q0.7", false,
     [](double v, const Context&) { return CPhaser::sectionQ(v); }},
    {Morvex::kRate, "s", "2s", true,
     [](double v, const Context&) { return CPhaser::sweepSeconds(v); }},
    {Morvex::kRate, "ms", "500ms", true,
     [](double v, const Context&) { return 1000.0 * CPhaser::sweepSeconds(v); }},
    {Morvex::kRate, "hz", "0.5Hz", true,
     [](double v, const Context&) { return 1.0 / CPhaser::sweepSeconds(v); }},
    {Morvex::kDepth, "oct", "3oct", false, octaves},
    {Morvex::kDepth, "octaves", nullptr, false, octaves},
};

std::string format(const char* pattern, double value) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string threeDigits(double value) {
  return format("%.3g", value);
}

std::string hzText(double hz) {
  return hz < 1000.0 ? format("%.3g Hz", hz) : format("%.3g kHz", hz / 1000.0);
}

// The quantity alone, as a readout tells it.
std::string value(int parameter, double v, const Context& c) {
  switch (parameter) {
    case Morvex::kMix: {
      const long wet = std::lround(100.0 * wetPowerShare(v));
      return "dry " + std::to_string(100 - wet) + "% / wet " + std::to_string(wet) + "%";
    }
    case Morvex::kStages:
      return sections(v) == 1 ? "1 section" : std::to_string(sections(v)) + " sections";
    case Morvex::kFreq:
      return hzText(bottomHz(v, c));
    case Morvex::kFeedback:
      return format("%+.3g%%", 100.0 * CPhaser::feedbackGain(v));
    case Morvex::kSpread:
      return "Q " + threeDigits(CPhaser::sectionQ(v));
    case Morvex::kRate: {
      const double seconds = CPhaser::sweepSeconds(v);
      return std::isinf(seconds) ? "no sweep" : "one sweep in " + threeDigits(seconds) + " s";
    }
    case Morvex::kDepth:
      return threeDigits(octaves(v, c)) + " octaves";
    default:
      return "";
  }
}

// The quantity with what it does to the sweep, as a listing tells it.
std::string meaning(int parameter, double v, const Context& c) {
  switch (parameter) {
    case Morvex::kFreq:
      return "sweep from " + value(parameter, v, c);
    case Morvex::kDepth:
      return value(parameter, v, c) + ", up to " + hzText(topHz(v, c));
    default:
      return value(parameter, v, c);
  }
}

// "30% wet" -> 30 and "%wet"; "Q0.7" -> 0.7 and "q". Case and spaces do
// not matter.
bool splitQuantity(const std::string& text, double* number, std::string* unit) {
  std::string t;
  for (char ch : text)
    if (!std::isspace(static_cast<unsigned char>(ch)))
      t += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (!t.empty() && t[0] == 'q') t = t.substr(1) + "q";
  char* end = nullptr;
  *number = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || !std::isfinite(*number)) return false;
  *unit = end;
  return !unit->empty();
}

double distance(const Quantity& q, double got, double wanted) {
  if (!q.logarithmic) return std::fabs(got - wanted);
  // A sweep that stands still is 0 Hz, near nothing but itself.
  if (!(got > 0.0) || !(wanted > 0.0)) return got == wanted ? 0.0 : HUGE_VAL;
  // Apart, as a ratio of a tiny and a large number overflows.
  return std::fabs(std::log(got) - std::log(wanted));
}

// The parameter value whose quantity comes nearest to `wanted`: whole
// numbers for an indexed parameter; otherwise a scan fine enough to land in
// every step of the engine's tables, then a golden-section search between
// the best scanned value's neighbours.
double nearestValue(const ParameterRange& p, const Quantity& q, double wanted, const Context& c) {
  const double lo = p.minValue, hi = p.maxValue;
  const bool indexed = p.indexed;
  const int steps = indexed ? static_cast<int>(hi - lo) : 4096;
  const double step = steps > 0 ? (hi - lo) / steps : 0.0;
  // Measured as the unit will get it, in single precision: a value at the
  // edge of a table step may round into the next.
  const auto of = [&](double v) { return q.of(static_cast<float>(v), c); };
  // Beyond the parameter's reach its nearest end is taken: far enough out,
  // every value misses by the same amount in floating point, and the search
  // would land anywhere.
  double lowest = HUGE_VAL, highest = -HUGE_VAL;
  for (int i = 0; i <= steps; ++i) {
    lowest = std::fmin(lowest, of(lo + i * step));
    highest = std::fmax(highest, of(lo + i * step));
  }
  wanted = std::fmax(lowest, std::fmin(wanted, highest));
  const auto miss = [&](double v) { return distance(q, of(v), wanted); };
  double best = lo;
  for (int i = 0; i <= steps; ++i)
    if (miss(lo + i * step) < miss(best)) best = lo + i * step;
  if (indexed) return best;
  double a = std::fmax(lo, best - step), b = std::fmin(hi, best + step);
  const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i < 80; ++i) {
    const double x1 = b - golden * (b - a), x2 = a + golden * (b - a);
    if (miss(x1) <= miss(x2)) {
      b = x2;
    } else {
      a = x1;
    }
  }
  const double refined = (a + b) / 2.0;
  return miss(refined) <= miss(best) ? refined : best;
}

// The value with the fewest decimals that gives exactly what `value` gives:
// 0.49 rather than 0.48828125 for the same step of a table; a continuous law
// keeps the value as found.
double shortest(const ParameterRange& p, const Quantity& q, double value, const Context& c) {
  const double gives = q.of(static_cast<float>(value), c);
  for (double scale = 10.0; scale <= 1e7; scale *= 10.0) {
    const double rounded = std::round(value * scale) / scale;
    if (rounded >= p.minValue && rounded <= p.maxValue &&
        q.of(static_cast<float>(rounded), c) == gives)
      return rounded;
  }
  return value;
}

}  // namespace

int SweepBottomParameter() {
  return Morvex::kFreq;
}

std::string MeaningText(int param, double value, double freq, double sampleRate) {
  return meaning(param, value, Context{sampleRate, freq});
}

std::string ValueText(int param, double plain, double freq, double sampleRate) {
  return value(param, plain, Context{sampleRate, freq});
}

std::string SweepRateNote(double sampleRate) {
  const std::string same = "the sweep's frequencies are the same at every sample rate";
  const double ceilingHz = CAllPass6::tunedHz(CAllPass6::kFreqMax, sampleRate);
  if (ceilingHz >= CAllPass6::tunedHz(CAllPass6::kFreqMax, 44100.0)) return same;
  char note[160];
  std::snprintf(note, sizeof note, "%s, but at %.0f Hz the top is held at %.3g kHz", same.c_str(),
                sampleRate, ceilingHz / 1000.0);
  return note;
}

std::string UnitExamples(int param) {
  std::string examples;
  for (const Quantity& q : kQuantities)
    if (q.parameter == param && q.example)
      examples += (examples.empty() ? "" : ", ") + std::string(q.example);
  return examples;
}

std::optional<UnitsValue> ValueFromUnits(int param, const ParameterRange& range,
                                         const std::string& text, double freq, double sampleRate) {
  double wanted = 0.0;
  std::string unitText;
  if (!splitQuantity(text, &wanted, &unitText)) return std::nullopt;
  for (const Quantity& q : kQuantities) {
    if (q.parameter != param || unitText != q.unit) continue;
    const Context c{sampleRate, freq};
    const float value =
        static_cast<float>(shortest(range, q, nearestValue(range, q, wanted, c), c));
    const bool exact = threeDigits(q.of(value, c)) == threeDigits(wanted);
    return UnitsValue{value, meaning(q.parameter, value, c), exact};
  }
  return std::nullopt;
}

std::string UnitsText(int param, const ParameterRange& range, double value, double freq,
                      double sampleRate) {
  const Context c{sampleRate, freq};
  const Quantity* chosen = nullptr;
  double amount = 0.0;
  for (const Quantity& q : kQuantities) {
    if (q.parameter != param || !q.example) continue;
    const double a = q.of(static_cast<float>(value), c);
    if (!std::isfinite(a)) continue;
    if (!chosen) {
      chosen = &q;
      amount = a;
    }
    if (std::fabs(a) < 999.5) {
      chosen = &q;
      amount = a;
      break;
    }
  }
  if (!chosen) return "";
  // The unit as its example spells it: what follows the number, or the Q
  // that leads it.
  const std::string example = chosen->example;
  const auto spelled = [&](int digits) {
    char number[48];
    std::snprintf(number, sizeof number, "%.*g", digits, amount);
    if (example[0] == 'Q') return "Q" + std::string(number);
    return number + example.substr(example.find_first_not_of("-+.0123456789"));
  };
  // Three digits where they read back as what the value means, more where
  // a rounding at the third would tip the meaning (17.5% wet is 18%).
  const std::string meant = meaning(param, value, c);
  for (int digits = 3; digits <= 7; ++digits) {
    const std::string text = spelled(digits);
    const auto back = ValueFromUnits(param, range, text, freq, sampleRate);
    if (back && back->meaning == meant) return text;
  }
  return spelled(7);
}

std::optional<double> ValueFromText(int param, const ParameterRange& range, const std::string& text,
                                    double freq, double sampleRate) {
  if (const auto quantity = ValueFromUnits(param, range, text, freq, sampleRate))
    return quantity->value;
  // A bare number, read in the C locale; spaces around it do not matter.
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(" \t");
  // from_chars reads the C locale's way whatever the process locale, and
  // says where the number ends: "12 parsecs" is not 12.
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  double value = 0.0;
  const auto read = std::from_chars(begin, end, value);
  if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value)) return std::nullopt;
  if (!(value >= range.minValue && value <= range.maxValue)) return std::nullopt;
  if (range.indexed && value != std::trunc(value)) return std::nullopt;
  return value;
}
