#include "framework/au/MakePlug.h"

#include "effect/Morvex.h"
#include "effect/MorvexIdentity.h"
#include "framework/base/WDL_Mutex.h"

// The bundle identifier is the one the build writes into the Info.plist.
IPlugAU* MakePlug() {
  static WDL_Mutex sConstructionMutex;
  WDL_MutexLock lock(&sConstructionMutex);
  IPlugInstanceInfo info;
  info.mBundleID.Set(kMorvexBundleID);
  info.mViewClassName.Set(kMorvexViewClass);
  return new Morvex(info);
}
