#pragma once

#include <atomic>
#include <vector>

#include "framework/base/WDL_PtrList.h"
#include "framework/base/WDL_String.h"
#include "framework/editor/IBitmap.h"
#include "framework/editor/IChannelBlend.h"
#include "framework/editor/IColor.h"
#include "framework/editor/IMouseMod.h"
#include "framework/editor/IRECT.h"
#include "framework/editor/IText.h"
#include "framework/plugin/IPlugEditor.h"

class IControl;
class IParam;
class IPlugBase;
class IPopupMenu;
class LICE_IBitmap;
class LICE_IFont;
class LICE_MemBitmap;
class LICE_SysBitmap;

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

// The platform-independent half of the editor: it owns the controls (index
// 0 is the background) and the off-screen surface, runs the dirty-rectangle
// redraw, dispatches mouse and key events to controls and keeps controls
// and parameters in step. A window layer derives from it and supplies the
// pure virtual operations: putting pixels on a screen, menus, text fields,
// paths, images.
//
// Threads: everything runs on the UI thread except SetParameterFromPlug
// and SetControlFromPlug, which the plug-in side calls from the host's
// parameter callback and the audio thread. They only store values and
// count changes (see IControl), and the list of controls they walk is
// frozen once PrepDraw has run, so they take no lock and never allocate.
class IGraphics : public IPlugEditor {
 public:
  static constexpr int kDefaultFPS = 25;

  // An fps below 1 gives kDefaultFPS. [UI thread]
  IGraphics(IPlugBase* plug, int w, int h, int fps = 0);
  // Deletes the key catcher (unless it is also attached as a control), every
  // control, then the drawing surfaces. Cached bitmaps stay.
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Virtual operations, in slot order. [UI thread] ----

  // Copies the draw bitmap to the screen after r was redrawn.
  virtual bool DrawScreen(IRECT* r) = 0;
  // The rectangle the text would take in textRect, drawing nothing.
  virtual bool MeasureIText(IText* text, char* str, IRECT* textRect);
  // Ends a text entry in progress without applying it.
  virtual void ForceEndUserEdit() = 0;
  // Throws the controls and surfaces away and asks the plug-in to attach a
  // new layout. Refused while the plug-in can render, since the audio
  // thread may be walking the controls.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen();
  virtual const char* GetGUIAPI();
  // Returns 1 for the default button, 7 for the alternate, 2 for the other.
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Runs the menu modally: the menu holding the picked item, with its
  // chosen index set, or null when cancelled.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) = 0;
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* textRect,
                               const char* initialText, IParam* param) = 0;
  virtual void HostPath(WDL_String* path) = 0;
  virtual void PluginPath(WDL_String* path) = 0;
  virtual void DesktopPath(WDL_String* path) = 0;
  virtual void AppSupportPath(WDL_String* path, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(WDL_String* path) = 0;
  virtual void PromptForFile(WDL_String* file, EFileAction action = kFileOpen,
                             WDL_String* dir = nullptr, const char* extensions = "") = 0;
  virtual bool PromptForColor(IColor* color, const char* prompt = "") = 0;
  virtual bool OpenURL(const char* url, const char* windowTitle = nullptr,
                       const char* confirmMsg = nullptr, const char* errorMsg = nullptr) = 0;
  void* OpenWindow(void* parent) override = 0;
  void* OpenWindow(void* window, void* control, short x, short y) override;
  virtual void AttachSubWindow(void* hostWindow);
  virtual void RemoveSubWindow();
  void CloseWindow() override = 0;
  void* GetWindow() override = 0;
  virtual bool GetTextFromClipboard(WDL_String* text) = 0;
  virtual void HideMouseCursor();
  virtual void ShowMouseCursor();
  virtual void UpdateTooltips() = 0;
  // A new bitmap of the resource's image, or null. Its pixels may be
  // decoded only when first drawn.
  virtual LICE_IBitmap* OSLoadBitmap(int id, const char* name) = 0;

  // ---- Construction and layout. [UI thread] ----

  // Makes the drawing surfaces and freezes the control list.
  void PrepDraw() override;
  // The editor owns the control from here on. Returns its index, or -1 when
  // the list is frozen or cannot grow (the control is then deleted) or the
  // control is already attached (it is left alone).
  int AttachControl(IControl* control);
  // A bitmap control (copy blend) or a panel covering the editor, inserted
  // at index 0.
  void AttachBackground(int id, const char* name);
  void AttachPanelBackground(const IColor* color);
  // Receives keys over the background or nothing. Replaces, and deletes, a
  // previous catcher that is not also an attached control.
  void AttachKeyCatcher(IControl* control);
  // Null out of range.
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  int NControls() const { return mControls.GetSize(); }
  IPlugBase* GetPlug() const { return mPlug; }

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  int GetMouseOver() const { return mMouseOver; }
  int GetMouseX() const { return mMouseX; }
  int GetMouseY() const { return mMouseY; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void EnableTooltips(bool enable) { mEnableTooltips = enable; }
  void HandleMouseOver(bool handle) { mHandleMouseOver = handle; }
  void ShowControlBounds(bool show) { mShowControlBounds = show; }
  void SetStrictDrawing(bool strict);
  // False when an image the layout asked for could not be found or its
  // header read: the plug-in then runs without an editor. Pixel data is
  // decoded when first drawn, so damage past a header is found out by
  // DecodeImages, which the window layers call before they show anything.
  bool IsComplete() const override { return !mImageMissing; }
  // [UI thread] Decodes every image the layout loaded; false, and the editor
  // incomplete from then on, when one cannot be decoded.
  bool DecodeImages();

  // ---- Plug-in to editor. ----

  // Moves every control bound to paramIdx (and every auxiliary binding) to
  // the value; a real value is normalised by the parameter first, and
  // dropped when there is none. [any thread]
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  // Out-of-range indices are ignored. [any thread]
  void SetControlFromPlug(int controlIdx, double normalizedValue) override;
  // [UI thread]
  void SetAllControlsDirty();
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray) override;
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void AssignParamNameToolTips();

  // ---- Events, in editor pixels. [UI thread] ----

  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  // True when the click was taken as a new button-down.
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int delta);
  // Whether mouse-over handling is on.
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  // Whether a control took the key.
  bool OnKeyDown(int x, int y, int key);
  // Ends the capture, and the gesture the host was told of with it.
  void ReleaseMouseCapture();
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();
  void OnGUIIdle();

  // ---- Redraw. [UI thread] ----

  // Accumulates the dirty area into *r; whether anything must be redrawn.
  bool IsDirty(IRECT* r);
  // Redraws r (clipped to the editor), then DrawScreen(r). Does nothing
  // before PrepDraw.
  bool Draw(IRECT* r);

  // ---- Prompting. [UI thread] ----

  void PromptUserInput(IControl* control, IParam* param, IRECT* textRect);
  // Applies the text of a finished text entry. Numbers are read in the C
  // locale whatever the process locale; text that names no value, or no
  // finite one, changes nothing.
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text);

  // ---- Bitmaps and fonts. [UI thread] ----

  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  IBitmap ScaleBitmap(IBitmap* bitmap, int w, int h);
  IBitmap CropBitmap(IBitmap* bitmap, IRECT* rect);
  // Hands run-time pixels to the cache; a second retain is refused.
  void RetainBitmap(IBitmap* bitmap);
  // Frees retained pixels; pixels loaded under a resource id are refused.
  void ReleaseBitmap(IBitmap* bitmap);
  LICE_IFont* CacheFont(IText* text);
  bool DrawIText(IText* text, const char* str, IRECT* rect, bool measure = false);

  // ---- Drawing operations, into the draw bitmap. [UI thread] ----

  LICE_SysBitmap* GetDrawBitmap() const { return mDrawBitmap; }
  unsigned* GetBits();
  // The rectangle the current pass redraws; bitmap blits are clipped to it.
  const IRECT* GetDrawRECT() const { return &mDrawRECT; }

  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                  const IChannelBlend* blend = nullptr);
  // state counts frames from 1; anything below 2 is the first frame.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int state = 1,
                  const IChannelBlend* blend = nullptr);
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                         int yOffsetZeroDeg = 0, const IChannelBlend* blend = nullptr);
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr,
                 bool antiAlias = false);
  // Writes the pixel without blending; points outside the bitmap are
  // ignored.
  bool ForcePixel(const IColor* color, int x, int y);
  IColor GetPoint(int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                const IChannelBlend* blend = nullptr, bool antiAlias = false);
  // angle in radians, 0 straight up, growing clockwise.
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                 bool antiAlias);
  bool FillRoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                     bool antiAlias);
  bool FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend = nullptr);
  bool FillCircle(const IColor* color, int cx, int cy, float r,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                    const IChannelBlend* blend = nullptr);
  bool FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints,
                          const IChannelBlend* blend = nullptr);
  bool DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi);
  // x and y are fractions of the rectangle, clamped to 0..1; y = 1 is the
  // top.
  bool DrawVerticalLine(const IColor* color, IRECT* rect, float x);
  bool DrawHorizontalLine(const IColor* color, IRECT* rect, float y);
  // The right and bottom edges are drawn on R and B themselves.
  bool DrawRect(const IColor* color, IRECT* rect);

 private:
  // Index of the control under the point by the hit-test rules, or -1.
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void CaptureMouse(int controlIdx, int x, int y, bool beginGesture);
  void DrawStrict(const IRECT& r);
  void DrawNonStrict();
  void DrawControlBounds();
  void DrawControl(IControl* control);
  void DeleteControls();
  bool IsAttached(const IControl* control) const;
  IRECT EditorRECT() const { return IRECT(0, 0, mWidth, mHeight); }

  WDL_PtrList<IControl> mControls;
  IPlugBase* mPlug;
  IRECT mDrawRECT;
  LICE_SysBitmap* mDrawBitmap = nullptr;
  LICE_MemBitmap* mTmpBitmap = nullptr;
  int mWidth;
  int mHeight;
  int mFPS;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0;
  int mMouseY = 0;
  int mLastClickedParam = -1;
  // The parameter whose gesture the host was told began, or -1: every
  // begin gets exactly one end.
  int mGestureParam = -1;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  bool mShowControlBounds = false;
  bool mImageMissing = false;
  std::vector<LICE_IBitmap*> mImages;  // every image LoadIBitmap handed out
  // Set by PrepDraw: from then on the plug-in side may walk the list.
  bool mControlsFrozen = false;
  IControl* mKeyCatcher = nullptr;

 protected:
  // Window layers call this whenever a view goes away, however it goes, so
  // the plug-in hears the end of every showing it heard begin.
  void WindowClosed();

  // Cursor state kept for the window layer.
  bool mCursorHidden = false;
  int mHiddenMousePointX = -1;
  int mHiddenMousePointY = -1;
};
