#include "framework/window/x11/X11PopupMenu.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>

#include "framework/base/WDL_String.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/window/x11/X11RasterWindow.h"
#include "framework/window/x11/detail/RasterText.h"
#include "raster/LICE_IFont.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_fill.h"
#include "raster/lice_line.h"
#include "raster/lice_polygon.h"

namespace {

// Layout in logical pixels; a 2x screen doubles all of it.
constexpr int kFontSize = 13;
constexpr int kPadY = 4;          // above the first row and below the last
constexpr int kRowExtra = 6;      // a row is the font's line height plus this
constexpr int kSeparatorH = 9;    // a separator row, its line in the middle
constexpr int kCheckColumn = 20;  // left of every label, where check marks go
constexpr int kTitleIndent = 12;  // one level of indentation
constexpr int kArrowColumn = 18;  // right of every label, where submenu arrows go
constexpr int kMinWidth = 60;

// Grabs fail while another client holds one (a host's own menu closing):
// a few short retries ride that out without blocking the editor for long.
constexpr int kGrabAttempts = 20;
constexpr useconds_t kGrabRetryMicros = 10000;

constexpr LICE_pixel kBack = LICE_RGBA(242, 242, 242, 255);
constexpr LICE_pixel kBorder = LICE_RGBA(128, 128, 128, 255);
constexpr LICE_pixel kTextColor = LICE_RGBA(0, 0, 0, 255);
constexpr LICE_pixel kDisabledText = LICE_RGBA(150, 150, 150, 255);
constexpr LICE_pixel kHighlight = LICE_RGBA(48, 112, 208, 255);
constexpr LICE_pixel kHighlightText = LICE_RGBA(255, 255, 255, 255);
constexpr LICE_pixel kSeparatorLine = LICE_RGBA(200, 200, 200, 255);

constexpr long kMenuEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

bool IsWheel(unsigned int button) {
  return button == Button4 || button == Button5 || button == 6 || button == 7;
}

}  // namespace

struct X11PopupMenu::Level {
  IPopupMenu* menu = nullptr;
  std::unique_ptr<X11RasterWindow> window;
  int rootX = 0, rootY = 0;  // physical pixels
  std::vector<int> rowTop, rowHeight;
  std::vector<std::string> labels;
  int highlight = -1;
  int submenuRow = -1;  // the row whose submenu is the next level
};

X11PopupMenu::X11PopupMenu(Display* display, int screen, IGraphics* graphics, IPopupMenu* menu,
                           int rootX, int rootY, int scale)
    : mDisplay(display),
      mScreen(screen),
      mGraphics(graphics),
      mScale(std::clamp(scale, 1, 2)),
      mText(x11_detail::InterfaceText(kFontSize)) {
  if (!display || !menu) {
    Finish(nullptr);
    return;
  }
  OpenLevel(menu, rootX, rootY, -1);
  const Window top = mLevels.front()->window->GetWindow();
  for (int attempt = 0; attempt < kGrabAttempts && !mGrabbed; ++attempt) {
    mGrabbed = XGrabPointer(display, top, True, kMenuEvents, GrabModeAsync, GrabModeAsync, None,
                            None, CurrentTime) == GrabSuccess;
    if (!mGrabbed) usleep(kGrabRetryMicros);
  }
  // Without the pointer a click elsewhere would never reach us and the
  // menu could not be dismissed.
  if (!mGrabbed) {
    Finish(nullptr);
    return;
  }
  // The keyboard only adds Escape and the arrows; the mouse alone suffices.
  XGrabKeyboard(display, top, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  XFlush(display);
}

X11PopupMenu::~X11PopupMenu() {
  Finish(mResult);
}

Window X11PopupMenu::LevelWindow(int level) const {
  if (level < 0 || level >= OpenLevels()) return 0;
  return mLevels[static_cast<size_t>(level)]->window->GetWindow();
}

std::vector<X11PopupMenu::ShownRow> X11PopupMenu::ShownRows(int level) const {
  std::vector<ShownRow> rows;
  if (level < 0 || level >= OpenLevels()) return rows;
  const Level& l = *mLevels[static_cast<size_t>(level)];
  for (size_t i = 0; i < l.labels.size(); ++i) {
    const IPopupMenuItem* item = l.menu->GetItem(static_cast<int>(i));
    const int indent = item->GetIsTitle() ? kTitleIndent : 0;
    rows.push_back({static_cast<int>(i), l.labels[i], l.rootX, l.rootY + l.rowTop[i] * mScale,
                    l.window->Width() * mScale, l.rowHeight[i] * mScale,
                    l.rootX + (kCheckColumn + indent) * mScale});
  }
  return rows;
}

void X11PopupMenu::OpenLevel(IPopupMenu* menu, int rootX, int rootY, int flipRightEdge) {
  auto level = std::make_unique<Level>();
  level->menu = menu;
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  const int rowH = (font ? font->GetLineHeight() : kFontSize) + kRowExtra;
  int width = kMinWidth, y = kPadY;
  for (int i = 0; i < menu->GetNItems(); ++i) {
    const IPopupMenuItem* item = menu->GetItem(i);
    WDL_String label;
    menu->GetItemLabel(i, &label);
    level->labels.emplace_back(item->GetIsSeparator() ? "" : label.Get());
    const int h = item->GetIsSeparator() ? kSeparatorH : rowH;
    level->rowTop.push_back(y);
    level->rowHeight.push_back(h);
    y += h;
    const int indent = item->GetIsTitle() ? kTitleIndent : 0;
    width = std::max(
        width, kCheckColumn + indent + x11_detail::TextWidth(font, label.Get()) + kArrowColumn);
  }
  const int height = y + kPadY;

  // Kept on the screen: a submenu that would run off the right edge opens
  // to the left of its parent instead; anything else slides back.
  const int screenW = DisplayWidth(mDisplay, mScreen), screenH = DisplayHeight(mDisplay, mScreen);
  const int physW = width * mScale, physH = height * mScale;
  if (rootX + physW > screenW) rootX = flipRightEdge >= 0 ? flipRightEdge - physW : screenW - physW;
  if (rootY + physH > screenH) rootY = screenH - physH;
  level->rootX = std::max(0, rootX);
  level->rootY = std::max(0, rootY);

  level->window =
      std::make_unique<X11RasterWindow>(mDisplay, RootWindow(mDisplay, mScreen), level->rootX,
                                        level->rootY, width, height, mScale, true, kMenuEvents);
  Draw(*level);
  XMapRaised(mDisplay, level->window->GetWindow());
  level->window->Present();
  mLevels.push_back(std::move(level));
}

void X11PopupMenu::CloseLevelsAfter(size_t level) {
  while (mLevels.size() > level + 1)
    mLevels.pop_back();
  if (level < mLevels.size()) mLevels[level]->submenuRow = -1;
}

void X11PopupMenu::Draw(Level& level) {
  LICE_MemBitmap* bm = level.window->Bitmap();
  const int w = bm->getWidth(), h = bm->getHeight();
  LICE_IFont* font = x11_detail::FontFor(mGraphics, &mText);
  LICE_Clear(bm, kBack);
  LICE_DrawRect(bm, 0, 0, w - 1, h - 1, kBorder, 1.0f, LICE_BLIT_MODE_COPY);
  for (size_t i = 0; i < level.labels.size(); ++i) {
    const IPopupMenuItem* item = level.menu->GetItem(static_cast<int>(i));
    const int top = level.rowTop[i], rowH = level.rowHeight[i], mid = top + rowH / 2;
    if (item->GetIsSeparator()) {
      LICE_Line(bm, 4, mid, w - 5, mid, kSeparatorLine, 1.0f, LICE_BLIT_MODE_COPY);
      continue;
    }
    const bool lit = level.highlight == static_cast<int>(i) && Selectable(level, level.highlight);
    if (lit) LICE_FillRect(bm, 1, top, w - 2, rowH, kHighlight, 1.0f, LICE_BLIT_MODE_COPY);
    const LICE_pixel ink = !item->GetEnabled() ? kDisabledText : lit ? kHighlightText : kTextColor;
    if (item->GetChecked()) {
      // A tick two pixels thick.
      for (int t = 0; t < 2; ++t) {
        LICE_Line(bm, 5, mid - t, 8, mid + 3 - t, ink, 1.0f, LICE_BLIT_MODE_COPY);
        LICE_Line(bm, 8, mid + 3 - t, 14, mid - 4 - t, ink, 1.0f, LICE_BLIT_MODE_COPY);
      }
    }
    const int labelX = kCheckColumn + (item->GetIsTitle() ? kTitleIndent : 0);
    x11_detail::DrawTextLine(bm, font, level.labels[i], labelX, top, w - kArrowColumn, top + rowH,
                             ink);
    if (item->GetSubmenu()) {
      LICE_FillTriangle(bm, w - 13, mid - 4, w - 13, mid + 4, w - 9, mid, ink, 1.0f,
                        LICE_BLIT_MODE_COPY);
    }
  }
}

bool X11PopupMenu::HitTest(int rootX, int rootY, int* level, int* row) const {
  for (int l = OpenLevels() - 1; l >= 0; --l) {
    const Level& lv = *mLevels[static_cast<size_t>(l)];
    const int x = rootX - lv.rootX, y = rootY - lv.rootY;
    if (x < 0 || y < 0 || x >= lv.window->Width() * mScale || y >= lv.window->Height() * mScale)
      continue;
    *level = l;
    *row = -1;
    const int ly = y / mScale;
    for (size_t i = 0; i < lv.rowTop.size(); ++i) {
      if (ly >= lv.rowTop[i] && ly < lv.rowTop[i] + lv.rowHeight[i]) *row = static_cast<int>(i);
    }
    return true;
  }
  return false;
}

bool X11PopupMenu::Selectable(const Level& level, int row) const {
  const IPopupMenuItem* item = level.menu->GetItem(row);
  return item && !item->GetIsSeparator() && item->GetEnabled() && !item->GetIsTitle();
}

bool X11PopupMenu::Pickable(const Level& level, int row) const {
  // The model leaves titles pickable; on this platform they only label a
  // group, as the layer's contract says.
  return Selectable(level, row) && level.menu->GetItem(row)->GetCanBePicked();
}

void X11PopupMenu::Hover(int level, int row) {
  Level& l = *mLevels[static_cast<size_t>(level)];
  const int lit = Selectable(l, row) ? row : -1;
  if (lit != l.highlight) {
    l.highlight = lit;
    Draw(l);
    l.window->Present();
  }
  if (lit >= 0 && l.menu->GetItem(lit)->GetSubmenu()) {
    OpenSubmenuOf(level, lit);
  } else {
    CloseLevelsAfter(static_cast<size_t>(level));
  }
}

void X11PopupMenu::OpenSubmenuOf(int level, int row) {
  Level& parent = *mLevels[static_cast<size_t>(level)];
  if (parent.submenuRow == row && OpenLevels() > level + 1) return;
  CloseLevelsAfter(static_cast<size_t>(level));
  IPopupMenu* submenu = parent.menu->GetItem(row)->GetSubmenu();
  parent.submenuRow = row;
  const size_t r = static_cast<size_t>(row);
  OpenLevel(submenu, parent.rootX + parent.window->Width() * mScale,
            parent.rootY + (parent.rowTop[r] - kPadY) * mScale, parent.rootX);
}

void X11PopupMenu::Pick(int level, int row) {
  Level& l = *mLevels[static_cast<size_t>(level)];
  if (!Pickable(l, row)) return;
  l.menu->SetChosenItemIdx(row);
  Finish(l.menu);
}

void X11PopupMenu::MoveHighlight(int direction) {
  Level& l = *mLevels.back();
  const int n = l.menu->GetNItems();
  int row = l.highlight >= 0 ? l.highlight : direction > 0 ? -1 : n;
  for (int steps = 0; steps < n; ++steps) {
    row = ((row + direction) % n + n) % n;
    if (Selectable(l, row)) {
      l.highlight = row;
      Draw(l);
      l.window->Present();
      return;
    }
  }
}

void X11PopupMenu::HandleKey(const XKeyEvent& key) {
  XKeyEvent copy = key;
  const KeySym sym = XLookupKeysym(&copy, 0);
  Level& deepest = *mLevels.back();
  const int level = OpenLevels() - 1;
  switch (sym) {
    case XK_Escape:
      Finish(nullptr);
      return;
    case XK_Up:
      MoveHighlight(-1);
      return;
    case XK_Down:
      MoveHighlight(1);
      return;
    case XK_Left:
      if (level > 0) CloseLevelsAfter(static_cast<size_t>(level - 1));
      return;
    case XK_Right:
    case XK_Return:
    case XK_KP_Enter:
    case XK_space: {
      const int row = deepest.highlight;
      if (row < 0) return;
      if (deepest.menu->GetItem(row)->GetSubmenu()) {
        OpenSubmenuOf(level, row);
        MoveHighlight(1);
      } else if (sym != XK_Right) {
        Pick(level, row);
      }
      return;
    }
    default:
      return;
  }
}

void X11PopupMenu::HandleEvent(const XEvent& event) {
  if (mFinished) return;
  int level = -1, row = -1;
  switch (event.type) {
    case Expose:
      for (auto& l : mLevels) {
        if (l->window->HandleExpose(event)) break;
      }
      return;
    case MotionNotify:
      mArmed = true;
      if (HitTest(event.xmotion.x_root, event.xmotion.y_root, &level, &row)) {
        Hover(level, row);
      } else if (mLevels.back()->highlight >= 0) {
        // Off the menus, the deepest one lets go of its highlight.
        mLevels.back()->highlight = -1;
        Draw(*mLevels.back());
        mLevels.back()->window->Present();
      }
      return;
    case ButtonPress:
      if (IsWheel(event.xbutton.button)) return;
      mArmed = true;
      if (!HitTest(event.xbutton.x_root, event.xbutton.y_root, &level, &row)) {
        Finish(nullptr);
        return;
      }
      Hover(level, row);
      return;
    case ButtonRelease:
      if (IsWheel(event.xbutton.button) || !mArmed) return;
      if (HitTest(event.xbutton.x_root, event.xbutton.y_root, &level, &row) && row >= 0)
        Pick(level, row);
      return;
    case KeyPress:
      HandleKey(event.xkey);
      return;
    default:
      return;
  }
}

void X11PopupMenu::Finish(IPopupMenu* result) {
  if (!mFinished) mResult = result;
  mFinished = true;
  if (mGrabbed) {
    XUngrabKeyboard(mDisplay, CurrentTime);
    XUngrabPointer(mDisplay, CurrentTime);
    mGrabbed = false;
  }
  mLevels.clear();
  if (mDisplay) XFlush(mDisplay);
}
