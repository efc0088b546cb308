#pragma once

#include "framework/base/WDL_String.h"

class IEventLoop;

// What a wrapper needs to find the plug-in's bundle and its editor view
// factory.
struct IPlugInstanceInfo {
  WDL_String mBundleID;
  WDL_String mViewClassName;
  // The folder holding the editor's images, for wrappers whose host names
  // the bundle by its path rather than its identifier; empty otherwise.
  WDL_String mResourceFolder;
  // False for an instance whose host shows no editor of it: an LV2 plug-in
  // whose user interface is a separate instance.
  bool mWithEditor = true;
  // The loop of the thread the editor will run on, which the wrapper's
  // host turns; without one the editor has no window and draws off screen.
  IEventLoop* mEventLoop = nullptr;
};
