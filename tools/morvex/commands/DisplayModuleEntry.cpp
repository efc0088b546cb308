// The display module's only exported symbols, which the program looks up by
// name once it has loaded the module.
#include <cstdio>
#include <exception>
#include <type_traits>

#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/commands/DisplayModule.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/SafeOutput.h"

namespace {

// Failures are reported here as the program reports its own: no exception
// crosses into the program, which has a run-time library of its own.
int RunReportingFailures(int (*command)(const std::vector<std::string>&),
                         const std::vector<std::string>& args) {
  // The module has its own record of the temporaries to remove on a
  // signal, so its own handlers take over from the program's.
  SafeOutput::installSignalHandlers();
  try {
    return command(args);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "morvex: error: %s\n", error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvex: error: %s\n", error.what());
    return 1;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int morvex_editor_command(
    const std::vector<std::string>& args) {
  return RunReportingFailures(EditorCommand, args);
}

extern "C" __attribute__((visibility("default"))) int morvex_validate_command(
    const std::vector<std::string>& args) {
  return RunReportingFailures(ValidateCommand, args);
}

extern "C" __attribute__((visibility("default"))) int morvex_live_command(
    const std::vector<std::string>& args) {
  return RunReportingFailures(LiveCommand, args);
}

static_assert(std::is_same_v<decltype(&morvex_editor_command), DisplayModuleEntry>);
static_assert(std::is_same_v<decltype(&morvex_live_command), DisplayModuleEntry>);
static_assert(std::is_same_v<decltype(&morvex_validate_command), DisplayModuleEntry>);
