#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "tools/morvex/validate/CheckReport.h"
#include "tools/morvex/validate/RtProbe.h"
#include "tools/morvex/validate/SignalChecks.h"
#include "tools/morvex/validate/StrictPlugin.h"

// How hard the format-independent checks press.
struct StrictLevel {
  // Null runs no real-time check: no library watches the audio calls.
  const RtProbe* probe = nullptr;
  int cycles = 1000;  // lifecycle and state round trips
};

// The checks every plug-in format shares: the audio path under automation,
// presets, state and Stages changes, silence, denormal, NaN and infinite
// input (each watched for forbidden calls when level.probe is set); every
// rate and block split; lifecycle, state round trips and two instances at
// once.
void RunStrictChecks(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level);

// Its parts: every rate's block splits; lifecycles, state round trips and
// two instances at once.
void CheckBlockSplits(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level);
void CheckLifecycles(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level);

// Work on a thread of its own beside an instance's audio calls, until stop.
using Alongside = std::function<void(StrictInstance& instance, const std::atomic<bool>& stop)>;

// Renders `seconds` of test signal in blocks of varying size while another
// thread automates every parameter before each block and `alongside` runs on
// a third until the render ends (when given); paced, no faster than the
// signal plays, as a host's audio thread is. "" when no audio call made a
// forbidden call and the output stayed finite, else what went wrong;
// *detail tells how many blocks and changes there were.
std::string AutomatedRender(StrictPlugin& plugin, const StrictLevel& level, double seconds,
                            const Alongside& alongside, std::string* detail, bool paced = false);
