#include "tools/morvex/commands/BuildTreeBundle.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

void AddBuildTreeBundle() {
  char exe[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) return;
  exe[length] = '\0';
  std::string exePath(exe);
  exePath = exePath.substr(0, exePath.rfind('/') + 1) + MORVEX_BUNDLE_FROM_BIN;
  char bundle[PATH_MAX];
  struct stat st;
  if (!realpath(exePath.c_str(), bundle) ||
      stat((std::string(bundle) + "/Contents/Info.plist").c_str(), &st) != 0)
    return;
  const char* existing = std::getenv("AUDIOUNIT_PATH");
  const std::string path =
      existing && *existing ? std::string(existing) + ":" + bundle : std::string(bundle);
  setenv("AUDIOUNIT_PATH", path.c_str(), 1);
}
