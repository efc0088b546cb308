// Construction, destruction, host identification and the small operations
// of the base that the Audio Unit face replaces.
#include "framework/au/IPlugAU.h"

#include <cstdio>

#include "framework/au/CFStrings.h"
#include "framework/au/detail/CarbonViewRecord.h"
#include "framework/au/detail/ConnectionGraph.h"
#include "framework/base/MorvexAssert.h"
#include "framework/plugin/Trace.h"

namespace {
void AddBus(WDL_PtrList<IPlugAU::BusChannels>* buses, int nPlugChannels, int firstPlugChannel) {
  buses->Add(new IPlugAU::BusChannels{false, -1, nPlugChannels, firstPlugChannel});
}

void AddConnection(WDL_PtrList<IPlugAU::InputBusConnection>* connections) {
  connections->Add(new IPlugAU::InputBusConnection{});
}
}  // namespace

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                 int nPresets, const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int plugScChans)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU),
      mBundleID(instanceInfo.mBundleID),
      mViewClassName(instanceInfo.mViewClassName) {
  Trace("IPlugAU", __LINE__, "%s", mBundleID.Get());
  const int nIn = NInChannels();
  if (plugScChans > 0 && nIn > 0) {
    MORVEX_ASSERT(plugScChans <= nIn);
    AddBus(&mInputBuses, nIn - plugScChans, 0);
    AddBus(&mInputBuses, plugScChans, nIn - plugScChans);
    AddConnection(&mInputConnections);
    AddConnection(&mInputConnections);
    SetInputBusLabel(0, "main input");
    SetInputBusLabel(1, "aux input");
  } else if (nIn > 0) {
    AddBus(&mInputBuses, nIn, 0);
    AddConnection(&mInputConnections);
    SetInputBusLabel(0, "input");
    SetInputBusLabel(1, "aux input");
  }

  const int nOut = NOutChannels();
  if (IsInst()) {
    for (int bus = 0; 2 * bus < nOut; ++bus) {
      const int first = 2 * bus;
      AddBus(&mOutputBuses, nOut - first < 2 ? nOut - first : 2, first);
      char label[32];
      snprintf(label, sizeof label, "output %i", bus + 1);
      SetOutputBusLabel(bus, label);
    }
  } else {
    AddBus(&mOutputBuses, nOut, 0);
    SetOutputBusLabel(0, "output");
  }

  AssessInputConnections();
  SetBlockSize(1024);
  AddLivePlug(this);
}

IPlugAU::~IPlugAU() {
  RemoveLivePlug(this);
  for (int i = 0; i < mCarbonViews.GetSize(); ++i)
    mCarbonViews.Get(i)->mPlug = nullptr;
  mCarbonViews.Empty();
  mInputBuses.Empty(true);
  mOutputBuses.Empty(true);
  mInputConnections.Empty(true);
  mParamGroups.Empty();
  if (mComponent) ConnectionGraph::Forget(mComponent);
}

void IPlugAU::Close() {
  mAlive->store(false, std::memory_order_seq_cst);
  if (mComponent) ConnectionGraph::Forget(mComponent);
  RenderReaders::Retire(this);
}

EHost IPlugAU::GetHost() {
  if (mHost == kHostUninit) {
    CFBundleRef mainBundle = CFBundleGetMainBundle();
    CFStringRef identifier = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
    if (identifier) {
      CStrLocal text(identifier);
      SetHost(text.Get(), 0);
    }
    if (mHost == kHostUninit) SetHost("", 0);
  }
  return mHost;
}

void IPlugAU::HostSpecificInit() {
  GetHost();
  OnHostIdentified();
}

void IPlugAU::ResizeGraphics(int, int) {
  if (GetGUI()) OnWindowResize();
}

bool IPlugAU::SendMidiMsg(IMidiMsg*) noexcept {
  return false;
}

bool IPlugAU::IsRenderingOffline() noexcept {
  return mOffline.load(std::memory_order_relaxed);
}

const char* AUInputTypeStr(int type) {
  switch (type) {
    case IPlugAU::eDirectFastProc:
      return "DirectFastProc";
    case IPlugAU::eDirectNoFastProc:
      return "DirectNoFastProc";
    case IPlugAU::eRenderCallback:
      return "RenderCallback";
    default:
      return "NotConnected";
  }
}
