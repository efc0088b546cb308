// morvex render IN... --output-dir DIR: many files at once, each as a single
// render would write it, failures kept to their own file, and an existing
// file kept when asked.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/tools/morvex/ToolTestSupport.h"

using testing::HasSubstr;
using testing::Not;
using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::Signal;
using tool_test::Slurp;
using tool_test::TempDir;
using tool_test::WriteAudio;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The numbers a single render's summary line gives, as the batch's table
// should show them: peak, RMS, clipped count, seconds.
std::vector<std::string> SummaryNumbers(const std::string& line) {
  // Parsed by hand: GCC's sanitizer build warns inside std::regex.
  const size_t at = line.find("peak ");
  char peak[32], rms[32], clipped[32], seconds[32];
  if (at == std::string::npos ||
      std::sscanf(line.c_str() + at, "peak %31s dBFS, RMS %31s dBFS, %31s clipped, %31s s", peak,
                  rms, clipped, seconds) != 4)
    return {};
  return {std::string(peak) + " dBFS", std::string(rms) + " dBFS", clipped, seconds};
}

TEST(MorvexBatch, OutputsEqualSingleRendersWhateverTheJobsAndTheTableAgrees) {
  TempDir dir;
  // Mono and stereo, several rates, lengths and containers. No float files:
  // libsndfile stamps their PEAK chunk with the second it was written.
  WriteAudio(dir / "a.wav", Signal(2, 44100, 0.6), 44100, kWav16);
  WriteAudio(dir / "b.flac", Signal(1, 48000, 0.3), 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  WriteAudio(dir / "c.wav", Signal(2, 22050, 0.9), 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  WriteAudio(dir / "d.aiff", Signal(1, 96000, 0.2), 96000, SF_FORMAT_AIFF | SF_FORMAT_PCM_16);
  const std::vector<std::string> names = {"a.wav", "b.flac", "c.wav", "d.aiff"};
  // Rate=2s can only be approached, which each render notes.
  const std::vector<std::string> settings = {"--preset",     "Hexagon",        "--set",
                                             "Feedback=0.8", "--set",          "Rate=2s",
                                             "--automate",   "Mix=0:0.2,0.4:1"};
  std::vector<std::string> inputs;
  for (const std::string& name : names)
    inputs.push_back(dir / name);
  for (const char* folder : {"one", "two", "many", "single"})
    mkdir((dir / folder).c_str(), 0755);

  const auto one = Morvex(Concat(Concat({"render"}, inputs),
                                 Concat(settings, {"--output-dir", dir / "one", "--jobs", "1"})),
                          dir);
  ASSERT_EQ(one.status, 0) << one.err;
  const auto two = Morvex(Concat(Concat({"render"}, inputs),
                                 Concat(settings, {"--output-dir", dir / "two", "--jobs", "2"})),
                          dir);
  ASSERT_EQ(two.status, 0) << two.err;
  // More jobs than files, and the default.
  const auto many = Morvex(
      Concat(Concat({"render"}, inputs), Concat(settings, {"--output-dir", dir / "many"})), dir);
  ASSERT_EQ(many.status, 0) << many.err;

  for (const std::string& name : names) {
    const std::string single = dir / "single/" + name;
    const auto run = Morvex(Concat({"render", dir / name, single}, settings), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected = Slurp(single);
    EXPECT_FALSE(expected.empty());
    for (const char* folder : {"one/", "two/", "many/"})
      EXPECT_TRUE(Slurp(dir / folder + name) == expected) << folder << name;
    // The table's row holds the single summary's numbers, outcome last.
    const std::vector<std::string> numbers = SummaryNumbers(run.err);
    ASSERT_EQ(numbers.size(), 4u) << run.err;
    EXPECT_THAT(two.err,
                testing::ContainsRegex("\n" + name + " +" + numbers[0] + " +" + numbers[1] + " +" +
                                       numbers[2] + " +" + numbers[3] + " +ok\n"));
  }
  EXPECT_THAT(two.err,
              testing::ContainsRegex("(^|\n)file +peak +RMS +clipped +seconds +outcome\n"));
  EXPECT_THAT(two.err, testing::ContainsRegex("\ntotal +.* 2.00 +4 ok, 0 failed\n$"));
  // The four files' alike notes are told once, before the table.
  EXPECT_THAT(two.err, testing::StartsWith("morvex: --set Rate=2s: Rate "));
  EXPECT_EQ(two.err.find("Rate=2s", 20), std::string::npos) << two.err;
  const auto quiet = Morvex(Concat(Concat({"render"}, inputs),
                                   {"--output-dir", dir / "one", "--quiet", "--set", "Mix=0"}),
                            dir);
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out + quiet.err, "");
}

TEST(MorvexBatch, AFailedFileIsNamedWithItsReasonAndTheOthersAreWritten) {
  TempDir dir;
  WriteAudio(dir / "first.wav", Signal(2, 44100, 0.5), 44100, kWav16);
  WriteAudio(dir / "last.flac", Signal(1, 44100, 0.25), 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  std::string garbage(4000, '\0');
  for (size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<char>(i * 7919 % 251);
  dir.write("corrupt.wav", garbage);
  mkdir((dir / "out").c_str(), 0755);
  const std::vector<std::string> args = {"render",
                                         dir / "first.wav",
                                         dir / "corrupt.wav",
                                         dir / "last.flac",
                                         "--output-dir",
                                         dir / "out",
                                         "--jobs",
                                         "3",
                                         "--set",
                                         "Mix=0"};

  const auto run = Morvex(args, dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(tool_test::ListFolder(dir / "out"),
            (std::vector<std::string>{"first.wav", "last.flac"}));
  EXPECT_EQ(ReadAudio(dir / "out/last.flac").info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  // Mix 0 passes the input through: the good files are whole.
  EXPECT_EQ(ReadAudio(dir / "out/first.wav").channels, ReadAudio(dir / "first.wav").channels);
  EXPECT_EQ(ReadAudio(dir / "out/last.flac").channels, ReadAudio(dir / "last.flac").channels);
  EXPECT_THAT(run.err, testing::ContainsRegex("\ncorrupt.wav +.*/corrupt.wav: not an audio file "
                                              "that can be read \\(.+\\)\n"));
  EXPECT_THAT(run.err, testing::ContainsRegex("\nfirst.wav +.* 0.50 +ok\n"));
  EXPECT_THAT(run.err, testing::ContainsRegex("\ntotal +.* 0.75 +2 ok, 1 failed\n$"));

  // Quiet, the failure still is told, once.
  std::filesystem::remove_all(dir / "out/first.wav");
  const auto quiet = Morvex(Concat(args, {"--quiet"}), dir);
  EXPECT_EQ(quiet.status, 1);
  EXPECT_THAT(quiet.err, testing::MatchesRegex("morvex: error: .*/corrupt.wav: not an audio file "
                                               "that can be read \\(.+\\)\n"));
  EXPECT_EQ(ReadAudio(dir / "out/first.wav").channels, ReadAudio(dir / "first.wav").channels);

  // On a terminal one progress line stands for the whole batch.
  EXPECT_THAT(tool_test::RunOnTerminal(args), HasSubstr("rendering: 3 of 3 files done"));
  EXPECT_THAT(tool_test::RunOnTerminal(Concat(args, {"--quiet"})), Not(HasSubstr("rendering")));
}

TEST(MorvexBatch, NoClobberKeepsExistingFilesUntouched) {
  TempDir dir;
  WriteAudio(dir / "a.wav", Signal(2, 44100, 0.2), 44100, kWav16);
  WriteAudio(dir / "b.wav", Signal(1, 44100, 0.2), 44100, kWav16);
  mkdir((dir / "out").c_str(), 0755);
  dir.write("out/a.wav", std::string("keep me"));
  dir.write("kept.wav", std::string("keep me"));
  dir.write("kept.aupreset", std::string("keep me"));
  const auto before = dir.list();

  auto run = Morvex({"render", dir / "a.wav", dir / "kept.wav", "--no-clobber"}, dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "morvex: error: " + dir / "kept.wav" +
                         ": already exists, and --no-clobber "
                         "keeps it\n");
  // The state file is an output too; the audio is not written without it.
  run = Morvex({"render", dir / "a.wav", dir / "new.wav", "--save-state", dir / "kept.aupreset",
                "--no-clobber"},
               dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr(dir / "kept.aupreset" + ": already exists"));
  EXPECT_EQ(dir.list(), before);

  run = Morvex(
      {"render", dir / "a.wav", dir / "b.wav", "--output-dir", dir / "out", "--no-clobber"}, dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, testing::ContainsRegex("\na.wav +.*/out/a.wav: already exists"));
  EXPECT_EQ(ReadAudio(dir / "out/b.wav").info.frames, 8820);
  for (const char* kept : {"kept.wav", "kept.aupreset", "out/a.wav"})
    EXPECT_TRUE(Slurp(dir / kept) == "keep me") << kept;
  // With nothing rendered the total has no levels to show.
  run = Morvex(
      {"render", dir / "a.wav", dir / "b.wav", "--output-dir", dir / "out", "--no-clobber"}, dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, testing::ContainsRegex("\ntotal +0 +0.00 +0 ok, 2 failed\n$"));

  // A file that appears while the render runs is kept as well: the input is
  // a pipe that stalls until the file is there.
  WriteAudio(dir / "whole.wav", Signal(2, 44100, 1), 44100, kWav16);
  const std::string wav = Slurp(dir / "whole.wav");
  ASSERT_EQ(mkfifo((dir / "pipe.wav").c_str(), 0644), 0);
  signal(SIGPIPE, SIG_IGN);  // a tool that died early must fail the test, not end it
  std::thread feeder([&] {
    const int pipe = tool_test::OpenFifoForWriting(dir / "pipe.wav");
    write(pipe, wav.data(), wav.size() / 2);
    const auto rendering = [&] {
      const auto names = dir.list();
      return std::any_of(names.begin(), names.end(),
                         [](const std::string& name) { return name.rfind(".morvex-", 0) == 0; });
    };
    for (int i = 0; i < 500 && !rendering(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    dir.write("late.wav", std::string("keep me"));
    write(pipe, wav.data() + wav.size() / 2, wav.size() - wav.size() / 2);
    close(pipe);
  });
  run = Morvex({"render", dir / "pipe.wav", dir / "late.wav", "--no-clobber"}, dir);
  feeder.join();
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr(dir / "late.wav" + ": already exists"));
  EXPECT_TRUE(Slurp(dir / "late.wav") == "keep me");
  // Without the option the same file is replaced.
  ASSERT_EQ(Morvex({"render", dir / "a.wav", dir / "kept.wav", "--quiet"}, dir).status, 0);
  EXPECT_EQ(ReadAudio(dir / "kept.wav").info.frames, 8820);
}

TEST(MorvexBatch, MistakesAreRefusedBeforeAnyWork) {
  TempDir dir;
  WriteAudio(dir / "a.wav", Signal(2, 44100, 0.1), 44100, kWav16);
  mkdir((dir / "sub").c_str(), 0755);
  WriteAudio(dir / "sub/a.wav", Signal(2, 44100, 0.1), 44100, kWav16);
  mkdir((dir / "out").c_str(), 0755);
  const std::string a = dir / "a.wav", out = dir / "out";
  const auto before = dir.list();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"render", a, dir / "sub/a.wav", "--output-dir", out},
       2,
       "render: " + a + " and " + dir / "sub/a.wav" + " have the same name, so both would write " +
           out + "/a.wav"},
      {{"render", a, "--output-dir", dir / "missing"},
       1,
       dir / "missing" + ": cannot write into it"},
      {{"render", a, "--output-dir", a}, 1, a + ": is not a folder"},
      {{"render", a, "--output-dir"}, 2, "--output-dir needs a value"},
      {{"render", a, "--output-dir", out, "--save-state", dir / "s.aupreset"},
       2,
       "--save-state cannot go with --output-dir"},
      {{"render", a, "--output-dir", out, "--jobs", "0"},
       2,
       "--jobs 0: expected a whole number from 1 to 64"},
      {{"render", a, "--output-dir", out, "--jobs=65"}, 2, "--jobs 65: expected"},
      {{"render", a, dir / "b.wav", "--jobs", "2"}, 2, "--jobs applies to a batch"},
      {{"render", a, "--output-dir", dir.path()}, 2, a + ": is its own output in " + dir.path()},
      {{"render", "-", "--output-dir", out}, 2, "standard input has no name for its output"},
      {{"render", "--output-dir", out}, 2, "render: missing IN"},
      {{"render", a, "--output-dir", out, "--set", "Speed=1"}, 2, "no parameter named 'Speed'"},
  };
  for (const auto& c : cases) {
    const auto run = Morvex(c.args, dir);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_THAT(run.err, testing::StartsWith("morvex: error: ")) << c.message;
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(dir.list(), before) << c.message;
    EXPECT_EQ(tool_test::ListFolder(out), std::vector<std::string>{}) << c.message;
  }
}

// A batch stopped by a signal leaves no temporary behind, however many
// renders are under way: every input is a pipe that stalls halfway.
TEST(MorvexBatch, ASignalRemovesEveryJobsTemporary) {
  TempDir dir;
  WriteAudio(dir / "whole.wav", Signal(2, 44100, 1), 44100, kWav16);
  const std::string wav = Slurp(dir / "whole.wav");
  constexpr int kJobs = 8;
  std::vector<std::string> args = {"render", "--output-dir", dir / "out", "--jobs",
                                   std::to_string(kJobs)};
  for (int i = 0; i < kJobs; ++i) {
    const std::string pipe = dir / ("pipe" + std::to_string(i) + ".wav");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    args.push_back(pipe);
  }
  mkdir((dir / "out").c_str(), 0755);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    std::vector<char*> argv = {const_cast<char*>(MORVEX_TOOL)};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(MORVEX_TOOL, argv.data());
    _exit(127);
  }
  signal(SIGPIPE, SIG_IGN);
  std::vector<int> pipes;
  for (int i = 0; i < kJobs; ++i) {
    // Failures here go on to the kill, so that no render is left waiting.
    const int pipe = tool_test::OpenFifoForWriting(args[5 + i]);
    EXPECT_GE(pipe, 0) << i;
    if (pipe < 0) break;
    EXPECT_EQ(write(pipe, wav.data(), wav.size() / 2), static_cast<ssize_t>(wav.size() / 2));
    pipes.push_back(pipe);
  }
  size_t temporaries = 0;
  for (int i = 0; i < 500 && temporaries < kJobs; ++i) {
    temporaries = tool_test::ListFolder(dir / "out").size();
    if (temporaries < kJobs) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(temporaries, kJobs);
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  for (int pipe : pipes)
    close(pipe);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(tool_test::ListFolder(dir / "out"), std::vector<std::string>{});
}

}  // namespace
