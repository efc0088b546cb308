#include "effect/MorvexEditor.h"

#include "effect/MorvexIdentity.h"
#include "framework/window/x11/IGraphicsX11.h"

IGraphics* MakeGraphics(IPlugBase* plug, int w, int h, int fps, const char* imageFolder) {
  auto* graphics = new IGraphicsX11(plug, w, h, fps);
  if (imageFolder && imageFolder[0]) {
    graphics->SetImageFolder(imageFolder);
  } else {
    graphics->SetBundleID(kMorvexBundleID);
  }
  return graphics;
}
