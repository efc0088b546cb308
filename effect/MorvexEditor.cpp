#include "effect/MorvexEditor.h"

#include "effect/MorvexIdentity.h"
#include "framework/au/IPlugAU.h"
#include "framework/window/x11/IGraphicsX11.h"

IGraphics* MakeGraphics(IPlugAU* plug, int w, int h, int fps) {
  auto* graphics = new IGraphicsX11(plug, w, h, fps);
  graphics->SetBundleID(kMorvexBundleID);
  return graphics;
}
