// The editor module's only exported symbol, which the program looks up by
// name once it has loaded the module.
#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/commands/EditorModule.h"
#include "tools/morvex/output/SafeOutput.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int morvex_editor_command(
    const std::vector<std::string>& args) {
  // The module has its own record of the temporaries to remove on a
  // signal, so its own handlers take over from the program's.
  SafeOutput::installSignalHandlers();
  return EditorCommand(args);
}

static_assert(std::is_same_v<decltype(&morvex_editor_command), EditorModuleEntry>);
