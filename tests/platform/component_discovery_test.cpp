#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/AudioUnit.h"
#include "platform/HostComponents.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::BundlesDir;
using platform_test::Code;
using platform_test::Description;

namespace {

using Found = std::vector<std::pair<std::string, std::string>>;

std::string CodeText(OSType code) {
  return {static_cast<char>(code >> 24), static_cast<char>(code >> 16),
          static_cast<char>(code >> 8), static_cast<char>(code)};
}

Found FindAll(ComponentDescription looking) {
  Found found;
  for (Component c = FindNextComponent(nullptr, &looking); c; c = FindNextComponent(c, &looking)) {
    ComponentDescription description;
    EXPECT_EQ(GetComponentInfo(c, &description, nullptr, nullptr, nullptr), noErr);
    found.emplace_back(CodeText(description.componentType), CodeText(description.componentSubType));
  }
  EXPECT_EQ(CountComponents(&looking), static_cast<long>(found.size()));
  return found;
}

Component Find(OSType type, OSType subtype) {
  ComponentDescription looking = Description(type, subtype, 0);
  return FindNextComponent(nullptr, &looking);
}

std::string StandardPath() {
  return BundlesDir() + "/first:" + BundlesDir() + "/second/:" + BundlesDir() +
         "/direct/Gamma.component:" + BundlesDir() + "/does-not-exist";
}

std::vector<HostSkippedBundle> Skipped() {
  std::vector<HostSkippedBundle> skipped(HostCountSkippedBundles());
  for (UInt32 i = 0; i < skipped.size(); ++i)
    EXPECT_TRUE(HostGetSkippedBundle(i, &skipped[i]));
  return skipped;
}

bool Mentions(const std::vector<HostSkippedBundle>& skipped, const std::string& bundle,
              const std::string& reason) {
  for (const HostSkippedBundle& entry : skipped) {
    if (std::string(entry.path).find(bundle) != std::string::npos &&
        std::string(entry.reason).find(reason) != std::string::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

TEST(ComponentDiscoveryTest, FindsBundlesInSearchOrderWithWildcards) {
  platform_test::UseSearchPath(StandardPath());
  const Found all = FindAll(Description(0, 0, 0));
  const Found expected = {{"aufx", "Alph"}, {"auvw", "Alph"}, {"aufx", "Beta"},
                          {"aumu", "Btmu"}, {"aufx", "NoSy"}, {"aufx", "Gamm"}};
  EXPECT_EQ(all, expected);
  EXPECT_EQ(FindAll(Description(kAudioUnitType_Effect, 0, 0)),
            (Found{{"aufx", "Alph"}, {"aufx", "Beta"}, {"aufx", "NoSy"}, {"aufx", "Gamm"}}));
  EXPECT_EQ(FindAll(Description(0, Code("Btmu"), 0)), (Found{{"aumu", "Btmu"}}));
  EXPECT_EQ(FindAll(Description(kAudioUnitType_Effect, Code("Alph"), Code("Mrvx"))),
            (Found{{"aufx", "Alph"}}));
  EXPECT_TRUE(FindAll(Description(0, 0, Code("Xxxx"))).empty());
  ComponentDescription flagged = {0, 0, 0, 1, 1};
  EXPECT_TRUE(FindAll(flagged).empty());
  ComponentDescription ignoredFlags = {0, 0, 0, 1, 0};
  EXPECT_EQ(FindAll(ignoredFlags).size(), all.size());

  platform_test::UseSearchPath(BundlesDir() + "/direct/Gamma.component:" + BundlesDir() + "/first");
  EXPECT_EQ(FindAll(Description(0, 0, 0)),
            (Found{{"aufx", "Gamm"}, {"aufx", "Alph"}, {"auvw", "Alph"}}));
}

TEST(ComponentDiscoveryTest, BrokenBundlesAreSkippedAndListed) {
  platform_test::UseSearchPath(StandardPath());
  std::vector<HostSkippedBundle> skipped = Skipped();
  EXPECT_EQ(skipped.size(), 4u);
  EXPECT_TRUE(Mentions(skipped, "Broken_NoPlist.component", "missing Contents/Info.plist"));
  EXPECT_TRUE(Mentions(skipped, "Broken_Corrupt.component", "not a readable property list"));
  EXPECT_TRUE(Mentions(skipped, "Broken_NoExecutable.component", "missing executable"));
  EXPECT_TRUE(Mentions(skipped, "Broken_BadCode.component", "four-character"));
  HostSkippedBundle unused;
  EXPECT_FALSE(HostGetSkippedBundle(4, &unused));

  // A missing entry symbol shows only when the component is opened.
  Component noSymbol = Find(kAudioUnitType_Effect, Code("NoSy"));
  ASSERT_NE(noSymbol, nullptr);
  ComponentInstance instance = reinterpret_cast<ComponentInstance>(1);
  EXPECT_EQ(OpenAComponent(noSymbol, &instance), unresolvedComponentDLLErr);
  EXPECT_EQ(instance, nullptr);
  skipped = Skipped();
  EXPECT_EQ(skipped.size(), 5u);
  EXPECT_TRUE(Mentions(skipped, "Broken_NoSymbol.component", "NoSuchEntry"));
  EXPECT_EQ(Find(kAudioUnitType_Effect, Code("NoSy")), nullptr);
  EXPECT_EQ(OpenComponent(noSymbol), nullptr);
  EXPECT_EQ(CountComponentInstances(noSymbol), 0);
}

TEST(ComponentDiscoveryTest, InfoCarriesNameVersionAndBundle) {
  platform_test::UseSearchPath(StandardPath());
  Component alpha = Find(kAudioUnitType_Effect, Code("Alph"));
  ASSERT_NE(alpha, nullptr);
  ComponentDescription description;
  char* name = nullptr;
  char* info = nullptr;
  ASSERT_EQ(GetComponentInfo(alpha, &description, &name, &info, nullptr), noErr);
  EXPECT_EQ(description.componentManufacturer, Code("Mrvx"));
  EXPECT_EQ(description.componentFlags, 0u);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(static_cast<unsigned char>(name[0]), std::string("Morvex Tests: Alpha").size());
  EXPECT_STREQ(name + 1, "Morvex Tests: Alpha");
  EXPECT_EQ(info[0], 0);
  EXPECT_EQ(HostGetRegisteredVersion(alpha), 65536);
  EXPECT_EQ(HostGetRegisteredVersion(Find(kAudioUnitType_Effect, Code("Beta"))), 2);
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(HostGetComponentBundle(alpha)),
                      CFSTR("com.morvex.tests.alpha")));
  EXPECT_EQ(GetComponentInfo(nullptr, &description, nullptr, nullptr, nullptr), invalidComponentID);
}

TEST(ComponentDiscoveryTest, LibraryIsLoadedWhenAComponentIsFirstOpened) {
  platform_test::UseSearchPath(StandardPath());
  const std::string gamma = BundlesDir() + "/direct/Gamma.component/Contents/MacOS/RecordingUnit";
  EXPECT_EQ(dlopen(gamma.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  Component component = Find(kAudioUnitType_Effect, Code("Gamm"));
  ComponentInstance instance = OpenComponent(component);
  ASSERT_NE(instance, nullptr);
  platform_test::RecordingLog log(gamma);
  ASSERT_TRUE(log.Valid());
  EXPECT_EQ(log.Call(0)->what, kComponentOpenSelect);
  EXPECT_EQ(log.Call(0)->params[0], reinterpret_cast<long>(instance));
  EXPECT_EQ(log.Call(0)->storage, nullptr);
  EXPECT_EQ(CloseComponent(instance), noErr);
  EXPECT_EQ(log.Last()->what, kComponentCloseSelect);
  EXPECT_EQ(log.Last()->params[0], reinterpret_cast<long>(instance));
  EXPECT_NE(log.Last()->storage, nullptr);
}

TEST(ComponentDiscoveryTest, OpenAndCloseManyTimes) {
  platform_test::UseSearchPath(StandardPath());
  Component alpha = Find(kAudioUnitType_Effect, Code("Alph"));
  std::vector<ComponentInstance> open;
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 4; ++i) {
      ComponentInstance instance = nullptr;
      ASSERT_EQ(OpenAComponent(alpha, &instance), noErr);
      ASSERT_NE(GetComponentInstanceStorage(instance), nullptr);
      open.push_back(instance);
    }
    EXPECT_EQ(CountComponentInstances(alpha), 4);
    EXPECT_EQ(UnregisterComponent(alpha), validInstancesExist);
    for (ComponentInstance instance : open)
      ASSERT_EQ(CloseComponent(instance), noErr);
    open.clear();
  }
  EXPECT_EQ(CountComponentInstances(alpha), 0);
}

TEST(ComponentDiscoveryTest, DirectlyRegisteredEntriesOpenAndUnregister) {
  platform_test::UseSearchPath(BundlesDir() + "/does-not-exist");
  static int opens = 0;
  const ComponentRoutineProcPtr failing = [](ComponentParameters* params, Handle) {
    if (params->what == kComponentOpenSelect) ++opens;
    return params->what == kComponentOpenSelect ? ComponentResult(kRecordingOpenFailure)
                                                : ComponentResult(noErr);
  };
  ComponentDescription description = Description(Code("test"), Code("fail"), Code("Mrvx"));
  Component component = HostRegisterComponent(&description, failing, "Failing", 9);
  ASSERT_NE(component, nullptr);
  EXPECT_EQ(HostRegisterComponent(&description, nullptr, "None", 0), nullptr);
  EXPECT_EQ(Find(Code("test"), 0), component);
  EXPECT_EQ(HostGetRegisteredVersion(component), 9);
  EXPECT_EQ(HostGetComponentBundle(component), nullptr);

  ComponentInstance instance = nullptr;
  EXPECT_EQ(OpenAComponent(component, &instance), kRecordingOpenFailure);
  EXPECT_EQ(instance, nullptr);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(CountComponentInstances(component), 0);

  HostRescanComponents();
  EXPECT_EQ(Find(Code("test"), 0), component);  // survives a new search
  EXPECT_EQ(UnregisterComponent(component), noErr);
  EXPECT_EQ(Find(Code("test"), 0), nullptr);
  EXPECT_EQ(UnregisterComponent(component), invalidComponentID);
  EXPECT_EQ(OpenAComponent(component, &instance), invalidComponentID);
}
