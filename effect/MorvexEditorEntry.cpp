// The editor library's only exported symbol. Its copies of the plug-in
// framework's code work on the component's objects, built from the same
// sources in the same build.
#include "effect/MorvexEditorEntry.h"

#include "effect/Morvex.h"

extern "C" __attribute__((visibility("default"))) IGraphics* Morvex_MakeEditor(
    Morvex* plug, const char* imageFolder, IEventLoop* loop) {
  return plug->MakeEditor(imageFolder, loop);
}
