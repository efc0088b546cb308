#pragma once

#include <optional>
#include <string>

// Morvex's parameters in the units a listener thinks in, computed from the
// engine's own laws: Mix as dry and wet shares of the output's power, Stages
// as sections, Freq as the bottom of the sweep in Hz, Feedback as a signed
// percentage, Spread as the sections' Q, Rate as the time of one sweep up
// and down, Depth as the sweep's span in octaves. The sweep's frequencies
// are the same at every sample rate, except that below 44.1 kHz its top is
// held under the Nyquist frequency. Everything works on plain parameter
// values (Morvex::EParams indices), so the effect, its editor, its wrappers
// and the command-line host all read the same law. [any thread; allocates]

// The parameter whose value Depth's octaves are measured at (Freq): what a
// caller passes as `freq` below.
int SweepBottomParameter();

// What a value of the parameter means, as `morvex params` lists it ("sweep
// from 230 Hz", "3 octaves, up to 1.84 kHz", "one sweep in 4 s"); Depth is
// measured at the given Freq. Empty for an index outside the table.
std::string MeaningText(int param, double value, double freq, double sampleRate);

// The quantity alone, without what it does to the sweep ("230 Hz", "3
// octaves", "one sweep in 4 s"), as the editor's readout tells it after the
// parameter's name. Empty for an index outside the table.
std::string ValueText(int param, double value, double freq, double sampleRate);

// What the sample rate does to the sweep's frequencies, for a note under
// the meanings.
std::string SweepRateNote(double sampleRate);

// The units a parameter takes in ValueFromUnits, as examples ("2s, 500ms,
// 0.5Hz"); empty for none.
std::string UnitExamples(int param);

// The values a parameter can take.
struct ParameterRange {
  double minValue;
  double maxValue;
  bool indexed;  // whole numbers only
};

struct UnitsValue {
  float value;          // the parameter value that comes nearest
  std::string meaning;  // what that value gives, in the units asked for
  bool exact;           // whether it gives what was asked, to three digits
};

// The parameter value nearest to a quantity in one of the parameter's
// units, such as "2s", "0.5Hz", "300Hz", "-40%", "4sections", "30%wet",
// "Q0.7" or "3oct"; Depth is measured at the given Freq. Nothing when the
// text is not a number followed by one of them.
std::optional<UnitsValue> ValueFromUnits(int param, const ParameterRange& range,
                                         const std::string& text, double freq, double sampleRate);

// The value as a quantity ValueFromUnits reads back ("230Hz", "1.2kHz",
// "4s", "21%wet", "Q0.7", "-40%", "3oct", "4sections"), in the parameter's
// first unit that gives a finite number below 1000: to three digits, or as
// many more as reading it back needs to mean what the value means.
std::string UnitsText(int param, const ParameterRange& range, double value, double freq,
                      double sampleRate);

// What a user may type for a value: a quantity as ValueFromUnits takes it,
// or a bare number in the parameter's own range (whole when indexed).
// Nothing for any other text.
std::optional<double> ValueFromText(int param, const ParameterRange& range, const std::string& text,
                                    double freq, double sampleRate);
