#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/CoreFoundation.h"
#include "platform/HostBundle.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::BundlesDir;

namespace {

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char block[256];
  size_t got;
  while ((got = fread(block, 1, sizeof block, pipe)) > 0)
    output.append(block, got);
  pclose(pipe);
  return output;
}

std::string Path(CFBundleRef bundle) {
  CFRef<CFURLRef> url(CFBundleCopyBundleURL(bundle));
  UInt8 path[4096] = "";
  CFURLGetFileSystemRepresentation(url, true, path, sizeof path);
  return reinterpret_cast<const char*>(path);
}

}  // namespace

TEST(MainBundleTest, HostInAnAppFolderHasItsIdentifierAndABareToolHasNone) {
  EXPECT_EQ(RunCommand(MAIN_BUNDLE_PROBE),
            "com.morvex.tests.probe\n" + BundlesDir() + "/Probe.app\n");
  EXPECT_EQ(RunCommand(BARE_MAIN_BUNDLE_PROBE), "(none)\n" + BundlesDir() + "/bare\n");
}

TEST(MainBundleTest, HostCanNameItsMainBundle) {
  CFBundleRef before = CFBundleGetMainBundle();
  ASSERT_NE(before, nullptr);
  const std::string alpha = BundlesDir() + "/first/Alpha.component";

  HostSetMainBundle(alpha.c_str(), nullptr);
  CFBundleRef fromPlist = CFBundleGetMainBundle();
  EXPECT_EQ(Path(fromPlist), alpha);
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(fromPlist), CFSTR("com.morvex.tests.alpha")));
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.morvex.tests.alpha")), fromPlist);

  HostSetMainBundle(nullptr, "com.example.host");
  CFBundleRef named = CFBundleGetMainBundle();
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(named), CFSTR("com.example.host")));
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.host")), named);
  // Earlier main bundles stay valid for whoever holds them.
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(fromPlist), CFSTR("com.morvex.tests.alpha")));
  EXPECT_EQ(Path(before), Path(named));

  HostSetMainBundle(nullptr, nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(CFBundleGetMainBundle()), nullptr);
}
