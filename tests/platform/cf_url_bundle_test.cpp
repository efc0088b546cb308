#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "platform/CoreFoundation.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::BundlesDir;
using platform_test::NewString;
using platform_test::Text;

namespace {

std::string Path(CFURLRef url) {
  UInt8 buffer[PATH_MAX];
  if (!CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer)) return "";
  return reinterpret_cast<const char*>(buffer);
}

}  // namespace

TEST(CFURLTest, FileSystemPathsRoundTrip) {
  CFRef<CFStringRef> path(NewString("/tmp/a b/\xC3\xA9t\xC3\xA9/"));
  CFRef<CFURLRef> url(CFURLCreateWithFileSystemPath(nullptr, path, kCFURLPOSIXPathStyle, true));
  EXPECT_EQ(Path(url), "/tmp/a b/\xC3\xA9t\xC3\xA9");
  CFRef<CFStringRef> back(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle));
  EXPECT_EQ(Text(back), "/tmp/a b/\xC3\xA9t\xC3\xA9");
  CFRef<CFStringRef> description(CFCopyDescription(url));
  EXPECT_EQ(Text(description).rfind("file:///tmp/a b/", 0), 0u);

  UInt8 small[8];
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, true, small, sizeof small));

  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  CFRef<CFURLRef> relative(CFURLCreateFromFileSystemRepresentation(
      nullptr, reinterpret_cast<const UInt8*>("sub/file.png"), 12, false));
  EXPECT_EQ(Path(relative), std::string(cwd) + "/sub/file.png");
  CFRef<CFURLRef> root(
      CFURLCreateWithFileSystemPath(nullptr, CFSTR("/"), kCFURLPOSIXPathStyle, true));
  EXPECT_EQ(Path(root), "/");
  EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, CFSTR(""), kCFURLPOSIXPathStyle, true), nullptr);
}

TEST(CFBundleTest, ComponentBundlesAreFoundByIdentifierWithTheirResources) {
  platform_test::UseSearchPath(BundlesDir() + "/first");
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.morvex.tests.alpha"));
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(CFGetTypeID(bundle), CFBundleGetTypeID());
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(bundle), CFSTR("com.morvex.tests.alpha")));
  const std::string root = BundlesDir() + "/first/Alpha.component";
  CFRef<CFURLRef> url(CFBundleCopyBundleURL(bundle));
  EXPECT_EQ(Path(url), root);
  CFRef<CFURLRef> executable(CFBundleCopyExecutableURL(bundle));
  EXPECT_EQ(Path(executable), root + "/Contents/MacOS/RecordingUnit");
  CFRef<CFURLRef> resources(CFBundleCopyResourcesDirectoryURL(bundle));
  EXPECT_EQ(Path(resources), root + "/Contents/Resources");
  CFRef<CFURLRef> knob(CFBundleCopyResourceURL(bundle, CFSTR("knob"), CFSTR("png"), nullptr));
  EXPECT_EQ(Path(knob), root + "/Contents/Resources/knob.png");
  CFRef<CFURLRef> frame(
      CFBundleCopyResourceURL(bundle, CFSTR("frame"), CFSTR("png"), CFSTR("img")));
  EXPECT_EQ(Path(frame), root + "/Contents/Resources/img/frame.png");
  EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("missing"), CFSTR("png"), nullptr), nullptr);
  EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("img"), nullptr, nullptr), nullptr);
  EXPECT_TRUE(CFEqual(CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleExecutable")),
                      CFSTR("RecordingUnit")));

  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.morvex.tests.gamma")), nullptr);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(nullptr), nullptr);
  platform_test::UseSearchPath(BundlesDir() + "/direct/Gamma.component");
  EXPECT_NE(CFBundleGetBundleWithIdentifier(CFSTR("com.morvex.tests.gamma")), nullptr);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.morvex.tests.alpha")), nullptr);
  // A bundle handed out before the new search stays usable.
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(bundle), CFSTR("com.morvex.tests.alpha")));
}
