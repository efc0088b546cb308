// The editor module's only exported symbol, which the program looks up by
// name once it has loaded the module.
#include <cstdio>
#include <exception>
#include <type_traits>

#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/commands/EditorModule.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/SafeOutput.h"

extern "C" __attribute__((visibility("default"))) int morvex_editor_command(
    const std::vector<std::string>& args) {
  // The module has its own record of the temporaries to remove on a
  // signal, so its own handlers take over from the program's.
  SafeOutput::installSignalHandlers();
  // Failures are reported here as the program reports its own: no exception
  // crosses into the program, which has a run-time library of its own.
  try {
    return EditorCommand(args);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "morvex: error: %s\n", error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvex: error: %s\n", error.what());
    return 1;
  }
}

static_assert(std::is_same_v<decltype(&morvex_editor_command), EditorModuleEntry>);
