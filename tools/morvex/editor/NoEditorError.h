#pragma once

#include "tools/morvex/console/ToolError.h"

// Why Morvex shows no editor, the same for the window and the snapshot: the
// plug-in makes none when its bundle's images cannot be read.
ToolError NoEditorError();
