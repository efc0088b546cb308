#include "tools/morvex/render/FileRender.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/SafeOutput.h"
#include "tools/morvex/output/StateOutputs.h"
#include "tools/morvex/render/Automation.h"
#include "tools/morvex/render/RenderTail.h"
#include "tools/morvex/settings/PresetChoice.h"

namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 384000;
// Frames read and written per file access; large enough that libsndfile's
// per-call cost vanishes, small enough to stay in cache.
constexpr sf_count_t kChunkFrames = 16384;

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

double GainFactor(double db) {
  return std::pow(10.0, db / 20);
}

// Margin kept below full scale by a suggested gain, against the rounding of
// the suggestion and of the output's sample format.
constexpr double kGainMarginDb = 0.1;
// The measuring pass renders this much quieter and scales back, so that the
// effect's clamp at full scale does not hide how far the peak went. A power
// of two: the scaling itself rounds nothing.
constexpr float kMeasuringHeadroom = 4096.0f;

// Renders the reader's frames into `writer`, or only measures them when it
// is null. The input is scaled by `inputScale`; a measured output by
// kMeasuringHeadroom.
void renderFrames(Unit& unit, Automation& automation, AudioFileReader& reader,
                  AudioFileWriter* writer, const RenderSettings& settings, float inputScale,
                  const std::function<void(long long)>& progress, FileOutcome& outcome) {
  const UInt32 block = settings.block;
  RenderTail tail(settings.tail, reader.sampleRate());
  bool inputEnded = false;
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
  long long& done = outcome.frames;
  progress(done);
  for (;;) {
    sf_count_t frames = inputEnded ? 0 : reader.read(interleaved.data(), kChunkFrames);
    inputEnded = inputEnded || frames <= 0;
    if (inputEnded) {
      frames = tail.next(kChunkFrames);
      if (frames <= 0) break;
      std::fill_n(interleaved.begin(), frames * channels, 0.0f);
    }
    if (inputScale != 1.0f)
      for (size_t i = 0; i < static_cast<size_t>(frames * channels); ++i)
        interleaved[i] *= inputScale;
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
    if (!writer)
      for (size_t i = 0; i < static_cast<size_t>(frames * channels); ++i)
        interleaved[i] *= kMeasuringHeadroom;
    if (inputEnded) frames = tail.keep(interleaved.data(), frames, channels);
    outcome.levels.add(interleaved.data(), static_cast<size_t>(frames * channels));
    if (writer) writer->write(interleaved.data(), frames);
    done += frames;
    // The progress bar counts the input's frames; a tail is its last step.
    progress(std::min<long long>(done, reader.frames()));
  }
}

}  // namespace

void FileOutcome::warn() const {
  if (promisedFrames > frames)
    std::fprintf(
        stderr,
        "morvex: warning: %s: the header promises %lld frames but only %lld could be read\n",
        in.c_str(), promisedFrames, frames);
  if (levels.clipped() == 0) return;
  std::string advice;
  if (std::isfinite(avoidingGainDb)) {
    char gain[64];
    std::snprintf(gain, sizeof gain, "; --gain %.1f would avoid it", avoidingGainDb);
    advice = gain;
  }
  std::fprintf(stderr, "morvex: warning: %s: %lld samples reached full scale (clipped)%s\n",
               out.c_str(), levels.clipped(), advice.c_str());
}

FileRender::FileRender(const RenderSettings& settings, const std::string& in, std::string out,
                       int container)
    : mSettings(settings), mOut(std::move(out)), mReader(in) {
  if (mReader.sampleRate() < kMinRate || mReader.sampleRate() > kMaxRate)
    throw ToolError(mReader.path() + ": sample rate " + std::to_string(mReader.sampleRate()) +
                    " Hz is outside 8000 to 384000 Hz");
  mOutFormat = OutputFormat(container, mReader.format(), settings.format, mReader.channels(),
                            mReader.sampleRate());
  RequireWritableFormat(mOut, mOutFormat, mReader.channels(), mReader.sampleRate());
}

void FileRender::prepare(Unit& unit, Automation& automation, const NoteSink& note) {
  const int channels = mReader.channels();
  requireChannels(unit, mReader.path(), channels);
  unit.configure(static_cast<UInt32>(channels), mReader.sampleRate(), mSettings.block);
  unit.initialize();
  mSettings.unit.apply(unit, note);
  if (!mSettings.automations.empty()) {
    const std::vector<ParameterDescription> parameters = unit.parameters();
    for (const std::string& envelope : mSettings.automations)
      automation.add(envelope, unit, parameters, note);
  }
}

// The effect is linear up to its clamp at full scale, so the same render,
// quieter, tells how far above full scale the peak went.
double FileRender::gainAvoidingClipping() {
  if (!mReader.rewind()) return std::nan("");
  Unit unit;
  Automation automation(mReader.sampleRate());
  prepare(unit, automation, [](const std::string&) {});
  FileOutcome measured;
  measured.sampleRate = mReader.sampleRate();
  renderFrames(
      unit, automation, mReader, nullptr, mSettings,
      static_cast<float>(GainFactor(mSettings.gainDb)) / kMeasuringHeadroom, [](long long) {},
      measured);
  unit.uninitialize();
  const double overshootDb = measured.levels.peakDbfs();
  return std::floor((mSettings.gainDb - overshootDb - kGainMarginDb) * 10) / 10;
}

FileOutcome FileRender::run(const NoteSink& note, const std::function<void(long long)>& progress) {
  const int channels = mReader.channels();
  Unit unit;
  RefuseHiddenPresetName(unit, mSettings.unit.savePresetName);
  Automation automation(mReader.sampleRate());
  prepare(unit, automation, note);

  // Both outputs are opened before any work, so that neither appears when
  // the other cannot be written.
  const auto existing =
      mSettings.noClobber ? SafeOutput::Existing::Keep : SafeOutput::Existing::Replace;
  SafeOutput output(mOut, existing);
  StateOutputs stateOutputs(mSettings.unit, existing);

  FileOutcome outcome;
  outcome.in = mReader.path();
  outcome.out = mOut == "-" ? "standard output" : mOut;
  outcome.promisedFrames = mReader.promisedFrames();
  outcome.sampleRate = mReader.sampleRate();
  const auto start = std::chrono::steady_clock::now();
  AudioFileWriter writer(output, mOutFormat, channels, mReader.sampleRate(), mReader.tags());
  renderFrames(unit, automation, mReader, &writer, mSettings,
               static_cast<float>(GainFactor(mSettings.gainDb)), progress, outcome);
  writer.close();
  stateOutputs.write(unit);
  stateOutputs.commit(&output);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  outcome.wallSeconds = elapsed.count();

  unit.uninitialize();
  if (outcome.levels.clipped() > 0) outcome.avoidingGainDb = gainAvoidingClipping();
  return outcome;
}
