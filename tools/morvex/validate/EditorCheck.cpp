#include "tools/morvex/validate/EditorCheck.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

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

void EditorSide::look(Display* display, Window view, bool last) {
  if (last || turns % 20 == 0) litPixels = std::max(litPixels, LitPixels(display, view));
}

long LitPixels(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return 0;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return 0;
  long lit = 0;
  for (int y = 0; y < attributes.height; ++y)
    for (int x = 0; x < attributes.width; ++x)
      lit += XGetPixel(image, x, y) != 0;
  XDestroyImage(image);
  return lit;
}
