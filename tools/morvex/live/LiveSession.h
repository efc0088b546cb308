#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/jackhost/JackClient.h"
#include "tools/morvex/editor/EditorWindow.h"
#include "tools/morvex/live/LiveUnit.h"
#include "tools/morvex/settings/UnitSettings.h"

class StopSignals;

// What `morvex live` was asked for.
struct LiveOptions {
  UnitSettings unit;
  std::vector<std::string> connectIn, connectOut;
  bool editor = true;
};

// Morvex playing through JACK, from start() until Ctrl-C or SIGTERM, the
// editor's window closing, or the server going away.
class LiveSession : public EditorHost {
 public:
  // Opens the unit and registers the client, so that a missing server fails
  // before anything else. Throws ToolError or JackError.
  LiveSession(const LiveOptions& options, StopSignals& stop);

  Unit& unit() override { return mUnit; }
  // Activates the client and makes the connections asked for.
  void start() override;
  bool keepOpen() override { return !ended(); }
  // Waits for what ends the run, when no window does.
  void wait();
  // Tells how the run went; the exit status is 1 when the server went away.
  int finish();

 private:
  bool ended();

  const LiveOptions& mOptions;
  StopSignals& mStop;
  Unit mUnit;
  LiveUnit mLiveUnit;
  JackClient mJack;
  bool mStopped = false;
  std::chrono::steady_clock::time_point mStart;
};
