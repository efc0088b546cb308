// The saved state (class info): round trips, and restores that are refused
// with nothing changed.
#include <cmath>
#include <string>

#include "platform/CoreFoundation.h"
#include "tests/support/AUHost.h"

using namespace au_test;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global;

CFMutableDictionaryRef SaveState(AudioUnit unit) {
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof state;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, G, 0, &state, &size), noErr);
  return static_cast<CFMutableDictionaryRef>(const_cast<void*>(state));
}

OSStatus RestoreState(AudioUnit unit, CFPropertyListRef state) {
  return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, G, 0, &state, sizeof state);
}

CFDataRef ToXML(CFPropertyListRef state) {
  return CFPropertyListCreateData(nullptr, state, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
}

std::string Bytes(CFDataRef data) {
  return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                     static_cast<size_t>(CFDataGetLength(data)));
}

void SetValue(CFMutableDictionaryRef dict, const char* key, CFTypeRef value) {
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  if (value) {
    CFDictionarySetValue(dict, cfKey, value);
    CFRelease(value);
  } else {
    CFDictionaryRemoveValue(dict, cfKey);
  }
  CFRelease(cfKey);
}

CFNumberRef Number(SInt32 value) {
  return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
}

CFDataRef Doubles(const std::vector<double>& values, size_t bytes) {
  std::vector<UInt8> raw(bytes + 1, 0);
  memcpy(raw.data(), values.data(), std::min(bytes, values.size() * sizeof(double)));
  return CFDataCreate(nullptr, raw.data(), static_cast<CFIndex>(bytes));
}

UInt32 CurrentPreset(AudioUnit unit) {
  AUPreset preset = {-1, nullptr};
  UInt32 size = sizeof preset;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_PresentPreset, G, 0, &preset, &size),
            noErr);
  if (preset.presetName) CFRelease(preset.presetName);
  return static_cast<UInt32>(preset.presetNumber);
}

const std::vector<double> kValues = {0.25, 2, 0.5, 0.75, 0.125, 0.875, 0.375};

// kValues with one value replaced.
std::vector<double> With(size_t index, double value) {
  std::vector<double> values = kValues;
  values[index] = value;
  return values;
}

}  // namespace

TEST(AUStateTest, RoundTripsThroughAFreshInstanceAndXML) {
  ScopedAudioUnit first, second;
  for (UInt32 i = 0; i < kNumParams; ++i)
    ASSERT_EQ(AudioUnitSetParameter(first, i, G, 0, static_cast<float>(kValues[i]), 0), noErr);
  CFMutableDictionaryRef state = SaveState(first);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(CFDictionaryGetCount(state), 6);

  CFDataRef xml = ToXML(state);
  ASSERT_NE(xml, nullptr);
  CFPropertyListRef parsed = CFPropertyListCreateWithData(nullptr, xml, 0, nullptr, nullptr);
  ASSERT_EQ(RestoreState(second, parsed), noErr);
  EXPECT_EQ(Params(second), Params(first));
  // Save, load, save gives the same bytes.
  CFMutableDictionaryRef again = SaveState(second);
  CFDataRef xmlAgain = ToXML(again);
  EXPECT_EQ(Bytes(xmlAgain), Bytes(xml));
  for (CFTypeRef object : {static_cast<CFTypeRef>(state), static_cast<CFTypeRef>(xml), parsed,
                           static_cast<CFTypeRef>(again), static_cast<CFTypeRef>(xmlAgain)})
    CFRelease(object);
}

// Every faulty dictionary is refused with -10851 and leaves the parameters
// and the current preset as they were; extra data bytes are ignored.
TEST(AUStateTest, RestoreAppliesFullyOrNotAtAll) {
  const struct {
    const char* what;
    const char* key;
    CFTypeRef (*value)();
    bool accepted;
  } cases[] = {
      {"another subtype", "subtype", [] { return CFTypeRef(Number(0x41424344)); }, false},
      {"another type", "type", [] { return CFTypeRef(Number(0x61756d75)); }, false},
      {"another maker", "manufacturer", [] { return CFTypeRef(Number(1)); }, false},
      {"truncated data", "data", [] { return CFTypeRef(Doubles(kValues, 55)); }, false},
      {"empty data", "data", [] { return CFTypeRef(Doubles(kValues, 0)); }, false},
      {"no data", "data", [] { return CFTypeRef(nullptr); }, false},
      // The restore reads no version, so its type or absence does not matter.
      {"no version", "version", [] { return CFTypeRef(nullptr); }, true},
      {"version a string", "version", [] { return CFTypeRef(CFSTR("1.0.0")); }, true},
      {"no type", "type", [] { return CFTypeRef(nullptr); }, false},
      {"no name", "name", [] { return CFTypeRef(nullptr); }, true},
      {"name not a string", "name", [] { return CFTypeRef(Number(2)); }, false},
      {"data not data", "data", [] { return CFTypeRef(CFSTR("abc")); }, false},
      {"subtype not a number", "subtype", [] { return CFTypeRef(CFSTR("zJAu")); }, false},
      {"oversized data", "data", [] { return CFTypeRef(Doubles(kValues, 64)); }, true},
      {"exact data", "data", [] { return CFTypeRef(Doubles(kValues, 56)); }, true},
      // The parameter would silently keep its value, which is not the state's.
      {"a NaN value", "data", [] { return CFTypeRef(Doubles(With(4, NAN), 56)); }, false},
      {"an infinite value", "data", [] { return CFTypeRef(Doubles(With(0, INFINITY), 56)); },
       false},
      {"a -infinite value", "data", [] { return CFTypeRef(Doubles(With(6, -INFINITY), 56)); },
       false},
      {"long name", "name",
       [] {
         return CFTypeRef(CFStringCreateWithCString(nullptr, std::string(300, 'n').c_str(),
                                                    kCFStringEncodingUTF8));
       },
       true},
  };
  for (const auto& c : cases) {
    ScopedAudioUnit source, target;
    ASSERT_EQ(AudioUnitSetParameter(source, 0, G, 0, 0.9f, 0), noErr);
    CFMutableDictionaryRef state = SaveState(source);
    // "Twin" names preset 2, whose values differ from the ones in data.
    SetValue(state, "name", CFStringCreateWithCString(nullptr, "Twin", kCFStringEncodingUTF8));
    SetValue(state, "data", Doubles(kValues, 56));
    CFTypeRef value = c.value();
    if (value) CFRetain(value);  // constant strings ignore this
    SetValue(state, c.key, value);
    if (value) CFRelease(value);

    AUPreset hexagon = {5, nullptr};
    ASSERT_EQ(AudioUnitSetProperty(target, kAudioUnitProperty_PresentPreset, G, 0, &hexagon,
                                   sizeof hexagon),
              noErr);
    const std::vector<float> before = Params(target);
    const OSStatus status = RestoreState(target, state);
    if (c.accepted) {
      EXPECT_EQ(status, noErr) << c.what;
      EXPECT_EQ(Params(target), std::vector<float>(kValues.begin(), kValues.end())) << c.what;
    } else {
      EXPECT_EQ(status, kAudioUnitErr_InvalidPropertyValue) << c.what;
      EXPECT_EQ(Params(target), before) << c.what;
      EXPECT_EQ(CurrentPreset(target), 5u) << c.what;
    }
    CFRelease(state);
  }
}

TEST(AUStateTest, RestoreSelectsTheNamedPresetThenLoadsTheData) {
  ScopedAudioUnit source, target;
  CFMutableDictionaryRef state = SaveState(source);
  SetValue(state, "name", CFStringCreateWithCString(nullptr, "Winds", kCFStringEncodingUTF8));
  SetValue(state, "data", Doubles(kValues, 56));
  ASSERT_EQ(RestoreState(target, state), noErr);
  EXPECT_EQ(CurrentPreset(target), 4u);
  EXPECT_EQ(Params(target), std::vector<float>(kValues.begin(), kValues.end()));
  CFRelease(state);

  for (CFTypeRef notADictionary :
       {static_cast<CFTypeRef>(nullptr), static_cast<CFTypeRef>(CFSTR("state"))})
    EXPECT_EQ(RestoreState(target, notADictionary), kAudioUnitErr_InvalidPropertyValue);
}
