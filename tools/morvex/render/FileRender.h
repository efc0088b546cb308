#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/MacTypes.h"
#include "tools/morvex/render/AudioFile.h"
#include "tools/morvex/render/Container.h"
#include "tools/morvex/render/OutputLevels.h"
#include "tools/morvex/render/RenderTail.h"
#include "tools/morvex/settings/UnitSettings.h"

class Automation;
class Unit;

// What every file of one render command shares.
struct RenderSettings {
  UnitSettings unit;
  std::vector<std::string> automations;  // --automate NAME=TIME:VALUE,...
  std::string type;                      // --type: the container whatever OUT's name, or empty
  UInt32 block = 512;
  SampleFormat format = SampleFormat::Same;
  double gainDb = 0;  // --gain: applied to the input, before the effect
  TailLength tail;    // --tail: silence rendered after the input's end
  bool quiet = false;
  bool noClobber = false;  // refuse to replace an existing OUT or state file
};

// How a finished render went.
struct FileOutcome {
  std::string in;   // as reported: "standard input" for "-"
  std::string out;  // likewise "standard output"
  long long frames = 0;
  long long promisedFrames = -1;  // see AudioFileReader::promisedFrames()
  int sampleRate = 0;
  OutputLevels levels;
  double wallSeconds = 0;
  // When samples were clipped: a --gain at which none would have been, or
  // NaN when the input could not be read a second time to find it.
  double avoidingGainDb = 0;

  double seconds() const { return static_cast<double>(frames) / sampleRate; }
  // Warns on standard error of clipping, and of an input shorter than its
  // header says.
  void warn() const;
};

// One input rendered through its own instance of Morvex into one output.
// [any thread], one thread at a time for each object; renders on several
// threads are independent.
class FileRender {
 public:
  // Opens IN and checks its rate and that OUT's container (a libsndfile
  // SF_FORMAT_* type) can hold the result; throws ToolError.
  FileRender(const RenderSettings& settings, const std::string& in, std::string out, int container);

  long long frames() const { return mReader.frames(); }
  int sampleRate() const { return mReader.sampleRate(); }

  // Opens a unit for the file with the settings (telling `note` of values
  // only approached), opens OUT (and the state file to save, if any) and
  // renders, calling `progress` with the frames done once rendering begins
  // and after each chunk. Throws ToolError or HostError, and then writes
  // nothing.
  FileOutcome run(const NoteSink& note, const std::function<void(long long framesDone)>& progress);

 private:
  // A unit for the file with the settings and automation applied.
  void prepare(Unit& unit, Automation& automation, const NoteSink& note);
  double gainAvoidingClipping();

  const RenderSettings& mSettings;
  std::string mOut;
  AudioFileReader mReader;
  int mOutFormat = 0;
};
