// Buses and their connections: stream formats, upstream units, render
// callbacks, channel checks and the float scratch buffers.
#include <cmath>
#include <cstring>

#include "framework/au/IPlugAU.h"
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
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    BusChannels* bus = mInputBuses.Get(i);
    InputBusConnection* connection = mInputConnections.Get(i);
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
    if (!bus->mConnected) continue;
    if (bus->mHostChannels < 0) bus->mHostChannels = bus->mPlugChannels;
    const int unconnected = bus->mPlugChannels - bus->mHostChannels;
    SetInputChannelConnections(bus->mFirstPlugChannel, bus->mHostChannels, true);
    SetInputChannelConnections(bus->mFirstPlugChannel + bus->mHostChannels,
                               unconnected > 0 ? unconnected : 0, false);
  }
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

ComponentResult IPlugAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         const AudioStreamBasicDescription* format) {
  BusChannels* bus = GetBus(scope, element);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  bus->mHostChannels = 0;
  const UInt32 nChannels = format->mChannelsPerFrame;
  // An input bus is pulled through a list on the stack and read into the
  // plug-in's own input channels: it cannot take more than either holds.
  const bool fits = scope != kAudioUnitScope_Input ||
                    (nChannels <= kMaxInputBusChannels &&
                     bus->mFirstPlugChannel + static_cast<int>(nChannels) <= NInChannels());
  const bool accepted =
      nChannels > 0 && nChannels <= 0x7FFFFFFF && fits &&
      CheckLegalIO(scope, static_cast<int>(element), static_cast<int>(nChannels)) &&
      format->mFormatID == kAudioFormatLinearPCM &&
      (format->mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked)) != 0;
  if (accepted) {
    bus->mHostChannels = static_cast<int>(nChannels);
    const double sampleRate = format->mSampleRate;
    if (sampleRate > 0.0 && std::isfinite(sampleRate) && sampleRate != GetSampleRate()) {
      SetSampleRate(sampleRate);
      // The effect is tuned to the rate of its last reset.
      Reset();
    }
  }
  AssessInputConnections();
  return accepted ? ComponentResult{noErr} : kAudioUnitErr_InvalidProperty;
}

ComponentResult IPlugAU::SetConnection(const AudioUnitConnection* connection) {
  if (connection->destInputNumber >= static_cast<UInt32>(mInputConnections.GetSize())) {
    return kAudioUnitErr_InvalidProperty;
  }
  InputBusConnection* record = mInputConnections.Get(static_cast<int>(connection->destInputNumber));
  *record = InputBusConnection{};
  AudioUnit source = connection->sourceAudioUnit;
  bool connected = false;
  // A unit fed by itself would pull itself forever.
  if (source && source != mComponent) {
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
    if (AudioUnitGetProperty(source, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                             kAudioUnitRenderSelect, &render, &size) == noErr &&
        render) {
      record->mUpstreamRender = render;
      record->mUpstreamObject = GetComponentInstanceStorage(source);
    }
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
