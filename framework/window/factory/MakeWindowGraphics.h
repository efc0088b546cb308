#pragma once

class IEventLoop;
class IGraphics;
class IPlugBase;

// The editor in the window layer that fits: an X11 window whose timers and
// display connection run on loop, or, with no loop to drive a window or no
// display named, the off-screen view, which hosts draw through
// platform/NSViewCache.h. Images and fonts come from imageFolder when it is not
// empty, else from the bundle bundleID. An fps of 0 gives the default rate.
// [UI thread]
IGraphics* MakeWindowGraphics(IPlugBase* plug, int w, int h, int fps, IEventLoop* loop,
                              const char* bundleID, const char* imageFolder);
