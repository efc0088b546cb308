// A host searches every bundle on the component path when it starts, so the
// Info.plist of any bundle someone drops into a plug-in folder is untrusted
// input to every host on the machine. The fuzzed bytes become the Info.plist
// of one bundle in a scratch folder, the search runs over it, and whatever it
// registered is enumerated and described.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Components.h"
#include "platform/HostComponents.h"

namespace {

struct ScratchBundle {
  std::string root;
  std::string plist;
  std::string executable;
};

ScratchBundle& Scratch() {
  static ScratchBundle scratch;
  return scratch;
}

void RemoveScratch() {
  const ScratchBundle& s = Scratch();
  std::remove(s.plist.c_str());
  std::remove(s.executable.c_str());
  for (const char* folder :
       {"/Fuzz.component/Contents/MacOS", "/Fuzz.component/Contents", "/Fuzz.component", ""}) {
    rmdir((s.root + folder).c_str());
  }
}

bool WriteFile(const std::string& path, const uint8_t* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/morvex_fuzz_scan_XXXXXX";
  if (!mkdtemp(pattern)) std::abort();
  ScratchBundle& s = Scratch();
  s.root = pattern;
  const std::string contents = s.root + "/Fuzz.component/Contents";
  for (const std::string& folder : {s.root + "/Fuzz.component", contents, contents + "/MacOS"}) {
    if (mkdir(folder.c_str(), 0700) != 0) std::abort();
  }
  s.plist = contents + "/Info.plist";
  // The executable the seed names; it is never opened.
  s.executable = contents + "/MacOS/Morvex";
  if (!WriteFile(s.executable, nullptr, 0)) std::abort();
  std::atexit(RemoveScratch);
  // Only the scratch folder is searched (the system folder does not exist here).
  setenv("AUDIOUNIT_PATH", s.root.c_str(), 1);
  setenv("HOME", s.root.c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (!WriteFile(Scratch().plist, bytes, size)) std::abort();
  HostRescanComponents();
  ComponentDescription any = {};
  long found = 0;
  for (Component c = FindNextComponent(nullptr, &any); c; c = FindNextComponent(c, &any)) {
    ComponentDescription description;
    char* name = nullptr;
    char* info = nullptr;
    if (GetComponentInfo(c, &description, &name, &info, nullptr) != noErr) std::abort();
    // A Pascal name: its length byte counts the text before the NUL.
    if (!name || name[1 + static_cast<unsigned char>(name[0])] != '\0') std::abort();
    ++found;
  }
  // One bundle is either registered or listed as skipped, never both.
  const bool skipped = HostCountSkippedBundles() > 0;
  if (skipped == (found > 0)) std::abort();
  HostSkippedBundle reason;
  if (skipped && !HostGetSkippedBundle(0, &reason)) std::abort();
  return 0;
}
