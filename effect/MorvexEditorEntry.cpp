// The editor library's side of Morvex::MakeEditor: this library links
// MorvexLayout.cpp, the component's library MorvexEditorOnDemand.cpp.
#include "effect/Morvex.h"
#include "framework/au/EditorLibrary.h"

IGraphics* MakeEditorOf(IPlugBase* plug, const char* imageFolder, IEventLoop* loop) {
  return static_cast<Morvex*>(plug)->MakeEditor(imageFolder, loop);
}
