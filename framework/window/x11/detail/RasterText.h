#pragma once

#include <string>

#include "framework/editor/IText.h"
#include "raster/LICE_IBitmap.h"

class IGraphics;
class LICE_IFont;

// Text for the X11 layer's own windows, drawn with the editor's font cache
// so that menus and fields look like the editor's text. [UI thread]
namespace x11_detail {

// The face our menus, message boxes and tooltips use.
inline constexpr char kInterfaceFace[] = "DejaVu Sans";

// The interface face at the given size, black, left-aligned.
IText InterfaceText(int size);

// The cached font for the style; null when no font could be made.
LICE_IFont* FontFor(IGraphics* graphics, IText* text);

// Width in pixels of the first `length` bytes of UTF-8 text (all of it when
// negative), on one line.
int TextWidth(LICE_IFont* font, const char* text, int length = -1);

// One line of text with its left edge at x, centred vertically in
// [top, bottom) and clipped to x < right, in the given colour.
void DrawTextLine(LICE_IBitmap* bitmap, LICE_IFont* font, const std::string& text, int x, int top,
                  int right, int bottom, LICE_pixel color);

// The text cut at the tail to fit width: the longest run of whole
// characters followed by an ellipsis, or the text itself when it fits.
// visibleBytes receives how many bytes of the original are shown.
std::string TruncatedToWidth(LICE_IFont* font, const std::string& text, int width,
                             size_t* visibleBytes = nullptr);

// Splits text into lines no wider than width, breaking at spaces (a word
// wider than the width gets a line of its own) and at line feeds.
std::string WrappedToWidth(LICE_IFont* font, const std::string& text, int width);

}  // namespace x11_detail
