// The component entry as a host meets it: lifecycle, selectors, can-do,
// listeners, render notifications, scheduled parameters and note selectors.
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "platform/CoreFoundation.h"
#include "platform/HostEvents.h"
#include "tests/support/AUHost.h"
#include "tests/support/ComponentSlots.h"
#include "tests/support/DynamicSymbols.h"
#include "tools/auhost/MorvexDescription.h"

using namespace au_test;
using test_support::FloatSlot;
using test_support::Slot;
using test_support::UnsignedSlot;

namespace {

ComponentResult Call(AudioUnit unit, SInt16 what, std::vector<long> args = {}) {
  return HostCallComponentSelector(unit, what, static_cast<UInt32>(args.size()), args.data());
}

std::vector<std::pair<void*, AudioUnitPropertyID>> gHeard;
void Listener(void* userData, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement) {
  gHeard.emplace_back(userData, id);
}
void OtherListener(void* userData, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                   AudioUnitElement element) {
  Listener(userData, unit, id, scope, element);
}

// A property the unit refuses to set, so setting it tells its listeners and
// changes nothing, and another whose listeners must not hear of it.
constexpr AudioUnitPropertyID kCPULoad = kAudioUnitProperty_CPULoad;
constexpr AudioUnitPropertyID kOtherProperty = kAudioUnitProperty_ParameterValueStrings;

// Tells listeners of the CPU-load property without changing anything (it
// is refused).
std::vector<void*> HeardAfterSet(AudioUnit unit) {
  gHeard.clear();
  EXPECT_EQ(AudioUnitSetProperty(unit, kCPULoad, kAudioUnitScope_Global, 0, nullptr, 0),
            kAudioUnitErr_InvalidProperty);
  std::vector<void*> heard;
  for (const auto& call : gHeard)
    heard.push_back(call.first);
  return heard;
}

}  // namespace

TEST(AUDispatchTest, OpensAndClosesRepeatedly) {
  ComponentDescription looking = MorvexDescription();
  Component component = FindNextComponent(nullptr, &looking);
  ASSERT_NE(component, nullptr);
  for (int i = 0; i < 40; ++i) {
    AudioUnit unit = OpenComponent(component);
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(GetComponentInstanceStorage(unit), nullptr);
    if (i % 2) {
      EXPECT_EQ(AudioUnitInitialize(unit), noErr);
    }
    EXPECT_EQ(CloseComponent(unit), noErr);
  }
  EXPECT_EQ(CountComponentInstances(component), 0);
}

TEST(AUDispatchTest, EverySelectorAnswersAsDocumented) {
  ScopedAudioUnit unit;
  ASSERT_NE(static_cast<AudioUnit>(unit), nullptr);
  AudioUnitParameterValue value = 0;
  const AudioUnitParameterEvent none = {};
  const UInt8 sysex[3] = {0xF0, 0x01, 0xF7};
  MusicDeviceNoteParams note = {2, 60.0f, 100.0f, {}};
  NoteInstanceID instance = 0;
  const struct {
    SInt16 what;
    std::vector<long> args;
    ComponentResult expected;
  } cases[] = {
      {kComponentVersionSelect, {}, 0x10000},
      {kAudioUnitInitializeSelect, {}, noErr},
      {kAudioUnitUninitializeSelect, {}, noErr},
      {kAudioUnitResetSelect, {0, 0}, noErr},
      {kAudioUnitGetParameterSelect, {1, 0, 0, Slot(&value)}, noErr},
      {kAudioUnitGetParameterSelect, {1, 1, 0, Slot(&value)}, kAudioUnitErr_InvalidProperty},
      {kAudioUnitGetParameterSelect, {7, 0, 0, Slot(&value)}, kAudioUnitErr_InvalidParameter},
      {kAudioUnitSetParameterSelect, {1, 0, 0, FloatSlot(2.0f), 0}, noErr},
      {kAudioUnitSetParameterSelect, {1, 2, 0, FloatSlot(2.0f), 0}, kAudioUnitErr_InvalidProperty},
      {kAudioUnitSetParameterSelect, {7, 0, 0, FloatSlot(2.0f), 0}, kAudioUnitErr_InvalidParameter},
      {kAudioUnitSetParameterSelect,
       {UnsignedSlot(0xFFFFFFFF), 0, 0, FloatSlot(2.0f), 0},
       kAudioUnitErr_InvalidParameter},
      {kAudioUnitRemovePropertyListenerSelect, {Slot(nullptr), Slot(nullptr)}, noErr},
      {kAudioUnitRemoveRenderNotifySelect, {Slot(nullptr), Slot(nullptr)}, noErr},
      {kAudioUnitRemovePropertyListenerWithUserDataSelect, {0, 0, 0}, noErr},
      {kAudioUnitScheduleParametersSelect, {Slot(&none), 0}, noErr},
      {kMusicDeviceMIDIEventSelect, {0x90, 60, 100, 0}, noErr},
      {kMusicDeviceSysExSelect, {Slot(sysex), 3}, noErr},
      {kMusicDevicePrepareInstrumentSelect, {0}, noErr},
      {kMusicDeviceReleaseInstrumentSelect, {0}, noErr},
      {kMusicDeviceStartNoteSelect, {0, 0, Slot(&instance), 0, Slot(&note)}, noErr},
      {kMusicDeviceStopNoteSelect, {0, 60, 0}, noErr},
      {0, {}, badComponentSelector},
      {8, {}, badComponentSelector},
      {12, {}, badComponentSelector},
      {13, {}, badComponentSelector},
      {0x100, {}, badComponentSelector},
      {0x107, {}, badComponentSelector},
      {-5, {}, badComponentSelector},
      // A block too short for the selector's arguments is not read.
      {kAudioUnitGetPropertySelect, {0, 0}, paramErr},
      {kAudioUnitSetParameterSelect, {0}, paramErr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Call(unit, c.what, c.args), c.expected) << "selector " << c.what;
  }
  EXPECT_FLOAT_EQ(Param(unit, 1), 2.0f);
  EXPECT_EQ(CallComponentVersion(unit), 0x10000);
}

TEST(AUDispatchTest, CanDoAnswersForTheAudioUnitCallsTheEntryServes) {
  ScopedAudioUnit unit;
  const std::set<int> yes = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17};
  for (int selector = -8; selector <= 0x110; ++selector) {
    EXPECT_EQ(CallComponentCanDo(unit, static_cast<SInt16>(selector)), yes.count(selector) ? 1 : 0)
        << selector;
  }
}

TEST(AUDispatchTest, ListenersAreKeyedByPropertyAndProcedure) {
  ScopedAudioUnit unit;
  int first = 0, second = 0;
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kCPULoad, Listener, &first), noErr);
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kCPULoad, Listener, &second), noErr);  // kept out
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kCPULoad, OtherListener, &second), noErr);
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kOtherProperty, Listener, &second), noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(unit, kCPULoad, nullptr, &second), paramErr);
  EXPECT_EQ(HeardAfterSet(unit), (std::vector<void*>{&first, &second}));

  // Removal with user data must match it; without, the procedure is enough.
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit, kCPULoad, Listener, &second), noErr);
  EXPECT_EQ(HeardAfterSet(unit), (std::vector<void*>{&first, &second}));
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit, kCPULoad, Listener, &first), noErr);
  EXPECT_EQ(HeardAfterSet(unit), (std::vector<void*>{&second}));
  EXPECT_EQ(AudioUnitRemovePropertyListener(unit, kCPULoad, OtherListener), noErr);
  EXPECT_EQ(HeardAfterSet(unit), std::vector<void*>{});
}

namespace {
std::vector<std::pair<void*, AudioUnitRenderActionFlags>> gNotified;
OSStatus Notify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32,
                UInt32, AudioBufferList*) {
  gNotified.emplace_back(refCon, *flags);
  return -1;  // ignored
}
}  // namespace

TEST(AUDispatchTest, RenderNotifiersMayRepeatAndAreRemovedByProcedure) {
  ScopedAudioUnit unit;
  Prepare(unit, 2);
  MemorySource source{Noise(2, 64)};
  ASSERT_EQ(source.attach(unit), noErr);
  int a = 0, b = 0;
  EXPECT_EQ(AudioUnitAddRenderNotify(unit, nullptr, &a), paramErr);
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, Notify, &a), noErr);
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, Notify, &b), noErr);
  BufferList out(2, 32);
  gNotified.clear();
  ASSERT_EQ(Render(unit, 0, 32, out.list()), noErr);
  using N = std::vector<std::pair<void*, AudioUnitRenderActionFlags>>;
  EXPECT_EQ(gNotified, (N{{&a, 4}, {&b, 4}, {&a, 8}, {&b, 8}}));
  // The reference is not compared: the first notifier with the procedure goes.
  ASSERT_EQ(AudioUnitRemoveRenderNotify(unit, Notify, &b), noErr);
  gNotified.clear();
  ASSERT_EQ(Render(unit, 32, 32, out.list()), noErr);
  EXPECT_EQ(gNotified, (N{{&b, 4}, {&b, 8}}));
}

namespace {
struct FlagsSeen {
  AudioUnitRenderActionFlags* where;
  AudioUnitRenderActionFlags value;
};
std::vector<FlagsSeen> gFlagsSeen;
// Marks the output silent after the render, as a metering host might.
OSStatus MarkSilent(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32,
                    AudioBufferList*) {
  gFlagsSeen.push_back({flags, *flags});
  if (*flags & kAudioUnitRenderAction_PostRender) *flags |= kAudioUnitRenderAction_OutputIsSilence;
  return noErr;
}
}  // namespace

// Notifiers work on the host's own flags word: it shows each phase, and
// what a notifier sets stays set.
TEST(AUDispatchTest, RenderNotifiersShareTheHostsFlags) {
  ScopedAudioUnit unit;
  Prepare(unit, 2);
  MemorySource source{Noise(2, 64)};
  ASSERT_EQ(source.attach(unit), noErr);
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, MarkSilent, nullptr), noErr);
  BufferList out(2, 32);
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = Stamp(0);
  gFlagsSeen.clear();
  ASSERT_EQ(AudioUnitRender(unit, &flags, &stamp, 0, 32, out.list()), noErr);
  ASSERT_EQ(gFlagsSeen.size(), 2u);
  EXPECT_EQ(gFlagsSeen[0].where, &flags);
  EXPECT_EQ(gFlagsSeen[0].value, kAudioUnitRenderAction_PreRender);
  EXPECT_EQ(gFlagsSeen[1].where, &flags);
  EXPECT_EQ(gFlagsSeen[1].value, kAudioUnitRenderAction_PostRender);
  EXPECT_EQ(flags, kAudioUnitRenderAction_PostRender | kAudioUnitRenderAction_OutputIsSilence);
}

TEST(AUDispatchTest, ScheduledParametersApplyImmediateEventsInOrder) {
  ScopedAudioUnit unit;
  AudioUnitParameterEvent events[4] = {};
  events[0].parameter = 3;
  events[0].eventType = kParameterEvent_Immediate;
  events[0].eventValues.immediate.value = 0.8f;
  events[1].parameter = 4;
  events[1].eventType = kParameterEvent_Ramped;
  events[1].eventValues.ramp = {0, 64, 0.1f, 0.2f};
  events[2] = events[0];
  events[2].parameter = 9;  // out of range: stops the list
  events[3] = events[0];
  events[3].parameter = 5;
  EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 2), noErr);
  EXPECT_FLOAT_EQ(Param(unit, 3), 0.8f);
  EXPECT_FLOAT_EQ(Param(unit, 4), 1.0f);  // ramps are not applied
  EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 4), kAudioUnitErr_InvalidParameter);
  EXPECT_FLOAT_EQ(Param(unit, 5), 0.29f);
}

TEST(AUDispatchTest, StartNoteTruncatesThePitch) {
  ScopedAudioUnit unit;
  MusicDeviceNoteParams note = {2, 60.7f, 99.9f, {}};
  NoteInstanceID instance = 0;
  EXPECT_EQ(MusicDeviceStartNote(unit, 0, 0, &instance, 0, &note), noErr);
  EXPECT_EQ(instance, 60u);
  note.mPitch = 1e30f;  // far outside int: saturates instead of overflowing
  EXPECT_EQ(MusicDeviceStartNote(unit, 0, 0, &instance, 0, &note), noErr);
  EXPECT_EQ(MusicDeviceStartNote(unit, 0, 0, &instance, 0, nullptr), paramErr);
}

TEST(AUDispatchTest, InitializeRefusesALayoutNoPairAllows) {
  ScopedAudioUnit unit;
  // Before Initialize each side is checked alone, so 1 in and 2 out pass...
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, 1), noErr);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 2), noErr);
  // ...but together they are no legal pair.
  EXPECT_EQ(AudioUnitInitialize(unit), badComponentSelector);
  // Once initialised, a format is checked against the other side too.
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 1), noErr);
  EXPECT_EQ(AudioUnitInitialize(unit), noErr);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 2), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, 2), kAudioUnitErr_InvalidProperty);
}

// The view opens the editor of a Morvex unit, and nothing for anything else.
TEST(AUDispatchTest, CarbonViewOpensOnlyAMorvexUnitsEditor) {
  ScopedAudioUnit unit;
  ComponentDescription looking = {kAudioUnitCarbonViewComponentType, kMorvexSubtype,
                                  kMorvexManufacturerID, 0, 0};
  Component viewComponent = FindNextComponent(nullptr, &looking);
  ASSERT_NE(viewComponent, nullptr);
  AudioUnitCarbonView view = OpenComponent(viewComponent);
  ASSERT_NE(view, nullptr);
  ControlRef control = nullptr;
  const Float32Point origin = {0, 0};
  EXPECT_EQ(AudioUnitCarbonViewCreate(view, unit, nullptr, nullptr, &origin, &origin, &control),
            noErr);
  EXPECT_EQ(AudioUnitCarbonViewCreate(view, view, nullptr, nullptr, &origin, &origin, &control),
            badComponentSelector);
  EXPECT_EQ(AudioUnitCarbonViewCreate(view, nullptr, nullptr, nullptr, &origin, &origin, &control),
            badComponentSelector);
  EXPECT_EQ(Call(view, 0x302), badComponentSelector);
  EXPECT_EQ(CloseComponent(view), noErr);
}

TEST(AUDispatchTest, BundleExportsOnlyItsEntries) {
  ComponentDescription looking = MorvexDescription();
  CFBundleRef bundle = HostGetComponentBundle(FindNextComponent(nullptr, &looking));
  ASSERT_NE(bundle, nullptr);
  CFURLRef url = CFBundleCopyExecutableURL(bundle);
  char path[4096];
  ASSERT_TRUE(
      CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path));
  CFRelease(url);
  EXPECT_EQ(test_support::DefinedSymbols(path),
            (std::set<std::string>{"Morvex_Entry", "Morvex_ViewEntry"}));
}
