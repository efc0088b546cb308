#pragma once

#include "framework/au/IPlugAU.h"

// One Carbon view instance: the view component and the plug-in whose editor
// it shows. The plug-in lists its views and clears mPlug when it goes away,
// so a view closed after its Audio Unit touches nothing.
struct CarbonViewRecord {
  ComponentInstance mView = nullptr;
  IPlugAU* mPlug = nullptr;
};
