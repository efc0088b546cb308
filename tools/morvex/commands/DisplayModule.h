#pragma once

#include <string>
#include <vector>

// `morvex editor` and `morvex validate` live in a module of their own beside
// the program's libraries (MORVEX_DISPLAY_MODULE_FROM_BIN, relative to the
// program), with the effect the editor's snapshot draws, the window layers
// and the LV2 host the validator needs: every other command, a render
// first, starts without loading X11, fontconfig, FreeType, libpng or lilv.

// The module's entries, one per command, each taking the command's
// arguments and returning its exit status. No exception leaves them: the
// module has a run-time library of its own.
using DisplayModuleEntry = int (*)(const std::vector<std::string>& args);
inline constexpr char kEditorEntry[] = "morvex_editor_command";
inline constexpr char kValidateEntry[] = "morvex_validate_command";

// Load the module and run its EditorCommand or ValidateCommand. Throw
// ToolError when the module cannot be loaded.
int EditorModuleCommand(const std::vector<std::string>& args);
int ValidateModuleCommand(const std::vector<std::string>& args);
