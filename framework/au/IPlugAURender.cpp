// Rendering: input pull, output binding, processing and the host's render
// notifications. Nothing here allocates or locks.
#include <cstddef>

#include "framework/au/IPlugAU.h"

namespace {
// An AudioBufferList with room for every channel an input bus may have.
struct PullList {
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[IPlugAU::kMaxInputBusChannels];
};
static_assert(offsetof(PullList, mBuffers) == offsetof(AudioBufferList, mBuffers),
              "a pull list reads as an AudioBufferList");

bool HoldsFrames(const AudioBuffer& buffer, UInt32 nFrames) {
  return !buffer.mData || buffer.mDataByteSize / sizeof(float) >= nFrames;
}
}  // namespace

OSStatus IPlugAU::RenderProc(void* storage, AudioUnitRenderActionFlags* flags,
                             const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                             AudioBufferList* bufferList) noexcept {
  auto* plug = static_cast<IPlugAU*>(storage);
  if (!plug) return badComponentInstance;
  return plug->Render(flags, timeStamp, outputBus, nFrames, bufferList);
}

OSStatus IPlugAU::RenderCallback(const AURenderCallbackStruct* callback,
                                 AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                 UInt32 bus, UInt32 nFrames, AudioBufferList* bufferList) noexcept {
  return callback->inputProc(callback->inputProcRefCon, flags, timeStamp, bus, nFrames, bufferList);
}

void IPlugAU::SendRenderNotifications(AudioUnitRenderActionFlags action,
                                      const AudioTimeStamp* timeStamp, UInt32 outputBus,
                                      UInt32 nFrames, AudioBufferList* bufferList) noexcept {
  for (int i = 0; i < mRenderNotifiers.GetSize(); ++i) {
    const AURenderCallbackStruct notifier = *mRenderNotifiers.Get(i);
    AudioUnitRenderActionFlags flags = action;
    RenderCallback(&notifier, &flags, timeStamp, outputBus, nFrames, bufferList);
  }
}

OSStatus IPlugAU::PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames) noexcept {
  PullList pull;
  AudioBufferList* list = reinterpret_cast<AudioBufferList*>(&pull);
  for (int busIdx = 0; busIdx < mInputBuses.GetSize(); ++busIdx) {
    const BusChannels* bus = mInputBuses.Get(busIdx);
    const InputBusConnection* connection = mInputConnections.Get(busIdx);
    if (!bus->mConnected) continue;
    const int nChannels =
        bus->mHostChannels < kMaxInputBusChannels ? bus->mHostChannels : kMaxInputBusChannels;
    pull.mNumberBuffers = static_cast<UInt32>(nChannels);
    for (int c = 0; c < nChannels; ++c)
      pull.mBuffers[c] = {1, nFrames * static_cast<UInt32>(sizeof(float)), nullptr};
    AudioUnitRenderActionFlags flags = 0;
    OSStatus status = noErr;
    switch (connection->mInputType) {
      case eRenderCallback:
        for (int c = 0; c < nChannels; ++c)
          pull.mBuffers[c].mData = mInputScratch.Get() + (bus->mFirstPlugChannel + c) * nFrames;
        status = RenderCallback(&connection->mInputCallback, &flags, timeStamp,
                                static_cast<UInt32>(busIdx), nFrames, list);
        break;
      case eDirectNoFastProc:
        status = AudioUnitRender(connection->mUpstreamUnit, &flags, timeStamp,
                                 connection->mUpstreamOutput, nFrames, list);
        break;
      case eDirectFastProc:
        status = connection->mUpstreamRender(connection->mUpstreamObject, &flags, timeStamp,
                                             connection->mUpstreamOutput, nFrames, list);
        break;
      default:
        break;
    }
    if (status != noErr) return status;
    // The source may have swapped in buffers of its own; none may be short.
    for (int c = 0; c < nChannels; ++c) {
      if (!HoldsFrames(pull.mBuffers[c], nFrames)) return kAudioUnitErr_InvalidPropertyValue;
    }
    for (int c = 0; c < nChannels; ++c) {
      float* data = static_cast<float*>(pull.mBuffers[c].mData);
      AttachInputBuffers(bus->mFirstPlugChannel + c, 1, &data, static_cast<int>(nFrames));
    }
  }
  return noErr;
}

OSStatus IPlugAU::Render(AudioUnitRenderActionFlags*, const AudioTimeStamp* timeStamp,
                         UInt32 outputBus, UInt32 nFrames, AudioBufferList* bufferList) noexcept {
  if (!timeStamp || !(timeStamp->mFlags & kAudioTimeStampSampleTimeValid) ||
      outputBus >= static_cast<UInt32>(mOutputBuses.GetSize()) ||
      nFrames > static_cast<UInt32>(GetBlockSize()) || !bufferList) {
    return kAudioUnitErr_InvalidPropertyValue;
  }
  BusChannels* bus = mOutputBuses.Get(static_cast<int>(outputBus));
  // Only buffers that map onto this bus's channels are touched, and each of
  // them must hold the frames asked for.
  const UInt32 nBuffers = bufferList->mNumberBuffers;
  const UInt32 nBound =
      nBuffers < static_cast<UInt32>(bus->mPlugChannels) ? nBuffers : bus->mPlugChannels;
  for (UInt32 i = 0; i < nBound; ++i) {
    if (!HoldsFrames(bufferList->mBuffers[i], nFrames)) return kAudioUnitErr_InvalidPropertyValue;
  }

  SendRenderNotifications(kAudioUnitRenderAction_PreRender, timeStamp, outputBus, nFrames,
                          bufferList);

  if (timeStamp->mSampleTime != mLastRenderTime) {
    const OSStatus status = PullInputs(timeStamp, nFrames);
    if (status != noErr) return status;
    mLastRenderTime = timeStamp->mSampleTime;
  }

  // Bound afresh on every render, so a host that changes its buffer count
  // between renders gets every buffer it passes written.
  const UInt32 nHost = static_cast<UInt32>(bus->mHostChannels);
  const int nConnected = static_cast<int>(nHost < nBound ? nHost : nBound);
  SetOutputChannelConnections(bus->mFirstPlugChannel, nConnected, true);
  SetOutputChannelConnections(bus->mFirstPlugChannel + nConnected, bus->mPlugChannels - nConnected,
                              false);
  bus->mConnected = true;

  for (UInt32 i = 0; i < nBound; ++i) {
    AudioBuffer& buffer = bufferList->mBuffers[i];
    const int channel = bus->mFirstPlugChannel + static_cast<int>(i);
    if (!buffer.mData) buffer.mData = mOutputScratch.Get() + channel * nFrames;
    float* data = static_cast<float*>(buffer.mData);
    AttachOutputBuffers(channel, 1, &data);
  }

  const int nBuses = mOutputBuses.GetSize();
  int lastConnected = nBuses - 1;
  for (int i = 0; i < nBuses; ++i) {
    if (!mOutputBuses.Get(i)->mConnected) {
      lastConnected = i - 1;
      break;
    }
  }
  if (static_cast<int>(outputBus) == lastConnected) {
    const int following = nBuses - static_cast<int>(outputBus) - 1;
    if (following > 0) {
      SetOutputChannelConnections(2 * (static_cast<int>(outputBus) + 1), 2 * following, false);
    }
    if (IsBypassed()) {
      PassThroughBuffers(0.0f, static_cast<int>(nFrames));
    } else {
      ProcessBuffers(0.0f, static_cast<int>(nFrames));
    }
  }

  SendRenderNotifications(kAudioUnitRenderAction_PostRender, timeStamp, outputBus, nFrames,
                          bufferList);
  return noErr;
}
