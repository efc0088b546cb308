// What morvex render does to the files and streams it is given: kinds of
// output, containers, what survives a replacement, and failures that must
// leave nothing damaged behind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <chrono>
#include <thread>

#include "tests/tools/morvex/ToolTestSupport.h"

using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;
using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::Scaled;
using tool_test::Signal;
using tool_test::Slurp;
using tool_test::TempDir;
using tool_test::WriteAudio;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

mode_t modeOf(const std::string& path) {
  struct stat st = {};
  lstat(path.c_str(), &st);
  return st.st_mode;
}

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A character device node of our own, standing for /dev/null or /dev/full:
// the real ones must not be at the mercy of a test. Needs root.
bool makeDevice(const std::string& path, unsigned minor) {
  return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// Reads a FIFO on a thread of its own, from before its writer comes until the
// writer closes it, or for a few seconds when no writer ever comes.
class FifoReader {
 public:
  explicit FifoReader(const std::string& path)
      : mFd(open(path.c_str(), O_RDONLY | O_NONBLOCK)), mThread([this] { drain(); }) {}
  std::string finish() {
    mThread.join();
    close(mFd);
    return mData;
  }

 private:
  void drain() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    char buffer[1 << 16];
    while (std::chrono::steady_clock::now() < deadline) {
      const ssize_t got = read(mFd, buffer, sizeof buffer);
      if (got > 0)
        mData.append(buffer, static_cast<size_t>(got));
      else if (got == 0 && !mData.empty())
        return;  // the writer is done
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  int mFd;
  std::string mData;
  std::thread mThread;
};

TEST(MorvexOutput, LinksAreFollowedAndDevicesFifosAndPipesWrittenInPlace) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 0.2), 44100, kWav16);
  ASSERT_EQ(Morvex({"render", dir / "in.wav", dir / "plain.wav", "--quiet"}, dir).status, 0);
  const std::string expected = Slurp(dir / "plain.wav");
  ASSERT_FALSE(expected.empty());

  // A symbolic link stays a link; its target (made here) gets the audio.
  symlink("target.wav", (dir / "link.wav").c_str());
  auto run = Morvex({"render", dir / "in.wav", dir / "link.wav", "--quiet"}, dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(S_ISLNK(modeOf(dir / "link.wav")));
  EXPECT_EQ(Slurp(dir / "target.wav"), expected);

  // A FIFO stays a FIFO and its reader gets the whole file.
  ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0644), 0);
  FifoReader reader(dir / "fifo.wav");
  run = Morvex({"render", dir / "in.wav", dir / "fifo.wav", "--quiet"}, dir);
  EXPECT_EQ(reader.finish(), expected);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(S_ISFIFO(modeOf(dir / "fifo.wav")));

  // "-" reads and writes through pipes, as WAV unless --type says otherwise.
  EXPECT_EQ(shell("cat '" + dir / "in.wav" + "' | " MORVEX_TOOL " render - - --quiet | cat > '" +
                  dir / "piped.wav" + "'"),
            0);
  EXPECT_EQ(Slurp(dir / "piped.wav"), expected);
  EXPECT_EQ(
      shell("cat '" + dir / "in.wav" + "' | " MORVEX_TOOL " render - - --quiet --type flac > '" +
            dir / "piped.flac" + "'"),
      0);
  EXPECT_EQ(ReadAudio(dir / "piped.flac").info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);

  if (!makeDevice(dir / "null", 3)) GTEST_SKIP() << "device nodes need root";
  run = Morvex({"render", dir / "in.wav", dir / "null", "--quiet"}, dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(S_ISCHR(modeOf(dir / "null")));
}

TEST(MorvexOutput, ContainerComesFromTheExtensionOrType) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Scaled(Signal(2, 44100, 0.2), 0.5f), 44100, kWavFloat);
  const struct {
    std::string name;
    std::vector<std::string> extra;
    int format;
  } cases[] = {
      // Float cannot go into FLAC: 24 bits instead.
      {"out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {"out.OGG", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {"out.aiff", {}, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
      {"out.caf", {"--format", "pcm16"}, SF_FORMAT_CAF | SF_FORMAT_PCM_16},
      {"out.data", {"--type", "w64"}, SF_FORMAT_W64 | SF_FORMAT_FLOAT},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"render", dir / "in.wav", dir / c.name, "--quiet"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto run = Morvex(args, dir);
    ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
    const auto out = ReadAudio(dir / c.name);
    EXPECT_EQ(out.info.format & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK), c.format) << c.name;
    EXPECT_EQ(out.info.frames, 8820) << c.name;
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"render", dir / "in.wav", dir / "out.xyz"},
        std::vector<std::string>{"render", dir / "in.wav", dir / "out.wav", "--type", "xyz"}}) {
    const auto run = Morvex(args, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, StartsWith("morvex: error: "));
    EXPECT_THAT(run.err, HasSubstr("xyz"));
    EXPECT_THAT(run.err, HasSubstr("wav, aif, aiff, flac, ogg, oga, caf, w64, au"));
  }
  EXPECT_FALSE(std::ifstream(dir / "out.xyz").good());

  // An encoding the container cannot hold (MP3's in WAV, which libsndfile's
  // format check lets pass) gives way to the container's usual 24 bits.
  WriteAudio(dir / "in.mp3", Scaled(Signal(2, 44100, 0.2), 0.5f), 44100,
             SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
  if (ReadAudio(dir / "in.mp3").info.frames == 0) GTEST_SKIP() << "libsndfile encodes no MP3 here";
  const auto mp3 = Morvex({"render", dir / "in.mp3", dir / "from-mp3.wav", "--quiet"}, dir);
  EXPECT_EQ(mp3.status, 0) << mp3.err;
  EXPECT_EQ(ReadAudio(dir / "from-mp3.wav").info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
}

TEST(MorvexOutput, ReplacedFilesKeepTheirModeAndTagsCarryOver) {
  TempDir dir;
  const std::string in = dir / "in.wav";
  {
    SF_INFO info = {};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = kWav16;
    SNDFILE* file = sf_open(in.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file);
    sf_set_string(file, SF_STR_TITLE, "Lighthouse");
    sf_set_string(file, SF_STR_ARTIST, "The Keepers");
    const auto signal = Scaled(Signal(1, 44100, 0.1), 0.5f);
    sf_writef_float(file, signal[0].data(), static_cast<sf_count_t>(signal[0].size()));
    sf_close(file);
  }
  for (mode_t mode : {0600, 0751}) {
    std::ofstream(dir / "out.flac") << "old";
    chmod((dir / "out.flac").c_str(), mode);
    ASSERT_EQ(Morvex({"render", in, dir / "out.flac", "--quiet"}, dir).status, 0);
    EXPECT_EQ(modeOf(dir / "out.flac") & 07777, mode);
  }
  // Root replacing someone else's file leaves it theirs.
  if (geteuid() == 0 && chown((dir / "out.flac").c_str(), 4321, 4321) == 0) {
    ASSERT_EQ(Morvex({"render", in, dir / "out.flac", "--quiet"}, dir).status, 0);
    struct stat st = {};
    stat((dir / "out.flac").c_str(), &st);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4321u);
  }
  SF_INFO info = {};
  SNDFILE* file = sf_open((dir / "out.flac").c_str(), SFM_READ, &info);
  ASSERT_TRUE(file);
  const char* title = sf_get_string(file, SF_STR_TITLE);
  const char* artist = sf_get_string(file, SF_STR_ARTIST);
  const char* software = sf_get_string(file, SF_STR_SOFTWARE);
  EXPECT_STREQ(title, "Lighthouse");
  EXPECT_STREQ(artist, "The Keepers");
  EXPECT_THAT(software ? software : "", StartsWith("morvex "));
  sf_close(file);
}

TEST(MorvexOutput, ClippingIsWarnedAboutAndEachRenderSummarised) {
  TempDir dir;
  WriteAudio(dir / "loud.wav", Signal(2, 44100, 0.5), 44100, kWavFloat);
  WriteAudio(dir / "soft.wav", Scaled(Signal(2, 44100, 0.5), 0.1f), 44100, kWavFloat);
  const auto loud = Morvex({"render", dir / "loud.wav", dir / "a.wav", "--preset", "Twin"}, dir);
  ASSERT_EQ(loud.status, 0) << loud.err;
  EXPECT_THAT(loud.err, testing::MatchesRegex(
                            "morvex: warning: .*/a.wav: [1-9][0-9]* samples reached full scale "
                            "\\(clipped\\); --gain -[0-9]+\\.[0-9] would avoid it\nmorvex: "
                            ".*/a.wav: peak 0.0 dBFS, RMS -[0-9.]+ dBFS, "
                            "[1-9][0-9]* clipped, 0.50 s of audio, [0-9]+x real time\n"));
  const auto soft = Morvex({"render", dir / "soft.wav", dir / "b.wav"}, dir);
  ASSERT_EQ(soft.status, 0) << soft.err;
  EXPECT_THAT(soft.err, testing::MatchesRegex("morvex: .*/b.wav: peak -[0-9.]+ dBFS, RMS -[0-9.]+ "
                                              "dBFS, 0 clipped, 0.50 s of audio, .*\n"));
  const auto quiet = Morvex({"render", dir / "soft.wav", dir / "c.wav", "--quiet"}, dir);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(Morvex({"--version"}, dir).out, "morvex 1.0.0\n");
}

// Every output is checked before work starts, and a state file may not land
// on the audio it belongs to, however it is spelt.
TEST(MorvexOutput, StateOutputsThatWouldLoseAudioAreRefusedUpFront) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 0.1), 44100, kWav16);
  symlink("in.wav", (dir / "alias.wav").c_str());
  std::ofstream(dir / "old.wav") << "keep";
  const auto before = dir.list();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"render", dir / "in.wav", dir / "new.wav", "--save-state", dir / "nowhere/s.aupreset"},
       1,
       "nowhere/s.aupreset: cannot write"},
      {{"render", dir / "in.wav", dir / "old.wav", "--save-state", dir.path() + "/./old.wav"},
       2,
       "is the audio file"},
      {{"render", dir / "in.wav", dir / "new.wav", "--save-state", dir / "alias.wav"},
       2,
       "is the audio file"},
      {{"render", dir / "in.wav", dir / "new.wav", "--save-state", dir.path() + "//new.wav"},
       2,
       "is the audio file"},
  };
  for (const auto& c : cases) {
    const auto run = Morvex(c.args, dir);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(dir.list(), before) << c.message;
    EXPECT_EQ(Slurp(dir / "old.wav"), "keep");
  }
}

// The state may not land on the audio through a stream either: standard input
// or output redirected from or to a file, or named as /dev/stdout or
// /proc/self/fd/1, or OUT at the user preset's own file.
TEST(MorvexOutput, StateOutputsThatWouldLoseAudioThroughStreamsAreRefused) {
  TempDir dir;
  WriteAudio(dir / "src.wav", Signal(2, 44100, 0.1), 44100, kWav16);
  const std::string source = Slurp(dir / "src.wav");
  const std::string presets = tool_test::UserPresetsOf(dir);
  ASSERT_EQ(shell("mkdir -p '" + presets + "'"), 0);
  const std::string morvex =
      "cd '" + dir.path() + "' && XDG_DATA_HOME='" + dir / ".data" + "' " MORVEX_TOOL " render ";
  const struct {
    std::string command;
    std::string message;
    std::string audio;  // where the audio would have gone, empty afterwards
  } cases[] = {
      {"- out.wav --save-state src.wav < src.wav", "--save-state src.wav: is standard input", ""},
      {"src.wav - --save-state o1.wav > o1.wav", "--save-state o1.wav: is standard output",
       "o1.wav"},
      {"src.wav - --save-state /dev/stdout > o2.wav",
       "--save-state /dev/stdout: is standard output", "o2.wav"},
      {"src.wav - --save-state /proc/self/fd/1 > o3.wav",
       "--save-state /proc/self/fd/1: is standard output", "o3.wav"},
      {"src.wav - --save-state /dev/stdout | cat > o4.wav",
       "--save-state /dev/stdout: is standard output", "o4.wav"},
      {"src.wav '" + presets + "/P.aupreset' --type wav --save-preset P",
       "--save-preset P (" + presets + "/P.aupreset): is the audio file", ""},
  };
  for (const auto& c : cases) {
    const int status = shell("exec 2> '" + dir / "err.txt" + "'; " + morvex + c.command);
    // A pipeline's status is its last command's.
    if (c.command.find('|') == std::string::npos) {
      EXPECT_EQ(status, 2) << c.command;
    }
    EXPECT_THAT(Slurp(dir / "err.txt"), StartsWith("morvex: error: render: " + c.message))
        << c.command;
    EXPECT_EQ(Slurp(dir / "src.wav"), source) << c.command;
    if (!c.audio.empty()) {
      EXPECT_EQ(Slurp(dir / c.audio), "") << c.command;
    }
    EXPECT_EQ(tool_test::ListFolder(presets), std::vector<std::string>{}) << c.command;
  }
  EXPECT_FALSE(std::ifstream(dir / "out.wav").good());
  // Streams that are not the state's file are used as before.
  EXPECT_EQ(shell(morvex + "- - --save-state s.aupreset --quiet < src.wav > o5.wav"), 0);
  EXPECT_EQ(ReadAudio(dir / "o5.wav").info.frames, 4410);
  EXPECT_THAT(Slurp(dir / "s.aupreset"), StartsWith("<?xml"));
}

// Under --no-clobber a user preset that appears while the render runs is kept,
// and then neither OUT nor the state file may appear without it. IN is a FIFO
// fed in two halves, so the preset appears after every output was opened.
TEST(MorvexOutput, NoClobberCommitsTheAudioAndTheStatesTogetherOrNone) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 4), 44100, kWav16);
  const std::string audio = Slurp(dir / "in.wav");
  ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0644), 0);
  const std::string presets = tool_test::UserPresetsOf(dir);
  ASSERT_EQ(shell("mkdir -p '" + presets + "'"), 0);
  const auto temporaries = [](const std::string& folder) {
    const auto names = tool_test::ListFolder(folder);
    return std::count_if(names.begin(), names.end(), [](const std::string& name) {
      return name.compare(0, 8, ".morvex-") == 0;
    });
  };

  tool_test::Run run;
  std::thread render([&] {
    run = Morvex({"render", dir / "fifo.wav", dir / "out.wav", "--no-clobber", "--save-state",
                  dir / "s.aupreset", "--save-preset", "P", "--quiet"},
                 dir);
  });
  signal(SIGPIPE, SIG_IGN);  // should morvex end early
  const int fifo = tool_test::OpenFifoForWriting(dir / "fifo.wav");
  ASSERT_GE(fifo, 0);
  const size_t half = audio.size() / 2;
  EXPECT_EQ(write(fifo, audio.data(), half), static_cast<ssize_t>(half));
  for (int tries = 0; tries < 1000 && temporaries(dir.path()) + temporaries(presets) < 3; ++tries)
    usleep(10000);
  EXPECT_EQ(temporaries(dir.path()) + temporaries(presets), 3);
  dir.write(".data/morvex/presets/P.aupreset", std::string("keep"));
  EXPECT_EQ(write(fifo, audio.data() + half, audio.size() - half),
            static_cast<ssize_t>(audio.size() - half));
  close(fifo);
  render.join();
  signal(SIGPIPE, SIG_DFL);

  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err,
              HasSubstr(presets + "/P.aupreset: already exists, and --no-clobber keeps it"));
  EXPECT_EQ(tool_test::ListFolder(dir.path()),
            (std::vector<std::string>{".data", "fifo.wav", "in.wav"}));
  EXPECT_EQ(tool_test::ListFolder(presets), std::vector<std::string>{"P.aupreset"});
  EXPECT_EQ(Slurp(presets + "/P.aupreset"), "keep");
}

// Runs morvex with a limit on the size of the files it writes, so that the
// file system refuses a write as a full disk would.
int RunWithFileSizeLimit(const std::vector<std::string>& args, rlim_t bytes) {
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    const rlimit limit = {bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    std::vector<char*> argv = {const_cast<char*>(MORVEX_TOOL)};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(MORVEX_TOOL, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(MorvexOutput, AFailedWriteFailsTheRenderAndLeavesNothing) {
  TempDir dir;
  WriteAudio(dir / "in.flac", Signal(2, 44100, 1), 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  ASSERT_EQ(Morvex({"render", dir / "in.flac", dir / "whole.flac", "--quiet"}, dir).status, 0);
  struct stat whole = {};
  ASSERT_EQ(stat((dir / "whole.flac").c_str(), &whole), 0);
  const auto before = dir.list();
  // The encoder's last bytes are written while the file is closed.
  for (off_t missing : {1, 16, 256}) {
    EXPECT_EQ(RunWithFileSizeLimit({"render", dir / "in.flac", dir / "cut.flac", "--quiet"},
                                   static_cast<rlim_t>(whole.st_size - missing)),
              1)
        << missing;
    EXPECT_EQ(dir.list(), before) << missing;
  }

  if (!makeDevice(dir / "full", 7)) GTEST_SKIP() << "device nodes need root";
  const auto run = Morvex({"render", dir / "in.flac", dir / "full", "--quiet"}, dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("full: cannot write (No space left on device)"));
  EXPECT_TRUE(S_ISCHR(modeOf(dir / "full")));
}

TEST(MorvexOutput, LongNamesShortFilesAndBrokenBundles) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Scaled(Signal(1, 44100, 0.2), 0.3f), 44100, kWav16);

  // The longest name a folder takes.
  const std::string longName = std::string(251, 'n') + ".wav";
  auto run = Morvex({"render", dir / "in.wav", dir / longName, "--quiet"}, dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAudio(dir / longName).info.frames, 8820);

  // A WAV cut short after its header was written.
  const std::string wav = Slurp(dir / "in.wav");
  std::ofstream(dir / "cut.wav", std::ios::binary) << wav.substr(0, 44 + 2 * 6000);
  run = Morvex({"render", dir / "cut.wav", dir / "cut-out.wav", "--quiet"}, dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("morvex: warning: " + dir / "cut.wav" +
                                 ": the header promises 8820 frames but only 6000 could be read"));
  run = Morvex({"render", dir / "in.wav", dir / "whole-out.wav", "--quiet"}, dir);
  EXPECT_THAT(run.err, Not(HasSubstr("promises")));
  // A streamed WAV, whose writer could not know the length, promises nothing.
  std::string streamed = wav;
  streamed.replace(40, 4, "\xff\xff\xff\xff");
  std::ofstream(dir / "streamed.wav", std::ios::binary) << streamed;
  run = Morvex({"render", dir / "streamed.wav", dir / "streamed-out.wav", "--quiet"}, dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.err, Not(HasSubstr("promises")));

  // A bundle whose library is no library, first on the search path.
  const std::string broken = dir / "plugins/Broken.component/Contents";
  ASSERT_EQ(
      shell("mkdir -p '" + broken + "/MacOS' && cp '" MORVEX_BUNDLE "/Contents/Info.plist' '" +
            broken + "/' && echo junk > '" + broken + "/MacOS/Morvex'"),
      0);
  setenv("AUDIOUNIT_PATH", (dir / "plugins").c_str(), 1);
  run = Morvex({"render", dir / "in.wav", dir / "out.wav", "--quiet"}, dir);
  unsetenv("AUDIOUNIT_PATH");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAudio(dir / "out.wav").info.frames, 8820);
}

}  // namespace
