// Buses and their connections: stream formats, upstream units, render
// callbacks, channel checks and the float scratch buffers.
#include <cmath>
#include <cstring>

#include "framework/au/IPlugAU.h"
#include "framework/au/detail/ConnectionGraph.h"
#include "framework/plugin/Trace.h"

IPlugAU::BusChannels* IPlugAU::GetBus(AudioUnitScope scope, AudioUnitElement element) noexcept {
  switch (scope) {
    case kAudioUnitScope_Input:
      return element < static_cast<UInt32>(mInputBuses.GetSize()) ? mInputBuses.Get(element)
                                                                  : nullptr;
    case kAudioUnitScope_Global:
    case kAudioUnitScope_Output:
      return element < static_cast<UInt32>(mOutputBuses.GetSize()) ? mOutputBuses.Get(element)
                                                                   : nullptr;
    default:
      return nullptr;
  }
}

void IPlugAU::AssessInputConnections() {
  IMutexLock lock(this);
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    BusChannels* bus = mInputBuses.Get(i);
    InputBusConnection* connection = mInputConnections.Get(i);
    // An upstream unit of ours that was closed has cut itself off.
    if (connection->mUpstreamAlive && !connection->mUpstreamAlive->load()) {
      *connection = InputBusConnection{};
    }
    if (connection->mUpstreamRender && connection->mUpstreamObject) {
      connection->mInputType = eDirectFastProc;
    } else if (connection->mUpstreamUnit) {
      connection->mInputType = eDirectNoFastProc;
    } else if (connection->mInputCallback.inputProc) {
      connection->mInputType = eRenderCallback;
    } else {
      connection->mInputType = eNotConnected;
    }
    bus->mConnected = connection->mInputType != eNotConnected;
    if (bus->mConnected && bus->mHostChannels < 0) bus->mHostChannels = bus->mPlugChannels;
  }
  PublishRouting();
}

void IPlugAU::PublishRouting() {
  auto routing = std::make_unique<RenderRouting>();
  for (int i = 0; i < mInputBuses.GetSize(); ++i)
    routing->mInputs.push_back({*mInputBuses.Get(i), *mInputConnections.Get(i)});
  for (int i = 0; i < mOutputBuses.GetSize(); ++i)
    routing->mOutputHostChannels.push_back(mOutputBuses.Get(i)->mHostChannels);
  mRouting.Publish(std::move(routing));
}

int IPlugAU::NHostChannelsConnected(const WDL_PtrList<BusChannels>* buses, int excludeIdx) {
  int total = 0;
  bool counted = false;
  for (int i = 0; i < buses->GetSize(); ++i) {
    const int nHost = buses->Get(i)->mHostChannels;
    if (i != excludeIdx && nHost >= 0) {
      total += nHost;
      counted = true;
    }
  }
  return counted ? total : -1;
}

bool IPlugAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) {
  int nIn, nOut;
  if (scope == kAudioUnitScope_Input) {
    const int others = NHostChannelsConnected(&mInputBuses, busIdx);
    nIn = (others > 0 ? others : 0) + nChannels;
    nOut = mInitialized ? NHostChannelsConnected(&mOutputBuses) : -1;
  } else {
    const int others = NHostChannelsConnected(&mOutputBuses, busIdx);
    nIn = mInitialized ? NHostChannelsConnected(&mInputBuses) : -1;
    nOut = (others > 0 ? others : 0) + nChannels;
  }
  const bool legal = LegalIO(nIn, nOut);
  Trace("CheckLegalIO", __LINE__, "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

bool IPlugAU::CheckLegalIO() {
  const int nIn = NHostChannelsConnected(&mInputBuses);
  const int nOut = NHostChannelsConnected(&mOutputBuses);
  return (nIn == 0 && nOut == 0) || LegalIO(nIn, nOut);
}

namespace {
// The one linear PCM layout the render binds: native-endian 32-bit float,
// one buffer per channel, at a rate every rate-dependent law can divide by.
bool CanProcess(const AudioStreamBasicDescription& format) {
  const UInt32 flags = format.mFormatFlags;
  return (flags & kAudioFormatFlagIsFloat) && !(flags & kAudioFormatFlagIsBigEndian) &&
         (flags & kAudioFormatFlagIsNonInterleaved) && format.mBitsPerChannel == 32 &&
         std::isfinite(format.mSampleRate) && format.mSampleRate >= IPlugAU::kMinSampleRate;
}
}  // namespace

ComponentResult IPlugAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         const AudioStreamBasicDescription* format) {
  BusChannels* bus = GetBus(scope, element);
  if (!bus || format->mFormatID != kAudioFormatLinearPCM) return kAudioUnitErr_InvalidProperty;
  if (!CanProcess(*format)) return kAudioUnitErr_FormatNotSupported;
  const UInt32 nChannels = format->mChannelsPerFrame;
  // An input bus is pulled through a list on the stack and read into the
  // plug-in's own input channels: it cannot take more than either holds.
  const bool fits = scope != kAudioUnitScope_Input ||
                    (nChannels <= kMaxInputBusChannels &&
                     bus->mFirstPlugChannel + static_cast<int>(nChannels) <= NInChannels());
  if (nChannels == 0 || nChannels > 0x7FFFFFFF || !fits ||
      !CheckLegalIO(scope, static_cast<int>(element), static_cast<int>(nChannels))) {
    return kAudioUnitErr_InvalidProperty;
  }
  if (format->mSampleRate != GetSampleRate() && !SetSampleRateBesideRender(format->mSampleRate)) {
    return kAudioUnitErr_CannotDoInCurrentContext;
  }
  bus->mHostChannels = static_cast<int>(nChannels);
  AssessInputConnections();
  return noErr;
}

ComponentResult IPlugAU::SetConnection(const AudioUnitConnection* connection) {
  if (connection->destInputNumber >= static_cast<UInt32>(mInputConnections.GetSize())) {
    return kAudioUnitErr_InvalidProperty;
  }
  const UInt32 input = connection->destInputNumber;
  AudioUnit source = connection->sourceAudioUnit;
  // A unit that pulled itself, however far round, would render forever.
  if (source && !ConnectionGraph::Connect(mComponent, input, source)) {
    return kAudioUnitErr_InvalidPropertyValue;
  }
  InputBusConnection* record = mInputConnections.Get(static_cast<int>(input));
  *record = InputBusConnection{};
  bool connected = false;
  if (source) {
    AudioStreamBasicDescription format;
    UInt32 size = sizeof format;
    connected =
        AudioUnitGetProperty(source, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                             connection->sourceOutputNumber, &format, &size) == noErr &&
        SetStreamFormat(kAudioUnitScope_Input, connection->destInputNumber, &format) == noErr;
  }
  if (connected) {
    record->mUpstreamUnit = source;
    record->mUpstreamOutput = connection->sourceOutputNumber;
    AudioUnitRenderProc render = nullptr;
    UInt32 size = sizeof render;
    // Only a unit of ours says when it closes; others are pulled by handle,
    // which the Component Manager refuses once they are gone.
    if (AudioUnitGetProperty(source, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                             kAudioUnitRenderSelect, &render, &size) == noErr &&
        render == &IPlugAU::RenderProc) {
      auto* upstream = reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(source));
      if (upstream) {
        record->mUpstreamRender = render;
        record->mUpstreamObject = upstream;
        record->mUpstreamAlive = upstream->mAlive;
      }
    }
  } else {
    ConnectionGraph::Disconnect(mComponent, input);
  }
  AssessInputConnections();
  return connected || !source ? ComponentResult{noErr} : kAudioUnitErr_InvalidProperty;
}

ComponentResult IPlugAU::SetInputCallback(AudioUnitElement element,
                                          const AURenderCallbackStruct* callback) {
  if (element >= static_cast<UInt32>(mInputConnections.GetSize())) {
    return kAudioUnitErr_InvalidProperty;
  }
  InputBusConnection* record = mInputConnections.Get(static_cast<int>(element));
  *record = InputBusConnection{};
  ConnectionGraph::Disconnect(mComponent, element);
  if (callback->inputProc) record->mInputCallback = *callback;
  AssessInputConnections();
  return noErr;
}

void IPlugAU::SetBlockSize(int blockSize) {
  int frames = blockSize > 0 ? blockSize : 0;
  const long long nIn = static_cast<long long>(NInChannels()) * frames;
  const long long nOut = static_cast<long long>(NOutChannels()) * frames;
  // Rendering trusts the scratch to hold the block: without the memory the
  // plug-in renders nothing rather than past its buffers.
  if (nIn > 0x7FFFFFFF || nOut > 0x7FFFFFFF || !mInputScratch.ResizeOK(static_cast<int>(nIn)) ||
      !mOutputScratch.ResizeOK(static_cast<int>(nOut))) {
    frames = 0;
    mInputScratch.Resize(0);
    mOutputScratch.Resize(0);
  }
  if (mInputScratch.GetSize())
    memset(mInputScratch.Get(), 0, sizeof(float) * mInputScratch.GetSize());
  if (mOutputScratch.GetSize()) {
    memset(mOutputScratch.Get(), 0, sizeof(float) * mOutputScratch.GetSize());
  }
  IPlugBase::SetBlockSize(frames);
}

void IPlugAU::MakeDefaultASBD(AudioStreamBasicDescription* asbd, double sampleRate, int nChannels,
                              bool interleaved) {
  memset(asbd, 0, sizeof *asbd);
  asbd->mSampleRate = sampleRate;
  asbd->mFormatID = kAudioFormatLinearPCM;
  asbd->mFormatFlags = kAudioFormatFlagsCanonical;
  if (!interleaved) asbd->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
  asbd->mBitsPerChannel = 32;
  asbd->mChannelsPerFrame = static_cast<UInt32>(nChannels);
  asbd->mFramesPerPacket = 1;
  asbd->mBytesPerFrame = interleaved ? 4 * static_cast<UInt32>(nChannels) : 4;
  asbd->mBytesPerPacket = asbd->mBytesPerFrame;
}
