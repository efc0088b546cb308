#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/editor/IText.h"
#include "framework/window/x11/X11ModalWindow.h"

class IGraphics;
class X11RasterWindow;

// The editor's message box: a small window titled with the caption, the
// text, and buttons by type as on the Mac (4: "Yes" "No"; 3: "Yes" "No"
// "Cancel"; 1: "OK" "Cancel"; anything else: "OK"), the first one the
// default, laid out from the right. The result is 1 for the default
// button, 7 for "No" and 2 for "Cancel". Return picks the default, Escape
// picks "Cancel" where there is one, and closing the window through the
// window manager counts as "Cancel", or as the last button without one.
// [UI thread]
class X11MessageBox : public X11ModalWindow {
 public:
  enum Result { kOpen = 0, kDefault = 1, kCancel = 2, kAlternate = 7 };

  // A button as shown, in the window's physical pixels.
  struct ShownButton {
    std::string label;
    int result;
    int x, y, w, h;
  };

  // Shows the box centred on the screen; scale is 2 on high-density
  // screens. transientFor names the window the box belongs to (the
  // editor's top-level window), or 0.
  X11MessageBox(Display* display, int screen, IGraphics* graphics, const char* text,
                const char* caption, int type, int scale, Window transientFor = 0);
  ~X11MessageBox() override;
  X11MessageBox(const X11MessageBox&) = delete;
  X11MessageBox& operator=(const X11MessageBox&) = delete;

  void HandleEvent(const XEvent& event) override;
  bool Finished() const override { return mResult != kOpen; }
  // kOpen until a button is chosen.
  int GetResult() const { return mResult; }
  // 0 once finished.
  Window GetWindow() const;
  // Empty once finished.
  std::vector<ShownButton> Buttons() const;

 private:
  struct Button {
    std::string label;
    int result;
    int x, y, w, h;  // logical pixels
  };

  void Layout(const std::string& text);
  void Draw();
  int ButtonAt(int x, int y) const;
  void Finish(int result);
  int CancelResult() const;

  Display* mDisplay;
  IGraphics* mGraphics;
  IText mText;
  std::string mWrapped;
  std::vector<Button> mButtons;
  int mWidth = 0, mHeight = 0;
  int mPressed = -1;
  Atom mDeleteWindow;
  std::unique_ptr<X11RasterWindow> mWindow;
  int mResult = kOpen;
};
