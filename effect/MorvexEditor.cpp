#include "effect/MorvexEditor.h"

#include "effect/MorvexIdentity.h"
#include "framework/au/IPlugAU.h"
#include "framework/window/IGraphicsOffscreen.h"

IGraphics* MakeGraphics(IPlugAU* plug, int w, int h, int fps) {
  auto* graphics = new IGraphicsOffscreen(plug, w, h, fps);
  graphics->SetBundleID(kMorvexBundleID);
  return graphics;
}
