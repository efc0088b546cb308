#pragma once

#include <string>
#include <vector>

// `morvex editor` lives in a module of its own beside the program's
// libraries (MORVEX_EDITOR_MODULE_FROM_BIN, relative to the program), with
// the effect it draws and the window layers: every other command, a render
// first, starts without loading X11, fontconfig, FreeType or libpng.

// The module's one entry: EditorCommand.
using EditorModuleEntry = int (*)(const std::vector<std::string>& args);
inline constexpr char kEditorModuleEntry[] = "morvex_editor_command";

// Loads the module and runs its EditorCommand. Throws ToolError when the
// module cannot be loaded.
int EditorModuleCommand(const std::vector<std::string>& args);
