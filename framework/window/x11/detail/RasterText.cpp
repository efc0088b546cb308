#include "framework/window/x11/detail/RasterText.h"

#include "framework/editor/IGraphics.h"
#include "framework/window/gdi/TextDrawing.h"
#include "raster/LICE_IFont.h"

namespace x11_detail {

namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

}  // namespace

IText InterfaceText(int size) {
  return IText(size, &COLOR_BLACK, kInterfaceFace, IText::kStyleNormal, IText::kAlignNear);
}

LICE_IFont* FontFor(IGraphics* graphics, IText* text) {
  if (!graphics || !text) return nullptr;
  return text->mCached ? text->mCached : graphics->CacheFont(text);
}

int TextWidth(LICE_IFont* font, const char* text, int length) {
  if (!font || !text || length == 0 || !*text) return 0;
  RECT extent = {0, 0, 0, 0};
  font->DrawText(nullptr, text, length, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return extent.right - extent.left;
}

void DrawTextLine(LICE_IBitmap* bitmap, LICE_IFont* font, const std::string& text, int x, int top,
                  int right, int bottom, LICE_pixel color) {
  if (!font || text.empty() || right <= x) return;
  font->SetTextColor(color);
  font->SetBkMode(LICE_BKMODE_TRANSPARENT);
  RECT box = {x, top, right, bottom};
  font->DrawText(bitmap, text.c_str(), static_cast<int>(text.size()), &box,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

std::string TruncatedToWidth(LICE_IFont* font, const std::string& text, int width,
                             size_t* visibleBytes) {
  if (visibleBytes) *visibleBytes = text.size();
  if (TextWidth(font, text.c_str(), static_cast<int>(text.size())) <= width) return text;
  const int room = width - TextWidth(font, kEllipsis);
  size_t fits = 0;
  for (size_t end = 1; end <= text.size(); ++end) {
    if (end < text.size() && IsContinuation(text[end])) continue;  // inside a character
    if (TextWidth(font, text.c_str(), static_cast<int>(end)) > room) break;
    fits = end;
  }
  if (visibleBytes) *visibleBytes = fits;
  return text.substr(0, fits) + kEllipsis;
}

std::string WrappedToWidth(LICE_IFont* font, const std::string& text, int width) {
  std::string out, line;
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t end = text.find_first_of(" \n", pos);
    const size_t stop = end == std::string::npos ? text.size() : end;
    const std::string word = text.substr(pos, stop - pos);
    const std::string joined = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(font, joined.c_str()) > width) {
      out += line + "\n";
      line = word;
    } else {
      line = joined;
    }
    if (stop < text.size() && text[stop] == '\n') {
      out += line + "\n";
      line.clear();
    }
    pos = stop + 1;
  }
  return out + line;
}

}  // namespace x11_detail
