#include "framework/au/MakePlug.h"

#include "effect/Morvex.h"
#include "framework/base/WDL_Mutex.h"

// MORVEX_BUNDLE_ID comes from the build, which writes the same text into
// the bundle's Info.plist.
IPlugAU* MakePlug() {
  static WDL_Mutex sConstructionMutex;
  WDL_MutexLock lock(&sConstructionMutex);
  IPlugInstanceInfo info;
  info.mBundleID.Set(MORVEX_BUNDLE_ID);
  info.mViewClassName.Set("Morvex_View");
  return new Morvex(info);
}
