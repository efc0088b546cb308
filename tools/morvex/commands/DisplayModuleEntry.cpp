// The display module's only exported symbols, which the program looks up by
// name once it has loaded the module.
#include <type_traits>

#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/commands/DisplayModule.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/SafeOutput.h"

namespace {

// Failures are reported here as the program reports its own: no exception
// crosses into the program, which has a run-time library of its own.
int RunInModule(int (*command)(const std::vector<std::string>&),
                const std::vector<std::string>& args) {
  // The module has its own record of the temporaries to remove on a
  // signal, so its own handlers take over from the program's.
  SafeOutput::installSignalHandlers();
  return ReportingFailures([&] { return command(args); });
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int morvex_editor_command(
    const std::vector<std::string>& args) {
  return RunInModule(EditorCommand, args);
}

extern "C" __attribute__((visibility("default"))) int morvex_validate_command(
    const std::vector<std::string>& args) {
  return RunInModule(ValidateCommand, args);
}

extern "C" __attribute__((visibility("default"))) int morvex_live_command(
    const std::vector<std::string>& args) {
  return RunInModule(LiveCommand, args);
}

static_assert(std::is_same_v<decltype(&morvex_editor_command), DisplayModuleEntry>);
static_assert(std::is_same_v<decltype(&morvex_live_command), DisplayModuleEntry>);
static_assert(std::is_same_v<decltype(&morvex_validate_command), DisplayModuleEntry>);
