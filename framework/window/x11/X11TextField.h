#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "framework/editor/IRECT.h"
#include "framework/editor/IText.h"
#include "framework/window/TextEntryField.h"

class IGraphics;
class IParam;
class X11RasterWindow;

// The one-line field the editor opens over a control to take a typed
// value: a child window of the editor's window over the control's
// rectangle, in the control's face at 0.9 times its size and alignment,
// text-entry colours, no border, a caret, and the tail cut off while it
// does not fit. The editing rules, filter included, are TextEntryField's.
//
// It takes the keyboard focus as soon as it is mapped. Return (or Enter)
// and the loss of focus commit; Escape and the wheel over it discard. It
// is not modal: the editor goes on running and hands it every event, and
// the field says which were its own. The owner reads the outcome and the
// text, applies them and deletes the field; focus then returns to the
// editor's window. Should the editor's window be destroyed under it, the
// field discards. [UI thread]
class X11TextField {
 public:
  enum Outcome { kEditing, kCommit, kDiscard };

  // area is in editor pixels; the window covers it times scale. The
  // graphics object supplies the font cache; param (which may be null)
  // and maxLength set the filter as for TextEntryField.
  X11TextField(Display* display, Window parent, const IRECT& area, int scale, IGraphics* graphics,
               const IText& text, const char* initialText, const IParam* param, int maxLength);
  ~X11TextField();
  X11TextField(const X11TextField&) = delete;
  X11TextField& operator=(const X11TextField&) = delete;

  // Takes the event when it is for the field's window; false otherwise.
  // Once the outcome is decided the field takes no more input.
  bool HandleEvent(const XEvent& event);

  Outcome GetOutcome() const { return mOutcome; }
  const std::string& Text() const { return mField.Text(); }
  Window GetWindow() const;
  bool HasFocus() const { return mHasFocus; }

 private:
  void HandleKey(XKeyEvent* key);
  void Draw();
  // The caret moves to the character boundary nearest the click.
  void PlaceCaret(int x);
  // Where the text starts for its alignment, in logical pixels.
  int TextStart(const std::string& shown) const;

  Display* mDisplay;
  IGraphics* mGraphics;
  IText mText;
  TextEntryField mField;
  std::unique_ptr<X11RasterWindow> mWindow;
  Outcome mOutcome = kEditing;
  bool mHasFocus = false;
};
