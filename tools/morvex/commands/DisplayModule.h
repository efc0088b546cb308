#pragma once

#include <string>
#include <vector>

// `morvex editor`, `morvex validate` and `morvex live` live in a module of
// their own beside the program's libraries (MORVEX_DISPLAY_MODULE_FROM_BIN,
// relative to the program), with the effect the editor's snapshot draws,
// the window layers, the LV2 host the validator needs and the JACK client:
// every other command, a render first, starts without loading X11,
// fontconfig, FreeType, libpng, lilv or JACK.

// The module's entries, one per command, each taking the command's
// arguments and returning its exit status. No exception leaves them: the
// module has a run-time library of its own.
using DisplayModuleEntry = int (*)(const std::vector<std::string>& args);
inline constexpr char kEditorEntry[] = "morvex_editor_command";
inline constexpr char kValidateEntry[] = "morvex_validate_command";
inline constexpr char kLiveEntry[] = "morvex_live_command";

// Load the module and run its EditorCommand, ValidateCommand or
// LiveCommand. Throw ToolError when the module cannot be loaded.
int EditorModuleCommand(const std::vector<std::string>& args);
int ValidateModuleCommand(const std::vector<std::string>& args);
int LiveModuleCommand(const std::vector<std::string>& args);
