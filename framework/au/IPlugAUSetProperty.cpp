// Writing properties. Listeners hear of every call first, whatever the
// outcome; a value the call's data cannot hold is refused before it is read.
#include <cmath>
#include <cstring>

#include "framework/au/CFStrings.h"
#include "framework/au/IPlugAU.h"
#include "framework/au/detail/HostMemory.h"
#include "framework/plugin/Trace.h"

namespace {
// The size of each writable property's value; 0 for the others.
UInt32 ValueSize(AudioUnitPropertyID propID) {
  switch (propID) {
    case kAudioUnitProperty_ClassInfo:
      return sizeof(CFPropertyListRef);
    case kAudioUnitProperty_MakeConnection:
      return sizeof(AudioUnitConnection);
    case kAudioUnitProperty_SampleRate:
      return sizeof(Float64);
    case kAudioUnitProperty_StreamFormat:
      return sizeof(AudioStreamBasicDescription);
    case kAudioUnitProperty_MaximumFramesPerSlice:
    case kAudioUnitProperty_BypassEffect:
    case kAudioUnitProperty_OfflineRender:
      return sizeof(UInt32);
    case kAudioUnitProperty_SetRenderCallback:
      return sizeof(AURenderCallbackStruct);
    case kAudioUnitProperty_HostCallbacks:
      return sizeof(HostCallbackInfo);
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      return sizeof(AUPreset);
    case kAudioUnitProperty_AUHostIdentifier:
      return sizeof(AUHostIdentifier);
    default:
      return 0;
  }
}
}  // namespace

ComponentResult IPlugAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                     AudioUnitElement element, UInt32 dataSize, const void* data) {
  Trace("SetProperty", __LINE__, "(%u:%u:%u)", propID, scope, element);
  InformListeners(propID, scope);
  const UInt32 valueSize = ValueSize(propID);
  if (!valueSize) return kAudioUnitErr_InvalidProperty;
  switch (propID) {
    case kAudioUnitProperty_MakeConnection:
      if (scope != kAudioUnitScope_Input && scope != kAudioUnitScope_Global) {
        return kAudioUnitErr_InvalidProperty;
      }
      break;
    case kAudioUnitProperty_SetRenderCallback:
      if (scope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidProperty;
      break;
    case kAudioUnitProperty_HostCallbacks:
      if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
      break;
  }
  if (!data || dataSize < valueSize) return kAudioUnitErr_InvalidPropertyValue;

  switch (propID) {
    case kAudioUnitProperty_ClassInfo:
      return SetState(Get<CFPropertyListRef>(data));
    case kAudioUnitProperty_MakeConnection: {
      const auto connection = Get<AudioUnitConnection>(data);
      return SetConnection(&connection);
    }
    case kAudioUnitProperty_SampleRate: {
      // Every rate-dependent law divides by it.
      const auto sampleRate = Get<Float64>(data);
      if (!(sampleRate >= kMinSampleRate) || !std::isfinite(sampleRate)) {
        return kAudioUnitErr_InvalidPropertyValue;
      }
      return SetSampleRateBesideRender(sampleRate) ? ComponentResult{noErr}
                                                   : kAudioUnitErr_CannotDoInCurrentContext;
    }
    case kAudioUnitProperty_StreamFormat: {
      const auto format = Get<AudioStreamBasicDescription>(data);
      return SetStreamFormat(scope, element, &format);
    }
    case kAudioUnitProperty_MaximumFramesPerSlice: {
      const auto frames = Get<UInt32>(data);
      if (frames > kMaxFramesPerSlice) return kAudioUnitErr_InvalidPropertyValue;
      return SetBlockSizeBesideRender(static_cast<int>(frames))
                 ? ComponentResult{noErr}
                 : kAudioUnitErr_CannotDoInCurrentContext;
    }
    case kAudioUnitProperty_BypassEffect: {
      const bool bypassed = Get<UInt32>(data) != 0;
      mIsBypassed.store(bypassed);
      OnActivate(!bypassed);
      ResetBesideRender();
      return noErr;
    }
    case kAudioUnitProperty_SetRenderCallback: {
      const auto callback = Get<AURenderCallbackStruct>(data);
      return SetInputCallback(element, &callback);
    }
    case kAudioUnitProperty_HostCallbacks:
      mHostCallbackInfo.Publish(std::make_unique<HostCallbackInfo>(Get<HostCallbackInfo>(data)));
      return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      RestorePreset(Get<AUPreset>(data).presetNumber);
      return noErr;
    case kAudioUnitProperty_OfflineRender:
      mOffline.store(Get<UInt32>(data) != 0, std::memory_order_relaxed);
      return noErr;
    case kAudioUnitProperty_AUHostIdentifier: {
      const auto host = Get<AUHostIdentifier>(data);
      const UInt8 minor = host.hostVersion.minorAndBugRev;
      const int version =
          (host.hostVersion.majorRev << 16) | ((minor & 0xF0) << 4) | (minor & 0x0F);
      CStrLocal name(host.hostName);
      SetHost(name.Get(), version);
      OnHostIdentified();
      return noErr;
    }
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}
