#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

// Names of the symbols a shared library defines in its dynamic table.
std::set<std::string> DefinedSymbols(const std::string& library) {
  std::set<std::string> symbols;
  FILE* pipe = popen(("nm -D --defined-only '" + library + "'").c_str(), "r");
  if (!pipe) return symbols;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name) symbols.insert(name);
  }
  pclose(pipe);
  return symbols;
}

bool IsLinkerSymbol(const std::string& name) {
  return name == "_init" || name == "_fini" || name == "__bss_start" || name == "_edata" ||
         name == "_end";
}

}  // namespace

TEST(ExportsTest, PlatformLibraryExportsExactlyItsCInterface) {
  const std::set<std::string> symbols = DefinedSymbols(PLATFORM_LIBRARY);
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
  std::set<std::string> symbols = DefinedSymbols(RECORDING_UNIT_LIBRARY);
  for (auto it = symbols.begin(); it != symbols.end();) {
    it = IsLinkerSymbol(*it) ? symbols.erase(it) : std::next(it);
  }
  EXPECT_EQ(symbols, (std::set<std::string>{"RecordingUnit_Call", "RecordingUnit_CallCount",
                                            "RecordingUnit_Clear", "RecordingUnit_Entry",
                                            "RecordingUnit_ViewEntry"}));
}
