#pragma once

#include "tools/morvex/console/ToolError.h"

class Unit;
struct UnitSettings;

// What keeps the unit working while its editor is open: by default quiet
// noise at real-time pace with nothing played, so that the sweep display
// moves as in a host; `morvex live` plays through JACK instead.
class EditorHost {
 public:
  virtual ~EditorHost() = default;
  // The open unit whose editor the window shows.
  virtual Unit& unit() = 0;
  // Readies the unit to render with the user's settings applied, and sets
  // it working; called once the display is open. Throws ToolError.
  virtual void start() = 0;
  // [main thread, several times a second] false closes the window as the
  // user would. Throws ToolError, which closes it without saving.
  virtual bool keepOpen() = 0;
};

// Why no window could be shown: there is no X display to show it on.
struct DisplayMissing : ToolError {
  using ToolError::ToolError;
};

// Shows Morvex's editor as a host does: the view factory the CocoaUI
// property names gives the editor's view, which goes into a window of our
// own on the X display. Runs until that window is closed or the host ends
// it, then saves the state when asked. Without a host, one of quiet noise
// works the unit. scale 1 or 2 fixes the pixel size, 0 leaves it to the
// screen. Returns the exit status; throws DisplayMissing before the host
// starts, ToolError.
int RunEditorWindow(const UnitSettings& settings, int scale, EditorHost* host = nullptr);
