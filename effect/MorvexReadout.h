#pragma once

#include <chrono>
#include <string>

#include "framework/editor/IControl.h"

// The line that tells a control's parameter and its value in a listener's
// units ("Freq 230 Hz"), in a box under the control, over the
// panel's lower band. Resting the pointer on a control shows it after the
// tooltip delay; a drag or a turn of the wheel shows it at once and it
// follows every step. It also runs the typed values: the field over a
// control holds the value in units, and committed text that names no value
// changes nothing and says so here for two seconds. It never takes the
// mouse. Attached last, so it draws over the rest. [UI thread]
class MorvexReadout : public IControl {
 public:
  static constexpr double kHoverDelaySeconds = 1.5;
  static constexpr double kMessageSeconds = 2.0;

  // band: the area the box may take, in editor pixels.
  MorvexReadout(IPlugBase* plug, IRECT band);

  // The pointer came onto the control, or moved on it.
  void Hover(IControl* control);
  // The pointer left the control.
  void Leave(IControl* control);
  // The user changed the control's value: the readout shows it now.
  void Follow(IControl* control);
  // Opens the one-line field over the control with its value in units.
  void OpenField(IControl* control);
  // Opens the one-line field for the control, `width` pixels wide and
  // centred on (cx, cy) inside the editor, holding `text`; what is
  // committed goes to the control's TextFromTextEntry.
  void OpenTextField(IControl* control, int cx, int cy, int width, const std::string& text);
  // Shows a message in the readout's place for kMessageSeconds.
  void Say(const std::string& message);
  // What the field held when committed: the value it names, set as user
  // input in one gesture for the host, or the "not a value" message.
  void TakeText(IControl* control, const char* text);

  // What shows; empty when nothing does.
  const std::string& Text() const { return mText; }
  // The readout text of a control's parameter at its current value.
  std::string ReadoutFor(const IControl* control) const;

  bool Draw(IGraphics* graphics) override;
  bool IsHit(int, int) override { return false; }
  // Polled on every timer tick: runs the hover delay and the message's
  // time, and follows values the host changes while the readout shows.
  bool IsDirty() override;

 private:
  using Clock = std::chrono::steady_clock;
  void Show(const IControl* control, std::string text);
  void Clear();

  IRECT mBand;
  IText mStyle;
  std::string mText;
  const IControl* mShown = nullptr;  // whose value shows, or null
  double mShownValue = 0.0;
  const IControl* mHovered = nullptr;
  bool mHoverPending = false;
  Clock::time_point mHoverDue;
  bool mMessage = false;
  Clock::time_point mMessageEnds;
};
