#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/HostBundle.h"
#include "tests/raster/png_file.h"
#include "tests/support/TempDir.h"
// Last: it brings in Xlib.
#include "tests/framework/window/x11/x11_test_editor.h"

namespace x11_test {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A shell script standing in for a desktop program: it writes its
// arguments, one per line, to `record`, then prints `output`.
void StandIn(const test_support::TempDir& dir, const std::string& name, const std::string& record,
             const std::string& output = "") {
  const std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + record + ".tmp\n/bin/mv " +
                             record + ".tmp " + record + "\nprintf '%s' '" + output + "'\n";
  const std::string path = dir.write(name, script);
  chmod(path.c_str(), 0755);
}

class PathGuard {
 public:
  explicit PathGuard(const std::string& path) : mOld(std::getenv("PATH")) {
    setenv("PATH", path.c_str(), 1);
  }
  ~PathGuard() { setenv("PATH", mOld.c_str(), 1); }

 private:
  std::string mOld;
};

// Addresses reach xdg-open as one argument, exactly as given (spaces,
// quotes and all), web address or file path; a null or empty address, or
// no xdg-open to start, is a failure.
TEST_F(X11EditorTest, OpenURLHandsTheAddressIntactToXdgOpen) {
  const test_support::TempDir bin;
  const std::string record = bin / "opened";
  StandIn(bin, "xdg-open", record);
  const PathGuard path(bin.path());
  const std::string url = "http://example.test/a b?q='1'&r=\"2\";$(x)";
  EXPECT_TRUE(editor->OpenURL(url.c_str()));
  ASSERT_TRUE(RunUntil([&] { return !ReadFile(record).empty(); }));
  EXPECT_EQ(ReadFile(record), url + "\n");
  std::remove(record.c_str());
  EXPECT_TRUE(editor->OpenURL("/tmp/some file.txt"));
  ASSERT_TRUE(RunUntil([&] { return !ReadFile(record).empty(); }));
  EXPECT_EQ(ReadFile(record), "/tmp/some file.txt\n");

  EXPECT_FALSE(editor->OpenURL(nullptr));
  EXPECT_FALSE(editor->OpenURL(""));
  const PathGuard nowhere("/nonexistent");
  EXPECT_FALSE(editor->OpenURL("http://example.test/"));
}

// File dialogs come from zenity when it is installed: the start folder
// and name, the save switch and the extension filter go in, the chosen path
// and its folder come out. Without an open window, or without a dialog
// program, the choice is cancelled.
TEST_F(X11EditorTest, FileDialogsGoThroughZenityOrAreCancelled) {
  const test_support::TempDir bin;
  const std::string record = bin / "asked";
  StandIn(bin, "zenity", record, "/music/presets/new one.fxp\n");
  const PathGuard path(bin.path());
  WDL_String file("old.fxp"), dir("/music/");
  editor->PromptForFile(&file, kFileSave, &dir, "fxp fxb");
  EXPECT_STREQ(file.Get(), "");  // no window, no dialog
  EXPECT_TRUE(ReadFile(record).empty());

  Open();
  file.Set("old.fxp");
  editor->PromptForFile(&file, kFileSave, &dir, "fxp fxb");
  EXPECT_STREQ(file.Get(), "/music/presets/new one.fxp");
  EXPECT_STREQ(dir.Get(), "/music/presets/");
  EXPECT_EQ(ReadFile(record),
            "--file-selection\n--filename=/music/old.fxp\n--save\n--confirm-overwrite\n"
            "--file-filter=*.fxp *.fxb\n");

  const PathGuard nowhere("/nonexistent");
  file.Set("x");
  editor->PromptForFile(&file, kFileOpen, &dir, "");
  EXPECT_STREQ(file.Get(), "");
}

// Images come from the bundle's resources by base name, only as PNG
// (the extension in any case).
TEST_F(X11EditorTest, ImagesLoadFromTheBundleOnlyAsPNG) {
  const test_support::TempDir scratch;
  PngImage image{4, 3, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}, {}};
  image.rows.assign(3, std::vector<png_byte>(4 * 4, 0x80));
  scratch.write("Fx.component/Contents/Resources/x.png", EncodePng(image));
  scratch.write("Fx.component/Contents/Resources/x.jpg", EncodePng(image));
  HostSetMainBundle((scratch / "Fx.component").c_str(), "com.morvex.tests.x11images");
  std::unique_ptr<LICE_IBitmap> png(editor->OSLoadBitmap(0, "img/x.PNG"));
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->getWidth(), 4);
  EXPECT_EQ(png->getHeight(), 3);
  EXPECT_EQ(editor->OSLoadBitmap(0, "x.jpg"), nullptr);
  EXPECT_EQ(editor->OSLoadBitmap(0, nullptr), nullptr);
  HostSetMainBundle(nullptr, nullptr);
}

}  // namespace
}  // namespace x11_test
