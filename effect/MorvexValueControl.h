#pragma once

#include <utility>

#include "effect/MorvexReadout.h"
#include "framework/editor/IMouseMod.h"

// One of the editor's controls (a knob, the stage selector) that tells its
// value through the readout and takes a typed one: a right click (or
// Super+click) opens the field, hovering and gestures drive the readout.
// [UI thread]
template <class Control>
class MorvexValueControl : public Control {
 public:
  template <class... Args>
  explicit MorvexValueControl(MorvexReadout* readout, Args&&... args)
      : Control(std::forward<Args>(args)...), mReadout(readout) {}

  void OnMouseDown(int x, int y, IMouseMod* mod) override {
    if (mod && mod->R) {
      mReadout->OpenField(this);
      return;
    }
    Control::OnMouseDown(x, y, mod);
    mReadout->Follow(this);
  }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override {
    Control::OnMouseDrag(x, y, dX, dY, mod);
    mReadout->Follow(this);
  }
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override {
    Control::OnMouseWheel(x, y, mod, d);
    mReadout->Follow(this);
  }
  void OnMouseOver(int x, int y, IMouseMod* mod) override {
    Control::OnMouseOver(x, y, mod);
    mReadout->Hover(this);
  }
  void OnMouseOut() override {
    Control::OnMouseOut();
    mReadout->Leave(this);
  }
  void TextFromTextEntry(const char* text) override { mReadout->TakeText(this, text); }

 private:
  MorvexReadout* mReadout;
};
