// Morvex.lv2 as a user gets it: copied into a fresh folder, loaded by a
// host that knows nothing of ours, with the build tree out of its reach.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/DynamicSymbols.h"
#include "tests/support/TempDir.h"

namespace {

// What a command prints on its standard output, and its exit status.
struct Output {
  std::string text;
  int status = -1;
};

Output RunCommand(const std::string& command) {
  Output out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.text.append(buffer, n);
  out.status = pclose(pipe);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The NEEDED entries of `readelf -d`, and whether it names a run path.
struct Dynamic {
  std::set<std::string> needed;
  bool runPath = false;
};

Dynamic DynamicSection(const std::string& library) {
  Dynamic d;
  const Output out = RunCommand("readelf -d '" + library + "'");
  EXPECT_EQ(out.status, 0) << library;
  for (const auto& line : Lines(out.text)) {
    d.runPath = d.runPath || line.find("(RUNPATH)") != std::string::npos ||
                line.find("(RPATH)") != std::string::npos;
    const auto open = line.find("Shared library: [");
    if (open != std::string::npos)
      d.needed.insert(line.substr(open + 17, line.find(']', open) - open - 17));
  }
  return d;
}

}  // namespace

TEST(MorvexLV2BundleTest, ACopyInAFreshFolderNeedsNothingOfOursAndLoadsThroughLilv) {
  test_support::TempDir scratch;
  const std::string bundle = scratch / "Morvex.lv2";
  std::filesystem::copy(MORVEX_LV2_BUNDLE, bundle, std::filesystem::copy_options::recursive);
  const std::string plugin = bundle + "/Morvex.so", ui = bundle + "/MorvexUI.so";

  // Only the descriptors are exported; only Debian's libraries are needed,
  // found where Debian puts them; the plug-in's library needs none of the
  // editor's.
  EXPECT_EQ(test_support::DefinedSymbols(plugin), std::set<std::string>{"lv2_descriptor"});
  EXPECT_EQ(test_support::DefinedSymbols(ui), std::set<std::string>{"lv2ui_descriptor"});
  for (const auto& library : {plugin, ui}) {
    const Dynamic d = DynamicSection(library);
    EXPECT_FALSE(d.runPath) << library;
    EXPECT_FALSE(d.needed.empty()) << library;
    for (const auto& name : d.needed)
      EXPECT_EQ(name.find("morvex"), std::string::npos) << name;
    const Output ldd = RunCommand("ldd '" + library + "'");
    for (const auto& line : Lines(ldd.text)) {
      const auto arrow = line.find("=> ");
      if (arrow == std::string::npos) continue;
      const std::string path = line.substr(arrow + 3);
      EXPECT_TRUE(path.rfind("/lib", 0) == 0 || path.rfind("/usr/lib", 0) == 0) << line;
    }
  }
  for (const auto& name : DynamicSection(plugin).needed) {
    for (const char* editorOnly : {"libX11", "libfontconfig", "libfreetype", "libpng"})
      EXPECT_EQ(name.rfind(editorOnly, 0), std::string::npos) << name;
  }
  // The user interface turns its editor's loop from the host's idle calls
  // alone: none of the platform's run loop is linked in. The symbol table
  // is read whole (hidden names included), and the idle loop must be in it.
  const Output symbols = RunCommand("nm -C '" + ui + "'");
  ASSERT_EQ(symbols.status, 0);
  EXPECT_NE(symbols.text.find("IdleEventLoop::RunFor"), std::string::npos);
  for (const char* runLoop : {"CFRunLoop", "CFFileDescriptor", "PlatformRunLoop"})
    EXPECT_EQ(symbols.text.find(runLoop), std::string::npos) << runLoop;
  EXPECT_TRUE(std::filesystem::is_regular_file(bundle + "/fonts/DejaVuSans.ttf"));
  EXPECT_TRUE(std::filesystem::is_regular_file(bundle + "/fonts/LICENSE-DejaVu.txt"));

  // A host that knows nothing of ours: no library path, no LV2_PATH into the
  // build tree, and nothing of the build tree in its memory afterwards.
  const Output probe = RunCommand("env -u LD_LIBRARY_PATH -u LV2_PATH " BUNDLE_PROBE " '" + bundle +
                                  "' " MORVEX_BUILD_DIR);
  EXPECT_EQ(probe.status, 0) << probe.text;
  const std::vector<std::string> lines = Lines(probe.text);
  const std::vector<std::string> expected = {"rendered", "ui urn:tarnbrook:morvex:ui " + ui};
  EXPECT_EQ(lines, expected);

  // lv2info finds both libraries in the copy.
  const Output info =
      RunCommand("env LV2_PATH='" + scratch.path() + "' lv2info urn:tarnbrook:morvex:stereo 2>&1");
  EXPECT_EQ(info.status, 0) << info.text;
  EXPECT_NE(info.text.find(plugin), std::string::npos) << info.text;
  EXPECT_NE(info.text.find(ui), std::string::npos) << info.text;
}
