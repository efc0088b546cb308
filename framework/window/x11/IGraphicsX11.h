#pragma once

#include <memory>

#include "framework/editor/IGraphics.h"
#include "framework/plugin/IEventLoop.h"
#include "framework/window/BundleFonts.h"
#include "framework/window/BundleImages.h"
#include "framework/window/TooltipCountdown.h"
#include "framework/window/x11/X11Input.h"

// Xlib stays out of this header: its macros (Bool, None, Status) clash
// with names used across the framework.
struct _XDisplay;
struct _XGC;
union _XEvent;

class X11Connection;
class X11ImageWriter;
class X11ModalWindow;
class X11TextField;
class X11Tooltip;

// The editor in a real X11 window: a child of the window the host passes
// (an X window id in the void*), or a top-level window when there is none.
// It starts no thread: the display connection and a 1/FPS timer join the
// loop it is given, which the host turns (a run loop, or idle calls).
//
// The window is Width x Height editor pixels, doubled on high-density
// screens (see X11Connection::Scale): every pixel is copied as a 2 x 2
// block and pointer positions are halved. X delivers top-down pixels, so
// the editor receives the pixel under the pointer as it is, with no flip
// and no offset. The timer copies only the dirty rectangle; an exposure
// redraws the exposed one.
//
// The connection opens in OpenWindow, so a host that never shows the
// editor never touches X; without $DISPLAY OpenWindow returns null and the
// editor still draws off screen. When the parent window is destroyed the
// view counts as removed by the host and closes; the editor object lives on
// and can open again. [UI thread]
class IGraphicsX11 : public IGraphics {
 public:
  IGraphicsX11(IPlugBase* plug, int w, int h, IEventLoop& loop, int fps = 0);
  ~IGraphicsX11() override;

  // Whether $DISPLAY names a display to open windows on; it may still fail
  // to open.
  static bool DisplayNamed();

  bool DrawScreen(IRECT* r) override;
  void ForceEndUserEdit() override;
  // The window follows the new size.
  void Resize(int w, int h) override;
  // "X11 GUI" while a window is open, "Headless GUI" otherwise.
  const char* GetGUIAPI() override;
  // A modal box of ours (1, 7 or 2). Without an open window nobody can be
  // asked: the answer is "No", else "Cancel", else the only button's.
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Modal, with the top-left corner 4 pixels below the area's left end;
  // the redraw timer keeps running meanwhile.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) override;
  // A field over textRect. Return and the loss of focus commit, as does a
  // click elsewhere in the editor; Escape, the wheel and closing discard.
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* initialText,
                       IParam* param) override;
  void HostPath(WDL_String* path) override;
  void PluginPath(WDL_String* path) override;
  void DesktopPath(WDL_String* path) override;
  void AppSupportPath(WDL_String* path, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(WDL_String* path) override;
  // Through zenity or kdialog when one is installed; otherwise, and
  // without an open window, cancelled (the file left empty).
  void PromptForFile(WDL_String* file, EFileAction action = kFileOpen, WDL_String* dir = nullptr,
                     const char* extensions = "") override;
  bool PromptForColor(IColor* color, const char* prompt = "") override;
  // Hands the address (a web address or a file path) to xdg-open; false
  // for a null or empty address or when xdg-open cannot be started.
  bool OpenURL(const char* url, const char* windowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errorMsg = nullptr) override;
  void* OpenWindow(void* parent) override;
  // The Carbon form: the host's window is the parent, and the view comes
  // back as the control.
  void* OpenWindow(void* window, void* control, short x, short y) override;
  void CloseWindow() override;
  // The view's X window id, or null while closed.
  void* GetWindow() override;
  // The CLIPBOARD selection as UTF-8, waiting at most half a second.
  bool GetTextFromClipboard(WDL_String* text) override;
  // A blank cursor over the view; showing it again puts the pointer back
  // where it was hidden.
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // Tooltips (when enabled) show after the pointer rests 1.5 s on a
  // control that has one, for 10 s; this forgets any countdown under way.
  void UpdateTooltips() override;
  // The PNG of that base name in the bundle's resources.
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // The window's pixels per editor pixel (1 or 2) while open.
  int Scale() const { return mScale; }
  // The plug-in's bundle, where images and fonts are found; empty means the
  // main bundle.
  void SetBundleID(const char* bundleID) {
    mImages.SetBundleID(bundleID);
    AddBundleFonts(bundleID);
  }
  const char* GetBundleID() const { return mImages.GetBundleID(); }
  // A folder that holds the images and the fonts folder instead (see
  // BundleImages::SetFolder).
  void SetImageFolder(const char* folder) {
    mImages.SetFolder(folder);
    AddFolderFonts(folder);
  }

 protected:
  // The open window's connection, or null. [UI thread]
  _XDisplay* GetDisplay() const;
  // Hands every X event to the modal window until it is finished (or the
  // view goes), with the redraw timer still running. [UI thread]
  void RunModal(X11ModalWindow& modal);
  IEventLoop& Loop() const { return mLoop; }

 private:
  class Busy;
  void Tick();
  // Redraws and copies the pending area plus whatever controls are dirty.
  void Paint();
  void PumpEvents();
  void HandleEvent(_XEvent& event);
  void HandleButtonPress(_XEvent& event);
  void HandleButtonRelease(_XEvent& event);
  void HandleMotion(_XEvent& event);
  void HandleKeyPress(_XEvent& event);
  // Protocol errors on our connection (an XErrorEvent).
  void HandleError(unsigned char errorCode, unsigned long resource);
  bool TextEntryOpen() const { return mTextField != nullptr; }
  // Hands the field's text on when committing; either way the field goes
  // and the editor is repainted.
  void EndTextEntry(bool commit);
  // Whether the event belonged to the text field or the tooltip.
  bool HandleOwnWindowEvent(_XEvent& event);
  // Pointer position for the tooltip countdown; a click cancels it.
  void TooltipMouseOver();
  void TooltipTick();
  void HideTooltip();
  // The editor's area in root pixels: its top-left corner's position.
  bool RootPosition(int editorX, int editorY, int* rootX, int* rootY);
  // Frees the window and the connection; deferred while a callback of
  // ours is on the stack.
  void Release();
  void ReleaseIfClosing();

  std::unique_ptr<X11Connection> mConnection;
  std::unique_ptr<X11ImageWriter> mWriter;
  unsigned long mView = 0;  // X window ids
  unsigned long mParent = 0;
  _XGC* mGC = nullptr;
  unsigned long mBlankCursor = 0;
  IEventLoop& mLoop;
  int mTimer = 0;
  int mScale = 1;
  bool mOpen = false;
  // The server destroyed the view (its parent went away).
  bool mViewGone = false;
  // How many of our callbacks are on the stack.
  int mBusy = 0;
  X11ModalWindow* mModal = nullptr;
  std::unique_ptr<X11TextField> mTextField;
  IControl* mEditControl = nullptr;
  IParam* mEditParam = nullptr;
  std::unique_ptr<X11Tooltip> mTooltip;
  TooltipCountdown mTooltipCountdown;
  BundleImages mImages;
  // Area to repaint whether or not a control is dirty: exposures, a new
  // window, the end of a text entry.
  IRECT mInvalid;
  int mPrevX = 0;
  int mPrevY = 0;
  X11ClickCounter mClicks;
  unsigned long mDeleteWindow = 0;  // the WM_DELETE_WINDOW atom
};
