#pragma once

#include <atomic>
#include <cmath>

#include "framework/base/WDL_String.h"
#include "framework/base/WDL_TypedBuf.h"
#include "framework/editor/IChannelBlend.h"
#include "framework/editor/IMouseMod.h"
#include "framework/editor/IRECT.h"
#include "framework/editor/IText.h"

class IGraphics;
class IParam;
class IPlugBase;
class ITextControl;

// Which way a knob, fader or row of buttons runs.
enum EDirection { kVertical = 0, kHorizontal = 1 };

// One element of the editor: a rectangle on the editor surface, optionally
// bound to a plug-in parameter whose value it holds normalised to 0..1.
// Mouse gestures become new values pushed to the plug-in; values from the
// plug-in only redraw.
//
// Threads: the UI thread does everything, except that the plug-in side
// (the audio thread and the host's parameter callback) may call
// SetValueFromPlug and SetAuxParamValueFromPlug at any time. Those only
// store values and count a change, so the value and the change counter are
// atomic: the editor reads the counter before a control draws and marks it
// clean only up to what it read, so a value stored while the control was
// being drawn is drawn on the next pass rather than lost.
class IControl {
 public:
  struct AuxParam {
    double mValue = 0.0;
    int mParamIdx;
    // A negative index stops the program ("idx > -1").
    explicit AuxParam(int paramIdx);
  };

  IControl(IPlugBase* plug, IRECT rect, int paramIdx = -1, IChannelBlend blend = IChannelBlend());
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Virtual operations, in slot order. [UI thread unless marked] ----

  // A right click asks for a value (PromptUserInput); other clicks do nothing.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int x, int y, IMouseMod* mod);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod);
  // Restores the default value once one is known.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* mod);
  virtual void OnMouseOut();
  virtual bool Draw(IGraphics* graphics) = 0;
  // The first value ever received becomes the default without a redraw;
  // later different values redraw twice. Non-finite values are ignored.
  // [any thread]
  virtual void SetValueFromPlug(double value);
  // Non-finite values are ignored.
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char* text);
  virtual void Hide(bool hide);
  // A greyed control draws at weight 0.25 and takes no clicks.
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  // Clamps the value, counts a change and, with pushParamToPlug, hands the
  // value to the plug-in and the linked display controls.
  // [any thread without pushParamToPlug]
  virtual void SetDirty(bool pushParamToPlug = true);
  // Clean up to the change the editor saw when this control's pass began;
  // dirty for one more pass when a redraw was requested.
  virtual void SetClean();
  virtual bool IsDirty();
  virtual void OnGUIIdle();
  // [any thread]
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  // ---- The rest. [UI thread unless marked] ----

  // Keeps the control dirty for one more pass. [any thread]
  void Redraw() { mRedraw.store(true, std::memory_order_relaxed); }
  // Bounds applied at the next SetDirty; NaN bounds are ignored.
  void Clamp(double lo, double hi);

  int ParamIdx() const { return mParamIdx; }
  // The bound parameter, or null when unbound or without a plug-in.
  IParam* GetParam() const;
  // [any thread]
  double GetValue() const { return mValue.load(std::memory_order_relaxed); }
  double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_relaxed); }
  const IRECT* GetRECT() const { return &mRECT; }
  const IRECT* GetTargetRECT() const { return &mTargetRECT; }
  void SetTargetArea(IRECT rect) { mTargetRECT = rect; }
  IText* GetText() { return &mText; }
  void SetText(const IText& text) { mText = text; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  const IChannelBlend* GetBlend() const { return &mBlend; }
  IPlugBase* GetPlug() const { return mPlug; }

  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool allow) { mMOWhenGrayed = allow; }
  void SetPromptDisabled(bool disabled) { mDisablePrompt = disabled; }

  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip ? tooltip : ""); }

  void AddAuxParam(int paramIdx);
  // An index outside 0..NAuxParams() - 1 stops the program.
  AuxParam* GetAuxParam(int idx);
  int NAuxParams() const { return mAuxParams.GetSize(); }
  // Position of the first auxiliary parameter bound to paramIdx, or -1.
  int AuxParamIdx(int paramIdx) const;
  void SetAllAuxParamsFromGUI();

  // Text controls that show the value with its unit and the parameter's
  // name whenever the user changes the value; owned by the editor.
  void SetValDisplayControl(ITextControl* control) { mValDisplayControl = control; }
  void SetNameDisplayControl(ITextControl* control) { mNameDisplayControl = control; }

  // Asks the user for a value of the bound parameter: a menu of its display
  // texts at the control, or a text field centred on it. Nothing while
  // prompting is disabled (the default) or the control is unbound.
  void PromptUserInput();
  void PromptUserInput(IRECT* textRect);

 protected:
  // Controls store their value directly while handling a gesture, then call
  // SetDirty. A non-finite value (0/0 from degenerate geometry) is dropped,
  // so no NaN ever reaches the plug-in or the engine. [any thread]
  void SetValue(double value) {
    if (std::isfinite(value)) mValue.store(value, std::memory_order_relaxed);
  }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  IGraphics* GetGUI() const;

  int mTextEntryLength = 7;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  WDL_TypedBuf<AuxParam> mAuxParams;
  IChannelBlend mBlend;

 private:
  friend class IGraphics;
  // Called by the editor just before a pass draws or cleans this control.
  void TakeChangeSnapshot() { mSnapshot = mChanges.load(std::memory_order_acquire); }

  std::atomic<double> mValue{0.0};
  std::atomic<double> mDefaultValue{-1.0};
  double mClampLo = 0.0;
  double mClampHi = 1.0;
  // Bumped (release) after every stored value; a control is dirty while
  // the count differs from the one it was last cleaned at.
  std::atomic<unsigned> mChanges{1};
  unsigned mCleanAt = 0;
  unsigned mSnapshot = 0;
  bool mDirtyForOneMorePass = false;
  bool mHide = false;
  bool mGrayed = false;
  std::atomic<bool> mRedraw{false};
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  ITextControl* mValDisplayControl = nullptr;
  ITextControl* mNameDisplayControl = nullptr;
  WDL_String mTooltip;
};
