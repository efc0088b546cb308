#include "effect/IPlug.h"
#include "effect/Morvex.h"
#include "effect/MorvexIdentity.h"
#include "framework/base/WDL_Mutex.h"

// The bundle identifier is the one the build writes into the Info.plist.
IPlug* MakePlug(IPlugInstanceInfo info) {
  static WDL_Mutex sConstructionMutex;
  WDL_MutexLock lock(&sConstructionMutex);
  info.mBundleID.Set(kMorvexBundleID);
  info.mViewClassName.Set(kMorvexViewClass);
  return new Morvex(info);
}
