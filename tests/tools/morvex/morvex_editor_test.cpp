// morvex editor: the snapshot drawn without a display, the window a user
// works in (on a private X server, driven with XTest), and the plug-in
// without its images.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// clang-format on

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/CoreFoundation.h"
#include "raster/lice_png.h"
#include "tests/support/XvfbServer.h"
#include "tests/tools/morvex/ToolTestSupport.h"

namespace {

// Starts 'morvex editor ARGS' with its presets in the scratch folder and, when
// given, its standard error in errPath; the child's pid, or 0.
pid_t SpawnEditor(const tool_test::TempDir& scratch, std::vector<std::string> args,
                  const std::string& errPath = "") {
  args.insert(args.begin(), {MORVEX_TOOL, "editor"});
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables =
      tool_test::ChangedEnvironment({"XDG_DATA_HOME=" + scratch / ".data"});
  std::vector<char*> envp;
  for (std::string& variable : variables)
    envp.push_back(variable.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errPath.empty())
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  pid_t pid = 0;
  if (posix_spawn(&pid, MORVEX_TOOL, &actions, nullptr, argv.data(), envp.data()) != 0) pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

using tool_test::Morvex;

using tool_test::TempDir;

constexpr int kW = 424, kH = 104;
// The sweep display moves with the audio in a live window.
const int kSweep[4] = {323, 38, 413, 48};

bool InSweep(int x, int y) {
  return x >= kSweep[0] && x < kSweep[2] && y >= kSweep[1] && y < kSweep[3];
}

std::unique_ptr<LICE_IBitmap> LoadPng(const std::string& path) {
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(path.c_str()));
}

LICE_pixel At(const LICE_IBitmap& bitmap, int x, int y) {
  return bitmap.getBits()[y * bitmap.getRowSpan() + x];
}

// The Rate the saved state holds: the state's data is one little-endian
// double per parameter.
double SavedRate(const std::string& path) {
  const std::string bytes = tool_test::Slurp(path);
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                                static_cast<CFIndex>(bytes.size()));
  auto state = static_cast<CFDictionaryRef>(
      CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr));
  CFRelease(data);
  if (!state) return -1;
  auto values = static_cast<CFDataRef>(CFDictionaryGetValue(state, CFSTR("data")));
  double rate = -1;
  if (values && CFDataGetLength(values) >= 6 * 8)
    std::memcpy(&rate, CFDataGetBytePtr(values) + 5 * 8, sizeof rate);
  CFRelease(state);
  return rate;
}

TEST(MorvexEditorToolTest, TheSnapshotIsTheEditorAtEitherScale) {
  TempDir scratch;
  const tool_test::Run one =
      Morvex({"editor", "--snapshot", scratch / "one.png", "--preset", "Hexagon"}, scratch);
  ASSERT_EQ(one.status, 0) << one.err;
  const tool_test::Run two =
      Morvex({"editor", "--snapshot", scratch / "two.png", "--preset", "Hexagon", "--scale", "2"},
             scratch);
  ASSERT_EQ(two.status, 0) << two.err;
  auto small = LoadPng(scratch / "one.png"), large = LoadPng(scratch / "two.png");
  ASSERT_TRUE(small && large);
  ASSERT_EQ(small->getWidth(), kW);
  ASSERT_EQ(small->getHeight(), kH);
  ASSERT_EQ(large->getWidth(), 2 * kW);
  int differ = 0;
  for (int y = 0; y < 2 * kH; ++y) {
    for (int x = 0; x < 2 * kW; ++x)
      differ += At(*large, x, y) != At(*small, x / 2, y / 2);
  }
  EXPECT_EQ(differ, 0);
  // Taken off the screen even where a display is named: no window flashes
  // up, and one that cannot be reached changes nothing.
  const tool_test::Run named =
      Morvex({"editor", "--snapshot", scratch / "named.png", "--preset", "Hexagon"}, scratch,
             {"DISPLAY=:97"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(tool_test::Slurp(scratch / "named.png"), tool_test::Slurp(scratch / "one.png"));
  const tool_test::Run bad =
      Morvex({"editor", "--snapshot", scratch / "x.png", "--scale", "3"}, scratch);
  EXPECT_EQ(bad.status, 2);
}

struct BundleRun {
  tool_test::Run render;
  tool_test::Run snapshot;
  tool_test::Run window;  // when asked for, on the display of $DISPLAY
};

// A copy of the program (with the platform library and its editor module,
// where an installed tree has them) beside a copy of the bundle whose every image has gone through
// `change`, rendering and drawing a snapshot into scratch.
template <typename Change>
BundleRun RunWithChangedImages(const TempDir& scratch, Change change, bool window = false) {
  namespace fs = std::filesystem;
  fs::create_directories(scratch / "bin");
  fs::create_directories(scratch / "lib/morvex");
  fs::copy_file(MORVEX_TOOL, scratch / "bin/morvex");
  fs::copy_file(MORVEX_DISPLAY_MODULE, scratch / "lib/morvex/morvex-display.so");
  fs::copy_file(MORVEX_PLATFORM, scratch / "lib/morvex/libmorvex_platform.so");
  fs::copy(MORVEX_BUNDLE, scratch / "Morvex.component", fs::copy_options::recursive);
  for (const auto& image : fs::directory_iterator(scratch / "Morvex.component/Contents/Resources"))
    if (image.path().extension() == ".png") change(image.path());
  const char* searchPath = std::getenv("AUDIOUNIT_PATH");
  const std::string saved = searchPath ? searchPath : "";
  unsetenv("AUDIOUNIT_PATH");
  tool_test::WriteAudio(scratch / "in.wav", tool_test::Signal(2, 44100, 0.5), 44100,
                        SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  BundleRun run{tool_test::RunProgram(
                    scratch / "bin/morvex",
                    {"render", scratch / "in.wav", scratch / "out.wav", "--quiet"}, scratch.path()),
                tool_test::RunProgram(scratch / "bin/morvex",
                                      {"editor", "--snapshot", scratch / "x.png"}, scratch.path()),
                {}};
  if (window)
    run.window = tool_test::RunProgram(scratch / "bin/morvex",
                                       {"editor", "--save-state", scratch / "state.aupreset"},
                                       scratch.path());
  if (searchPath) setenv("AUDIOUNIT_PATH", saved.c_str(), 1);
  return run;
}

// Without its images the plug-in renders, only the editor is missing: the
// snapshot and the window say so alike, not with a platform error code.
TEST(MorvexEditorToolTest, WithoutItsImagesThePlugInRendersButHasNoEditor) {
  test_support::XvfbServer server;
  ASSERT_FALSE(server.Display().empty());
  TempDir scratch;
  const BundleRun run = RunWithChangedImages(
      scratch, [](const std::filesystem::path& image) { std::filesystem::remove(image); }, true);
  EXPECT_EQ(run.render.status, 0) << run.render.err;
  EXPECT_TRUE(std::filesystem::exists(scratch / "out.wav"));
  EXPECT_EQ(run.snapshot.status, 1);
  EXPECT_NE(run.snapshot.err.find("images are missing"), std::string::npos) << run.snapshot.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "x.png"));
  EXPECT_EQ(run.window.status, 1);
  EXPECT_THAT(run.window.err, testing::StartsWith("morvex: error: Morvex has no editor: its "
                                                  "images are missing"));
  EXPECT_FALSE(std::filesystem::exists(scratch / "state.aupreset"));
}

// Images whose headers read but whose pixel data is damaged are found out
// when the editor is about to be shown, not when the plug-in is made: the
// render never decodes them, the editor refuses to show.
TEST(MorvexEditorToolTest, ImagesDamagedPastTheirHeadersCostTheEditorOnlyWhenShown) {
  TempDir scratch;
  const BundleRun run = RunWithChangedImages(scratch, [](const std::filesystem::path& image) {
    std::string bytes = tool_test::Slurp(image.string());
    const size_t data = bytes.find("IDAT");
    ASSERT_NE(data, std::string::npos) << image;
    bytes[data + 4] = static_cast<char>(bytes[data + 4] ^ 0x55);
    std::ofstream(image, std::ios::binary) << bytes;
  });
  EXPECT_EQ(run.render.status, 0) << run.render.err;
  EXPECT_TRUE(std::filesystem::exists(scratch / "out.wav"));
  EXPECT_EQ(run.snapshot.status, 1);
  EXPECT_NE(run.snapshot.err.find("damaged"), std::string::npos) << run.snapshot.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "x.png"));
}

bool HasChildWindow(Display* display, Window window) {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
  if (children) XFree(children);
  return count > 0;
}

// Finds the host's top-level window called "Morvex" once the editor's view
// is inside it. Until the host reparents it the view is a top-level window
// of the same name, and a close sent to it would close the view, not the
// host.
Window FindEditorWindow(Display* display) {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      if (XFetchName(display, children[i], &name) && name) {
        if (std::strcmp(name, "Morvex") == 0 && HasChildWindow(display, children[i])) {
          found = children[i];
        }
        XFree(name);
      }
    }
    XFree(children);
  }
  return found;
}

template <typename Condition>
bool WaitFor(Condition condition, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

TEST(MorvexEditorToolTest, TheWindowShowsTheSnapshotTakesADragAndSavesTheState) {
  test_support::XvfbServer server;
  ASSERT_FALSE(server.Display().empty());
  TempDir scratch;
  const tool_test::Run snapshot =
      Morvex({"editor", "--snapshot", scratch / "still.png", "--set", "Rate=0.2"}, scratch);
  ASSERT_EQ(snapshot.status, 0) << snapshot.err;

  const std::string state = scratch / "state.aupreset";
  const std::string preset = tool_test::UserPresetsOf(scratch) + "/Dragged.aupreset";
  const pid_t pid = SpawnEditor(
      scratch, {"--set", "Rate=0.2", "--save-state", state, "--save-preset", "Dragged"});
  ASSERT_GT(pid, 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window window = 0;
  ASSERT_TRUE(WaitFor([&] { return (window = FindEditorWindow(display)) != 0; }, 10));

  // What the window shows is the snapshot, but for the moving sweep.
  auto still = LoadPng(scratch / "still.png");
  ASSERT_NE(still, nullptr);
  int differ = 0;
  WaitFor(
      [&] {
        XImage* image = XGetImage(display, window, 0, 0, kW, kH, AllPlanes, ZPixmap);
        if (!image) return false;
        differ = 0;
        for (int y = 0; y < kH; ++y) {
          for (int x = 0; x < kW; ++x) {
            const auto p = static_cast<int>(XGetPixel(image, x, y) & 0xFFFFFF);
            const LICE_pixel s = At(*still, x, y);
            const bool same = p == (LICE_GETR(s) << 16 | LICE_GETG(s) << 8 | LICE_GETB(s));
            differ += !same && !InSweep(x, y);
          }
        }
        XDestroyImage(image);
        return differ == 0;
      },
      5);
  EXPECT_EQ(differ, 0);

  // A drag up the Rate knob, then the window's close button.
  int x, y;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 343, 68, &x, &y, &child);
  XTestFakeMotionEvent(display, -1, x, y, 0);
  XTestFakeButtonEvent(display, 1, True, 0);
  for (int step = 1; step <= 20; ++step)
    XTestFakeMotionEvent(display, -1, x, y - step, 0);
  XTestFakeButtonEvent(display, 1, False, 0);
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  XEvent close = {};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &close);
  XSync(display, False);

  int status = -1;
  const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10);
  if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
  XCloseDisplay(display);
  ASSERT_TRUE(ended) << "the editor did not close";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // 20 pixels up a 40-pixel knob geared 4: a quarter of a quarter.
  EXPECT_NEAR(SavedRate(state), 0.2 + 0.125, 0.011);
  // The user preset holds the same state under its own name.
  EXPECT_EQ(SavedRate(preset), SavedRate(state));
  EXPECT_THAT(tool_test::Slurp(preset), testing::HasSubstr("<string>Dragged</string>"));
}

// When the X server goes away under the editor, what the user asked to keep
// is saved all the same, and no temporary is left beside it.
TEST(MorvexEditorToolTest, TheStateIsSavedWhenTheDisplayGoesAway) {
  auto server = std::make_unique<test_support::XvfbServer>();
  ASSERT_FALSE(server->Display().empty());
  TempDir scratch;
  const std::string state = scratch / "kept/state.aupreset";
  std::filesystem::create_directories(scratch / "kept");
  const std::string errPath = scratch / "err.txt";
  const pid_t pid = SpawnEditor(
      scratch, {"--set", "Rate=0.3", "--save-state", state, "--save-preset", "Kept"}, errPath);
  ASSERT_GT(pid, 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const bool shown = WaitFor([&] { return FindEditorWindow(display) != 0; }, 10);
  // The test's own connection would end the test when the server goes.
  XCloseDisplay(display);
  server->Stop();

  int status = -1;
  const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10);
  if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
  ASSERT_TRUE(shown);
  ASSERT_TRUE(ended) << "the editor did not end with its display";
  const std::string err = tool_test::Slurp(errPath);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status << err;
  EXPECT_EQ(err, "morvex: error: lost the connection to the X display; saved the state to " +
                     state + " and the user preset Kept\n");
  EXPECT_NEAR(SavedRate(state), 0.3, 1e-6);
  const std::string presets = tool_test::UserPresetsOf(scratch);
  EXPECT_EQ(SavedRate(presets + "/Kept.aupreset"), SavedRate(state));
  // Nothing but what was asked for: no temporaries beside either.
  for (const std::string& folder : {scratch / "kept", presets}) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    EXPECT_EQ(names.size(), 1u) << folder << ": " << testing::PrintToString(names);
  }
}

// Ctrl-C or SIGTERM (a session ending, a kill) closes the window as the user
// would: the state asked for is saved and the status is 0.
TEST(MorvexEditorToolTest, CtrlCAndSigtermCloseTheWindowAndSaveTheState) {
  test_support::XvfbServer server;
  ASSERT_FALSE(server.Display().empty());
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  for (const int signal : {SIGINT, SIGTERM}) {
    TempDir scratch;
    const std::string state = scratch / "state.aupreset";
    const pid_t pid = SpawnEditor(scratch, {"--set", "Rate=0.4", "--save-state", state});
    ASSERT_GT(pid, 0);
    const bool shown = WaitFor([&] { return FindEditorWindow(display) != 0; }, 10);
    kill(pid, signal);
    int status = -1;
    const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10);
    if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
    ASSERT_TRUE(shown);
    ASSERT_TRUE(ended) << "the editor did not close on signal " << signal;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << signal << ": " << status;
    EXPECT_NEAR(SavedRate(state), 0.4, 1e-6) << signal;
  }
  XCloseDisplay(display);
}

// Two copies of the bundle on the search path, one without its images: the
// editor draws with the images of the copy whose library was loaded, in
// either order. The other copy's images would hide a missing editor or
// cost a working one.
TEST(MorvexEditorToolTest, TheEditorsImagesComeFromTheBundleItsLibraryCameFrom) {
  namespace fs = std::filesystem;
  test_support::XvfbServer server;
  ASSERT_FALSE(server.Display().empty());
  TempDir scratch;
  fs::create_directories(scratch / "whole");
  fs::create_directories(scratch / "bare");
  fs::copy(MORVEX_BUNDLE, scratch / "whole/Morvex.component", fs::copy_options::recursive);
  fs::copy(MORVEX_BUNDLE, scratch / "bare/Morvex.component", fs::copy_options::recursive);
  for (const auto& image :
       fs::directory_iterator(scratch / "bare/Morvex.component/Contents/Resources"))
    if (image.path().extension() == ".png") fs::remove(image.path());
  for (const std::string first : {"whole", "bare"}) {
    const std::string second = first == "whole" ? "bare" : "whole";
    const std::string path = "AUDIOUNIT_PATH=" + scratch / first + ":" + scratch / second;
    const tool_test::Run info =
        tool_test::RunProgram(MORVEX_TOOL, {"info"}, scratch.path(), {path});
    ASSERT_EQ(info.status, 0) << info.err;
    const bool bare = info.out.find(scratch / "bare/Morvex.component") != std::string::npos;
    ASSERT_NE(bare, info.out.find(scratch / "whole/Morvex.component") != std::string::npos)
        << info.out;

    std::vector<std::string> args = {MORVEX_TOOL, "editor"};
    std::vector<char*> argv;
    for (std::string& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = tool_test::ChangedEnvironment({path});
    std::vector<char*> envp;
    for (std::string& variable : variables)
      envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, MORVEX_TOOL, nullptr, nullptr, argv.data(), envp.data()), 0);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    int status = -1;
    bool ended = false, shown = false;
    WaitFor(
        [&] {
          ended = waitpid(pid, &status, WNOHANG) == pid;
          shown = FindEditorWindow(display) != 0;
          return ended || shown;
        },
        10);
    // The editor's own library comes from that bundle too.
    std::ostringstream maps;
    if (shown) maps << std::ifstream("/proc/" + std::to_string(pid) + "/maps").rdbuf();
    if (!ended) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    EXPECT_EQ(shown, !bare) << first << " first; loaded " << (bare ? "bare" : "whole");
    if (shown) {
      EXPECT_THAT(maps.str(),
                  testing::HasSubstr(scratch / "whole/Morvex.component/Contents/MacOS/MorvexUI"));
      EXPECT_THAT(maps.str(), testing::Not(testing::HasSubstr(MORVEX_BUNDLE)));
    }
    if (bare) {
      EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 1) << first;
    }
  }
}

}  // namespace
