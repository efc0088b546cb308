#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/ArgCursor.h"
#include "tools/morvex/AudioFile.h"
#include "tools/morvex/Automation.h"
#include "tools/morvex/Commands.h"
#include "tools/morvex/Container.h"
#include "tools/morvex/FilePaths.h"
#include "tools/morvex/OutputLevels.h"
#include "tools/morvex/Progress.h"
#include "tools/morvex/SafeOutput.h"
#include "tools/morvex/StateFile.h"
#include "tools/morvex/ToolError.h"
#include "tools/morvex/UnitSettings.h"

namespace {

const char kUsage[] =
    "usage: morvex render IN OUT [OPTIONS]\n"
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
    "Settings apply in this order: --preset, then --state, then each --set.\n"
    "\n"
    "  --preset NAME|NUMBER     start from a factory preset ('morvex presets')\n"
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
    "                           save the state after rendering\n"
    "  --block N                frames per render call, 1 to 65536 (default 512)\n"
    "  --type TYPE              OUT's container, whatever its name (wav, flac...)\n"
    "  --format FORMAT          same (default), pcm16, pcm24 or float\n"
    "  --quiet                  no progress bar and no summary\n"
    "  --help                   show this help\n"
    "\n"
    "After rendering, one line on standard error gives OUT's peak and RMS level,\n"
    "the samples that reached full scale, the length and the speed. A warning\n"
    "tells when samples were clipped at full scale or IN was shorter than its\n"
    "header says. A progress bar is drawn on standard error when it is a terminal\n"
    "and IN is longer than 5 seconds.\n";

struct RenderOptions {
  std::string in;
  std::string out;
  UnitSettings unit;
  std::vector<std::string> automations;
  int container = 0;
  UInt32 block = 512;
  SampleFormat format = SampleFormat::Same;
  bool quiet = false;
};

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 384000;
// Frames read and written per file access; large enough that libsndfile's
// per-call cost vanishes, small enough to stay in cache.
constexpr sf_count_t kChunkFrames = 16384;

bool parse(const std::vector<std::string>& argv, RenderOptions* options) {
  ArgCursor args("render", argv);
  std::vector<std::string> files;
  std::string value, type;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return false;
    }
    if (options->unit.parseOption(args)) continue;
    if (args.namedOption("--type", &type)) continue;
    if (args.option("--block", &value)) {
      options->block = static_cast<UInt32>(ParseCount(args, "--block", value, 1, 65536));
    } else if (args.option("--format", &value)) {
      options->format = ParseSampleFormat(value);
    } else if (args.option("--automate", &value)) {
      options->automations.push_back(value);
    } else if (args.flag("--quiet")) {
      options->quiet = true;
    } else {
      files.push_back(args.positional());
    }
  }
  args.expectPositionals(files, {"IN", "OUT"});
  options->in = files[0];
  options->out = files[1];
  if (options->in.empty() || options->out.empty())
    args.fail("IN and OUT need names ('-' for standard input or output)");
  options->container = ContainerFor(options->out, type);
  const std::string& saveStatePath = options->unit.saveStatePath;
  if (!saveStatePath.empty()) {
    for (const std::string& audio : {options->in, options->out})
      if (audio != "-" && SameFile(saveStatePath, audio))
        args.fail("--save-state " + saveStatePath + ": is the audio file " + audio +
                  ", which the state would overwrite");
    if (saveStatePath == "-" && options->out == "-")
      args.fail("--save-state -: standard output already carries the audio");
  }
  return true;
}

void warn(const std::string& message) {
  std::fprintf(stderr, "morvex: warning: %s\n", message.c_str());
}

// Throws naming the layouts the unit supports when it cannot take the file.
void requireChannels(const Unit& unit, const std::string& path, int channels) {
  const std::vector<unsigned char> bytes = unit.getBytes(kAudioUnitProperty_SupportedNumChannels);
  std::string supported;
  for (size_t i = 0; i + sizeof(AUChannelInfo) <= bytes.size(); i += sizeof(AUChannelInfo)) {
    AUChannelInfo pair;
    std::memcpy(&pair, bytes.data() + i, sizeof pair);
    const bool inOk = pair.inChannels < 0 || pair.inChannels == channels;
    const bool outOk = pair.outChannels < 0 || pair.outChannels == channels;
    if (inOk && outOk) return;
    supported += (supported.empty() ? "" : ", ") + std::to_string(pair.inChannels) + " in/" +
                 std::to_string(pair.outChannels) + " out";
  }
  throw ToolError(path + ": " + std::to_string(channels) +
                  " channels are not supported (Morvex takes " + supported + ")");
}

struct RenderResult {
  long long frames = 0;
  OutputLevels levels;
};

// Between the file's interleaved frames and the unit's buffers, one per
// channel. The channel count is a constant here so that the loops become
// vector shuffles instead of strided scalar copies.
template <int Channels>
void Deinterleave(const float* frames, float* const* channels, size_t count) {
  for (size_t i = 0; i < count; ++i)
    for (int c = 0; c < Channels; ++c)
      channels[c][i] = frames[i * Channels + c];
}

template <int Channels>
void Interleave(const float* const* channels, float* frames, size_t count) {
  for (size_t i = 0; i < count; ++i)
    for (int c = 0; c < Channels; ++c)
      frames[i * Channels + c] = channels[c][i];
}

RenderResult renderFile(Unit& unit, Automation& automation, AudioFileReader& reader,
                        AudioFileWriter& writer, UInt32 block, bool quiet) {
  const int channels = reader.channels();
  auto* deinterleave = channels == 1 ? Deinterleave<1> : Deinterleave<2>;
  auto* interleave = channels == 1 ? Interleave<1> : Interleave<2>;
  Renderer renderer(unit, static_cast<UInt32>(channels));
  std::vector<float> interleaved(static_cast<size_t>(kChunkFrames) * channels);
  // Each block goes through buffers of its own size, which stay in cache,
  // and its output replaces its input in the chunk.
  const size_t blockFrames = std::min<size_t>(block, kChunkFrames);
  std::vector<float> buffers(2 * static_cast<size_t>(channels) * blockFrames);
  float* const in[2] = {buffers.data(), buffers.data() + (channels - 1) * blockFrames};
  float* const out[2] = {in[1] + blockFrames, in[1] + channels * blockFrames};
  Progress progress(!quiet, reader.frames(), reader.sampleRate());
  RenderResult result;
  long long& done = result.frames;
  for (;;) {
    const sf_count_t frames = reader.read(interleaved.data(), kChunkFrames);
    if (frames <= 0) break;
    for (sf_count_t offset = 0; offset < frames;) {
      sf_count_t slice = std::min<sf_count_t>(block, frames - offset);
      if (!automation.empty()) {
        automation.applyAt(unit, done + offset);
        slice = std::min<sf_count_t>(slice, automation.framesUntilChange(done + offset));
      }
      const UInt32 n = static_cast<UInt32>(slice);
      float* const at = interleaved.data() + offset * channels;
      deinterleave(at, in, n);
      const OSStatus status = renderer.render(in, out, n);
      if (status != noErr)
        throw ToolError(reader.path() + ": Morvex failed to render frames " +
                        std::to_string(done + offset) + " to " +
                        std::to_string(done + offset + n - 1) + ": " + StatusText(status));
      interleave(out, at, n);
      offset += n;
    }
    result.levels.add(interleaved.data(), static_cast<size_t>(frames * channels));
    writer.write(interleaved.data(), frames);
    done += frames;
    progress.update(done);
  }
  progress.finish();
  return result;
}

std::string decibels(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dBFS", value);
  return text;
}

void reportOutcome(const RenderOptions& options, const AudioFileReader& reader,
                   const RenderResult& result, double wallSeconds) {
  const std::string out = options.out == "-" ? "standard output" : options.out;
  const long long promised = reader.promisedFrames();
  if (promised > result.frames)
    warn(reader.path() + ": the header promises " + std::to_string(promised) + " frames but only " +
         std::to_string(result.frames) + " could be read");
  if (result.levels.clipped() > 0)
    warn(out + ": " + std::to_string(result.levels.clipped()) +
         " samples reached full scale (clipped)");
  if (options.quiet) return;
  const double seconds = static_cast<double>(result.frames) / reader.sampleRate();
  char speed[64];
  std::snprintf(speed, sizeof speed, "%.2f s of audio, %.0fx real time", seconds,
                wallSeconds > 0 ? seconds / wallSeconds : 0.0);
  std::fprintf(stderr, "morvex: %s: peak %s, RMS %s, %lld clipped, %s\n", out.c_str(),
               decibels(result.levels.peakDbfs()).c_str(),
               decibels(result.levels.rmsDbfs()).c_str(), result.levels.clipped(), speed);
}

}  // namespace

int RenderCommand(const std::vector<std::string>& argv) {
  RenderOptions options;
  if (!parse(argv, &options)) return 0;

  // Everything that can be checked without the component comes first.
  AudioFileReader reader(options.in);
  if (reader.sampleRate() < kMinRate || reader.sampleRate() > kMaxRate)
    throw ToolError(reader.path() + ": sample rate " + std::to_string(reader.sampleRate()) +
                    " Hz is outside 8000 to 384000 Hz");
  const int outFormat = OutputFormat(options.container, reader.format(), options.format,
                                     reader.channels(), reader.sampleRate());
  RequireWritableFormat(options.out, outFormat, reader.channels(), reader.sampleRate());
  options.unit.readState();

  Unit unit;
  requireChannels(unit, reader.path(), reader.channels());
  unit.configure(static_cast<UInt32>(reader.channels()), reader.sampleRate(), options.block);
  unit.initialize();
  options.unit.apply(unit);
  Automation automation(reader.sampleRate());
  if (!options.automations.empty()) {
    const std::vector<ParameterDescription> parameters = unit.parameters();
    for (const std::string& spec : options.automations)
      automation.add(spec, unit, parameters);
  }

  // Both outputs are opened before any work, so that neither appears when
  // the other cannot be written.
  SafeOutput output(options.out);
  std::optional<SafeOutput> stateOutput;
  if (!options.unit.saveStatePath.empty()) stateOutput.emplace(options.unit.saveStatePath);

  const auto start = std::chrono::steady_clock::now();
  AudioFileWriter writer(output, outFormat, reader.channels(), reader.sampleRate(), reader.tags());
  const RenderResult result =
      renderFile(unit, automation, reader, writer, options.block, options.quiet);
  writer.close();
  if (stateOutput) {
    CFRef<CFPropertyListRef> saved = unit.state();
    WriteStateFile(*stateOutput, saved.get());
  }
  output.commit();
  if (stateOutput) stateOutput->commit();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

  unit.uninitialize();
  reportOutcome(options, reader, result, elapsed.count());
  return 0;
}
