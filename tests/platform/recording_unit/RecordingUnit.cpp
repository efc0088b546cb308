#include "tests/platform/recording_unit/RecordingUnit.h"

#include <atomic>
#include <cstring>

#include "platform/AudioToolbox.h"

#define RECORDING_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

RecordedCall gCalls[kRecordingCapacity];
std::atomic<int> gCount{0};

// Plug-ins may look up their bundle while their library loads, which is
// while the host is opening a component.
const CFBundleRef gBundleAtLoad = CFBundleGetBundleWithIdentifier(CFSTR("com.morvex.tests.alpha"));

void Record(ComponentParameters* params, Handle storage) {
  const int index = gCount.fetch_add(1);
  if (index >= kRecordingCapacity) return;
  RecordedCall& call = gCalls[index];
  call.what = params->what;
  call.paramSize = params->paramSize;
  call.storage = storage;
  const int slots = params->paramSize / static_cast<int>(sizeof(long));
  for (int i = 0; i < slots && i < 16; ++i)
    call.params[i] = params->params[i];
}

template <typename T>
T Arg(ComponentParameters* params, int slot) {
  T value;
  std::memcpy(&value, &params->params[slot], sizeof value);
  return value;
}

OSStatus Render(RecordingUnitState* state, ComponentParameters* params) {
  auto* flags = Arg<AudioUnitRenderActionFlags*>(params, 4);
  auto* stamp = Arg<const AudioTimeStamp*>(params, 3);
  const UInt32 frames = Arg<UInt32>(params, 1);
  auto* buffers = Arg<AudioBufferList*>(params, 0);
  if (state->source) {
    const OSStatus pulled =
        AudioUnitRender(state->source, flags, stamp, state->sourceOutput, frames, buffers);
    if (pulled != noErr) return pulled;
  }
  for (UInt32 b = 0; b < buffers->mNumberBuffers; ++b) {
    auto* samples = static_cast<Float32*>(buffers->mBuffers[b].mData);
    for (UInt32 i = 0; i < frames; ++i) {
      samples[i] = state->source ? samples[i] * state->level : state->level;
    }
  }
  return noErr;
}

OSStatus SetProperty(RecordingUnitState* state, ComponentParameters* params) {
  if (Arg<AudioUnitPropertyID>(params, 4) != kAudioUnitProperty_MakeConnection) {
    return kAudioUnitErr_InvalidProperty;
  }
  const auto* connection = Arg<const AudioUnitConnection*>(params, 1);
  state->source = connection->sourceAudioUnit;
  state->sourceOutput = connection->sourceOutputNumber;
  AudioStreamBasicDescription format;
  UInt32 size = sizeof format;
  if (AudioUnitGetProperty(state->source, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                           state->sourceOutput, &format, &size) == noErr) {
    state->sourceChannels = format.mChannelsPerFrame;
  }
  return noErr;
}

OSStatus GetProperty(ComponentParameters* params) {
  if (Arg<AudioUnitPropertyID>(params, 4) != kAudioUnitProperty_StreamFormat) {
    return kAudioUnitErr_InvalidProperty;
  }
  auto* format = Arg<AudioStreamBasicDescription*>(params, 1);
  auto* size = Arg<UInt32*>(params, 0);
  std::memset(format, 0, sizeof *format);
  format->mSampleRate = 44100;
  format->mFormatID = kAudioFormatLinearPCM;
  format->mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  format->mChannelsPerFrame = 2;
  *size = sizeof *format;
  return noErr;
}

OSStatus SetParameter(RecordingUnitState* state, ComponentParameters* params) {
  state->level = Arg<Float32>(params, 1);
  AudioUnitEvent event;
  std::memset(&event, 0, sizeof event);
  event.mEventType = kAudioUnitEvent_ParameterValueChange;
  event.mArgument.mParameter.mAudioUnit = state->self;
  event.mArgument.mParameter.mParameterID = Arg<AudioUnitParameterID>(params, 4);
  event.mArgument.mParameter.mScope = Arg<AudioUnitScope>(params, 3);
  event.mArgument.mParameter.mElement = Arg<AudioUnitElement>(params, 2);
  AUEventListenerNotify(nullptr, nullptr, &event);
  return noErr;
}

}  // namespace

RECORDING_EXPORT int RecordingUnit_CallCount() {
  return gCount.load();
}

RECORDING_EXPORT const RecordedCall* RecordingUnit_Call(int index) {
  return index >= 0 && index < kRecordingCapacity && index < gCount.load() ? &gCalls[index]
                                                                           : nullptr;
}

RECORDING_EXPORT void RecordingUnit_Clear() {
  gCount = 0;
}

RECORDING_EXPORT ComponentResult RecordingUnit_Entry(ComponentParameters* params, Handle storage) {
  Record(params, storage);
  auto* state = reinterpret_cast<RecordingUnitState*>(storage);
  switch (params->what) {
    case kComponentOpenSelect: {
      state = new RecordingUnitState();
      state->self = Arg<ComponentInstance>(params, 0);
      state->bundleAtLoad = gBundleAtLoad;
      char* name = nullptr;
      state->infoResult = GetComponentInfo(reinterpret_cast<Component>(state->self), &state->info,
                                           &name, nullptr, nullptr);
      if (name) std::memcpy(state->name, name + 1, static_cast<unsigned char>(name[0]));
      SetComponentInstanceStorage(state->self, reinterpret_cast<Handle>(state));
      return noErr;
    }
    case kComponentCloseSelect:
      delete state;
      return noErr;
    case kComponentCanDoSelect: {
      const SInt16 asked = Arg<SInt16>(params, 0);
      return (asked >= kAudioUnitInitializeSelect && asked <= kAudioUnitSetParameterSelect) ||
             asked == kAudioUnitRenderSelect;
    }
    case kComponentVersionSelect:
      return 0x00010203;
    case kAudioUnitGetParameterSelect:
      *Arg<AudioUnitParameterValue*>(params, 0) = state->level;
      return noErr;
    case kAudioUnitSetParameterSelect:
      return SetParameter(state, params);
    case kAudioUnitGetPropertySelect:
      return GetProperty(params);
    case kAudioUnitSetPropertySelect:
      return SetProperty(state, params);
    case kAudioUnitRenderSelect:
      return Render(state, params);
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    case kMusicDeviceMIDIEventSelect:
    case kMusicDeviceSysExSelect:
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
    case kMusicDeviceStartNoteSelect:
    case kMusicDeviceStopNoteSelect:
      return noErr;
    default:
      return badComponentSelector;
  }
}

// The view component hands out the storage of the unit it is asked to show,
// as an editor view looks up its plug-in.
RECORDING_EXPORT ComponentResult RecordingUnit_ViewEntry(ComponentParameters* params,
                                                         Handle storage) {
  Record(params, storage);
  switch (params->what) {
    case kComponentOpenSelect:
      SetComponentInstanceStorage(Arg<ComponentInstance>(params, 0),
                                  reinterpret_cast<Handle>(new int(7)));
      return noErr;
    case kComponentCloseSelect:
      delete reinterpret_cast<int*>(storage);
      return noErr;
    case kAudioUnitCarbonViewCreateSelect: {
      Handle unitStorage = GetComponentInstanceStorage(Arg<AudioUnit>(params, 5));
      if (!unitStorage) return badComponentSelector;
      *Arg<ControlRef*>(params, 0) = reinterpret_cast<ControlRef>(unitStorage);
      return noErr;
    }
    default:
      return badComponentSelector;
  }
}
