#pragma once

#include <string>

struct UnitSettings;

// Draws Morvex's editor without a display, as it shows the given settings
// (after a moment of quiet audio, so the sweep display has a position), and
// writes it as a PNG, each pixel a scale x scale block. The plug-in is built
// in this process from the effect linked in, and driven through its
// component entry like any unit; its images come from the bundle a host
// would load. Throws ToolError.
void WriteEditorSnapshot(const UnitSettings& settings, int scale, const std::string& path);
