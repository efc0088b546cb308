// Reading properties: every property the wrapper answers, with its scope and
// element checks, its size and whether it is writable.
#include <cstring>

#include "framework/au/CFAUPreset.h"
#include "framework/au/CFStrings.h"
#include "framework/au/IPlugAU.h"
#include "framework/au/detail/HostMemory.h"
#include "framework/plugin/Trace.h"

namespace {
bool InputOrGlobal(AudioUnitScope scope) {
  return scope == kAudioUnitScope_Input || scope == kAudioUnitScope_Global;
}
}  // namespace

ComponentResult IPlugAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                     AudioUnitElement element, UInt32* dataSize, Boolean* writable,
                                     void* data) {
  Trace("GetProperty", __LINE__, "(%u:%u:%u)", propID, scope, element);
  const bool global = scope == kAudioUnitScope_Global;
  switch (propID) {
    case kAudioUnitProperty_ClassInfo:
      return GetClassInfo(dataSize, writable, data);
    case kAudioUnitProperty_MakeConnection:
      *dataSize = sizeof(AudioUnitConnection);
      *writable = true;
      return InputOrGlobal(scope) ? ComponentResult{noErr} : kAudioUnitErr_InvalidProperty;
    case kAudioUnitProperty_SampleRate:
      *dataSize = sizeof(Float64);
      *writable = true;
      if (data) Put<Float64>(data, GetSampleRate());
      return noErr;
    case kAudioUnitProperty_ParameterList: {
      const int n = global ? NParams() : 0;
      *dataSize = static_cast<UInt32>(sizeof(AudioUnitParameterID) * n);
      for (int i = 0; data && i < n; ++i)
        Put<AudioUnitParameterID>(data, static_cast<AudioUnitParameterID>(i), i);
      return noErr;
    }
    case kAudioUnitProperty_ParameterInfo:
      *dataSize = sizeof(AudioUnitParameterInfo);
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (element >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidElement;
      return data ? GetParamInfo(element, static_cast<AudioUnitParameterInfo*>(data)) : noErr;
    case kAudioUnitProperty_FastDispatch:
      return GetProc(element, dataSize, data);
    case kAudioUnitProperty_StreamFormat:
      return GetStreamFormat(scope, element, dataSize, writable, data);
    case kAudioUnitProperty_ElementCount:
      return GetElementCount(scope, dataSize, data);
    case kAudioUnitProperty_Latency:
      *dataSize = sizeof(Float64);
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (data) Put<Float64>(data, GetLatency() / GetSampleRate());
      return noErr;
    case kAudioUnitProperty_SupportedNumChannels:
      return GetSupportedNumChannels(scope, dataSize, data);
    case kAudioUnitProperty_MaximumFramesPerSlice:
      *dataSize = sizeof(UInt32);
      *writable = true;
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (data) Put<UInt32>(data, static_cast<UInt32>(GetBlockSize()));
      return noErr;
    case kAudioUnitProperty_ParameterValueStrings:
      return GetParameterValueStrings(scope, element, dataSize, data);
    case kAudioUnitProperty_GetUIComponentList:
      *dataSize = sizeof(ComponentDescription);
      if (!DemandGUI()) return kAudioUnitErr_InvalidProperty;
      if (data) {
        Put(data, ComponentDescription{kAudioUnitCarbonViewComponentType,
                                       static_cast<OSType>(GetUniqueID()),
                                       static_cast<OSType>(GetMfrID()), 0, 0});
      }
      return noErr;
    case kAudioUnitProperty_AudioChannelLayout:
      return kAudioUnitErr_InvalidPropertyValue;
    case kAudioUnitProperty_TailTime:
      *dataSize = sizeof(Float64);
      *writable = GetTailSize() > 0;
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (data) Put<Float64>(data, GetTailSize() / GetSampleRate());
      return noErr;
    case kAudioUnitProperty_BypassEffect:
      *dataSize = sizeof(UInt32);
      *writable = true;
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (data) Put<UInt32>(data, IsBypassed() ? 1 : 0);
      return noErr;
    case kAudioUnitProperty_LastRenderError:
      *dataSize = sizeof(OSStatus);
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (data) Put<OSStatus>(data, noErr);
      return noErr;
    case kAudioUnitProperty_SetRenderCallback:
      *dataSize = sizeof(AURenderCallbackStruct);
      *writable = true;
      if (!InputOrGlobal(scope) || element >= static_cast<UInt32>(mInputBuses.GetSize())) {
        return kAudioUnitErr_InvalidProperty;
      }
      return noErr;
    case kAudioUnitProperty_FactoryPresets:
      return GetFactoryPresets(dataSize, data);
    case kAudioUnitProperty_HostCallbacks:
      *dataSize = sizeof(HostCallbackInfo);
      *writable = true;
      return global ? ComponentResult{noErr} : kAudioUnitErr_InvalidProperty;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      *dataSize = sizeof(AUPreset);
      *writable = true;
      if (data) {
        const int idx = GetCurrentPresetIdx();
        Put(data, AUPreset{idx, MakeCFString(GetPresetName(idx))});
      }
      return noErr;
    case kAudioUnitProperty_ElementName: {
      *dataSize = sizeof(CFStringRef);
      if (!data) return kAudioUnitErr_InvalidProperty;
      CFStringRef name = nullptr;
      const ComponentResult result = GetElementName(scope, element, &name);
      if (result == noErr) Put(data, name);
      return result;
    }
    case kAudioUnitProperty_CocoaUI:
      return GetCocoaUI(dataSize, data);
    case kAudioUnitProperty_SupportedChannelLayoutTags:
      return GetChannelLayoutTags(scope, element, dataSize, writable, data);
    case kAudioUnitProperty_ParameterStringFromValue:
      *dataSize = sizeof(AudioUnitParameterStringFromValue);
      return data && global ? GetParamText(propID, data) : noErr;
    case kAudioUnitProperty_ParameterIDName:
    case kAudioUnitProperty_ParameterClumpName:
      *dataSize = sizeof(AudioUnitParameterNameInfo);
      return data && global ? GetParamText(propID, data) : noErr;
    case kAudioUnitProperty_ParameterValueFromString:
      *dataSize = sizeof(AudioUnitParameterValueFromString);
      return data && global ? GetParamText(propID, data) : noErr;
    case kMusicDeviceProperty_InstrumentCount:
      *dataSize = sizeof(UInt32);
      if (!global || !IsInst()) return kAudioUnitErr_InvalidProperty;
      if (data) Put<UInt32>(data, 1);
      return noErr;
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IPlugAU::GetClassInfo(UInt32* dataSize, Boolean* writable, void* data) {
  *dataSize = sizeof(CFPropertyListRef);
  *writable = true;
  if (!data) return noErr;
  CFPropertyListRef state = nullptr;
  const ComponentResult result = GetState(&state);
  if (result == noErr) Put(data, state);
  return result;
}

ComponentResult IPlugAU::GetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         UInt32* dataSize, Boolean* writable, void* data) {
  *dataSize = sizeof(AudioStreamBasicDescription);
  *writable = true;
  const BusChannels* bus = GetBus(scope, element);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  if (data) {
    AudioStreamBasicDescription format;
    MakeDefaultASBD(&format, GetSampleRate(),
                    bus->mHostChannels < 0 ? bus->mPlugChannels : bus->mHostChannels, false);
    Put(data, format);
  }
  return noErr;
}

ComponentResult IPlugAU::GetElementCount(AudioUnitScope scope, UInt32* dataSize, void* data) {
  const bool global = scope == kAudioUnitScope_Global;
  *dataSize = sizeof(UInt32);
  UInt32 count = 0;
  if (scope == kAudioUnitScope_Input) count = static_cast<UInt32>(mInputBuses.GetSize());
  if (scope == kAudioUnitScope_Output) count = static_cast<UInt32>(mOutputBuses.GetSize());
  if (global) count = 1;
  if (data) Put(data, count);
  return noErr;
}

ComponentResult IPlugAU::GetSupportedNumChannels(AudioUnitScope scope, UInt32* dataSize,
                                                 void* data) {
  const bool global = scope == kAudioUnitScope_Global;
  const int n = mChannelIO.GetSize();
  *dataSize = static_cast<UInt32>(sizeof(AUChannelInfo) * n);
  if (!global) return kAudioUnitErr_InvalidProperty;
  for (int i = 0; data && i < n; ++i) {
    const ChannelIO* io = mChannelIO.Get(i);
    Put(data, AUChannelInfo{static_cast<SInt16>(io->mIn), static_cast<SInt16>(io->mOut)}, i);
  }
  return noErr;
}

ComponentResult IPlugAU::GetParameterValueStrings(AudioUnitScope scope, AudioUnitElement element,
                                                  UInt32* dataSize, void* data) {
  const bool global = scope == kAudioUnitScope_Global;
  *dataSize = sizeof(CFArrayRef);
  if (!global) return kAudioUnitErr_InvalidProperty;
  if (element >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidElement;
  const IParam* param = GetParam(static_cast<int>(element));
  const int n = param->GetNDisplayTexts();
  if (n <= 0) {
    *dataSize = 0;
    return kAudioUnitErr_InvalidProperty;
  }
  if (data) {
    CFMutableArrayRef texts = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
    if (!texts) return coreFoundationUnknownErr;
    for (int i = 0; i < n; ++i) {
      CFStrLocal text(param->GetDisplayText(i));
      CFArrayAppendValue(texts, text.Get());
    }
    Put<CFArrayRef>(data, texts);
  }
  return noErr;
}

ComponentResult IPlugAU::GetFactoryPresets(UInt32* dataSize, void* data) {
  *dataSize = sizeof(CFArrayRef);
  if (!data) return noErr;
  CFMutableArrayRef presets =
      CFArrayCreateMutable(kCFAllocatorDefault, NPresets(), &kCFAUPresetArrayCallBacks);
  if (!presets) return coreFoundationUnknownErr;
  for (int i = 0; i < NPresets(); ++i) {
    CFStrLocal name(GetPresetName(i));
    if (CFAUPresetRef preset = CFAUPresetCreate(kCFAllocatorDefault, i, name.Get())) {
      CFArrayAppendValue(presets, preset);
      CFAUPresetRelease(preset);
    }
  }
  Put<CFArrayRef>(data, presets);
  return noErr;
}

ComponentResult IPlugAU::GetCocoaUI(UInt32* dataSize, void* data) {
  // The window layer needs a system with Cocoa views (10.5 on the Mac);
  // every system this builds for has them.
  *dataSize = sizeof(AudioUnitCocoaViewInfo);
  if (!DemandGUI()) return kAudioUnitErr_InvalidProperty;
  CFStrLocal bundleID(mBundleID.Get());
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(bundleID.Get());
  if (!bundle) return kAudioUnitErr_InvalidProperty;
  if (data) {
    AudioUnitCocoaViewInfo info;
    info.mCocoaAUViewBundleLocation = CFBundleCopyBundleURL(bundle);
    info.mCocoaAUViewClass[0] = MakeCFString(mViewClassName.Get());
    Put(data, info);
  }
  return noErr;
}

ComponentResult IPlugAU::GetProc(AudioUnitElement selector, UInt32* dataSize, void* data) {
  *dataSize = sizeof(void*);
  switch (selector) {
    case kAudioUnitRenderSelect:
      if (data) Put<AudioUnitRenderProc>(data, RenderProc);
      return noErr;
    case kAudioUnitSetParameterSelect:
      if (data) Put<AudioUnitSetParameterProc>(data, SetParamProc);
      return noErr;
    case kAudioUnitGetParameterSelect:
      if (data) Put<AudioUnitGetParameterProc>(data, GetParamProc);
      return noErr;
    default:
      return kAudioUnitErr_InvalidElement;
  }
}

ComponentResult IPlugAU::GetElementName(AudioUnitScope scope, AudioUnitElement element,
                                        CFStringRef* name) {
  const WDL_String* label = nullptr;
  if (scope == kAudioUnitScope_Output) {
    if (element <= 0x7FFFFFFF) label = GetOutputBusLabel(static_cast<int>(element));
  } else if (scope == kAudioUnitScope_Input) {
    if (element <= 1) label = GetInputBusLabel(static_cast<int>(element));
  } else {
    return kAudioUnitErr_InvalidScope;
  }
  if (!label) return kAudioUnitErr_InvalidElement;
  *name = MakeCFString(label->Get());
  return noErr;
}

ComponentResult IPlugAU::GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element,
                                              UInt32* dataSize, Boolean* writable, void* data) {
  const bool hasTags = IsInst() && mOutputBuses.GetSize() != 1 &&
                       (scope == kAudioUnitScope_Output ||
                        (scope == kAudioUnitScope_Input && mInputBuses.GetSize() > 0));
  const BusChannels* bus = GetBus(kAudioUnitScope_Output, element);
  if (!hasTags || !bus) return kAudioUnitErr_InvalidProperty;
  *dataSize = sizeof(AudioChannelLayoutTag);
  *writable = true;
  if (data) {
    AudioChannelLayoutTag tag = kAudioChannelLayoutTag_Unknown;
    if (bus->mPlugChannels == 1) tag = kAudioChannelLayoutTag_Mono;
    if (bus->mPlugChannels == 2) tag = kAudioChannelLayoutTag_Stereo;
    Put(data, tag);
  }
  return noErr;
}
