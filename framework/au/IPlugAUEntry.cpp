// The component entry: selector dispatch, instance lifecycle, listeners,
// render notifications, scheduled parameters and the music-device selectors.
#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/au/IPlugAU.h"
#include "framework/au/MakePlug.h"
#include "framework/au/detail/HostMemory.h"
#include "framework/base/NumericConversions.h"
#include "framework/plugin/Trace.h"

namespace {
// Argument slots each selector reads; a shorter block is refused rather than
// read past its end.
unsigned ArgSlots(SInt16 select) {
  switch (select) {
    case kComponentOpenSelect:
    case kComponentCloseSelect:
    case kComponentCanDoSelect:
      return 1;
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitRenderSelect:
    case kMusicDeviceStartNoteSelect:
      return 5;
    case kAudioUnitGetParameterSelect:
    case kMusicDeviceMIDIEventSelect:
      return 4;
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    case kMusicDeviceStopNoteSelect:
      return 3;
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
    case kMusicDeviceSysExSelect:
      return 2;
    default:
      return 0;
  }
}

// Publishes the list without its first item that matches, when one does.
template <typename T, typename Match>
void RemoveFirst(Published<std::vector<T>>* list, Match matches) {
  const std::vector<T>& current = list->Get();
  if (std::none_of(current.begin(), current.end(), matches)) return;
  list->Update([&](std::vector<T>& items) {
    items.erase(std::find_if(items.begin(), items.end(), matches));
  });
}

// The selectors a host may ask about and get 1: the Audio Unit calls the
// entry serves itself. The component selectors, the music device's, removing
// a listener by user data and the view's answer 0.
bool CanDo(UInt32 select) {
  switch (select) {
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitRenderSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
      return true;
    default:
      return false;
  }
}
}  // namespace

ComponentResult IPlugAU::IPlugAUEntry(ComponentParameters* params, Handle storage) {
  if (!params) return paramErr;
  const SInt16 select = params->what;
  Trace("IPlugAUEntry", __LINE__, "(%d)", select);
  if (params->paramSize < ArgSlots(select) * sizeof(long)) return paramErr;

  if (select == kComponentOpenSelect) {
    IPlugAU* plug = MakePlug();
    plug->HostSpecificInit();
    plug->PruneUninitializedPresets();
    plug->mComponent = Arg<AudioUnit>(params, 0);
    SetComponentInstanceStorage(plug->mComponent, reinterpret_cast<Handle>(plug));
    return noErr;
  }

  IPlugAU* plug = reinterpret_cast<IPlugAU*>(storage);
  if (!plug) return badComponentInstance;

  if (select == kComponentCloseSelect) {
    plug->Close();
    return noErr;
  }

  IMutexLock lock(plug);
  return plug->Dispatch(select, params);
}

ComponentResult IPlugAU::Dispatch(SInt16 select, const ComponentParameters* params) {
  switch (select) {
    case kComponentCanDoSelect:
      return CanDo(static_cast<UInt32>(params->params[0])) ? 1 : 0;
    case kComponentVersionSelect:
      return GetEffectVersion(false);
    case kAudioUnitInitializeSelect:
      if (!CheckLegalIO()) return badComponentSelector;
      mInitialized = true;
      mCanRender = true;
      OnParamReset();
      OnActivate(true);
      return noErr;
    case kAudioUnitUninitializeSelect:
      mInitialized = false;
      mCanRender = false;
      OnActivate(false);
      return noErr;
    case kAudioUnitGetPropertyInfoSelect:
      return EntryGetPropertyInfo(params);
    case kAudioUnitGetPropertySelect:
      return EntryGetProperty(params);
    case kAudioUnitSetPropertySelect:
      return SetProperty(Arg<AudioUnitPropertyID>(params, 4), Arg<AudioUnitScope>(params, 3),
                         Arg<AudioUnitElement>(params, 2), Arg<UInt32>(params, 0),
                         Arg<const void*>(params, 1));
    case kAudioUnitGetParameterSelect:
      return GetParamProc(this, Arg<AudioUnitParameterID>(params, 3),
                          Arg<AudioUnitScope>(params, 2), Arg<AudioUnitElement>(params, 1),
                          Arg<AudioUnitParameterValue*>(params, 0));
    case kAudioUnitSetParameterSelect:
      return SetParamProc(this, Arg<AudioUnitParameterID>(params, 4),
                          Arg<AudioUnitScope>(params, 3), Arg<AudioUnitElement>(params, 2),
                          Arg<AudioUnitParameterValue>(params, 1), Arg<UInt32>(params, 0));
    case kAudioUnitResetSelect:
      ResetBesideRender();
      return noErr;
    case kAudioUnitAddPropertyListenerSelect:
      return EntryAddPropertyListener(params);
    case kAudioUnitRemovePropertyListenerSelect:
      return EntryRemovePropertyListener(params, false);
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      return EntryRemovePropertyListener(params, true);
    case kAudioUnitRenderSelect:
      return RenderProc(this, Arg<AudioUnitRenderActionFlags*>(params, 4),
                        Arg<const AudioTimeStamp*>(params, 3), Arg<UInt32>(params, 2),
                        Arg<UInt32>(params, 1), Arg<AudioBufferList*>(params, 0));
    case kAudioUnitAddRenderNotifySelect:
      return EntryAddRenderNotify(params);
    case kAudioUnitRemoveRenderNotifySelect: {
      const auto proc = Arg<AURenderCallback>(params, 1);
      RemoveFirst(&mRenderNotifiers,
                  [&](const AURenderCallbackStruct& n) { return n.inputProc == proc; });
      return noErr;
    }
    case kAudioUnitScheduleParametersSelect:
      return EntryScheduleParameters(params);
    case kMusicDeviceMIDIEventSelect:
    case kMusicDeviceSysExSelect:
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
    case kMusicDeviceStartNoteSelect:
    case kMusicDeviceStopNoteSelect:
      return EntryMusicDevice(select, params);
    default:
      return badComponentSelector;
  }
}

ComponentResult IPlugAU::EntryGetPropertyInfo(const ComponentParameters* params) {
  // The property switch fills in a size and flag before it finds the scope or
  // element wrong; a refusal must not hand those to the host as an answer.
  UInt32 size = 0;
  Boolean writable = false;
  const ComponentResult result =
      GetProperty(Arg<AudioUnitPropertyID>(params, 4), Arg<AudioUnitScope>(params, 3),
                  Arg<AudioUnitElement>(params, 2), &size, &writable, nullptr);
  if (result != noErr) return result;
  if (auto* outSize = Arg<UInt32*>(params, 1)) *outSize = size;
  if (auto* outWritable = Arg<Boolean*>(params, 0)) *outWritable = writable;
  return noErr;
}

ComponentResult IPlugAU::EntryGetProperty(const ComponentParameters* params) {
  const auto propID = Arg<AudioUnitPropertyID>(params, 4);
  const auto scope = Arg<AudioUnitScope>(params, 3);
  const auto element = Arg<AudioUnitElement>(params, 2);
  void* data = Arg<void*>(params, 1);
  UInt32* size = Arg<UInt32*>(params, 0);
  UInt32 localSize = 0;
  Boolean writable = false;
  if (data && size) {
    // A host that says how much room it has gets nothing written past it.
    UInt32 needed = 0;
    GetProperty(propID, scope, element, &needed, &writable, nullptr);
    if (needed > *size) return kAudioUnitErr_InvalidPropertyValue;
    writable = false;
  }
  return GetProperty(propID, scope, element, size ? size : &localSize, &writable, data);
}

ComponentResult IPlugAU::EntryAddPropertyListener(const ComponentParameters* params) {
  const PropertyListener listener{Arg<AudioUnitPropertyID>(params, 2),
                                  Arg<AudioUnitPropertyListenerProc>(params, 1),
                                  Arg<void*>(params, 0)};
  // Calling a null procedure later would crash the host's own thread.
  if (!listener.mProc) return paramErr;
  for (const PropertyListener& existing : mListeners.Get()) {
    if (existing.mPropertyID == listener.mPropertyID && existing.mProc == listener.mProc) {
      return noErr;
    }
  }
  mListeners.Update([&](std::vector<PropertyListener>& list) { list.push_back(listener); });
  return noErr;
}

ComponentResult IPlugAU::EntryRemovePropertyListener(const ComponentParameters* params,
                                                     bool withUserData) {
  const int base = withUserData ? 1 : 0;
  const auto propID = Arg<AudioUnitPropertyID>(params, base + 1);
  const auto proc = Arg<AudioUnitPropertyListenerProc>(params, base);
  void* userData = withUserData ? Arg<void*>(params, 0) : nullptr;
  RemoveFirst(&mListeners, [&](const PropertyListener& l) {
    return l.mPropertyID == propID && l.mProc == proc && (!withUserData || l.mUserData == userData);
  });
  return noErr;
}

ComponentResult IPlugAU::EntryAddRenderNotify(const ComponentParameters* params) {
  const AURenderCallbackStruct notifier{Arg<AURenderCallback>(params, 1), Arg<void*>(params, 0)};
  if (!notifier.inputProc) return paramErr;
  mRenderNotifiers.Update(
      [&](std::vector<AURenderCallbackStruct>& list) { list.push_back(notifier); });
  return noErr;
}

ComponentResult IPlugAU::EntryScheduleParameters(const ComponentParameters* params) {
  const auto* events = Arg<const AudioUnitParameterEvent*>(params, 1);
  const auto count = Arg<UInt32>(params, 0);
  if (!events && count > 0) return paramErr;
  for (UInt32 i = 0; i < count; ++i) {
    const AudioUnitParameterEvent& event = events[i];
    if (event.eventType != kParameterEvent_Immediate) continue;
    const OSStatus result =
        SetParamProc(this, event.parameter, event.scope, event.element,
                     event.eventValues.immediate.value, event.eventValues.immediate.bufferOffset);
    if (result != noErr) return result;
  }
  return noErr;
}

ComponentResult IPlugAU::EntryMusicDevice(SInt16 select, const ComponentParameters* params) {
  switch (select) {
    case kMusicDeviceMIDIEventSelect: {
      IMidiMsg msg(Arg<int>(params, 0), static_cast<unsigned char>(Arg<UInt32>(params, 3)),
                   static_cast<unsigned char>(Arg<UInt32>(params, 2)),
                   static_cast<unsigned char>(Arg<UInt32>(params, 1)));
      ProcessMidiMsg(&msg);
      return noErr;
    }
    case kMusicDeviceSysExSelect: {
      ISysEx sysex(0, Arg<const UInt8*>(params, 1), Arg<int>(params, 0));
      ProcessSysEx(&sysex);
      return noErr;
    }
    case kMusicDeviceStartNoteSelect: {
      auto* noteInstance = Arg<NoteInstanceID*>(params, 2);
      const auto* noteParams = Arg<const MusicDeviceNoteParams*>(params, 0);
      if (!noteParams) return paramErr;
      const int note = TruncToInt(noteParams->mPitch);
      if (noteInstance) *noteInstance = static_cast<NoteInstanceID>(note);
      IMidiMsg msg;
      msg.MakeNoteOnMsg(note, TruncToInt(noteParams->mVelocity), Arg<int>(params, 1), 0);
      ProcessMidiMsg(&msg);
      return noErr;
    }
    case kMusicDeviceStopNoteSelect: {
      IMidiMsg msg;
      msg.MakeNoteOffMsg(Arg<int>(params, 1), Arg<int>(params, 0), 0);
      ProcessMidiMsg(&msg);
      return noErr;
    }
    default:  // preparing and releasing instruments: nothing to do
      return noErr;
  }
}
