// morvex validate --strict on both plug-ins, and on test plug-ins whose audio
// path allocates, locks, sleeps or makes a system call on purpose.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/XvfbServer.h"
#include "tests/tools/morvex/ToolTestSupport.h"

namespace {

using testing::HasSubstr;
using Result = tool_test::Run;
using tool_test::TempDir;

constexpr char kFaultyLv2[] = "urn:morvex:tests:faulty";
// The planted raw call, as the watch names it on this processor.
const std::string kGetppid = "system call " + std::to_string(SYS_getppid) + " (getppid)";

Result Validate(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
  TempDir dir;
  std::vector<std::string> words = {"validate"};
  words.insert(words.end(), args.begin(), args.end());
  return tool_test::RunProgram(MORVEX_TOOL, words, dir.path(), environment);
}

// The table's lines whose check name starts with `prefix`.
std::vector<std::string> RowsOf(const std::string& out, const std::string& prefix) {
  std::vector<std::string> rows;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, prefix.size(), prefix) == 0 && line.find("  ") != std::string::npos)
      rows.push_back(line);
  return rows;
}

// The real-time rows that ran (the editor's needs a display), each with
// `result` and, when given, naming the calls `functions` and no other.
void ExpectRealTimeRows(const std::string& out, const std::string& result,
                        const std::string& functions = "") {
  const std::vector<std::string> rows = RowsOf(out, "real-time: ");
  EXPECT_GE(rows.size(), 5u) << out;
  const std::string named = "in the audio path: ";
  for (const std::string& row : rows) {
    if (row.find("  SKIP  ") != std::string::npos) continue;
    EXPECT_THAT(row, HasSubstr("  " + result + "  "));
    if (!functions.empty()) {
      ASSERT_THAT(row, HasSubstr("forbidden call"));
      EXPECT_EQ(row.substr(row.find(named) + named.size()), functions);
    }
  }
}

TEST(MorvexStrict, TheAudioUnitPassesWithItsEditorDrawing) {
  const test_support::XvfbServer display;
  if (display.Display().empty()) GTEST_SKIP() << "no Xvfb to open the editor on";
  const Result run = Validate({"--strict"}, {});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  ExpectRealTimeRows(run.out, "PASS");
  const std::vector<std::string> editor = RowsOf(run.out, "real-time: editor open");
  ASSERT_EQ(editor.size(), 1u) << run.out;
  EXPECT_THAT(editor[0], HasSubstr("  PASS  "));
  // The entry's lock is told, not failed.
  const std::vector<std::string> entry = RowsOf(run.out, "render through the component entry");
  ASSERT_EQ(entry.size(), 1u) << run.out;
  EXPECT_THAT(entry[0], HasSubstr("  INFO  "));
  EXPECT_THAT(entry[0], HasSubstr("pthread_mutex_lock"));
}

TEST(MorvexStrict, TheLv2PluginPassesWithItsUserInterfaceDrawingAndTellsItInJson) {
  const test_support::XvfbServer display;
  if (display.Display().empty()) GTEST_SKIP() << "no Xvfb to open the user interface on";
  const Result run = Validate({"--lv2", "--strict", "--json"}, {});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("Morvex.lv2 (urn:tarnbrook:morvex:stereo)\", \"passed\": true"));
  for (const char* check :
       {"real-time: NaN and infinity in the input", "1000 lifecycles without a leak",
        "real-time: editor open and drawing on its own thread"})
    EXPECT_THAT(run.out,
                HasSubstr("{\"check\": \"" + std::string(check) + "\", \"result\": \"PASS\""));
}

TEST(MorvexStrict, TheTestPluginsPassWithoutAPlantedFault) {
  const std::string bundles = FAULTY_BUNDLES;
  const Result lv2 = Validate({"--lv2", kFaultyLv2, "--strict"}, {"LV2_PATH=" + bundles});
  EXPECT_EQ(lv2.status, 0) << lv2.out << lv2.err;
  ExpectRealTimeRows(lv2.out, "PASS");
  const Result au = Validate({"--strict"}, {"AUDIOUNIT_PATH=" + bundles, "DISPLAY"});
  EXPECT_THAT(au.out, HasSubstr("validating " + bundles + "/Morvex.component"));
  ExpectRealTimeRows(au.out, "PASS");
}

struct Fault {
  const char* setting;   // MORVEX_PLANTED_FAULT
  std::string function;  // what the validation must name first
  std::string all;       // and every call it names, each once
};

class PlantedFaults : public testing::TestWithParam<Fault> {
 protected:
  // The raw system-call watch needs a kernel that offers it; the validator
  // says when it does not.
  bool Unwatchable(const Result& run) const {
    return std::string(GetParam().setting) == "syscall" &&
           run.out.find("raw system-call watch") != std::string::npos &&
           run.out.find("unavailable: the kernel refused") != std::string::npos;
  }
};

TEST_P(PlantedFaults, FailEveryRealTimeCheckOfTheAudioUnitNamingTheCall) {
  const std::string bundles = FAULTY_BUNDLES;
  const Result run =
      Validate({"--strict"}, {"AUDIOUNIT_PATH=" + bundles, "DISPLAY",
                              std::string("MORVEX_PLANTED_FAULT=") + GetParam().setting});
  if (Unwatchable(run)) GTEST_SKIP() << "this kernel offers no Syscall User Dispatch";
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("validating " + bundles + "/Morvex.component"));
  ExpectRealTimeRows(run.out, "FAIL", GetParam().all);
  // The backtrace leads into the test plug-in's library.
  EXPECT_THAT(run.out, HasSubstr("backtrace of the first (" + GetParam().function + "):"));
  EXPECT_THAT(run.out, HasSubstr(" Morvex+0x"));
}

TEST_P(PlantedFaults, FailEveryRealTimeCheckOfTheLv2PluginNamingTheCall) {
  const Result run = Validate({"--lv2", kFaultyLv2, "--strict"},
                              {std::string("LV2_PATH=") + FAULTY_BUNDLES,
                               std::string("MORVEX_PLANTED_FAULT=") + GetParam().setting});
  if (Unwatchable(run)) GTEST_SKIP() << "this kernel offers no Syscall User Dispatch";
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  ExpectRealTimeRows(run.out, "FAIL", GetParam().all);
  EXPECT_THAT(run.out, HasSubstr("backtrace of the first (" + GetParam().function + "):"));
  EXPECT_THAT(run.out, HasSubstr(" FaultyLv2.so+0x"));
}

TEST(MorvexStrict, ALeakingTestPluginFailsTheLifecycleCheck) {
  const std::string bundles = FAULTY_BUNDLES;
  const std::vector<std::string> leaking = {"MORVEX_PLANTED_FAULT=leak",
                                            // Its own report would come on top.
                                            "ASAN_OPTIONS=detect_leaks=0"};
  std::vector<std::string> auEnvironment = leaking;
  auEnvironment.insert(auEnvironment.end(), {"AUDIOUNIT_PATH=" + bundles, "DISPLAY"});
  std::vector<std::string> lv2Environment = leaking;
  lv2Environment.push_back("LV2_PATH=" + bundles);
  for (const Result& run : {Validate({"--strict"}, auEnvironment),
                            Validate({"--lv2", kFaultyLv2, "--strict"}, lv2Environment)}) {
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    const std::vector<std::string> rows = RowsOf(run.out, "1000 lifecycles without a leak");
    ASSERT_EQ(rows.size(), 1u) << run.out;
    EXPECT_THAT(rows[0], HasSubstr("  FAIL  "));
    EXPECT_THAT(rows[0], HasSubstr("more after 1000 cycles"));
    ExpectRealTimeRows(run.out, "PASS");
  }
}

INSTANTIATE_TEST_SUITE_P(Each, PlantedFaults,
                         testing::Values(Fault{"malloc", "malloc", "free, malloc"},
                                         Fault{"lock", "pthread_mutex_lock", "pthread_mutex_lock"},
                                         // Not its nanosleep as well.
                                         Fault{"usleep", "usleep", "usleep"},
                                         Fault{"syscall", kGetppid, kGetppid}),
                         [](const testing::TestParamInfo<Fault>& param) {
                           return std::string(param.param.setting);
                         });

}  // namespace
