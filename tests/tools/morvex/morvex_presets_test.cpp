// The user's own presets and 'morvex show', end to end: states saved by one
// run, listed, loaded and shown by the next, in a preset folder of the test's
// own (see tool_test::Morvex).

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "tests/tools/morvex/ToolTestSupport.h"

using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;
using tool_test::Morvex;
using tool_test::ReadAudio;
using tool_test::Signal;
using tool_test::Slurp;
using tool_test::TempDir;
using tool_test::UserPresetsOf;
using tool_test::WriteAudio;

namespace {

constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

std::string PresetFile(const TempDir& dir, const std::string& name) {
  return UserPresetsOf(dir) + "/" + name + ".aupreset";
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The cells of a table printed in columns two or more spaces apart, by the
// text of the first cell, for the rows below the header line starting with
// `header` and above the next empty line or line in parentheses.
std::map<std::string, std::vector<std::string>> TableRows(const std::string& text,
                                                          const std::string& header) {
  std::map<std::string, std::vector<std::string>> rows;
  const std::string all = "\n" + text;
  std::istringstream lines(all.substr(std::min(all.find("\n" + header), all.size())));
  std::string line;
  std::getline(lines, line);
  std::getline(lines, line);  // the header
  while (std::getline(lines, line) && !line.empty() && line[0] != '(') {
    std::vector<std::string> cells;
    for (size_t at = 0; at < line.size();) {
      const size_t gap = std::min(line.find("  ", at), line.size());
      cells.push_back(line.substr(at, gap - at));
      at = std::min(line.find_first_not_of(' ', gap), line.size());
    }
    rows[cells[0]] = cells;
  }
  return rows;
}

TEST(MorvexPresets, ASavedPresetIsListedLoadedShownAndReplaced) {
  TempDir dir;
  const std::string in = dir / "in.wav", preset = PresetFile(dir, "Slow Sweep");
  WriteAudio(in, Signal(2, 44100, 0.3), 44100, kWav24);
  const auto saved =
      Morvex({"render", in, dir / "a.wav", "--preset", "3", "--set", "Stages=4", "--set",
              "Depth=0.2", "--save-preset", "Slow Sweep", "--save-state", dir / "s.aupreset"},
             dir);
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_THAT(saved.err, Not(HasSubstr("replaced")));
  // The same state as --save-state writes, under the preset's own name.
  EXPECT_EQ(Slurp(preset), Replaced(Slurp(dir / "s.aupreset"), "<string>Tri Force</string>",
                                    "<string>Slow Sweep</string>"));

  const auto listed = Morvex({"presets"}, dir);
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_THAT(listed.out,
              EndsWith(" 9  Init\nuser presets (" + UserPresetsOf(dir) + "):\n    Slow Sweep\n"));

  // Its name in any case loads it, and it sounds as the run that saved it.
  const auto loaded = Morvex({"render", in, dir / "b.wav", "--preset", "slow SWEEP"}, dir);
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_THAT(loaded.err,
              StartsWith("morvex: --preset slow SWEEP: the user preset " + preset + "\n"));
  ASSERT_EQ(Morvex({"render", in, dir / "c.wav", "--state", dir / "s.aupreset"}, dir).status, 0);
  EXPECT_EQ(ReadAudio(dir / "b.wav").channels, ReadAudio(dir / "c.wav").channels);
  EXPECT_EQ(ReadAudio(dir / "b.wav").channels, ReadAudio(dir / "a.wav").channels);
  // A batch loads it for every file and says so once.
  WriteAudio(dir / "in2.wav", Signal(2, 44100, 0.3), 44100, kWav24);
  ASSERT_EQ(mkdir((dir / "batch").c_str(), 0755), 0);
  const auto batch = Morvex({"render", in, dir / "in2.wav", "--output-dir", dir / "batch",
                             "--preset", "Slow Sweep", "--quiet"},
                            dir);
  ASSERT_EQ(batch.status, 0) << batch.err;
  EXPECT_EQ(ReadAudio(dir / "batch/in.wav").channels, ReadAudio(dir / "a.wav").channels);
  const std::string note = "morvex: --preset Slow Sweep: the user preset " + preset + "\n";
  EXPECT_THAT(batch.err, HasSubstr(note));
  EXPECT_EQ(batch.err.find(note), batch.err.rfind(note));

  // show: what the state holds, each parameter's value, range and meaning
  // as params tells them once the preset is loaded, in a listener's terms.
  const auto shown = Morvex({"show", preset}, dir);
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_THAT(shown.out, StartsWith("file       " + preset +
                                    "\ncomponent  aufx zJAu Acme (Tarnbrook: Morvex)\n"
                                    "preset     Slow Sweep\n\nname      value  range   meaning\n"));
  const auto params = Morvex({"params", "--preset", "Slow Sweep"}, dir);
  ASSERT_EQ(params.status, 0) << params.err;
  const auto shownRows = TableRows(shown.out, "name"), current = TableRows(params.out, "name");
  ASSERT_EQ(shownRows.size(), 7u);
  ASSERT_EQ(current.size(), shownRows.size());
  for (const auto& [name, row] : current) {
    ASSERT_EQ(shownRows.count(name), 1u) << name;
    EXPECT_EQ(shownRows.at(name)[1], row[1]) << name;
    EXPECT_EQ(shownRows.at(name)[2], row[2]) << name;
    EXPECT_EQ(shownRows.at(name)[3], row[4]) << name;
  }
  EXPECT_EQ(shownRows.at("Stages")[1], "4");  // as set
  EXPECT_EQ(shownRows.at("Depth")[1], "0.2");
  EXPECT_THAT(shown.out,
              EndsWith("\n(the sweep's frequencies are the same at every sample rate)\n"));

  // Loading and replacing it in one run.
  const auto replaced = Morvex({"render", in, dir / "d.wav", "--preset", "Slow Sweep", "--set",
                                "Stages=1", "--save-preset", "Slow Sweep"},
                               dir);
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_THAT(
      replaced.err,
      HasSubstr("morvex: --save-preset Slow Sweep: replaced the user preset " + preset + "\n"));
  const auto reshown = Morvex({"show", preset}, dir);
  EXPECT_EQ(TableRows(reshown.out, "name").at("Stages")[1], "1");
  EXPECT_EQ(TableRows(reshown.out, "name").at("Depth")[1], "0.2");
}

// The listings meant for scripts: fields a tab apart, one item a line, values
// exact, so that two presets compare equal only when every value does.
TEST(MorvexPresets, RawListingsAreTabSeparatedAndExact) {
  TempDir dir;
  const std::string in = dir / "in.wav";
  WriteAudio(in, Signal(2, 44100, 0.1), 44100, kWav24);
  ASSERT_EQ(Morvex({"render", in, dir / "a.wav", "--save-preset", "back\\slash"}, dir).status, 0);

  const auto presets = Morvex({"presets", "--raw"}, dir);
  ASSERT_EQ(presets.status, 0) << presets.err;
  EXPECT_THAT(presets.out, StartsWith("factory\t0\tClassic Virus\nfactory\t1\tOne Stage\n"));
  EXPECT_THAT(presets.out, EndsWith("factory\t9\tInit\nuser\t-\tback\\\\slash\n"));

  const auto classic = Morvex({"params", "--raw", "--preset", "0"}, dir);
  const auto init = Morvex({"params", "--raw", "--preset", "Init"}, dir);
  ASSERT_EQ(classic.status, 0) << classic.err;
  EXPECT_THAT(classic.out, StartsWith("0\tMix\t0\t1\t0.5\tgeneric\t0.5\t0.50\n"
                                      "1\tStages\t0\t5\t3\tindexed\t3\t3\n"));
  // Rate tells them apart: 0.29 as the parameter's float holds it, and 0.5.
  EXPECT_THAT(classic.out, HasSubstr("\n5\tRate\t0\t1\t0.28999999165534973\tgeneric\t"
                                     "0.28999999165534973\t0.29\n"));
  EXPECT_THAT(init.out, HasSubstr("\n5\tRate\t0\t1\t0.28999999165534973\tgeneric\t0.5\t0.50\n"));
  EXPECT_EQ(std::count(init.out.begin(), init.out.end(), '\n'), 7);

  // show --raw of a saved state reads as params --raw with it loaded.
  ASSERT_EQ(Morvex({"render", in, dir / "b.wav", "--preset", "Twin", "--save-state",
                    dir / "twin.aupreset"},
                   dir)
                .status,
            0);
  const auto shown = Morvex({"show", "--raw", dir / "twin.aupreset"}, dir);
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, Morvex({"params", "--raw", "--preset", "Twin"}, dir).out);
  EXPECT_THAT(shown.out, HasSubstr("\n1\tStages\t0\t5\t3\tindexed\t1\t1\n"));
}

TEST(MorvexPresets, FactoryNamesWinAndUnknownNamesListBothKinds) {
  TempDir dir;
  const std::string in = dir / "in.wav", twin = PresetFile(dir, "twin");
  WriteAudio(in, Signal(2, 44100, 0.2), 44100, kWav24);
  // --save-preset refuses such a name, but the file may come from elsewhere.
  ASSERT_EQ(
      Morvex({"render", in, dir / "dry.wav", "--set", "Mix=0", "--save-preset", "Dry"}, dir).status,
      0);
  ASSERT_EQ(rename(PresetFile(dir, "Dry").c_str(), twin.c_str()), 0);

  const auto byName = Morvex({"render", in, dir / "a.wav", "--preset", "Twin"}, dir);
  ASSERT_EQ(byName.status, 0) << byName.err;
  EXPECT_THAT(byName.err, HasSubstr("morvex: --preset Twin: the factory preset 2 Twin, not the "
                                    "user preset " +
                                    twin + " of the same name\n"));
  ASSERT_EQ(Morvex({"render", in, dir / "b.wav", "--preset", "2"}, dir).status, 0);
  EXPECT_EQ(ReadAudio(dir / "a.wav").channels, ReadAudio(dir / "b.wav").channels);
  EXPECT_NE(ReadAudio(dir / "a.wav").channels, ReadAudio(dir / "dry.wav").channels);

  EXPECT_THAT(Morvex({"presets"}, dir).out,
              HasSubstr("\n    twin  hidden by the factory preset 2 Twin\n"));

  const auto unknown = Morvex({"params", "--preset", "Nonesuch"}, dir);
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, StartsWith("morvex: error: --preset Nonesuch: no such preset (Morvex "
                                      "has 0 Classic Virus, 1 One Stage"));
  EXPECT_THAT(unknown.err,
              EndsWith(", 9 Init; user presets in " + UserPresetsOf(dir) + ": twin)\n"));
}

// Each damaged state is refused, by 'show' and by --preset, with the reason;
// 'presets' lists it with the reason and goes on.
TEST(MorvexPresets, ForeignAndDamagedStatesAreRefusedWithTheReason) {
  TempDir dir;
  const std::string in = dir / "in.wav";
  WriteAudio(in, Signal(2, 44100, 0.1), 44100, kWav24);
  ASSERT_EQ(Morvex({"render", in, dir / "a.wav", "--save-preset", "Good"}, dir).status, 0);
  const std::string good = Slurp(PresetFile(dir, "Good"));
  const std::string subtype = "<key>subtype</key>\n\t<integer>";
  const size_t at = good.find(subtype) + subtype.size();
  const size_t end = good.find('<', at);
  ASSERT_LT(end, good.size());
  // 'zJAu' becomes 'zJAv'.
  std::string foreign = good;
  foreign.replace(at, end - at, std::to_string(std::stoll(good.substr(at, end - at)) + 1));
  const size_t data = good.find("<data>") + 6;
  const auto withData = [&](const std::string& base64) {
    return good.substr(0, data) + base64 + good.substr(good.find("</data>"));
  };
  const std::string shortData = withData("AAAA");

  const struct {
    const char* name;
    std::string text;
    const char* reason;
  } cases[] = {
      {"Other", foreign, "saved by another component (aufx zJAv Acme), not Morvex"},
      {"Cut", good.substr(0, good.size() / 2), "not a saved state, the property list is corrupt"},
      {"Short", shortData, "Morvex refused the saved state (-10851"},
      // Seven doubles, Mix to Depth, with a NaN and an infinity for Spread:
      // loaded, Spread would keep its value, which is not the file's.
      {"NaN",
       withData("AAAAAAAA4D8AAAAAAAAIQAAAAAAAAOA/AAAAAAAA4D8AAAAAAAD4f4/C9Shcj9I/AAAAAAAA4D8="),
       "Morvex refused the saved state (-10851"},
      {"Inf",
       withData("AAAAAAAA4D8AAAAAAAAIQAAAAAAAAOA/AAAAAAAA4D8AAAAAAADwf4/C9Shcj9I/AAAAAAAA4D8="),
       "Morvex refused the saved state (-10851"},
  };
  for (const auto& c : cases) {
    const std::string file = dir.write(std::string(c.name) + ".aupreset", c.text);
    dir.write(".data/morvex/presets/" + std::string(c.name) + ".aupreset", c.text);
    const auto shown = Morvex({"show", file}, dir);
    EXPECT_EQ(shown.status, 1) << c.name;
    EXPECT_EQ(shown.out, "") << c.name;
    EXPECT_THAT(shown.err, StartsWith("morvex: error: " + file + ": " + c.reason)) << c.name;
    const auto used = Morvex({"render", in, dir / "out.wav", "--preset", c.name}, dir);
    EXPECT_EQ(used.status, 1) << c.name;
    EXPECT_THAT(used.err, StartsWith("morvex: error: " + PresetFile(dir, c.name) + ": " + c.reason))
        << c.name;
    EXPECT_FALSE(Exists(dir / "out.wav")) << c.name;
  }
  const auto missing = Morvex({"show", dir / "missing.aupreset"}, dir);
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("missing.aupreset: cannot read (No such file"));

  const auto listed = Morvex({"presets"}, dir);
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_THAT(listed.out, HasSubstr("\n    Cut    unusable: not a saved state, the property list "
                                    "is corrupt"));
  EXPECT_THAT(listed.out, HasSubstr("\n    Good\n    Inf    unusable: Morvex refused the saved "
                                    "state (-10851"));
  EXPECT_THAT(listed.out, HasSubstr("\n    NaN    unusable: Morvex refused the saved state "
                                    "(-10851"));
  EXPECT_THAT(listed.out, HasSubstr("\n    Other  unusable: saved by another component "
                                    "(aufx zJAv Acme), not Morvex\n    Short  unusable: Morvex "
                                    "refused the saved state (-10851"));
}

// A FIFO, a folder or a device among the presets is named and skipped, never
// opened in a way that waits (a FIFO would wait for a writer for ever).
TEST(MorvexPresets, OddEntriesAreNamedAndSkippedWithoutWaiting) {
  TempDir dir;
  const std::string in = dir / "in.wav";
  WriteAudio(in, Signal(2, 44100, 0.05), 44100, kWav24);
  ASSERT_EQ(Morvex({"render", in, dir / "a.wav", "--save-preset", "Good"}, dir).status, 0);
  ASSERT_EQ(mkfifo(PresetFile(dir, "Pipe").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(PresetFile(dir, "Dir").c_str(), 0755), 0);
  // Stopped after a while, so that a wait fails the test instead of hanging it.
  const auto morvex = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"10", MORVEX_TOOL});
    return tool_test::RunProgram("/usr/bin/timeout", args, dir.path(),
                                 {"XDG_DATA_HOME=" + dir / ".data"});
  };
  const auto listed = morvex({"presets"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_THAT(listed.out, EndsWith("):\n    Dir   unusable: not a saved state (a folder, not a "
                                   "regular file)\n    Good\n    Pipe  unusable: not a saved state "
                                   "(a FIFO, not a regular file)\n"));
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"render", in, dir / "b.wav", "--preset", "pipe"},
       PresetFile(dir, "Pipe") + ": not a saved state (a FIFO, not a regular file)"},
      {{"params", "--preset", "Dir"},
       PresetFile(dir, "Dir") + ": not a saved state (a folder, not a regular file)"},
      {{"render", in, dir / "b.wav", "--save-preset", "Pipe"},
       "--save-preset Pipe: " + PresetFile(dir, "Pipe") + " is there and is not a regular file"},
  };
  for (const auto& c : cases) {
    const auto run = morvex(c.args);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_THAT(run.err, StartsWith("morvex: error: " + c.message));
    EXPECT_FALSE(Exists(dir / "b.wav")) << c.message;
  }
  EXPECT_EQ(morvex({"render", in, dir / "b.wav", "--preset", "Good"}).status, 0);
}

// A preset's name comes from a file anyone may have made: 'show' prints what
// a terminal would obey (escape sequences, a bell, text turned right to left)
// as escapes, and any other text as it is.
TEST(MorvexPresets, ShowEscapesWhatATerminalWouldObeyInAPresetName) {
  TempDir dir;
  WriteAudio(dir / "in.wav", Signal(2, 44100, 0.05), 44100, kWav24);
  const std::string saved = dir / "saved.aupreset";
  ASSERT_EQ(Morvex({"render", dir / "in.wav", dir / "a.wav", "--save-state", saved}, dir).status,
            0);
  const std::string name = "<string>Classic Virus</string>";
  const std::string text = Slurp(saved);
  ASSERT_NE(text.find(name), std::string::npos);
  const std::string file =
      dir.write("odd.aupreset", Replaced(text, name,
                                         "<string>Caf\xc3\xa9\x1b[2J\x07 \xe2\x80\xae"
                                         "exe.gnp\xe2\x81\xa6\xc2\x85\x7f</string>"));
  const auto shown = Morvex({"show", file}, dir);
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_THAT(shown.out,
              HasSubstr("\npreset     Caf\xc3\xa9\\x1B[2J\\x07 \\u{202E}exe.gnp\\u{2066}\\u{0085}"
                        "\\x7F\n"));
}

TEST(MorvexPresets, TheFolderFollowsXdgRulesAndNamesMustBeFileNames) {
  TempDir dir;
  const std::string in = dir / "in.wav";
  WriteAudio(in, Signal(1, 44100, 0.05), 44100, kWav24);
  // Without an absolute XDG_DATA_HOME the presets live under HOME.
  const std::string homePresets = dir / "home/.local/share/morvex/presets";
  for (const char* data : {"XDG_DATA_HOME=", "XDG_DATA_HOME=relative/data", "XDG_DATA_HOME"}) {
    const std::vector<std::string> environment = {data, "HOME=" + dir / "home"};
    const auto run =
        Morvex({"render", in, dir / "a.wav", "--save-preset", "Mono"}, dir, environment);
    ASSERT_EQ(run.status, 0) << data << run.err;
    EXPECT_TRUE(Exists(homePresets + "/Mono.aupreset")) << data;
    EXPECT_THAT(Morvex({"presets"}, dir, environment).out,
                EndsWith("user presets (" + homePresets + "):\n    Mono\n"))
        << data;
    ASSERT_EQ(unlink((homePresets + "/Mono.aupreset").c_str()), 0);
  }

  // A relative HOME is ignored as a relative XDG_DATA_HOME is, rather than
  // put the presets under whatever folder the command runs in.
  const std::vector<std::string> relative = {"XDG_DATA_HOME", "HOME=home"};
  char* const cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const auto saved = Morvex({"render", in, dir / "r.wav", "--save-preset", "Here"}, dir, relative);
  const auto listedThere = Morvex({"presets"}, dir, relative);
  EXPECT_EQ(chdir(cwd), 0);
  std::free(cwd);
  const std::string reason = "HOME (home) is not an absolute path, nor is XDG_DATA_HOME set to one";
  EXPECT_EQ(saved.status, 1);
  EXPECT_EQ(saved.err, "morvex: error: --save-preset Here: no folder for user presets, since " +
                           reason + "\n");
  EXPECT_FALSE(Exists(homePresets + "/Here.aupreset"));
  EXPECT_THAT(listedThere.out, EndsWith("\nuser presets: none (" + reason + ")\n"));

  const std::string longest(200, 'x');
  ASSERT_EQ(Morvex({"render", in, dir / "a.wav", "--save-preset", longest}, dir).status, 0);
  EXPECT_TRUE(Exists(PresetFile(dir, longest)));
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--save-preset", "a/b"}, "--save-preset a/b: a preset name may not contain '/'"},
      {{"--save-preset", "..x"}, "--save-preset ..x: a preset name may not start with '.'"},
      {{"--save-preset", "tab\there"}, "a preset name may not contain control characters"},
      {{"--save-preset", longest + "y"}, "a preset name may be at most 200 bytes long, not 201"},
      {{"--save-preset", "caf\xe9"}, "a preset name must be UTF-8 text"},
      {{"--save-preset="}, "--save-preset needs a value, not an empty text"},
      // --preset would choose the factory preset instead.
      {{"--save-preset", "twin"},
       "--save-preset twin: --preset twin chooses the factory preset 2 Twin, so it could never "
       "load this preset"},
      {{"--save-preset", "0"},
       "--save-preset 0: --preset 0 chooses the factory preset 0 Classic "
       "Virus"},
      {{"--output-dir", dir.path(), "--save-preset", "Each"},
       "--save-preset cannot go with --output-dir: each file has a unit of its own"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"render", in, dir / "b.wav"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = Morvex(args, dir);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_THAT(run.err, StartsWith("morvex: error: ")) << c.message;
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_FALSE(Exists(dir / "b.wav")) << c.message;
  }
  const auto snapshot =
      Morvex({"editor", "--snapshot", dir / "e.png", "--save-preset", "Look"}, dir);
  EXPECT_EQ(snapshot.status, 2);
  EXPECT_THAT(snapshot.err, HasSubstr("--save-preset goes with the window, not with --snapshot"));
  EXPECT_EQ(dir.list(), (std::vector<std::string>{".data", "a.wav", "home", "in.wav"}));
}

// The page is written from the help texts: every line of the general help
// and of every command's appears in it, as roff reads it.
TEST(MorvexManPage, HoldsTheHelpOfEveryCommand) {
  TempDir dir;
  std::string page = Slurp(MORVEX_MAN_PAGE);
  for (const auto& [escaped, plain] :
       std::vector<std::pair<std::string, std::string>>{{"\\-", "-"}, {"\\&", ""}, {"\\e", "\\"}})
    for (size_t at = page.find(escaped); at != std::string::npos;
         at = page.find(escaped, at + plain.size()))
      page.replace(at, escaped.size(), plain);
  for (const char* section :
       {".SH NAME\n", ".SH SYNOPSIS\n", ".SH DESCRIPTION\n", ".SH COMMANDS\n"})
    EXPECT_THAT(page, HasSubstr(section));
  const std::string synopsis = page.substr(page.find(".SH SYNOPSIS"));

  for (const std::string command :
       {"", "render", "presets", "params", "info", "validate", "editor", "show"}) {
    const auto help = Morvex(command.empty() ? std::vector<std::string>{"--help"}
                                             : std::vector<std::string>{command, "--help"},
                             dir);
    ASSERT_EQ(help.status, 0) << command;
    if (!command.empty()) {
      EXPECT_THAT(page, HasSubstr("\n.SS " + command + "\n"));
    }
    std::istringstream lines(help.out);
    std::string line;
    bool usage = true;
    while (std::getline(lines, line)) {
      usage = usage && !line.empty();
      if (line.empty()) continue;
      if (usage) {
        // "usage: morvex X" and its continuation lines, as SYNOPSIS lines.
        line = line.substr(line.find("morvex"));
        EXPECT_THAT(synopsis, HasSubstr("\n" + line + "\n")) << command;
      }
      EXPECT_THAT(page, HasSubstr("\n" + line + "\n")) << command;
    }
  }
}

}  // namespace
