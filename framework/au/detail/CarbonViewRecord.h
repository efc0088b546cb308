#pragma once

#include "framework/au/IPlugAU.h"

// One Carbon view instance: the view component, the plug-in whose editor
// it shows and the window it opened, which it alone may close. The plug-in lists its views and
// clears mPlug when it goes away, so a view closed after its Audio Unit touches nothing.
struct CarbonViewRecord {
  ComponentInstance mView = nullptr;
  IPlugAU* mPlug = nullptr;
  void* mWindow = nullptr;
};
