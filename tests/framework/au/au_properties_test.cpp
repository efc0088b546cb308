// Properties as a host reads and writes them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "platform/AUCocoaUIView.h"
#include "platform/CoreFoundation.h"
#include "tests/support/AUHost.h"

using namespace au_test;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input,
                         O = kAudioUnitScope_Output;

std::string Text(CFStringRef string) {
  const char* text = CFStringGetCStringPtr(string, kCFStringEncodingUTF8);
  return text ? text : "";
}

// Takes a string the unit handed out and releases it.
std::string Take(CFStringRef string) {
  std::string text = Text(string);
  if (string) CFRelease(string);
  return text;
}

template <typename T>
OSStatus Get(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, UInt32 element,
             T* value) {
  UInt32 size = sizeof *value;
  return AudioUnitGetProperty(unit, id, scope, element, value, &size);
}

constexpr AudioUnitScope kNoSuchScope = 99;

// Puts a question the unit can answer into data for the property that reads
// one; zeros ask the others about parameter 0 at its current value.
void Ask(AudioUnitPropertyID id, void* data) {
  if (id == kAudioUnitProperty_ParameterValueFromString) {
    const AudioUnitParameterValueFromString question = {0, CFSTR("0.5"), 0};
    memcpy(data, &question, sizeof question);
  }
}

template <typename T>
T Read(const void* data) {
  T value;
  memcpy(&value, data, sizeof value);
  return value;
}

// Releases what a data call handed over, as a host must.
void ReleaseAnswer(AudioUnitPropertyID id, const void* data) {
  std::vector<CFTypeRef> handedOut;
  switch (id) {
    case kAudioUnitProperty_ClassInfo:
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_FactoryPresets:
    case kAudioUnitProperty_ElementName:
      handedOut = {Read<CFTypeRef>(data)};
      break;
    case kAudioUnitProperty_ParameterInfo: {
      const auto info = Read<AudioUnitParameterInfo>(data);
      if (info.flags & kAudioUnitParameterFlag_CFNameRelease) {
        handedOut = {info.cfNameString,
                     info.unit == kAudioUnitParameterUnit_CustomUnit ? info.unitName : nullptr};
      }
      break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      handedOut = {Read<AUPreset>(data).presetName};
      break;
    case kAudioUnitProperty_CocoaUI: {
      const auto view = Read<AudioUnitCocoaViewInfo>(data);
      handedOut = {view.mCocoaAUViewBundleLocation, view.mCocoaAUViewClass[0]};
      break;
    }
    case kAudioUnitProperty_ParameterStringFromValue:
      handedOut = {Read<AudioUnitParameterStringFromValue>(data).outString};
      break;
    case kAudioUnitProperty_ParameterIDName:
    case kAudioUnitProperty_ParameterClumpName:
      handedOut = {Read<AudioUnitParameterNameInfo>(data).outName};
      break;
  }
  for (CFTypeRef object : handedOut) {
    if (object) CFRelease(object);
  }
}

}  // namespace

// Wherever the info call answers, a host sizes its buffer by it and decides
// by its flag whether to write: the data and set calls must agree with it,
// for every property, scope and element, the unit's own and any other.
TEST(AUPropertiesTest, InfoDataAndSetCallsAgreeEverywhere) {
  ScopedAudioUnit unit;
  std::vector<AudioUnitPropertyID> ids(71);
  std::iota(ids.begin(), ids.end(), 0u);
  ids.insert(ids.end(), {999u, kMusicDeviceProperty_InstrumentCount, 1001u, 0xFFFFFFFFu});
  constexpr UInt32 kUnsetSize = 0xDEADBEEF;
  constexpr Boolean kUnsetFlag = 0x5A;
  constexpr size_t kRoom = 512;
  constexpr unsigned char kGuard = 0xA5;
  int answered = 0;
  for (AudioUnitPropertyID id : ids) {
    for (AudioUnitScope scope : {G, I, O, kNoSuchScope}) {
      for (UInt32 element = 0; element < 16; ++element) {
        SCOPED_TRACE("property " + std::to_string(id) + " scope " + std::to_string(scope) +
                     " element " + std::to_string(element));
        UInt32 size = kUnsetSize;
        Boolean writable = kUnsetFlag;
        const ComponentResult info =
            AudioUnitGetPropertyInfo(unit, id, scope, element, &size, &writable);
        alignas(16) unsigned char data[kRoom] = {};
        if (info != noErr) {
          EXPECT_EQ(size, kUnsetSize);
          EXPECT_EQ(writable, kUnsetFlag);
          UInt32 room = kRoom;
          const ComponentResult read = AudioUnitGetProperty(unit, id, scope, element, data, &room);
          if (read == noErr) ReleaseAnswer(id, data);
          // Element names are answered by the data call only: the name is
          // made for the call that takes it, and the info call has none.
          if (id != kAudioUnitProperty_ElementName) {
            EXPECT_EQ(read, info);
          }
          continue;
        }
        ++answered;
        ASSERT_LE(size, kRoom);
        memset(data + size, kGuard, kRoom - size);
        Ask(id, data);
        UInt32 room = size;
        const ComponentResult read = AudioUnitGetProperty(unit, id, scope, element, data, &room);
        EXPECT_TRUE(std::all_of(data + size, data + kRoom, [](auto b) { return b == kGuard; }))
            << "written past the " << size << " bytes the info call gave";
        // Clump names need a clump, and no parameter has one: the info call
        // cannot see which clump the data names. Outside the global scope
        // nothing is named, and that is no refusal.
        if (id == kAudioUnitProperty_ParameterClumpName && scope == G) {
          EXPECT_EQ(read, kAudioUnitErr_PropertyNotInUse);
          continue;
        }
        EXPECT_EQ(read, noErr);
        if (read != noErr) continue;
        EXPECT_LE(room, size);
        // Connections and callbacks are given, never read back: the data call
        // leaves the zeroed buffer, the "none" the unit starts with. A render
        // callback is offered in the global scope too, as hosts that ask
        // there before setting it on an input expect, but set on inputs only.
        const bool settable =
            writable && !(id == kAudioUnitProperty_SetRenderCallback && scope == G);
        EXPECT_EQ(AudioUnitSetProperty(unit, id, scope, element, data, room),
                  settable ? ComponentResult{noErr} : kAudioUnitErr_InvalidProperty);
        ReleaseAnswer(id, data);
      }
    }
  }
  EXPECT_GT(answered, 0);
}

// What a host learns from the info calls alone before it reads anything, and
// which agreement between the calls cannot tell: an effect with one bus each
// way, seven parameters, a Cocoa view and the properties a host sets to run it.
TEST(AUPropertiesTest, InfoCallsDescribeAnEffectAHostCanDrive) {
  ScopedAudioUnit unit;
  constexpr ComponentResult none = kAudioUnitErr_InvalidProperty;
  const struct {
    const char* what;
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    UInt32 element;
    ComponentResult status;
    UInt32 size;
    bool writable;
  } facts[] = {
      {"seven parameters", kAudioUnitProperty_ParameterList, G, 0, noErr,
       7 * sizeof(AudioUnitParameterID), false},
      {"the last parameter", kAudioUnitProperty_ParameterInfo, G, 6, noErr,
       sizeof(AudioUnitParameterInfo), false},
      {"no eighth parameter", kAudioUnitProperty_ParameterInfo, G, 7, kAudioUnitErr_InvalidElement,
       0, false},
      {"input buses", kAudioUnitProperty_ElementCount, I, 0, noErr, sizeof(UInt32), false},
      {"output buses", kAudioUnitProperty_ElementCount, O, 0, noErr, sizeof(UInt32), false},
      {"input format", kAudioUnitProperty_StreamFormat, I, 0, noErr,
       sizeof(AudioStreamBasicDescription), true},
      {"output format", kAudioUnitProperty_StreamFormat, O, 0, noErr,
       sizeof(AudioStreamBasicDescription), true},
      {"one input bus", kAudioUnitProperty_StreamFormat, I, 1, none, 0, false},
      {"one output bus", kAudioUnitProperty_StreamFormat, O, 1, none, 0, false},
      {"mono and stereo", kAudioUnitProperty_SupportedNumChannels, G, 0, noErr,
       2 * sizeof(AUChannelInfo), false},
      {"one Cocoa view", kAudioUnitProperty_CocoaUI, G, 0, noErr, sizeof(AudioUnitCocoaViewInfo),
       false},
      {"input callback", kAudioUnitProperty_SetRenderCallback, I, 0, noErr,
       sizeof(AURenderCallbackStruct), true},
      {"upstream unit", kAudioUnitProperty_MakeConnection, I, 0, noErr, sizeof(AudioUnitConnection),
       true},
      {"sample rate", kAudioUnitProperty_SampleRate, G, 0, noErr, sizeof(Float64), true},
      {"block size", kAudioUnitProperty_MaximumFramesPerSlice, G, 0, noErr, sizeof(UInt32), true},
      {"bypass", kAudioUnitProperty_BypassEffect, G, 0, noErr, sizeof(UInt32), true},
      {"saved state", kAudioUnitProperty_ClassInfo, G, 0, noErr, sizeof(CFPropertyListRef), true},
      {"preset", kAudioUnitProperty_PresentPreset, G, 0, noErr, sizeof(AUPreset), true},
      {"not an instrument", kMusicDeviceProperty_InstrumentCount, G, 0, none, 0, false},
  };
  for (const auto& f : facts) {
    UInt32 size = 0;
    Boolean writable = false;
    EXPECT_EQ(AudioUnitGetPropertyInfo(unit, f.id, f.scope, f.element, &size, &writable), f.status)
        << f.what;
    EXPECT_EQ(size, f.size) << f.what;
    EXPECT_EQ(writable != 0, f.writable) << f.what;
  }
}

TEST(AUPropertiesTest, DataCallsDescribeTheUnit) {
  ScopedAudioUnit unit;
  EXPECT_EQ(Params(unit), (std::vector<float>{0.5f, 3, 0, 0.5f, 1, 0.29f, 1}));  // the defaults
  Float64 rate = 0;
  EXPECT_EQ(Get(unit, kAudioUnitProperty_SampleRate, G, 0, &rate), noErr);
  EXPECT_EQ(rate, 44100.0);

  AudioUnitParameterID ids[8] = {};
  UInt32 size = sizeof ids;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, G, 0, ids, &size), noErr);
  EXPECT_EQ(size, 7 * sizeof(AudioUnitParameterID));
  for (UInt32 i = 0; i < 7; ++i)
    EXPECT_EQ(ids[i], i);

  AUChannelInfo layouts[2] = {};
  EXPECT_EQ(Get(unit, kAudioUnitProperty_SupportedNumChannels, G, 0, &layouts), noErr);
  EXPECT_TRUE(layouts[0].inChannels == 1 && layouts[0].outChannels == 1 &&
              layouts[1].inChannels == 2 && layouts[1].outChannels == 2);

  AudioStreamBasicDescription format = {};
  EXPECT_EQ(Get(unit, kAudioUnitProperty_StreamFormat, I, 0, &format), noErr);
  EXPECT_EQ(format.mChannelsPerFrame, 2u);  // the plug-in's channels until the host sets some
  EXPECT_EQ(format.mFormatFlags, kAudioFormatFlagsCanonical | kAudioFormatFlagIsNonInterleaved);
  EXPECT_EQ(format.mBytesPerFrame, 4u);
  EXPECT_EQ(format.mBitsPerChannel, 32u);
  ASSERT_EQ(SetFormat(unit, O, 0, 1, 48000), noErr);
  EXPECT_EQ(Get(unit, kAudioUnitProperty_StreamFormat, O, 0, &format), noErr);
  EXPECT_EQ(format.mChannelsPerFrame, 1u);
  EXPECT_EQ(format.mSampleRate, 48000.0);

  UInt32 count = 0;
  const std::pair<AudioUnitScope, UInt32> counts[] = {{I, 1}, {O, 1}, {G, 1}, {3, 0}};
  for (const auto& [scope, expected] : counts) {
    EXPECT_EQ(Get(unit, kAudioUnitProperty_ElementCount, scope, 0, &count), noErr);
    EXPECT_EQ(count, expected);
  }
  UInt32 frames = 0;
  EXPECT_EQ(Get(unit, kAudioUnitProperty_MaximumFramesPerSlice, G, 0, &frames), noErr);
  EXPECT_EQ(frames, 1024u);
  Float64 seconds = -1;
  EXPECT_EQ(Get(unit, kAudioUnitProperty_Latency, G, 0, &seconds), noErr);
  EXPECT_EQ(seconds, 0.0);

  CFStringRef name = nullptr;
  const struct {
    AudioUnitScope scope;
    UInt32 element;
    ComponentResult status;
    const char* text;
  } names[] = {{O, 0, noErr, "output"},
               {I, 0, noErr, "input"},
               {I, 1, noErr, "aux input"},
               {I, 2, kAudioUnitErr_InvalidElement, ""},
               {O, 1, kAudioUnitErr_InvalidElement, ""},
               {G, 0, kAudioUnitErr_InvalidScope, ""}};
  for (const auto& n : names) {
    name = nullptr;
    EXPECT_EQ(Get(unit, kAudioUnitProperty_ElementName, n.scope, n.element, &name), n.status);
    EXPECT_EQ(Take(name), n.text);
  }

  void* procs[3] = {};
  for (UInt32 i = 0; i < 3; ++i) {
    EXPECT_EQ(Get(unit, kAudioUnitProperty_FastDispatch, G, i == 0 ? 14u : 5u + i, &procs[i]),
              noErr);
    EXPECT_NE(procs[i], nullptr);
  }
  // The fast set- and get-parameter functions take the storage.
  void* storage = GetComponentInstanceStorage(unit);
  EXPECT_EQ(reinterpret_cast<AudioUnitGetParameterProc>(procs[1])(storage, 7, G, 0, nullptr),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(reinterpret_cast<AudioUnitSetParameterProc>(procs[2])(storage, 2, G, 0, 0.75f, 0),
            noErr);
  AudioUnitParameterValue value = 0;
  EXPECT_EQ(reinterpret_cast<AudioUnitGetParameterProc>(procs[1])(storage, 2, G, 0, &value), noErr);
  EXPECT_EQ(value, 0.75f);
}

TEST(AUPropertiesTest, ParameterInfoReportsTheCurrentValueAsDefault) {
  ScopedAudioUnit unit;
  const char* names[] = {"Mix", "Stages", "Freq", "Feedback", "Spread", "Rate", "Depth"};
  ASSERT_EQ(AudioUnitSetParameter(unit, 5, G, 0, 0.625f, 0), noErr);
  for (UInt32 i = 0; i < 7; ++i) {
    AudioUnitParameterInfo info = {};
    ASSERT_EQ(Get(unit, kAudioUnitProperty_ParameterInfo, G, i, &info), noErr);
    EXPECT_STREQ(info.name, names[i]);
    EXPECT_EQ(Take(info.cfNameString), names[i]);
    EXPECT_EQ(info.unitName, nullptr);
    EXPECT_EQ(info.flags, 0xC8000010u);  // readable, writable, CF name to release, no clump
    EXPECT_EQ(info.unit,
              i == 1 ? kAudioUnitParameterUnit_Indexed : kAudioUnitParameterUnit_Generic);
    EXPECT_EQ(info.minValue, 0.0f);
    EXPECT_EQ(info.maxValue, i == 1 ? 5.0f : 1.0f);
    EXPECT_EQ(info.defaultValue, Param(unit, i));
  }
}

TEST(AUPropertiesTest, ParameterTexts) {
  ScopedAudioUnit unit;
  const AudioUnitParameterValue half = 0.5f;
  AudioUnitParameterStringFromValue toText = {0, &half, nullptr};
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterStringFromValue, G, 0, &toText), noErr);
  EXPECT_EQ(Take(toText.outString), "0.50");
  toText = {1, nullptr, nullptr};  // no value: the current one
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterStringFromValue, G, 0, &toText), noErr);
  EXPECT_EQ(Take(toText.outString), "3");

  const struct {
    AudioUnitParameterID id;
    SInt32 length;
    const char* name;
  } names[] = {{3, -1, "Feedback"}, {3, 4, "Feed"},      {3, 0, ""},
               {3, 99, "Feedback"}, {3, -7, "Feedback"}, {0, 2, "Mi"}};
  for (const auto& n : names) {
    AudioUnitParameterNameInfo idName = {n.id, n.length, nullptr};
    EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterIDName, G, 0, &idName), noErr);
    EXPECT_EQ(Take(idName.outName), n.name);
  }

  CFStringRef text = CFStringCreateWithCString(nullptr, "0.25", kCFStringEncodingUTF8);
  AudioUnitParameterValueFromString fromText = {2, text, -1.0f};
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterValueFromString, G, 0, &fromText), noErr);
  EXPECT_EQ(fromText.outValue, 0.25f);

  // Ids past the table are refused and nothing is written; so is a missing
  // string; clump names need a clump.
  AudioUnitParameterStringFromValue badToText = {7, &half, nullptr};
  AudioUnitParameterNameInfo badName = {7, -1, nullptr};
  AudioUnitParameterValueFromString badFromText = {0xFFFFFFFF, text, -1.0f};
  AudioUnitParameterValueFromString noText = {0, nullptr, -1.0f};
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterStringFromValue, G, 0, &badToText),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterIDName, G, 0, &badName),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterValueFromString, G, 0, &badFromText),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterValueFromString, G, 0, &noText),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_TRUE(!badToText.outString && !badName.outName && badFromText.outValue == -1.0f &&
              noText.outValue == -1.0f);
  for (AudioUnitParameterID clump : {0u, 1u, 2u}) {
    AudioUnitParameterNameInfo clumpName = {clump, -1, nullptr};
    EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterClumpName, G, 0, &clumpName),
              kAudioUnitErr_PropertyNotInUse);
  }
  // Outside the global scope nothing is converted.
  fromText.outValue = -1.0f;
  EXPECT_EQ(Get(unit, kAudioUnitProperty_ParameterValueFromString, I, 0, &fromText), noErr);
  EXPECT_EQ(fromText.outValue, -1.0f);
  CFRelease(text);
}

TEST(AUPropertiesTest, FactoryPresetsAndPresetSelection) {
  ScopedAudioUnit unit;
  const char* names[] = {"Classic Virus", "One Stage", "Twin", "Tri Force", "Winds",
                         "Hexagon",       "Init",      "Init", "Init",      "Init"};
  CFArrayRef presets = nullptr;
  ASSERT_EQ(Get(unit, kAudioUnitProperty_FactoryPresets, G, 0, &presets), noErr);
  ASSERT_EQ(CFArrayGetCount(presets), 10);
  for (CFIndex i = 0; i < 10; ++i) {
    const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
    EXPECT_EQ(preset->presetNumber, i);
    EXPECT_EQ(Text(preset->presetName), names[i]);
  }
  CFStringRef description = CFCopyDescription(presets);
  CFRelease(presets);
  if (description) CFRelease(description);

  for (AudioUnitPropertyID id :
       {kAudioUnitProperty_PresentPreset, kAudioUnitProperty_CurrentPreset}) {
    for (SInt32 i = 9; i >= 0; --i) {
      AUPreset chosen = {i, nullptr};
      ASSERT_EQ(AudioUnitSetProperty(unit, id, G, 0, &chosen, sizeof chosen), noErr);
      AUPreset current = {-1, nullptr};
      ASSERT_EQ(Get(unit, id, G, 0, &current), noErr);
      EXPECT_EQ(current.presetNumber, i);
      EXPECT_EQ(Take(current.presetName), names[i]);
    }
  }
  EXPECT_EQ(Param(unit, 0), 0.5f);  // "Classic Virus" again
  AUPreset twin = {2, nullptr};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_PresentPreset, G, 0, &twin, sizeof twin),
            noErr);
  EXPECT_EQ(Params(unit), (std::vector<float>{0.78f, 1, 0.14f, 0.87f, 0.46f, 0.54f, 0.8f}));
}

namespace {
std::vector<AudioUnitPropertyID> gHeard;
void Listener(void*, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement) {
  gHeard.push_back(id);
}
}  // namespace

// Whatever a call carries, listeners hear of it first, and a value the data
// cannot hold is refused without being read.
TEST(AUPropertiesTest, SetPropertyInformsListenersAndChecksTheData) {
  ScopedAudioUnit unit;
  const AudioUnitPropertyID writable[] = {kAudioUnitProperty_ClassInfo,
                                          kAudioUnitProperty_MakeConnection,
                                          kAudioUnitProperty_SampleRate,
                                          kAudioUnitProperty_StreamFormat,
                                          kAudioUnitProperty_MaximumFramesPerSlice,
                                          kAudioUnitProperty_BypassEffect,
                                          kAudioUnitProperty_SetRenderCallback,
                                          kAudioUnitProperty_HostCallbacks,
                                          kAudioUnitProperty_CurrentPreset,
                                          kAudioUnitProperty_PresentPreset,
                                          kAudioUnitProperty_OfflineRender,
                                          kAudioUnitProperty_AUHostIdentifier};
  for (AudioUnitPropertyID id : writable)
    ASSERT_EQ(AudioUnitAddPropertyListener(unit, id, Listener, nullptr), noErr);
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_CPULoad, Listener, nullptr),
            noErr);
  const std::vector<float> before = Params(unit);
  char bytes[64] = {};
  for (AudioUnitPropertyID id : writable) {
    const AudioUnitScope scope = id == kAudioUnitProperty_SetRenderCallback ? I : G;
    gHeard.clear();
    EXPECT_EQ(AudioUnitSetProperty(unit, id, scope, 0, nullptr, 64),
              kAudioUnitErr_InvalidPropertyValue)
        << id;
    EXPECT_EQ(AudioUnitSetProperty(unit, id, scope, 0, bytes, 3),
              kAudioUnitErr_InvalidPropertyValue)
        << id;
    EXPECT_EQ(gHeard, (std::vector<AudioUnitPropertyID>{id, id}));
  }
  gHeard.clear();
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_CPULoad, G, 0, bytes, 64),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(gHeard, std::vector<AudioUnitPropertyID>{kAudioUnitProperty_CPULoad});
  EXPECT_EQ(Params(unit), before);

  // A get with less room than the value writes nothing.
  Float64 rate = 0;
  UInt32 small = 4;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, G, 0, &rate, &small),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(rate, 0.0);
}

TEST(AUPropertiesTest, SetPropertyValues) {
  ScopedAudioUnit unit;
  const struct {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    UInt32 element;
    Float64 rate;
    UInt32 number;
    ComponentResult status;
  } cases[] = {
      {kAudioUnitProperty_SampleRate, G, 0, 96000, 0, noErr},
      {kAudioUnitProperty_SampleRate, G, 0, 0, 0, kAudioUnitErr_InvalidPropertyValue},
      {kAudioUnitProperty_SampleRate, G, 0, NAN, 0, kAudioUnitErr_InvalidPropertyValue},
      {kAudioUnitProperty_MaximumFramesPerSlice, G, 0, 0, 512, noErr},
      {kAudioUnitProperty_MaximumFramesPerSlice, G, 0, 0, 0xFFFFFFFF,
       kAudioUnitErr_InvalidPropertyValue},
      {kAudioUnitProperty_BypassEffect, G, 0, 0, 1, noErr},
      {kAudioUnitProperty_OfflineRender, G, 0, 0, 1, noErr},
      {kAudioUnitProperty_HostCallbacks, I, 0, 0, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_SetRenderCallback, G, 0, 0, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_SetRenderCallback, I, 1, 0, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_MakeConnection, O, 0, 0, 0, kAudioUnitErr_InvalidProperty},
  };
  for (const auto& c : cases) {
    char data[64] = {};
    if (c.id == kAudioUnitProperty_SampleRate) {
      memcpy(data, &c.rate, sizeof c.rate);
    } else {
      memcpy(data, &c.number, sizeof c.number);
    }
    EXPECT_EQ(AudioUnitSetProperty(unit, c.id, c.scope, c.element, data, sizeof data), c.status)
        << c.id;
  }
  Float64 rate = 0;
  UInt32 frames = 0, bypass = 0;
  EXPECT_EQ(Get(unit, kAudioUnitProperty_SampleRate, G, 0, &rate), noErr);
  EXPECT_EQ(Get(unit, kAudioUnitProperty_MaximumFramesPerSlice, G, 0, &frames), noErr);
  EXPECT_EQ(Get(unit, kAudioUnitProperty_BypassEffect, G, 0, &bypass), noErr);
  EXPECT_EQ(rate, 96000.0);
  EXPECT_EQ(frames, 512u);
  EXPECT_EQ(bypass, 1u);

  // A connection to an input that does not exist, or to the unit itself.
  AudioUnitConnection connection = {unit, 0, 1};
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                 sizeof connection),
            kAudioUnitErr_InvalidProperty);
  connection.destInputNumber = 0;
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                 sizeof connection),
            kAudioUnitErr_InvalidPropertyValue);
  connection.sourceAudioUnit = nullptr;  // disconnects
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                 sizeof connection),
            noErr);
  // Input formats are limited by the pull list and the plug-in's inputs.
  EXPECT_EQ(SetFormat(unit, I, 0, 129), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(SetFormat(unit, I, 0, 3), kAudioUnitErr_InvalidProperty);
  AUHostIdentifier host = {CFSTR("Logic Pro"), {0, 0, 0x12, 10}};
  EXPECT_EQ(
      AudioUnitSetProperty(unit, kAudioUnitProperty_AUHostIdentifier, G, 0, &host, sizeof host),
      noErr);
}

// A refused format changes nothing: the bus keeps its channels and format,
// the unit its rate, and it initialises again as before.
TEST(AUPropertiesTest, RefusedStreamFormatsChangeNothing) {
  ScopedAudioUnit unit;
  Prepare(unit, 2);
  const auto describe = [&](AudioUnitScope scope) {
    AudioStreamBasicDescription format = {};
    EXPECT_EQ(Get(unit, kAudioUnitProperty_StreamFormat, scope, 0, &format), noErr);
    return std::vector<unsigned char>(reinterpret_cast<unsigned char*>(&format),
                                      reinterpret_cast<unsigned char*>(&format + 1));
  };
  const auto inBefore = describe(I), outBefore = describe(O);
  for (AudioUnitScope scope : {I, O}) {
    for (UInt32 channels : {1u, 3u, 0u})
      EXPECT_EQ(SetFormat(unit, scope, 0, channels), kAudioUnitErr_InvalidProperty) << channels;
  }
  const std::pair<const char*, std::function<void(AudioStreamBasicDescription&)>> unusable[] = {
      {"16-bit integer",
       [](auto& f) {
         f.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked |
                          kAudioFormatFlagIsNonInterleaved;
         f.mBitsPerChannel = 16;
         f.mBytesPerFrame = f.mBytesPerPacket = 2;
       }},
      {"64-bit float",
       [](auto& f) {
         f.mBitsPerChannel = 64;
         f.mBytesPerFrame = f.mBytesPerPacket = 8;
       }},
      {"big-endian", [](auto& f) { f.mFormatFlags |= kAudioFormatFlagIsBigEndian; }},
      {"interleaved",
       [](auto& f) {
         f.mFormatFlags &= ~kAudioFormatFlagIsNonInterleaved;
         f.mBytesPerFrame = f.mBytesPerPacket = 8;
       }},
      {"0 bits", [](auto& f) { f.mBitsPerChannel = 0; }},
      {"NaN rate", [](auto& f) { f.mSampleRate = NAN; }},
      {"infinite rate", [](auto& f) { f.mSampleRate = INFINITY; }},
      {"zero rate", [](auto& f) { f.mSampleRate = 0; }},
      {"negative rate", [](auto& f) { f.mSampleRate = -44100; }},
      {"rate below 1 Hz", [](auto& f) { f.mSampleRate = 0.5; }},
  };
  for (AudioUnitScope scope : {I, O}) {
    for (const auto& [name, spoil] : unusable) {
      AudioStreamBasicDescription format;
      memcpy(&format, (scope == I ? inBefore : outBefore).data(), sizeof format);
      spoil(format);
      EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, 0, &format,
                                     sizeof format),
                kAudioUnitErr_FormatNotSupported)
          << name;
    }
  }
  EXPECT_EQ(describe(I), inBefore);
  EXPECT_EQ(describe(O), outBefore);
  const Float64 tooLow = 0.5;
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, G, 0, &tooLow, sizeof tooLow),
            kAudioUnitErr_InvalidPropertyValue);
  Float64 rate = 0;
  EXPECT_EQ(Get(unit, kAudioUnitProperty_SampleRate, G, 0, &rate), noErr);
  EXPECT_EQ(rate, 44100.0);
  EXPECT_EQ(AudioUnitUninitialize(unit), noErr);
  EXPECT_EQ(AudioUnitInitialize(unit), noErr);
}

// Loading the bundle makes its view factory class findable by the name the
// CocoaUI property gives, without exporting anything beyond its entries.
TEST(AUPropertiesTest, TheViewFactoryClassIsRegisteredWhileTheBundleIsLoaded) {
  ScopedAudioUnit unit;
  ASSERT_NE(static_cast<AudioUnit>(unit), nullptr);
  const AUCocoaUIBase* viewClass = AUCocoaUIClassNamed(CFSTR("Morvex_View"));
  ASSERT_NE(viewClass, nullptr);
  EXPECT_STREQ(viewClass->description(), "Morvex View");
  EXPECT_EQ(viewClass->interfaceVersion(), 0u);
  const NSSize size = {424, 104};
  EXPECT_EQ(viewClass->uiViewForAudioUnit(nullptr, size), nullptr);
  EXPECT_EQ(AUCocoaUIClassNamed(CFSTR("Other_View")), nullptr);
}
