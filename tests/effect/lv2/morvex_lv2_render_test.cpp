// lv2apply (one frame per run) and lv2file (512-frame blocks) render a file
// through Morvex.lv2 to the same samples as `morvex render` with the same
// settings; the saved state is the Audio Unit's parameter chunk.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "framework/plugin/Base64.h"
#include "lv2/presets/presets.h"
#include "tests/effect/lv2/MorvexWorld.h"

namespace {
#ifdef MORVEX_HOST_ENV
const std::string kHostEnvironment = MORVEX_HOST_ENV;
#else
const std::string kHostEnvironment;
#endif
#ifdef MORVEX_LV2_HOSTS_CANNOT_LOAD
const char* const kHostsCannotLoad = MORVEX_LV2_HOSTS_CANNOT_LOAD;
#else
const char* const kHostsCannotLoad = nullptr;
#endif

struct Audio {
  int channels = 0;
  std::vector<float> samples;
};

void Write(const std::string& path, int channels, size_t frames) {
  SF_INFO info = {};
  info.samplerate = 44100;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<float> samples(frames * static_cast<size_t>(channels));
  // A tone, a different high tone per channel and a little hash noise.
  ReproducibleNoise noise(1);
  for (size_t i = 0; i < samples.size(); ++i) {
    const double t = static_cast<double>(i / static_cast<size_t>(channels)) / 44100.0;
    const double high = i % 2 ? 3700.0 : 3000.0;
    samples[i] = static_cast<float>(0.3 * std::sin(2 * M_PI * 220 * t) +
                                    0.2 * std::sin(2 * M_PI * high * t) + 0.1 * noise.bipolar());
  }
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
}

Audio Read(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  Audio audio;
  if (!file) return audio;
  audio.channels = info.channels;
  audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, audio.samples.data(), info.frames);
  sf_close(file);
  return audio;
}

class MorvexLV2Render : public testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/morvex-render-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mDir = folder;
    Write(mDir + "/stereo.wav", 2, 30000);
    Write(mDir + "/mono.wav", 1, 30000);
  }
  void TearDown() override { std::system(("rm -rf '" + mDir + "'").c_str()); }

  // Runs a command line with the bundle on LV2_PATH; its output goes to a
  // log that a failure shows.
  void Run(const std::string& command) {
    const std::string line = kHostEnvironment + " LV2_PATH='" + MORVEX_LV2_PATH + "' " + command +
                             " >'" + mDir + "/log' 2>&1";
    if (std::system(line.c_str()) != 0) {
      std::ifstream log(mDir + "/log");
      std::stringstream text;
      text << log.rdbuf();
      ADD_FAILURE() << line << "\n" << text.str();
    }
  }

  // morvex render's output of the input with args, to compare against.
  Audio Morvex(const std::string& input, const std::string& args) {
    Run(std::string(MORVEX_BIN) + " render " + mDir + "/" + input + " " + mDir +
        "/morvex.wav --quiet " + args);
    return Read(mDir + "/morvex.wav");
  }

  Audio LV2Apply(const std::string& input, const std::string& plugin, const std::string& args) {
    Run("lv2apply -i " + mDir + "/" + input + " -o " + mDir + "/lv2apply.wav " + args + " " +
        plugin);
    return Read(mDir + "/lv2apply.wav");
  }

  Audio LV2File(const std::string& input, const std::string& plugin, const std::string& args) {
    Run("lv2file -b 512 -i " + mDir + "/" + input + " -o " + mDir + "/lv2file.wav " + args + " " +
        plugin);
    return Read(mDir + "/lv2file.wav");
  }

  MorvexWorld mHost;
  std::string mDir;
};

const std::string kStereo = "urn:tarnbrook:morvex:stereo";

// The text between the first `open` and the next `close` after it, or "".
std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  const size_t begin = text.find(open);
  if (begin == std::string::npos) return "";
  const size_t end = text.find(close, begin + open.size());
  return end == std::string::npos ? ""
                                  : text.substr(begin + open.size(), end - begin - open.size());
}

std::vector<unsigned char> Base64Decoded(const std::string& text) {
  std::string base64;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) base64 += c;
  std::vector<unsigned char> bytes(base64.size());
  bytes.resize(static_cast<size_t>(
      base64decode(base64.c_str(), bytes.data(), static_cast<int>(bytes.size()))));
  return bytes;
}

void ExpectSameSamples(const Audio& expected, const Audio& actual) {
  ASSERT_EQ(actual.channels, expected.channels);
  ASSERT_EQ(actual.samples.size(), expected.samples.size());
  size_t differing = 0;
  for (size_t i = 0; i < expected.samples.size(); ++i)
    differing += expected.samples[i] != actual.samples[i];
  EXPECT_EQ(differing, 0u) << "of " << expected.samples.size() << " samples";
}

TEST_F(MorvexLV2Render, DefaultsAndControlValuesSoundAsInMorvexRender) {
  if (kHostsCannotLoad) GTEST_SKIP() << kHostsCannotLoad;
  const Audio defaults = Morvex("stereo.wav", "");
  ExpectSameSamples(defaults, LV2Apply("stereo.wav", kStereo, ""));
  ExpectSameSamples(defaults, LV2File("stereo.wav", kStereo, ""));

  const Audio set = Morvex("stereo.wav", "--set Stages=5 --set Feedback=0.9 --set Rate=0.7");
  ExpectSameSamples(set,
                    LV2Apply("stereo.wav", kStereo, "-c stages 5 -c feedback 0.9 -c rate 0.7"));
  ExpectSameSamples(set, LV2File("stereo.wav", kStereo, "-p stages:5 -p feedback:0.9 -p rate:0.7"));
}

TEST_F(MorvexLV2Render, EveryFactoryPresetSoundsAsInMorvexRender) {
  if (kHostsCannotLoad) GTEST_SKIP() << kHostsCannotLoad;
  for (const char* preset :
       {"Classic Virus", "One Stage", "Twin", "Tri Force", "Winds", "Hexagon", "Init"}) {
    SCOPED_TRACE(preset);
    ExpectSameSamples(Morvex("stereo.wav", std::string("--preset '") + preset + "'"),
                      LV2File("stereo.wav", kStereo, std::string("-P '") + preset + "'"));
  }
}

TEST_F(MorvexLV2Render, TheMonoPlugInSoundsAsAMonoRender) {
  if (kHostsCannotLoad) GTEST_SKIP() << kHostsCannotLoad;
  ExpectSameSamples(Morvex("mono.wav", "--set Spread=0.3"),
                    LV2Apply("mono.wav", "urn:tarnbrook:morvex:mono", "-c spread 0.3"));
}

// The chunk the LV2 state holds, restored from the preset through lilv.
std::vector<unsigned char> LV2StateChunk(MorvexWorld& host, const std::string& presetLabel) {
  const auto plug = host.Instantiate(MorvexWorld::kStereo);
  if (!plug) return {};
  LilvNode* presetClass = host.NewURI(LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(host.plugin(MorvexWorld::kStereo), presetClass);
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* node = lilv_nodes_get(presets, i);
    lilv_world_load_resource(host.lilv(), node);
    LilvState* preset = lilv_state_new_from_world(host.lilv(), host.urids().mapInterface(), node);
    if (preset && presetLabel == lilv_state_get_label(preset)) host.Restore(*plug, preset);
    lilv_state_free(preset);
  }
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);

  LilvState* state = host.Save(MorvexWorld::kStereo, *plug);
  char folder[] = "/tmp/morvex-state-XXXXXX";
  std::vector<unsigned char> chunk;
  if (state && mkdtemp(folder)) {
    lilv_state_save(host.lilv(), host.urids().mapInterface(), host.urids().unmapInterface(), state,
                    nullptr, folder, "state.ttl");
    std::ifstream file(std::string(folder) + "/state.ttl");
    std::stringstream text;
    text << file.rdbuf();
    chunk = Base64Decoded(Between(text.str(), "morvex:state> \"", "\""));
    std::system(("rm -rf '" + std::string(folder) + "'").c_str());
  }
  lilv_state_free(state);
  return chunk;
}

TEST_F(MorvexLV2Render, TheSavedStateIsTheAudioUnitsParameterChunk) {
  Morvex("stereo.wav", "--preset Twin --save-state " + mDir + "/twin.aupreset");
  std::ifstream file(mDir + "/twin.aupreset");
  std::stringstream text;
  text << file.rdbuf();
  const std::vector<unsigned char> auChunk =
      Base64Decoded(Between(text.str(), "<data>", "</data>"));

  const std::vector<unsigned char> lv2Chunk = LV2StateChunk(mHost, "Twin");
  ASSERT_EQ(lv2Chunk.size(), 7 * sizeof(double));
  EXPECT_EQ(lv2Chunk, auChunk);
}
}  // namespace
