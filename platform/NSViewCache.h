#pragma once

#include "platform/MacTypes.h"
#include "platform/NSGeometry.h"
#include "platform/PlatformExport.h"

CF_EXTERN_C_BEGIN

// A view's picture taken off any screen, as a host takes it with NSView's
// -cacheDisplayInRect:toBitmapImageRep: for a snapshot or a thumbnail.
// Without an Objective-C runtime, a view that can be drawn so gives its
// drawing under its handle while it is open, and a host asks by the handle.

// Four bytes a pixel, alpha first then red, green and blue (the alpha-first
// meshed format), rows bytesPerRow apart.
typedef struct NSBitmapImageRep {
  unsigned char* bitmapData;
  SInt32 pixelsWide;
  SInt32 pixelsHigh;
  SInt32 bytesPerRow;
} NSBitmapImageRep;

// Draws the whole view into a bitmap of the view's size; false when it
// cannot.
typedef Boolean (*NSViewCacheDisplayProc)(void* info, NSBitmapImageRep* rep);

// [UI thread] The view's side: from now on the view of that handle, of that
// size, is drawn by the function; a null function forgets the handle, as a
// view must before it closes.
MORVEX_PLATFORM_API void NSViewSetCacheDisplay(void* view, NSSize size, NSViewCacheDisplayProc draw,
                                               void* info);
// [UI thread] The host's side: the size of a view that can be drawn off the
// screen; false, leaving size alone, for any other view.
MORVEX_PLATFORM_API Boolean NSViewGetBoundsSize(void* view, NSSize* size);
// [UI thread] Draws the view into the bitmap, which has the view's size;
// false when the view cannot be drawn so, the bitmap has another size, or
// the view failed to draw.
MORVEX_PLATFORM_API Boolean NSViewCacheDisplay(void* view, NSBitmapImageRep* rep);

CF_EXTERN_C_END
