#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/morvex/ArgCursor.h"
#include "tools/morvex/AudioFile.h"
#include "tools/morvex/Commands.h"
#include "tools/morvex/Progress.h"
#include "tools/morvex/SafeOutput.h"
#include "tools/morvex/Selection.h"
#include "tools/morvex/StateFile.h"
#include "tools/morvex/ToolError.h"
#include "tools/morvex/Unit.h"

namespace {

const char kUsage[] =
    "usage: morvex render IN OUT [OPTIONS]\n"
    "\n"
    "Phases the audio file IN with Morvex and writes OUT. IN may be any file\n"
    "libsndfile reads (WAV, AIFF, FLAC, Ogg...), mono or stereo, 8 kHz to 384 kHz.\n"
    "OUT gets IN's container and sample format unless --format says otherwise; it\n"
    "appears only when complete.\n"
    "\n"
    "Settings apply in this order: --preset, then --state, then each --set.\n"
    "\n"
    "  --preset NAME|NUMBER     start from a factory preset ('morvex presets')\n"
    "  --state FILE.aupreset    load a saved state\n"
    "  --set NAME=VALUE         set a parameter ('morvex params'); VALUE in the\n"
    "                           parameter's units or one of its display texts;\n"
    "                           names ignore case; may be repeated\n"
    "  --save-state FILE.aupreset\n"
    "                           save the state after rendering\n"
    "  --block N                frames per render call, 1 to 65536 (default 512)\n"
    "  --format FORMAT          same (default), pcm16, pcm24 or float\n"
    "  --quiet                  no progress bar\n"
    "  --help                   show this help\n"
    "\n"
    "A progress bar is drawn on standard error when it is a terminal and IN is\n"
    "longer than 5 seconds.\n";

struct RenderOptions {
  std::string in;
  std::string out;
  std::string preset;
  std::string statePath;
  std::string saveStatePath;
  std::vector<std::string> settings;
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
  std::string value;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return false;
    }
    if (args.option("--preset", &options->preset)) continue;
    if (args.option("--state", &options->statePath)) continue;
    if (args.option("--save-state", &options->saveStatePath)) continue;
    if (args.option("--set", &value)) {
      if (value.find('=') == std::string::npos || value[0] == '=')
        args.fail("--set " + value + ": expected NAME=VALUE");
      options->settings.push_back(value);
    } else if (args.option("--block", &value)) {
      options->block = static_cast<UInt32>(ParseCount(args, "--block", value, 1, 65536));
    } else if (args.option("--format", &value)) {
      options->format = ParseSampleFormat(value);
    } else if (args.flag("--quiet")) {
      options->quiet = true;
    } else {
      files.push_back(args.positional());
    }
  }
  args.expectPositionals(files, {"IN", "OUT"});
  options->in = files[0];
  options->out = files[1];
  return true;
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

void loadState(Unit& unit, const std::string& path, CFDictionaryRef state) {
  ComponentDescription own;
  GetComponentInfo(unit.component(), &own, nullptr, nullptr, nullptr);
  const StateIdentity saved = StateIdentityOf(state);
  if (static_cast<OSType>(saved.type) != own.componentType ||
      static_cast<OSType>(saved.subtype) != own.componentSubType ||
      static_cast<OSType>(saved.manufacturer) != own.componentManufacturer)
    throw ToolError(path + ": saved by another component (" + FourCharCodeText(saved.type) + " " +
                    FourCharCodeText(saved.subtype) + " " + FourCharCodeText(saved.manufacturer) +
                    "), not Morvex");
  const OSStatus status = unit.setState(state);
  if (status != noErr)
    throw ToolError(path + ": Morvex refused the saved state (" + StatusText(status) +
                    "; its data is missing or damaged)");
}

void renderFile(Unit& unit, AudioFileReader& reader, AudioFileWriter& writer, UInt32 block,
                bool quiet) {
  const int channels = reader.channels();
  Renderer renderer(unit, static_cast<UInt32>(channels));
  std::vector<float> interleaved(static_cast<size_t>(kChunkFrames) * channels);
  std::vector<std::vector<float>> in(channels, std::vector<float>(kChunkFrames));
  std::vector<std::vector<float>> out(channels, std::vector<float>(kChunkFrames));
  Progress progress(!quiet, reader.frames(), reader.sampleRate());
  long long done = 0;
  for (;;) {
    const sf_count_t frames = reader.read(interleaved.data(), kChunkFrames);
    if (frames <= 0) break;
    for (int c = 0; c < channels; ++c)
      for (sf_count_t i = 0; i < frames; ++i)
        in[c][i] = interleaved[i * channels + c];
    for (sf_count_t offset = 0; offset < frames;) {
      const UInt32 n = static_cast<UInt32>(std::min<sf_count_t>(block, frames - offset));
      const float* inPointers[2] = {in[0].data() + offset, in[channels - 1].data() + offset};
      float* outPointers[2] = {out[0].data() + offset, out[channels - 1].data() + offset};
      const OSStatus status = renderer.render(inPointers, outPointers, n);
      if (status != noErr)
        throw ToolError(reader.path() + ": Morvex failed to render frames " +
                        std::to_string(done + offset) + " to " +
                        std::to_string(done + offset + n - 1) + ": " + StatusText(status));
      offset += n;
    }
    for (int c = 0; c < channels; ++c)
      for (sf_count_t i = 0; i < frames; ++i)
        interleaved[i * channels + c] = out[c][i];
    writer.write(interleaved.data(), frames);
    done += frames;
    progress.update(done);
  }
  progress.finish();
}

}  // namespace

int RenderCommand(const std::vector<std::string>& argv) {
  RenderOptions options;
  if (!parse(argv, &options)) return 0;

  // Everything that can be checked without the component comes first.
  AudioFileReader reader(options.in);
  if (reader.sampleRate() < kMinRate || reader.sampleRate() > kMaxRate)
    throw ToolError(options.in + ": sample rate " + std::to_string(reader.sampleRate()) +
                    " Hz is outside 8000 to 384000 Hz");
  const int outFormat = OutputFormat(reader.format(), options.format);
  RequireWritableFormat(options.out, outFormat, reader.channels(), reader.sampleRate());
  CFRef<CFDictionaryRef> state;
  if (!options.statePath.empty()) state = ReadStateFile(options.statePath);

  Unit unit(FindMorvex());
  requireChannels(unit, options.in, reader.channels());
  unit.configure(static_cast<UInt32>(reader.channels()), reader.sampleRate(), options.block);
  unit.initialize();
  if (!options.preset.empty()) unit.selectPreset(FindPreset(unit.factoryPresets(), options.preset));
  if (state) loadState(unit, options.statePath, state.get());
  if (!options.settings.empty()) {
    const std::vector<ParameterDescription> parameters = unit.parameters();
    for (const std::string& setting : options.settings)
      ApplySetting(unit, parameters, setting);
  }

  SafeOutput output(options.out);
  AudioFileWriter writer(output, outFormat, reader.channels(), reader.sampleRate());
  renderFile(unit, reader, writer, options.block, options.quiet);
  writer.close();
  output.commit();

  if (!options.saveStatePath.empty()) {
    CFRef<CFPropertyListRef> saved = unit.state();
    WriteStateFile(options.saveStatePath, saved.get());
  }
  unit.uninitialize();
  return 0;
}
