// The component's library carries no editor, so that a host that only
// renders never loads X11, fontconfig, FreeType or libpng: the editor lives
// in the bundle's second library, loaded the first time a host asks for a
// view. That library links MorvexLayout.cpp instead of this.
#include "effect/Morvex.h"
#include "effect/MorvexIdentity.h"
#include "framework/au/EditorLibrary.h"

IGraphics* Morvex::MakeEditor(const char* imageFolder, IEventLoop* loop) {
  const auto make =
      reinterpret_cast<EditorMaker>(EditorLibraryEntry(kMorvexEditorLibrary, kMorvexEditorEntry));
  return make ? make(this, imageFolder, loop) : nullptr;
}
