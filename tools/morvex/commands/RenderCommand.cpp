#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/console/Progress.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/StateClashes.h"
#include "tools/morvex/render/BatchRender.h"
#include "tools/morvex/render/Container.h"
#include "tools/morvex/render/FileRender.h"
#include "tools/morvex/settings/TypedInput.h"

namespace {

const char kUsage[] =
    "usage: morvex render IN OUT [OPTIONS]\n"
    "       morvex render IN... --output-dir DIR [--jobs N] [OPTIONS]\n"
    "\n"
    "Phases the audio file IN with Morvex and writes OUT. IN may be any file\n"
    "libsndfile reads (WAV, AIFF, FLAC, Ogg...), mono or stereo, 8 kHz to 384 kHz;\n"
    "'-' reads standard input. OUT's extension names its container: wav, aif,\n"
    "aiff, flac, ogg, oga, caf, w64, au (and mp3 where libsndfile encodes it); '-'\n"
    "writes standard output, as WAV unless --type says otherwise. OUT keeps IN's\n"
    "sample format where its container can hold it (else 24-bit; Vorbis for Ogg)\n"
    "and its tags.\n"
    "\n"
    "OUT appears only when complete and keeps its permission bits; a symbolic link\n"
    "stays a link to the new file; a device or FIFO is written, never replaced.\n"
    "\n"
    "With --output-dir, each IN is rendered with the same settings into DIR under\n"
    "its own name (so in the same container), by a Morvex of its own, N files at\n"
    "a time. DIR must be a folder that can be written; two INs of the same name\n"
    "are refused. When a file fails the others are still written, the summary\n"
    "tells why, and the exit status is 1.\n"
    "\n"
    "Settings apply in this order: --preset, then --state, then each --set.\n"
    "\n"
    "  --preset NAME|NUMBER     start from a preset ('morvex presets' lists them)\n"
    "  --state FILE.aupreset    load a saved state\n"
    "  --set NAME=VALUE         set a parameter ('morvex params'); VALUE in the\n"
    "                           parameter's units, one of its display texts, or\n"
    "                           in a listener's units: Mix=30%wet, Stages=4sections,\n"
    "                           Freq=300Hz, Feedback=-40%, Spread=Q0.7, Rate=2s,\n"
    "                           Rate=0.5Hz, Depth=3oct (the nearest value is taken,\n"
    "                           and named when it differs); names ignore case;\n"
    "                           may be repeated\n"
    "  --automate NAME=TIME:VALUE,TIME:VALUE,...\n"
    "                           move a parameter over time: TIME in seconds,\n"
    "                           VALUE as --set takes it; linear between points\n"
    "                           (stepped every 64 frames), held before the first\n"
    "                           and after the last; two points at one time jump;\n"
    "                           Stages steps at each point; may be repeated for\n"
    "                           other parameters\n"
    "  --save-state FILE.aupreset\n"
    "                           save the state after rendering (not in a batch)\n"
    "  --save-preset NAME       save it as your preset NAME, replacing one of that\n"
    "                           name (not in a batch)\n"
    "  --gain DB                raise (or, negative, lower) IN's level by DB\n"
    "                           decibels before the effect, -120 to 60 (default 0)\n"
    "  --tail SECONDS|auto       go on past IN's end, feeding the effect silence,\n"
    "                           for SECONDS (0 to 600), or with auto until both\n"
    "                           outputs stayed below -96 dBFS for 100 ms (at most\n"
    "                           30 s), so that what still rings is kept (default:\n"
    "                           OUT ends where IN does)\n"
    "  --block N                frames per render call, 1 to 65536 (default 512)\n"
    "  --type TYPE              OUT's container, whatever its name (wav, flac...)\n"
    "  --format FORMAT          same (default), pcm16, pcm24 or float\n"
    "  --output-dir DIR         render every IN into DIR\n"
    "  --jobs N                 files rendered at once with --output-dir, 1 to 64\n"
    "                           (default: the number of processors)\n"
    "  --no-clobber             fail rather than replace an existing OUT or state\n"
    "                           file, which stays as it was\n"
    "  --quiet                  no progress bar and no summary\n"
    "  --help                   show this help\n"
    "\n"
    "After rendering, one line on standard error gives OUT's peak and RMS level,\n"
    "the samples that reached full scale, the length and the speed. A warning\n"
    "tells when samples were clipped at full scale (with the --gain that would have\n"
    "avoided it) or IN was shorter than its header says. A progress bar is drawn on standard error "
    "when it is a terminal\n"
    "and IN is longer than 5 seconds.\n"
    "\n"
    "A batch draws one progress line instead (files done, seconds of audio) and\n"
    "ends with a table: each file's levels, length and outcome, then the totals.\n";

struct RenderOptions {
  RenderSettings settings;
  std::string in;
  std::string out;
  int container = 0;
  std::string outputDir;  // a batch when not empty
  std::vector<BatchFile> batch;
  int jobs = 0;
};

void parseBatch(const ArgCursor& args, const std::vector<std::string>& inputs,
                RenderOptions* options) {
  if (inputs.empty()) args.fail("missing IN");
  if (!options->settings.unit.saveStatePath.empty())
    args.fail("--save-state cannot go with --output-dir: each file has a unit of its own");
  if (!options->settings.unit.savePresetName.empty())
    args.fail("--save-preset cannot go with --output-dir: each file has a unit of its own");
  if (options->jobs == 0) options->jobs = DefaultBatchJobs();
  options->batch = PlanBatch(args, inputs, options->outputDir, options->settings.type);
}

bool parse(const std::vector<std::string>& argv, RenderOptions* options) {
  ArgCursor args("render", argv);
  std::vector<std::string> files;
  std::string value;
  RenderSettings& settings = options->settings;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return false;
    }
    if (settings.unit.parseOption(args)) continue;
    if (args.namedOption("--type", &settings.type)) continue;
    if (args.namedOption("--output-dir", &options->outputDir)) continue;
    if (args.option("--block", &value)) {
      settings.block = static_cast<UInt32>(ParseCount(args, "--block", value, 1, 65536));
    } else if (args.option("--jobs", &value)) {
      options->jobs = static_cast<int>(ParseCount(args, "--jobs", value, 1, kMaxBatchJobs));
    } else if (args.option("--gain", &value)) {
      settings.gainDb = ParseDecimal(args, "--gain", value, -120, 60);
    } else if (args.option("--tail", &value)) {
      settings.tail = ParseTail(args, value);
    } else if (args.option("--format", &value)) {
      settings.format = ParseSampleFormat(value);
    } else if (args.option("--automate", &value)) {
      settings.automations.push_back(value);
    } else if (args.flag("--quiet")) {
      settings.quiet = true;
    } else if (args.flag("--no-clobber")) {
      settings.noClobber = true;
    } else {
      files.push_back(args.positional());
    }
  }
  if (!options->outputDir.empty()) {
    parseBatch(args, files, options);
    return true;
  }
  if (options->jobs != 0) args.fail("--jobs applies to a batch, with --output-dir");
  args.expectPositionals(files, {"IN", "OUT"});
  options->in = files[0];
  options->out = files[1];
  if (options->in.empty() || options->out.empty())
    args.fail("IN and OUT need names ('-' for standard input or output)");
  options->container = ContainerFor(options->out, settings.type);
  RefuseStateClashes(args, settings.unit, options->in, options->out);
  return true;
}

void reportOutcome(const RenderSettings& settings, const FileOutcome& outcome) {
  outcome.warn();
  if (settings.quiet) return;
  char speed[64];
  std::snprintf(speed, sizeof speed, "%.2f s of audio, %.0fx real time", outcome.seconds(),
                outcome.wallSeconds > 0 ? outcome.seconds() / outcome.wallSeconds : 0.0);
  std::fprintf(stderr, "morvex: %s: peak %s, RMS %s, %lld clipped, %s\n", outcome.out.c_str(),
               DbfsText(outcome.levels.peakDbfs()).c_str(),
               DbfsText(outcome.levels.rmsDbfs()).c_str(), outcome.levels.clipped(), speed);
}

}  // namespace

int RenderCommand(const std::vector<std::string>& argv) {
  RenderOptions options;
  if (!parse(argv, &options)) return 0;
  RenderSettings& settings = options.settings;
  if (!options.outputDir.empty())
    return RenderBatch(settings, options.batch, options.outputDir, options.jobs);

  // Everything that can be checked without the component comes first.
  FileRender render(settings, options.in, options.out, options.container);
  settings.unit.readState();
  std::optional<Progress> progress;
  const FileOutcome outcome = render.run(PrintNote, [&](long long done) {
    if (!progress) progress.emplace(!settings.quiet, render.frames(), render.sampleRate());
    progress->update(done);
  });
  progress.reset();
  reportOutcome(settings, outcome);
  return 0;
}
