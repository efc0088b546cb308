// Rendering: input pull, output binding, processing and the host's render
// notifications. Nothing here allocates; the only lock is the one a pending
// reset takes.
#include <cstddef>

#include "framework/au/IPlugAU.h"
#include "framework/au/detail/RenderExclusion.h"

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

// Marks a plug-in as rendering for the length of one render; a second
// render while it is (through a loop of units, or from another thread) is
// turned away instead of recursing.
class RenderPass {
 public:
  explicit RenderPass(std::atomic<bool>& rendering) noexcept
      : mRendering(rendering), mAdmitted(!rendering.exchange(true, std::memory_order_seq_cst)) {}
  ~RenderPass() {
    if (mAdmitted) mRendering.store(false, std::memory_order_seq_cst);
  }
  RenderPass(const RenderPass&) = delete;
  RenderPass& operator=(const RenderPass&) = delete;
  bool Admitted() const noexcept { return mAdmitted; }

 private:
  std::atomic<bool>& mRendering;
  const bool mAdmitted;
};
}  // namespace

OSStatus IPlugAU::RenderProc(void* storage, AudioUnitRenderActionFlags* flags,
                             const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                             AudioBufferList* bufferList) noexcept {
  auto* plug = static_cast<IPlugAU*>(storage);
  if (!plug) return badComponentInstance;
  const RenderReaders::Scope readers;
  if (!plug->mAlive->load(std::memory_order_seq_cst)) return badComponentInstance;
  const RenderPass pass(plug->mRendering);
  // A rate or block size being changed is not read half-written.
  if (!pass.Admitted() || RenderExclusion::Announced(plug->mReconfiguring)) {
    return kAudioUnitErr_CannotDoInCurrentContext;
  }
  AudioUnitRenderActionFlags localFlags = 0;
  return plug->Render(flags ? flags : &localFlags, timeStamp, outputBus, nFrames, bufferList);
}

void IPlugAU::ResetBesideRender() {
  const RenderExclusion exclusion(mResetting, mRendering);
  if (exclusion.Granted()) {
    Reset();
  } else {
    mResetPending.store(true, std::memory_order_seq_cst);
  }
}

bool IPlugAU::SetSampleRateBesideRender(double sampleRate) {
  const RenderExclusion exclusion(mReconfiguring, mRendering);
  if (!exclusion.Granted()) return false;
  SetSampleRate(sampleRate);
  // The effect is tuned to the rate of its last reset.
  Reset();
  return true;
}

bool IPlugAU::SetBlockSizeBesideRender(int blockSize) {
  const RenderExclusion exclusion(mReconfiguring, mRendering);
  if (!exclusion.Granted()) return false;
  SetBlockSize(blockSize);
  // The inputs were read into scratch memory that may have moved: the next
  // render reads them again, even for the time stamp it last read.
  SetInputChannelConnections(0, NInChannels(), false);
  mLastRenderTime = -1.0;
  Reset();
  return true;
}

OSStatus IPlugAU::RenderCallback(const AURenderCallbackStruct* callback,
                                 AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                 UInt32 bus, UInt32 nFrames, AudioBufferList* bufferList) noexcept {
  return callback->inputProc(callback->inputProcRefCon, flags, timeStamp, bus, nFrames, bufferList);
}

void IPlugAU::SendRenderNotifications(AudioUnitRenderActionFlags action,
                                      AudioUnitRenderActionFlags* flags,
                                      const AudioTimeStamp* timeStamp, UInt32 outputBus,
                                      UInt32 nFrames, AudioBufferList* bufferList) noexcept {
  constexpr AudioUnitRenderActionFlags kPhases =
      kAudioUnitRenderAction_PreRender | kAudioUnitRenderAction_PostRender;
  for (const AURenderCallbackStruct& notifier : mRenderNotifiers.Get()) {
    *flags = (*flags & ~kPhases) | action;
    RenderCallback(&notifier, flags, timeStamp, outputBus, nFrames, bufferList);
  }
}

OSStatus IPlugAU::PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames) noexcept {
  PullList pull;
  AudioBufferList* list = reinterpret_cast<AudioBufferList*>(&pull);
  SetInputChannelConnections(0, NInChannels(), false);
  const RenderRouting& routing = mRouting.Get();
  for (size_t busIdx = 0; busIdx < routing.mInputs.size(); ++busIdx) {
    const BusChannels& bus = routing.mInputs[busIdx].mBus;
    const InputBusConnection& connection = routing.mInputs[busIdx].mConnection;
    // A closed upstream unit of ours counts as disconnected.
    if (!bus.mConnected || (connection.mUpstreamAlive &&
                            !connection.mUpstreamAlive->load(std::memory_order_seq_cst))) {
      continue;
    }
    const int nChannels =
        bus.mHostChannels < kMaxInputBusChannels ? bus.mHostChannels : kMaxInputBusChannels;
    pull.mNumberBuffers = static_cast<UInt32>(nChannels);
    for (int c = 0; c < nChannels; ++c)
      pull.mBuffers[c] = {1, nFrames * static_cast<UInt32>(sizeof(float)), nullptr};
    AudioUnitRenderActionFlags flags = 0;
    OSStatus status = noErr;
    switch (connection.mInputType) {
      case eRenderCallback:
        for (int c = 0; c < nChannels; ++c)
          pull.mBuffers[c].mData = mInputScratch.Get() + (bus.mFirstPlugChannel + c) * nFrames;
        status = RenderCallback(&connection.mInputCallback, &flags, timeStamp,
                                static_cast<UInt32>(busIdx), nFrames, list);
        break;
      case eDirectNoFastProc:
        status = AudioUnitRender(connection.mUpstreamUnit, &flags, timeStamp,
                                 connection.mUpstreamOutput, nFrames, list);
        break;
      case eDirectFastProc:
        status = connection.mUpstreamRender(connection.mUpstreamObject, &flags, timeStamp,
                                            connection.mUpstreamOutput, nFrames, list);
        break;
      default:
        break;
    }
    if (status != noErr) return status;
    // The source may have swapped in buffers of its own; none may be short.
    for (int c = 0; c < nChannels; ++c) {
      if (!HoldsFrames(pull.mBuffers[c], nFrames)) return kAudioUnitErr_InvalidPropertyValue;
    }
    const int unconnected = bus.mPlugChannels - nChannels;
    SetInputChannelConnections(bus.mFirstPlugChannel, nChannels, true);
    SetInputChannelConnections(bus.mFirstPlugChannel + nChannels, unconnected > 0 ? unconnected : 0,
                               false);
    for (int c = 0; c < nChannels; ++c) {
      float* data = static_cast<float*>(pull.mBuffers[c].mData);
      AttachInputBuffers(bus.mFirstPlugChannel + c, 1, &data, static_cast<int>(nFrames));
    }
  }
  return noErr;
}

OSStatus IPlugAU::Render(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
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

  SendRenderNotifications(kAudioUnitRenderAction_PreRender, flags, timeStamp, outputBus, nFrames,
                          bufferList);

  if (timeStamp->mSampleTime != mLastRenderTime) {
    const OSStatus status = PullInputs(timeStamp, nFrames);
    if (status != noErr) return status;
    mLastRenderTime = timeStamp->mSampleTime;
  }

  // Bound afresh on every render, so a host that changes its buffer count
  // between renders gets every buffer it passes written.
  const UInt32 nHost = static_cast<UInt32>(mRouting.Get().mOutputHostChannels[outputBus]);
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
    // While the host resets the effect it is left alone for this block.
    const bool resetting = RenderExclusion::Announced(mResetting);
    if (!resetting && mResetPending.exchange(false, std::memory_order_seq_cst)) Reset();
    if (IsBypassed() || resetting) {
      PassThroughBuffers(0.0f, static_cast<int>(nFrames));
    } else {
      ProcessBuffers(0.0f, static_cast<int>(nFrames));
    }
  }

  SendRenderNotifications(kAudioUnitRenderAction_PostRender, flags, timeStamp, outputBus, nFrames,
                          bufferList);
  return noErr;
}
