#include "tools/morvex/validate/EditorCheck.h"

#include <algorithm>
#include <cstdlib>

#include "framework/window/x11/X11HostWindow.h"

void CheckEditor(CheckReport& report, StrictPlugin& plugin, const StrictLevel& level,
                 EditorSide& editor) {
  const std::string name = "real-time: editor open and drawing on its own thread";
  if (!std::getenv("DISPLAY")) {
    report.skip(name, "no X display to open the editor on ($DISPLAY is not set)");
    return;
  }
  report.run(name, [&](std::string* detail) {
    std::string failure;
    const std::string verdict = AutomatedRender(
        plugin, level, 2.0,
        [&](StrictInstance& instance, const std::atomic<bool>& stop) {
          failure = editor.run(instance, stop);
        },
        detail, true);
    if (editor.absent) throw CheckSkipped(failure);
    if (!failure.empty()) return failure;
    if (editor.litPixels == 0) return std::string("the editor's view stayed black");
    *detail += " in real time; the editor's loop turned " + std::to_string(editor.turns) +
               " times and its view shows " + std::to_string(editor.litPixels) + " lit pixels";
    return verdict;
  });
}

void EditorSide::look(const X11HostWindow& window, bool last) {
  if (last || turns % 20 == 0) litPixels = std::max(litPixels, window.LitPixels());
}
