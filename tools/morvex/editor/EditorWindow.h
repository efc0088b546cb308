#pragma once

struct UnitSettings;

// Shows Morvex's editor as a host does: the view factory the CocoaUI
// property names gives the editor's view, which goes into a window of our
// own on the X display. Runs until that window is closed, feeding the unit
// quiet noise at real-time pace meanwhile, then saves the state when asked.
// scale 1 or 2 fixes the pixel size, 0 leaves it to the screen. Returns
// the exit status; throws ToolError.
int RunEditorWindow(const UnitSettings& settings, int scale);
