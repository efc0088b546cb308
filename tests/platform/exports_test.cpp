#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/support/DynamicSymbols.h"

namespace {

bool IsLinkerSymbol(const std::string& name) {
  return name == "_init" || name == "_fini" || name == "__bss_start" || name == "_edata" ||
         name == "_end";
}

}  // namespace

TEST(ExportsTest, PlatformLibraryExportsExactlyItsCInterface) {
  const std::set<std::string> symbols = test_support::DefinedSymbols(PLATFORM_LIBRARY);
  ASSERT_FALSE(symbols.empty());
  for (const std::string& name : symbols) {
    if (IsLinkerSymbol(name)) continue;
    EXPECT_NE(name.rfind("_Z", 0), 0u) << name;  // no C++ symbol leaks out
  }
  for (const char* name : {"CFRetain",
                           "CFRelease",
                           "CFStringCreateWithFormat",
                           "CFPropertyListCreateWithData",
                           "CFBundleGetMainBundle",
                           "kCFTypeArrayCallBacks",
                           "kCFAllocatorDefault",
                           "__CFStringMakeConstantString",
                           "FindNextComponent",
                           "OpenAComponent",
                           "GetComponentInfo",
                           "SetComponentInstanceStorage",
                           "AudioUnitRender",
                           "AudioUnitSetParameter",
                           "AUEventListenerNotify",
                           "MusicDeviceStartNote",
                           "AudioUnitCarbonViewCreate",
                           "HostCallComponentSelector",
                           "HostSetAUEventHook",
                           "HostSetMainBundle"}) {
    EXPECT_EQ(symbols.count(name), 1u) << name;
  }
}

TEST(ExportsTest, ComponentLibraryExportsOnlyItsEntries) {
  std::set<std::string> symbols = test_support::DefinedSymbols(RECORDING_UNIT_LIBRARY);
  for (auto it = symbols.begin(); it != symbols.end();) {
    it = IsLinkerSymbol(*it) ? symbols.erase(it) : std::next(it);
  }
  EXPECT_EQ(symbols, (std::set<std::string>{"RecordingUnit_Call", "RecordingUnit_CallCount",
                                            "RecordingUnit_Clear", "RecordingUnit_Entry",
                                            "RecordingUnit_ViewEntry"}));
}
