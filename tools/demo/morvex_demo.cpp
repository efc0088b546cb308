// morvex-demo: the demo material for `make run`.
//
//   morvex-demo clip OUT.wav     writes a 4-second stereo clip (44.1 kHz,
//                                24-bit): sawtooth chords over a bass line,
//                                with kick, snare and hi-hat, synthesised
//                                here and the same on every run
//   morvex-demo levels FILE...   prints each file's peak and RMS level in
//                                dBFS, one line per file

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/base/AtomicFile.h"
#include "framework/base/ReproducibleNoise.h"

namespace {

const char kUsage[] =
    "usage: morvex-demo clip OUT.wav\n"
    "       morvex-demo levels FILE...\n"
    "\n"
    "clip    writes the 4-second demo clip (stereo, 44.1 kHz, 24-bit WAV)\n"
    "levels  prints 'PEAK RMS' in dBFS for each file, one line each\n";

constexpr int kRate = 44100;
constexpr double kSeconds = 4.0;
constexpr double kBeat = 0.5;  // 120 beats per minute
constexpr double kPi = 3.14159265358979323846;

// A sawtooth with its discontinuity smoothed (polyBLEP), so the chords are
// harmonically rich without folding back into audible aliases.
double sawSample(double phase, double step) {
  double value = 2 * phase - 1;
  if (phase < step) {
    const double t = phase / step;
    value -= t + t - t * t - 1;
  } else if (phase > 1 - step) {
    const double t = (phase - 1) / step;
    value -= t * t + t + t + 1;
  }
  return value;
}

double midiHz(double note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12);
}

void addSaw(std::vector<double>& out, double start, double length, double hz, double gain) {
  const size_t first = static_cast<size_t>(start * kRate);
  const size_t count = static_cast<size_t>(length * kRate);
  const double step = hz / kRate;
  double phase = 0;
  for (size_t i = 0; i < count && first + i < out.size(); ++i) {
    const double t = double(i) / kRate;
    const double envelope = std::min(1.0, t / 0.01) * std::min(1.0, (length - t) / 0.05) *
                            (0.75 + 0.25 * std::exp(-t * 3));
    out[first + i] += gain * envelope * sawSample(phase, step);
    phase += step;
    if (phase >= 1) phase -= 1;
  }
}

void addKick(std::vector<double>& out, double start) {
  const size_t first = static_cast<size_t>(start * kRate);
  double phase = 0;
  for (size_t i = 0; i < size_t(0.35 * kRate) && first + i < out.size(); ++i) {
    const double t = double(i) / kRate;
    phase += 2 * kPi * (50 + 110 * std::exp(-t * 30)) / kRate;
    out[first + i] += 0.9 * std::exp(-t * 9) * std::sin(phase);
  }
}

void addSnare(std::vector<double>& out, double start, ReproducibleNoise& noise) {
  const size_t first = static_cast<size_t>(start * kRate);
  for (size_t i = 0; i < size_t(0.2 * kRate) && first + i < out.size(); ++i) {
    const double t = double(i) / kRate;
    out[first + i] += 0.35 * std::exp(-t * 22) * noise.bipolar() +
                      0.3 * std::exp(-t * 30) * std::sin(2 * kPi * 185 * t);
  }
}

void addHat(std::vector<double>& out, double start, ReproducibleNoise& noise) {
  const size_t first = static_cast<size_t>(start * kRate);
  double previous = 0;
  for (size_t i = 0; i < size_t(0.06 * kRate) && first + i < out.size(); ++i) {
    const double t = double(i) / kRate;
    const double white = noise.bipolar();
    out[first + i] += 0.18 * std::exp(-t * 70) * (white - previous);  // bright: differenced
    previous = white;
  }
}

int writeClip(const char* path) {
  const size_t frames = static_cast<size_t>(kSeconds * kRate);
  std::vector<double> left(frames), right(frames);
  ReproducibleNoise noise(0x1234567u);
  // Am, F, C, G: one chord per two beats, slightly detuned between channels.
  const int chords[4][4] = {{57, 60, 64, 69}, {53, 57, 60, 65}, {48, 55, 60, 64}, {55, 59, 62, 67}};
  for (int bar = 0; bar < 4; ++bar) {
    const double start = bar * 2 * kBeat;
    for (int note : chords[bar]) {
      addSaw(left, start, 2 * kBeat, midiHz(note) * 0.998, 0.09);
      addSaw(right, start, 2 * kBeat, midiHz(note) * 1.002, 0.09);
    }
    for (int half = 0; half < 4; ++half) {
      const double bassStart = start + half * kBeat / 2;
      const double hz = midiHz(chords[bar][0] - 24 + (half == 3 ? 12 : 0));
      addSaw(left, bassStart, kBeat / 2, hz, 0.22);
      addSaw(right, bassStart, kBeat / 2, hz, 0.22);
    }
  }
  for (int beat = 0; beat < int(kSeconds / kBeat); ++beat) {
    const double start = beat * kBeat;
    addKick(left, start);
    addKick(right, start);
    if (beat % 2 == 1) {
      ReproducibleNoise copy = noise;
      addSnare(left, start, noise);
      addSnare(right, start, copy);
    }
    for (int eighth = 0; eighth < 2; ++eighth) {
      addHat(eighth ? left : right, start + eighth * kBeat / 2, noise);
      addHat(eighth ? right : left, start + eighth * kBeat / 2 + 0.004, noise);
    }
  }
  double peak = 0;
  for (size_t i = 0; i < frames; ++i)
    peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  // Peak at -12 dBFS: the resonant presets (Twin, Hexagon) lift peaks by up
  // to 8 dB, and the effect clamps at full scale.
  const double gain = std::pow(10.0, -12.0 / 20) / peak;
  std::vector<float> interleaved(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    interleaved[2 * i] = static_cast<float>(left[i] * gain);
    interleaved[2 * i + 1] = static_cast<float>(right[i] * gain);
  }

  SF_INFO info = {};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  AtomicFile output(path);
  SNDFILE* file = output.ok() ? sf_open_fd(output.fd(), SFM_WRITE, &info, SF_FALSE) : nullptr;
  if (!file) {
    std::fprintf(stderr, "morvex-demo: error: %s: cannot write (%s)\n", path,
                 output.ok() ? sf_strerror(nullptr) : std::strerror(errno));
    return 1;
  }
  const bool written = sf_writef_float(file, interleaved.data(), frames) == sf_count_t(frames);
  if (sf_close(file) != 0 || !written || !output.commit()) {
    std::fprintf(stderr, "morvex-demo: error: %s: cannot write\n", path);
    return 1;
  }
  return 0;
}

// Rounded to tenths, so that a peak a hair below full scale reads 0.0, not -0.0.
double dbfs(double level) {
  const double tenths = std::round(200 * std::log10(std::max(level, 1e-10))) / 10;
  return tenths == 0 ? 0.0 : tenths;
}

constexpr size_t kLevelFrames = 4096;

int printLevels(int count, char** paths) {
  for (int f = 0; f < count; ++f) {
    SF_INFO info = {};
    SNDFILE* file = sf_open(paths[f], SFM_READ, &info);
    if (!file) {
      std::fprintf(stderr, "morvex-demo: error: %s: cannot read (%s)\n", paths[f],
                   sf_strerror(nullptr));
      return 1;
    }
    const size_t channels = static_cast<size_t>(info.channels);
    std::vector<float> block(kLevelFrames * channels);
    double peak = 0, squares = 0;
    long long samples = 0;
    sf_count_t got;
    while ((got = sf_readf_float(file, block.data(), static_cast<sf_count_t>(kLevelFrames))) > 0) {
      // At most kLevelFrames, so the count fits a size_t.
      const size_t values = static_cast<size_t>(got) * channels;
      for (size_t i = 0; i < values; ++i) {
        peak = std::max(peak, double(std::fabs(block[i])));
        squares += double(block[i]) * block[i];
      }
      samples += got * info.channels;
    }
    sf_close(file);
    std::printf("%.1f %.1f\n", dbfs(peak),
                dbfs(samples ? std::sqrt(squares / static_cast<double>(samples)) : 0));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "clip") == 0) return writeClip(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "levels") == 0) return printLevels(argc - 2, argv + 2);
  std::fprintf(stderr,
               "morvex-demo: error: expected 'clip OUT.wav' or 'levels FILE...' (see 'morvex-demo "
               "--help')\n");
  return 2;
}
