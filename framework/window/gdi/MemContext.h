#pragma once

#include "framework/window/gdi/GdiTypes.h"

// Memory drawing contexts: an off-screen surface whose pixels live in a frame
// buffer the caller may read and write directly.
//
// The frame buffer holds 32-bit pixels, rows top to bottom, each row the
// width rounded up to a multiple of 4 pixels (so 16-byte aligned rows for any
// width); a new context's pixels are all zero. A context is used by one thread
// at a time; different contexts may be used on different threads.

// [any thread] A context of width x height pixels, or null when either size is
// below 1 or the memory cannot be had. The reference context is accepted for
// compatibility and may be null.
HDC SWELL_CreateMemContext(HDC reference, int width, int height);

// [any thread] The first pixel of the top row, or null for a null context.
void* SWELL_GetCtxFrameBuffer(HDC ctx);

// [any thread] Frees the context and its frame buffer; null is ignored.
void SWELL_DeleteGfxContext(HDC ctx);
