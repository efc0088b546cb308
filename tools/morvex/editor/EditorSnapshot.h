#pragma once

#include <string>

struct UnitSettings;

// Draws Morvex's editor without a display, as it shows the given settings
// (after a moment of quiet audio, so the sweep display has a position), and
// writes it as a PNG, each pixel a scale x scale block. The component is
// found and opened as by every command, and its view, made on no screen, is
// drawn as a host takes a picture of a view. Throws ToolError.
void WriteEditorSnapshot(const UnitSettings& settings, int scale, const std::string& path);
