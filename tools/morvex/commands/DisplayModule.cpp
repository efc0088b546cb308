#include "tools/morvex/commands/DisplayModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "tools/morvex/console/ToolError.h"

namespace {

std::string ModulePath() {
  char exe[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) throw ToolError("cannot find the program's own path for its display module");
  const std::string exePath(exe, static_cast<size_t>(length));
  return exePath.substr(0, exePath.rfind('/') + 1) + MORVEX_DISPLAY_MODULE_FROM_BIN;
}

int RunInModule(const char* entryName, const std::vector<std::string>& args) {
  const std::string path = ModulePath();
  // Local: its copies of our libraries stay its own. Never closed, as the
  // component it registers and the handlers it leaves with Xlib outlive it.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) throw ToolError(std::string("the display module cannot be loaded: ") + dlerror());
  const auto entry = reinterpret_cast<DisplayModuleEntry>(dlsym(module, entryName));
  if (!entry) throw ToolError(path + " is not morvex's display module");
  return entry(args);
}

}  // namespace

int EditorModuleCommand(const std::vector<std::string>& args) {
  return RunInModule(kEditorEntry, args);
}

int ValidateModuleCommand(const std::vector<std::string>& args) {
  return RunInModule(kValidateEntry, args);
}

int LiveModuleCommand(const std::vector<std::string>& args) {
  return RunInModule(kLiveEntry, args);
}
