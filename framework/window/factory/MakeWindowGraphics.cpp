#include "framework/window/factory/MakeWindowGraphics.h"

#include "framework/window/offscreen/IGraphicsOffscreen.h"
#include "framework/window/x11/IGraphicsX11.h"

namespace {
template <class Graphics>
Graphics* WithResources(Graphics* graphics, const char* bundleID, const char* imageFolder) {
  if (imageFolder && imageFolder[0]) {
    graphics->SetImageFolder(imageFolder);
  } else {
    graphics->SetBundleID(bundleID);
  }
  return graphics;
}
}  // namespace

IGraphics* MakeWindowGraphics(IPlugBase* plug, int w, int h, int fps, IEventLoop* loop,
                              const char* bundleID, const char* imageFolder) {
  // With no loop to drive a window, or no display to put one on, the view is
  // on no screen: a host can still draw it (a snapshot, a thumbnail).
  if (!loop || !IGraphicsX11::DisplayNamed())
    return WithResources(new IGraphicsOffscreen(plug, w, h, fps), bundleID, imageFolder);
  return WithResources(new IGraphicsX11(plug, w, h, *loop, fps), bundleID, imageFolder);
}
