// morvex render end to end: real files through the real component, compared
// with the component driven directly through the host calls.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "tests/support/AUHost.h"
#include "tests/tools/morvex/ToolTestSupport.h"

using testing::HasSubstr;
using testing::StartsWith;
using tool_test::Audio;
using tool_test::Channels;
using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::RunOnTerminal;
using tool_test::Signal;
using tool_test::TempDir;
using tool_test::WriteAudio;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// Renders through the component with nothing of the tool's code, as the
// Audio Unit tests' host does: formats, maximum frames, initialise,
// parameters, then 512-frame slices pulled through an input callback.
Channels ReferenceRender(const Channels& in, double rate,
                         const std::vector<std::pair<AudioUnitParameterID, float>>& settings) {
  setenv("AUDIOUNIT_PATH", MORVEX_BUNDLE, 1);
  HostRescanComponents();
  ScopedAudioUnit unit;
  if (!static_cast<AudioUnit>(unit)) return {};
  au_test::Prepare(unit, static_cast<UInt32>(in.size()), 512, rate);
  for (const auto& [id, value] : settings)
    AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, value, 0);
  MemorySource source{in};
  EXPECT_EQ(source.attach(unit), noErr);
  return au_test::Process(unit, &source, {512});
}

TEST(MorvexRender, MatchesTheComponentDrivenDirectly) {
  TempDir dir;
  for (int channels : {1, 2}) {
    const Channels in = Signal(channels, 48000, 0.5);
    WriteAudio(dir / "in.wav", in, 48000, kWavFloat);
    const auto run = Morvex({"render", dir / "in.wav", dir / "out.wav", "--preset", "Hexagon",
                             "--set", "FEEDBACK=0.9", "--set", "rate=0.75"},
                            dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    // Hexagon: Mix 0.5, Stages 5, Freq 0, Feedback 0.72, Spread 0, Rate 0.29, Depth 1.
    const Channels expected = ReferenceRender(
        in, 48000, {{0, 0.5f}, {1, 5}, {2, 0}, {3, 0.9f}, {4, 0}, {5, 0.75f}, {6, 1}});
    const Audio out = ReadAudio(dir / "out.wav");
    ASSERT_EQ(out.channels.size(), expected.size());
    EXPECT_EQ(out.channels, expected) << channels << " channels";
    EXPECT_NE(out.channels, in);
  }
}

TEST(MorvexRender, KeepsContainerRateAndSampleFormatUnlessAsked) {
  TempDir dir;
  const struct {
    int channels;
    int rate;
    int format;
    const char* formatOption;
    int expectedFormat;
    const char* name;
  } cases[] = {
      {1, 44100, kWav16, nullptr, kWav16, "mono.wav"},
      {2, 22050, kWav24, nullptr, kWav24, "stereo24.wav"},
      {2, 96000, kWavFloat, nullptr, kWavFloat, "float.wav"},
      {1, 8000, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, nullptr, SF_FORMAT_AIFF | SF_FORMAT_PCM_16,
       "low.aiff"},
      {2, 384000, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, nullptr, SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       "high.flac"},
      {2, 44100, kWav16, "float", kWavFloat, "tofloat.wav"},
      {1, 48000, kWavFloat, "pcm24", kWav24, "to24.wav"},
      {2, 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "pcm16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
       "to16.flac"},
  };
  for (const auto& c : cases) {
    const Channels in = Signal(c.channels, c.rate, 0.2);
    const std::string inPath = dir / (std::string("in-") + c.name);
    const std::string outPath = dir / c.name;
    WriteAudio(inPath, in, c.rate, c.format);
    std::vector<std::string> args = {"render", inPath, outPath};
    if (c.formatOption) args.insert(args.end(), {"--format", c.formatOption});
    const auto run = Morvex(args, dir);
    ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
    const Audio out = ReadAudio(outPath);
    EXPECT_EQ(out.info.format, c.expectedFormat) << c.name;
    EXPECT_EQ(out.info.channels, c.channels) << c.name;
    EXPECT_EQ(out.info.samplerate, c.rate) << c.name;
    EXPECT_EQ(out.info.frames, static_cast<sf_count_t>(in[0].size())) << c.name;
    float peak = 0, difference = 0;
    for (int ch = 0; ch < c.channels; ++ch)
      for (size_t i = 0; i < in[0].size(); ++i) {
        peak = std::max(peak, std::fabs(out.channels[ch][i]));
        difference = std::max(difference, std::fabs(out.channels[ch][i] - in[ch][i]));
      }
    EXPECT_GT(peak, 0.05f) << c.name;
    EXPECT_GT(difference, 0.01f) << c.name << ": the effect left the sound alone";
  }
}

TEST(MorvexRender, SavedStateReproducesTheSameOutput) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 0.3), 44100, kWav24);
  const auto first = Morvex({"render", dir / "in.wav", dir / "a.wav", "--preset", "3", "--set",
                             "Stages=4", "--set", "Depth=0.2", "--save-state", dir / "s.aupreset"},
                            dir);
  ASSERT_EQ(first.status, 0) << first.err;
  const std::string saved = tool_test::Slurp(dir / "s.aupreset");
  EXPECT_THAT(saved, StartsWith("<?xml"));
  for (const char* key : {"<key>data</key>", "<key>manufacturer</key>", "<key>name</key>",
                          "<string>Tri Force</string>", "<key>subtype</key>", "<key>type</key>",
                          "<key>version</key>"})
    EXPECT_THAT(saved, HasSubstr(key));

  const auto second = Morvex({"render", dir / "in.wav", dir / "b.wav", "--state",
                              dir / "s.aupreset", "--save-state", dir / "t.aupreset"},
                             dir);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(ReadAudio(dir / "a.wav").channels, ReadAudio(dir / "b.wav").channels);
  EXPECT_EQ(tool_test::Slurp(dir / "t.aupreset"), saved);

  const auto plain = Morvex({"render", dir / "in.wav", dir / "c.wav", "--preset", "3"}, dir);
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(ReadAudio(dir / "a.wav").channels, ReadAudio(dir / "c.wav").channels);
}

TEST(MorvexRender, SettingsAcceptDisplayTextsAndIgnoreCase) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 0.2), 44100, kWavFloat);
  // "0.50" is how Mix displays one half; "Rate" written in any case.
  ASSERT_EQ(
      Morvex({"render", dir / "in.wav", dir / "a.wav", "--set", "mix=0.50", "--set", "RATE=0.9"},
             dir)
          .status,
      0);
  ASSERT_EQ(
      Morvex({"render", dir / "in.wav", dir / "b.wav", "--set", "Mix=.5", "--set", "Rate=0.9"}, dir)
          .status,
      0);
  ASSERT_EQ(Morvex({"render", dir / "in.wav", dir / "c.wav"}, dir).status, 0);
  EXPECT_EQ(ReadAudio(dir / "a.wav").channels, ReadAudio(dir / "b.wav").channels);
  EXPECT_NE(ReadAudio(dir / "a.wav").channels, ReadAudio(dir / "c.wav").channels);
  // Mix 0 passes the input through untouched.
  ASSERT_EQ(Morvex({"render", dir / "in.wav", dir / "dry.wav", "--set", "mix=0"}, dir).status, 0);
  EXPECT_EQ(ReadAudio(dir / "dry.wav").channels, ReadAudio(dir / "in.wav").channels);
}

TEST(MorvexRender, RefusalsNameTheCulpritAndLeaveNoOutput) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 0.1), 44100, kWav16);
  WriteAudio(dir / "three.wav", Signal(3, 44100, 0.1), 44100, kWav16);
  std::ofstream(dir / "other.aupreset")
      << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>version</key><integer>0"
         "</integer><key>type</key><integer>1635083896</integer><key>subtype</key><integer>"
         "1333028978</integer><key>manufacturer</key><integer>1097035109</integer><key>name"
         "</key><string>x</string><key>data</key><data>AAAA</data></dict></plist>";
  std::ofstream(dir / "short.aupreset")
      << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>version</key><integer>0"
         "</integer><key>type</key><integer>1635083896</integer><key>subtype</key><integer>"
         "2051686773</integer><key>manufacturer</key><integer>1097035109</integer><key>name"
         "</key><string>Init</string><key>data</key><data>AAAA</data></dict></plist>";
  mkdir((dir / "folder.wav").c_str(), 0755);
  const auto before = dir.list();
  const std::string in = dir / "in.wav", out = dir / "out.wav";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"render", in, out, "--preset", "Phasor"},
       2,
       "--preset Phasor: no such preset (Morvex has 0 Classic Virus, 1 One Stage"},
      {{"render", in, out, "--preset", "10"}, 2, "--preset 10: no such preset"},
      {{"render", in, out, "--set", "Speed=1"},
       2,
       "--set Speed=1: no parameter named 'Speed' (Morvex has Mix, Stages, Freq, Feedback, "
       "Spread, Rate, Depth)"},
      {{"render", in, out, "--set", "Mix=1.5"},
       2,
       "--set Mix=1.5: 1.5 is outside the range of Mix, 0 to 1"},
      {{"render", in, out, "--set", "stages=-1"}, 2, "-1 is outside the range of Stages, 0 to 5"},
      {{"render", in, out, "--set", "Rate=fast"},
       2,
       "--set Rate=fast: 'fast' is not a value of Rate (a number from 0 to 1, or as 2s, 500ms, "
       "0.5Hz)"},
      {{"render", dir / "three.wav", out},
       1,
       "three.wav: 3 channels are not supported (Morvex takes 1 in/1 out, 2 in/2 out)"},
      {{"render", in, out, "--state", dir / "other.aupreset"},
       1,
       "other.aupreset: saved by another component (aufx Othr Acme), not Morvex"},
      {{"render", in, out, "--state", dir / "short.aupreset"},
       1,
       "short.aupreset: Morvex refused the saved state (-10851"},
      {{"render", in, dir / "no-such-folder" + "/out.wav"},
       1,
       "no-such-folder/out.wav: cannot write (No such file or directory)"},
      {{"render", in, dir / "folder.wav"}, 1, "folder.wav: is a folder, not a file"},
      {{"render", in, out, "--save-state", dir / "no-such-folder/s.aupreset"},
       1,
       "no-such-folder/s.aupreset: cannot write"},
      {{"render", in, out, "--set", "Stages=2.5"},
       2,
       "--set Stages=2.5: Stages takes whole numbers (0 to 5), not 2.5"},
      {{"render", in, out, "--preset", ""}, 2, "--preset needs a value, not an empty text"},
      {{"render", in, out, "--state="}, 2, "--state needs a value, not an empty text"},
      {{"render", in, out, "--save-state", ""}, 2, "--save-state needs a value, not an empty text"},
      {{"render", in, ""}, 2, "IN and OUT need names"},
  };
  for (const auto& c : cases) {
    const auto run = Morvex(c.args, dir);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_THAT(run.err, StartsWith("morvex: error: ")) << c.message;
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(dir.list(), before) << c.message;
  }
}

TEST(MorvexRender, TerminalsGetAProgressBarUnlessQuietButNeverAudio) {
  TempDir dir;
  WriteAudio(dir / "long.wav", Signal(1, 8000, 6.5), 8000, kWav16);
  WriteAudio(dir / "short.wav", Signal(1, 8000, 3), 8000, kWav16);
  // Passed through dry, so that no warning about clipping joins the output.
  const auto render = [&](const char* in, const char* out) {
    return std::vector<std::string>{"render", dir / in, dir / out, "--set", "Mix=0"};
  };
  std::vector<std::string> quiet = render("long.wav", "b.wav");
  quiet.push_back("--quiet");
  EXPECT_THAT(RunOnTerminal(render("long.wav", "a.wav")),
              HasSubstr("rendering [##############################] 100%"));
  EXPECT_EQ(RunOnTerminal(quiet), "");
  EXPECT_THAT(RunOnTerminal(render("short.wav", "c.wav")), testing::Not(HasSubstr("rendering [")));
  const auto piped = Morvex(render("long.wav", "d.wav"), dir);
  EXPECT_EQ(piped.status, 0);
  EXPECT_THAT(piped.err, testing::Not(HasSubstr("rendering [")));
  EXPECT_THAT(RunOnTerminal({"render", dir / "short.wav", "-"}),
              StartsWith("morvex: error: standard output: is a terminal"));
  EXPECT_THAT(RunOnTerminal({"render", "-", dir / "e.wav"}),
              StartsWith("morvex: error: standard input: is a terminal"));
}

// An interrupted render leaves neither the output nor its temporary file: the
// input is a pipe that stalls after its first samples, then a signal arrives
// (a closed terminal, a closed pipe downstream, or a plain termination).
TEST(MorvexRender, TerminationRemovesTheTemporaryOutput) {
  TempDir dir;
  WriteAudio(dir / "whole.wav", Signal(2, 44100, 2), 44100, kWav16);
  const std::string wav = tool_test::Slurp(dir / "whole.wav");
  ASSERT_EQ(mkfifo((dir / "pipe.wav").c_str(), 0644), 0);
  const std::string out = dir / "out.wav";
  signal(SIGPIPE, SIG_IGN);  // a tool that died early must fail the test, not end it
  for (int sig : {SIGHUP, SIGPIPE, SIGTERM}) {
    const pid_t pid = fork();
    if (pid == 0) {
      signal(SIGPIPE, SIG_DFL);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      execl(MORVEX_TOOL, MORVEX_TOOL, "render", (dir / "pipe.wav").c_str(), out.c_str(), nullptr);
      _exit(127);
    }
    // Without a reader a plain open would wait for ever.
    int pipe = -1;
    for (int i = 0; i < 500 && pipe < 0; ++i) {
      pipe = open((dir / "pipe.wav").c_str(), O_WRONLY | O_NONBLOCK);
      if (pipe < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(pipe, 0);
    fcntl(pipe, F_SETFL, 0);
    ASSERT_EQ(write(pipe, wav.data(), wav.size() / 2), static_cast<ssize_t>(wav.size() / 2));
    bool tempSeen = false;
    for (int i = 0; i < 500 && !tempSeen; ++i) {
      tempSeen = dir.list().size() > 2;
      if (!tempSeen) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(tempSeen) << strsignal(sig);
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    close(pipe);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << strsignal(sig);
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"pipe.wav", "whole.wav"})) << strsignal(sig);
  }
}

}  // namespace
