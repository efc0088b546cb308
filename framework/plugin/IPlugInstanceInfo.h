#pragma once

#include "framework/base/WDL_String.h"

// What a wrapper needs to find the plug-in's bundle and its editor view
// factory.
struct IPlugInstanceInfo {
  WDL_String mBundleID;
  WDL_String mViewClassName;
};
