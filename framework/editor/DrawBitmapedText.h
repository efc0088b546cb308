#pragma once

class IGraphics;
struct IBitmap;
struct IChannelBlend;
struct IRECT;
struct IText;

// Draws text from a bitmap font: a strip whose frame c - 31 shows character
// c, so frame 1 is the space and codes below 32 show the first frame. Each
// character takes charWidth x charHeight pixels and the next starts
// charWidth + charOffset further right. The text is placed in rect by the
// text's alignment (left when text is null), centred vertically with
// vCenter; with multiline it wraps at the rectangle's width, otherwise
// what does not fit is cut.
//
// Nothing is drawn, and the result is false, without a graphics that has
// its surface (PrepDraw), a font with pixels or a rectangle, for a rectangle without area or for
// characters without size; an empty text draws nothing and is no error.
// [UI thread]
bool DrawBitmapedText(IGraphics* graphics, IBitmap* font, IRECT* rect, IText* text,
                      IChannelBlend* blend, const char* str, bool vCenter, bool multiline = false,
                      int charWidth = 6, int charHeight = 12, int charOffset = 0);
