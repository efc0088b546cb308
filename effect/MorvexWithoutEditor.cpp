// The LV2 plug-in's library carries no editor, so that a headless host or a
// render never loads X11, fontconfig, FreeType or libpng: its instances are
// made without one, and the user interface's library, which makes its own,
// links MorvexLayout.cpp instead of this.
#include "effect/Morvex.h"

IGraphics* Morvex::MakeEditor(const char* /*imageFolder*/, IEventLoop* /*loop*/) {
  return nullptr;
}
