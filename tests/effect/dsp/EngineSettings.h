#pragma once

// The seven plug-in settings as the effect hands them to the engine.
struct EngineSettings {
  double mix;  // the plug-in's Mix: the engine gets 1 − mix as its dry share
  int stages;
  double freq, feedback, spread, rate, depth;
};

inline constexpr EngineSettings kClassicVirus = {0.5, 3, 0.0, 0.5, 1.0, 0.29, 1.0};
inline constexpr EngineSettings kOneStage = {0.5, 0, 0.22, 0.64, 1.0, 0.47, 0.72};
inline constexpr EngineSettings kTwin = {0.78, 1, 0.14, 0.87, 0.46, 0.54, 0.8};
inline constexpr EngineSettings kHexagon = {0.5, 5, 0.0, 0.72, 0.0, 0.29, 1.0};

// In the order the plug-in delivers its parameters.
template <class Engine>
void apply(Engine& e, const EngineSettings& s) {
  e.setMix(1.0 - s.mix);
  e.setStages(s.stages);
  e.setFreq(s.freq);
  e.setFeedback(s.feedback);
  e.setSpread(s.spread);
  e.setRate(s.rate);
  e.setDepth(s.depth);
}
