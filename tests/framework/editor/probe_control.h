#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "framework/editor/IControl.h"
#include "framework/editor/IGraphics.h"
#include "raster/LICE_SysBitmap.h"

// A control that records the events it receives and paints its part of
// the redrawn area in one colour, writing pixels itself so that a test can
// see exactly where it drew.
class ProbeControl : public IControl {
 public:
  static constexpr LICE_pixel kInk = LICE_RGBA(10, 20, 30, 255);

  ProbeControl(IPlugBase* plug, IRECT rect, int paramIdx = -1, int* deletions = nullptr)
      : IControl(plug, rect, paramIdx), mDeletions(deletions) {}
  ~ProbeControl() override {
    if (mDeletions) ++*mDeletions;
  }

  void OnMouseDown(int x, int y, IMouseMod* mod) override {
    Log("down", x, y);
    IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseUp(int x, int y, IMouseMod*) override { Log("up", x, y); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override {
    Log("drag", x, y);
    events.back() += " by " + std::to_string(dX) + "," + std::to_string(dY);
  }
  void OnMouseDblClick(int x, int y, IMouseMod*) override { Log("dbl", x, y); }
  void OnMouseWheel(int x, int y, IMouseMod*, int d) override {
    Log("wheel", x, y);
    events.back() += " " + std::to_string(d);
  }
  bool OnKeyDown(int x, int y, int key) override {
    Log("key", x, y);
    events.back() += " " + std::to_string(key);
    return takesKeys;
  }

  bool Draw(IGraphics* graphics) override {
    lastDrawnValue = GetValue();
    ++draws;
    if (onDraw) onDraw();
    const IRECT area = mRECT.Intersect(*graphics->GetDrawRECT());
    LICE_SysBitmap* bitmap = graphics->GetDrawBitmap();
    for (int y = area.T; y < area.B; ++y) {
      for (int x = area.L; x < area.R; ++x)
        bitmap->getBits()[y * bitmap->getRowSpan() + x] = kInk;
    }
    return true;
  }

  using IControl::SetDblAsSingleClick;
  // Stores and marks dirty without asking for a second pass, the way
  // controls that show text from the plug-in do.
  void StoreFromPlug(double value) {
    SetValue(value);
    SetDirty(false);
  }

  std::vector<std::string> events;
  std::atomic<double> lastDrawnValue{-1.0};
  int draws = 0;
  bool takesKeys = true;
  std::function<void()> onDraw;

 private:
  void Log(const char* what, int x, int y) {
    events.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
  }

  int* mDeletions;
};
