#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/editor/IText.h"
#include "framework/window/x11/X11ModalWindow.h"

class IGraphics;
class IPopupMenu;
class X11RasterWindow;

// An IPopupMenu on the screen: an override-redirect window with the pointer
// and keyboard grabbed, one row per item as the menu model presents them
// (the label with its number prefix, separators as lines that still count
// as an index, titles indented, check marks, disabled items greyed), and a
// window cascading from every submenu entry the pointer rests on. A click
// (or a press, drag and release) on an item picks it; Escape or a press
// outside every menu window cancels. Titles, disabled items, separators and
// submenu entries cannot be picked. Up, Down, Left, Right and Return work
// the deepest open menu. [UI thread]
class X11PopupMenu : public X11ModalWindow {
 public:
  // One row as shown, for whoever checks the screen: the item's index and
  // label, and where the row and its label start in root pixels.
  struct ShownRow {
    int item;
    std::string label;
    int x, y, w, h;
    int labelX;
  };

  // Opens the menu with its top-left corner at (rootX, rootY), moved as
  // needed to stay on the screen; scale is 2 on high-density screens. The
  // menu and its submenus must outlive this object. A null menu, or one
  // whose grab cannot be had, is finished at once with no result.
  X11PopupMenu(Display* display, int screen, IGraphics* graphics, IPopupMenu* menu, int rootX,
               int rootY, int scale);
  ~X11PopupMenu() override;
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  void HandleEvent(const XEvent& event) override;
  bool Finished() const override { return mFinished; }
  // The menu directly holding the picked item, its chosen index set; null
  // when cancelled or still open.
  IPopupMenu* Result() const { return mResult; }

  // The open menu windows, top level first.
  int OpenLevels() const { return static_cast<int>(mLevels.size()); }
  Window LevelWindow(int level) const;
  std::vector<ShownRow> ShownRows(int level) const;

 private:
  struct Level;

  void OpenLevel(IPopupMenu* menu, int rootX, int rootY, int flipRightEdge);
  void CloseLevelsAfter(size_t level);
  void Draw(Level& level);
  // The level and row under a root point, deepest level first; false when
  // the point is on no menu window (row -1 when on a window but no item).
  bool HitTest(int rootX, int rootY, int* level, int* row) const;
  bool Selectable(const Level& level, int row) const;
  bool Pickable(const Level& level, int row) const;
  void Hover(int level, int row);
  void OpenSubmenuOf(int level, int row);
  void Pick(int level, int row);
  void MoveHighlight(int direction);
  void HandleKey(const XKeyEvent& key);
  void Finish(IPopupMenu* result);

  Display* mDisplay;
  int mScreen;
  IGraphics* mGraphics;
  int mScale;
  IText mText;
  std::vector<std::unique_ptr<Level>> mLevels;
  bool mGrabbed = false;
  // A release picks only once the pointer moved or pressed inside the
  // menu: the release of the click that opened it must not.
  bool mArmed = false;
  bool mFinished = false;
  IPopupMenu* mResult = nullptr;
};
