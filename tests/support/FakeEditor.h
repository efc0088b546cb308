#pragma once

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/plugin/IPlugEditor.h"

namespace test_support {

// An editor that records what the plug-in asks of it, in order.
class FakeEditor : public IPlugEditor {
 public:
  explicit FakeEditor(bool* destroyed = nullptr) : mDestroyed(destroyed) {}
  ~FakeEditor() override {
    if (mDestroyed) *mDestroyed = true;
  }
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override {
    calls.emplace_back(paramIdx, value, normalized);
  }
  void PrepDraw() override { prepDrawsAfterCalls.push_back(static_cast<int>(calls.size())); }
  void SetControlFromPlug(int controlIdx, double value) override {
    controls.emplace_back(controlIdx, value);
  }
  void GrayOutControl(int paramIdx, bool gray) override { grays.emplace_back(paramIdx, gray); }
  void* OpenWindow(void*) override { return OpenWindow(nullptr, nullptr, 0, 0); }
  void* OpenWindow(void*, void*, short, short) override {
    ++opened;
    mWindow = reinterpret_cast<void*>(static_cast<uintptr_t>(opened));
    return mWindow;
  }
  void CloseWindow() override {
    ++closed;
    mWindow = nullptr;
  }
  void* GetWindow() override { return mWindow; }

  // The values sent to controls, in order.
  std::vector<double> values() const {
    std::vector<double> v;
    for (const auto& c : controls)
      v.push_back(c.second);
    return v;
  }

  std::vector<std::tuple<int, double, bool>> calls;  // parameter, value, normalised
  std::vector<int> prepDrawsAfterCalls;              // calls made before each PrepDraw
  std::vector<std::pair<int, double>> controls;
  std::vector<std::pair<int, bool>> grays;
  int opened = 0, closed = 0;

 private:
  bool* mDestroyed;
  void* mWindow = nullptr;
};

}  // namespace test_support
