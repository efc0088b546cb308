#pragma once

#include <atomic>
#include <string>

#include "tools/morvex/validate/CheckReport.h"
#include "tools/morvex/validate/StrictChecks.h"

class X11HostWindow;

// The host's side of a plug-in's editor, on a thread of its own beside the
// audio calls: opens the editor for the instance, shows it on the X display
// and drives it until stop, then reads back what it shows.
class EditorSide {
 public:
  virtual ~EditorSide() = default;
  // "" when the editor ran, else why it could not.
  virtual std::string run(StrictInstance& instance, const std::atomic<bool>& stop) = 0;

  long turns = 0;       // passes of the editor's loop
  long litPixels = 0;   // the most its view showed at a look
  bool absent = false;  // the plug-in has no editor: run tells why

 protected:
  // Looks at the view now and then while the editor runs, and at the end: a
  // busy machine may paint it late, and a window of another program may
  // cover it at any one moment.
  void look(const X11HostWindow& window, bool last);
};

// "real-time: editor open and drawing on its own thread": the audio calls
// watched, paced as a host's are, with every parameter automated, while the
// editor runs; skipped without an X display or an editor.
void CheckEditor(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level,
                 EditorSide& editor);
