#include "tools/morvex/live/LiveSession.h"

#include <poll.h>

#include <cstdio>

#include "tools/morvex/editor/StopSignals.h"

LiveSession::LiveSession(const LiveOptions& options, StopSignals& stop)
    : mOptions(options),
      mStop(stop),
      mLiveUnit(mUnit, options.unit),
      mJack("morvex", 2, 2, mLiveUnit) {}

void LiveSession::start() {
  mJack.activate();
  mStart = std::chrono::steady_clock::now();
  if (!mOptions.connectIn.empty()) mJack.connectInputs(mOptions.connectIn);
  if (!mOptions.connectOut.empty()) mJack.connectOutputs(mOptions.connectOut);
  const std::string name = mJack.name();
  std::fprintf(stderr,
               "morvex: playing live as JACK client '%s' (ports in_1, in_2, out_1, out_2) at %.0f "
               "Hz, %u frames a period; Ctrl-C stops\n",
               name.c_str(), mJack.sampleRate(), static_cast<unsigned>(mJack.periodFrames()));
}

bool LiveSession::ended() {
  if (mStop.arrived()) mStopped = true;
  return mStopped || !mJack.endReason().empty();
}

void LiveSession::wait() {
  pollfd watched[2] = {{mStop.descriptor(), POLLIN, 0}, {mJack.endedDescriptor(), POLLIN, 0}};
  while (!ended())
    poll(watched, 2, -1);
}

int LiveSession::finish() {
  const std::chrono::duration<double> played = std::chrono::steady_clock::now() - mStart;
  std::fprintf(stderr,
               "morvex: played for %.1f s; the longest period's work took %.2f ms of %.2f ms; "
               "the server reported %u xruns\n",
               played.count(), static_cast<double>(mJack.longestWorkMicroseconds()) / 1000,
               1000 * mJack.periodFrames() / mJack.sampleRate(), mJack.xruns());
  if (const unsigned refused = mLiveUnit.refusedPeriods())
    std::fprintf(stderr,
                 "morvex: warning: Morvex refused to render %u periods, played as silence\n",
                 refused);
  const std::string reason = mJack.endReason();
  if (reason.empty()) return 0;
  std::fprintf(stderr, "morvex: error: %s\n", reason.c_str());
  return 1;
}
