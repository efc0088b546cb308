// Property, parameter and render calls as a host makes them, in any order and
// with any sizes, scopes and elements, against two real Morvex instances that
// may be connected to each other. Values that carry pointers are built from a
// small table of real objects and procedures, as a host would pass them.
// A refused stream format must leave the format as it was, and a render that
// succeeds must write finite samples within [-1, 1].
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/au/IPlugAU.h"
#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "tools/auhost/MorvexDescription.h"

namespace {

// Reads the input byte by byte; past the end every read is 0.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}
  bool Empty() const { return mPos >= mSize; }
  std::uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  template <typename T>
  T Value() {
    T value{};
    auto* out = reinterpret_cast<std::uint8_t*>(&value);
    for (std::size_t i = 0; i < sizeof value; ++i)
      out[i] = Byte();
    return value;
  }
  std::uint32_t Small(std::uint32_t limit) { return Byte() % limit; }

 private:
  const std::uint8_t* mData;
  std::size_t mSize;
  std::size_t mPos = 0;
};

Component Morvex() {
  static Component component = [] {
    const ComponentDescription morvex = MorvexDescription();
    return HostRegisterComponent(&morvex, IPlugAU::IPlugAUEntry, kMorvexComponentName,
                                 kMorvexVersion);
  }();
  return component;
}

struct Session {
  AudioUnit units[2] = {};
  AudioUnit closed = nullptr;  // a handle that was closed in this session
};
Session* gSession = nullptr;

OSStatus Input(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 frames,
               AudioBufferList* list) {
  for (UInt32 b = 0; b < list->mNumberBuffers; ++b) {
    auto* samples = static_cast<float*>(list->mBuffers[b].mData);
    for (UInt32 i = 0; samples && i < frames; ++i)
      samples[i] = std::sin(0.01f * static_cast<float>(i + b));
  }
  return noErr;
}

OSStatus Failing(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                 AudioBufferList*) {
  return -1;
}

// Renders the unit it feeds (its reference), as a confused host might.
OSStatus Reentrant(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* stamp,
                   UInt32, UInt32 frames, AudioBufferList* list) {
  return AudioUnitRender(static_cast<AudioUnit>(refCon), flags, stamp, 0, frames, list);
}

OSStatus Silencer(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32,
                  AudioBufferList*) {
  *flags |= kAudioUnitRenderAction_OutputIsSilence;
  return noErr;
}

void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}

// Closes the unit it hears from.
void ClosingListener(void*, AudioUnit unit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
  if (gSession && CloseComponent(unit) == noErr) {
    gSession->closed = unit;
    for (AudioUnit& u : gSession->units) {
      if (u == unit) u = nullptr;
    }
  }
}

OSStatus Tempo(void*, Float64* beat, Float64* tempo) {
  *beat = 3.5;
  *tempo = 133.0;
  return noErr;
}

const AURenderCallback kRenderProcs[] = {nullptr, Input, Failing, Reentrant, Silencer};
const AudioUnitPropertyListenerProc kListeners[] = {nullptr, Listener, ClosingListener};

void ReleaseResult(AudioUnitPropertyID id, const std::uint8_t* data) {
  const auto release = [](const void* object) {
    if (object) CFRelease(object);
  };
  CFTypeRef object;
  switch (id) {
    case kAudioUnitProperty_ClassInfo:
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_FactoryPresets:
    case kAudioUnitProperty_ElementName:
      memcpy(&object, data, sizeof object);
      release(object);
      break;
    case kAudioUnitProperty_ParameterInfo: {
      AudioUnitParameterInfo info;
      memcpy(&info, data, sizeof info);
      release(info.cfNameString);
      release(info.unitName);
      break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
      AUPreset preset;
      memcpy(&preset, data, sizeof preset);
      release(preset.presetName);
      break;
    }
    case kAudioUnitProperty_CocoaUI: {
      AudioUnitCocoaViewInfo info;
      memcpy(&info, data, sizeof info);
      release(info.mCocoaAUViewBundleLocation);
      release(info.mCocoaAUViewClass[0]);
      break;
    }
    case kAudioUnitProperty_ParameterStringFromValue: {
      AudioUnitParameterStringFromValue text;
      memcpy(&text, data, sizeof text);
      release(text.outString);
      break;
    }
    case kAudioUnitProperty_ParameterIDName:
    case kAudioUnitProperty_ParameterClumpName: {
      AudioUnitParameterNameInfo name;
      memcpy(&name, data, sizeof name);
      release(name.outName);
      break;
    }
  }
}

AudioStreamBasicDescription Format(AudioUnit unit, AudioUnitScope scope, UInt32 element,
                                   OSStatus* status) {
  AudioStreamBasicDescription format = {};
  UInt32 size = sizeof format;
  *status =
      AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, scope, element, &format, &size);
  return format;
}

void GetProperty(AudioUnit unit, Bytes& in) {
  const auto id = static_cast<AudioUnitPropertyID>(in.Small(52));
  const AudioUnitScope scope = in.Small(4);
  const AudioUnitElement element = in.Small(4) == 0 ? in.Value<UInt32>() : in.Small(8);
  UInt32 size = in.Small(3) == 0 ? in.Small(128) : 128;
  alignas(8) std::uint8_t data[128] = {};
  AudioUnitParameterValue value = in.Value<float>();
  CFStringRef text = nullptr;
  if (id == kAudioUnitProperty_ParameterStringFromValue) {
    AudioUnitParameterStringFromValue request = {in.Small(9), &value, nullptr};
    memcpy(data, &request, sizeof request);
  } else if (id == kAudioUnitProperty_ParameterValueFromString) {
    char chars[9] = {};
    for (int i = 0; i < 8; ++i)
      chars[i] = static_cast<char>(in.Byte() & 0x7F);
    text = CFStringCreateWithCString(nullptr, chars, kCFStringEncodingUTF8);
    AudioUnitParameterValueFromString request = {in.Small(9), text, 0};
    memcpy(data, &request, sizeof request);
  } else if (id == kAudioUnitProperty_ParameterIDName ||
             id == kAudioUnitProperty_ParameterClumpName) {
    AudioUnitParameterNameInfo request = {in.Small(9), static_cast<SInt32>(in.Small(40)) - 2,
                                          nullptr};
    memcpy(data, &request, sizeof request);
  }
  UInt32 infoSize = 0;
  Boolean writable = false;
  AudioUnitGetPropertyInfo(unit, id, scope, element, &infoSize, &writable);
  if (AudioUnitGetProperty(unit, id, scope, element, data, &size) == noErr) {
    ReleaseResult(id, data);
  }
  if (text) CFRelease(text);
}

void SetProperty(AudioUnit unit, Bytes& in) {
  const auto id = static_cast<AudioUnitPropertyID>(in.Small(52));
  const AudioUnitScope scope = in.Small(4);
  const AudioUnitElement element = in.Small(4) == 0 ? in.Value<UInt32>() : in.Small(3);
  UInt32 size = in.Small(3) == 0 ? in.Small(64) : 64;
  alignas(8) std::uint8_t data[64];
  for (std::uint8_t& byte : data)
    byte = in.Byte();
  CFTypeRef owned = nullptr;
  switch (id) {
    case kAudioUnitProperty_ClassInfo: {
      CFPropertyListRef state = nullptr;
      UInt32 stateSize = sizeof state;
      if (AudioUnitGetProperty(unit, id, kAudioUnitScope_Global, 0, &state, &stateSize) != noErr) {
        return;
      }
      owned = state;
      memcpy(data, &state, sizeof state);
      break;
    }
    case kAudioUnitProperty_MakeConnection: {
      const std::uint32_t which = in.Small(5);
      AudioUnitConnection connection = {
          which < 2    ? gSession->units[which]
          : which == 2 ? gSession->closed
          : which == 3 ? nullptr
                       : reinterpret_cast<AudioUnit>(in.Value<std::uintptr_t>()),
          in.Small(3), in.Small(3)};
      memcpy(data, &connection, sizeof connection);
      break;
    }
    case kAudioUnitProperty_SetRenderCallback: {
      AURenderCallbackStruct callback = {kRenderProcs[in.Small(5)], unit};
      memcpy(data, &callback, sizeof callback);
      break;
    }
    case kAudioUnitProperty_HostCallbacks: {
      HostCallbackInfo callbacks = {nullptr, in.Small(2) ? Tempo : nullptr, nullptr, nullptr};
      memcpy(data, &callbacks, sizeof callbacks);
      break;
    }
    case kAudioUnitProperty_AUHostIdentifier: {
      CFStringRef name = CFStringCreateWithCString(nullptr, "Fuzz Host", kCFStringEncodingUTF8);
      owned = name;
      memcpy(data, &name, sizeof name);
      break;
    }
  }
  OSStatus before = noErr;
  const AudioStreamBasicDescription formatBefore = Format(unit, scope, element, &before);
  const OSStatus status = AudioUnitSetProperty(unit, id, scope, element, data, size);
  if (owned) CFRelease(owned);
  if (id == kAudioUnitProperty_StreamFormat && status != noErr && before == noErr &&
      gSession->units[0] != nullptr) {
    OSStatus after = noErr;
    const AudioStreamBasicDescription formatAfter = Format(unit, scope, element, &after);
    if (after == noErr && memcmp(&formatBefore, &formatAfter, sizeof formatAfter) != 0 &&
        (unit == gSession->units[0] || unit == gSession->units[1])) {
      std::abort();  // a refused format changed the bus
    }
  }
}

void Render(AudioUnit unit, Bytes& in) {
  const UInt32 frames = in.Small(4) == 0 ? in.Value<std::uint16_t>() % 4200 : in.Small(129);
  const UInt32 nBuffers = in.Small(4);
  const UInt32 nullMask = in.Byte();
  AudioTimeStamp stamp = {};
  stamp.mSampleTime = static_cast<Float64>(in.Value<std::uint16_t>());
  stamp.mFlags = in.Small(8) ? kAudioTimeStampSampleTimeValid : 0;
  const UInt32 bus = in.Small(6) ? 0 : in.Small(3);
  AudioUnitRenderActionFlags flags = in.Small(2) ? 0 : in.Value<UInt32>();
  std::vector<std::vector<float>> samples(nBuffers, std::vector<float>(frames + 1, 0.0f));
  std::vector<std::uint64_t> memory(2 + 2 * 4);
  auto* list = reinterpret_cast<AudioBufferList*>(memory.data());
  list->mNumberBuffers = nBuffers;
  for (UInt32 b = 0; b < nBuffers; ++b) {
    list->mBuffers[b] = {1, frames * 4,
                         (nullMask >> b) & 1 ? nullptr : static_cast<void*>(samples[b].data())};
  }
  if (AudioUnitRender(unit, &flags, &stamp, bus, frames, list) != noErr) return;
  for (UInt32 b = 0; b < nBuffers && b < 2; ++b) {
    const auto* out = static_cast<const float*>(list->mBuffers[b].mData);
    for (UInt32 i = 0; out && i < frames; ++i) {
      if (!std::isfinite(out[i]) || std::fabs(out[i]) > 1.0f) std::abort();
    }
  }
}

void Step(Bytes& in) {
  const std::uint8_t op = in.Byte();
  AudioUnit unit = gSession->units[op & 1];
  if (!unit) unit = gSession->closed;  // calls on a closed handle are refused
  switch ((op >> 1) % 14) {
    case 0:
    case 1:
      GetProperty(unit, in);
      break;
    case 2:
    case 3:
    case 4:
      SetProperty(unit, in);
      break;
    case 5:
    case 6:
      Render(unit, in);
      break;
    case 7: {
      AudioUnitParameterValue value = 0;
      AudioUnitGetParameter(unit, in.Small(9), in.Small(3), 0, &value);
      AudioUnitSetParameter(unit, in.Small(9), in.Small(3), 0, in.Value<float>(), 0);
      break;
    }
    case 8: {
      AudioUnitParameterEvent events[3];
      const UInt32 count = in.Small(4);
      for (UInt32 i = 0; i < count; ++i)
        events[i] = in.Value<AudioUnitParameterEvent>();
      AudioUnitScheduleParameters(unit, events, count);
      break;
    }
    case 9:
      if (in.Small(2)) {
        AudioUnitInitialize(unit);
      } else {
        AudioUnitUninitialize(unit);
      }
      break;
    case 10:
      AudioUnitReset(unit, kAudioUnitScope_Global, 0);
      break;
    case 11: {
      const AudioUnitPropertyID id = in.Small(40);
      const auto proc = kListeners[in.Small(3)];
      if (in.Small(2)) {
        AudioUnitAddPropertyListener(unit, id, proc, nullptr);
      } else {
        AudioUnitRemovePropertyListener(unit, id, proc);
      }
      break;
    }
    case 12: {
      const AURenderCallback proc = kRenderProcs[in.Small(5)];
      if (proc == Reentrant || in.Small(2)) {
        AudioUnitAddRenderNotify(unit, proc, unit);
      } else {
        AudioUnitRemoveRenderNotify(unit, proc, unit);
      }
      break;
    }
    case 13:
      if (CloseComponent(unit) == noErr) {
        gSession->closed = unit;
        gSession->units[op & 1] = nullptr;
      }
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Session session;
  for (AudioUnit& unit : session.units) {
    unit = OpenComponent(Morvex());
    if (!unit) std::abort();
  }
  gSession = &session;
  Bytes in(data, size);
  for (int steps = 0; steps < 64 && !in.Empty(); ++steps)
    Step(in);
  for (AudioUnit unit : session.units) {
    if (unit) CloseComponent(unit);
  }
  gSession = nullptr;
  return 0;
}
