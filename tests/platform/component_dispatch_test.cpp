#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "platform/HostEvents.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ComponentSlots.h"

using platform_test::BundlesDir;
using platform_test::Code;
using test_support::FloatSlot;
using test_support::Slot;
using test_support::UnsignedSlot;

namespace {

void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}
OSStatus Notify(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                AudioBufferList*) {
  return noErr;
}

// A two-buffer list, allocated the way hosts size variable-length lists.
struct StereoBuffers {
  explicit StereoBuffers(UInt32 frames)
      : left(frames),
        right(frames),
        memory((offsetof(AudioBufferList, mBuffers) + 2 * sizeof(AudioBuffer) + 7) / 8),
        list(*reinterpret_cast<AudioBufferList*>(memory.data())) {
    list.mNumberBuffers = 2;
    list.mBuffers[0] = {1, frames * 4, left.data()};
    AudioBuffer* buffers = list.mBuffers;
    buffers[1] = {1, frames * 4, right.data()};
  }
  std::vector<Float32> left;
  std::vector<Float32> right;
  std::vector<UInt64> memory;
  AudioBufferList& list;
};

class ComponentDispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    platform_test::UseSearchPath(BundlesDir() + "/first");
    ComponentDescription looking =
        platform_test::Description(kAudioUnitType_Effect, Code("Alph"), 0);
    mUnit = OpenComponent(FindNextComponent(nullptr, &looking));
    ASSERT_NE(mUnit, nullptr);
    mLogHolder = std::make_unique<platform_test::RecordingLog>(platform_test::AlphaExecutable());
    ASSERT_TRUE(mLog().Valid());
    mLog().Clear();
  }
  void TearDown() override {
    if (mUnit) CloseComponent(mUnit);
  }

  // The last call reached the unit with this selector, its storage and the
  // arguments in reverse order.
  void ExpectLastCall(SInt16 what, const std::vector<long>& arguments) {
    ASSERT_GT(mLog().Count(), 0);
    const RecordedCall* call = mLog().Last();
    EXPECT_EQ(call->what, what);
    EXPECT_EQ(call->paramSize, arguments.size() * sizeof(long));
    EXPECT_EQ(call->storage, GetComponentInstanceStorage(mUnit));
    for (size_t i = 0; i < arguments.size(); ++i) {
      EXPECT_EQ(call->params[arguments.size() - 1 - i], arguments[i])
          << "selector " << what << ", argument " << i;
    }
  }

  RecordingUnitState* State() {
    return reinterpret_cast<RecordingUnitState*>(GetComponentInstanceStorage(mUnit));
  }

  // The log of the unit's library, which is loaded once the unit is open.
  const platform_test::RecordingLog& mLog() const { return *mLogHolder; }

  AudioUnit mUnit = nullptr;
  std::unique_ptr<platform_test::RecordingLog> mLogHolder;
};

}  // namespace

TEST_F(ComponentDispatchTest, EveryHostCallArrivesWithItsArgumentsInReverseOrder) {
  UInt32 size = 0;
  Boolean writable = false;
  Float32 value = 0;
  char data[16] = {};
  AudioStreamBasicDescription format = {};
  AudioUnitParameterEvent events[2] = {};
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp stamp = {};
  StereoBuffers buffers(8);
  const UInt8 sysex[] = {0xF0, 1, 2, 3, 0xF7};
  NoteInstanceID note = 0;
  MusicDeviceNoteParams noteParams = {2, 60.7f, 100, {}};
  void* userData = &size;
  const long unit = Slot(mUnit);

  const std::vector<
      std::pair<std::function<ComponentResult()>, std::pair<SInt16, std::vector<long>>>>
      calls = {
          {[&] { return AudioUnitInitialize(mUnit); }, {kAudioUnitInitializeSelect, {}}},
          {[&] { return AudioUnitUninitialize(mUnit); }, {kAudioUnitUninitializeSelect, {}}},
          {[&] { return AudioUnitGetPropertyInfo(mUnit, 21, 2, 3, &size, &writable); },
           {kAudioUnitGetPropertyInfoSelect, {21, 2, 3, Slot(&size), Slot(&writable)}}},
          {[&] { return AudioUnitGetProperty(mUnit, 8, 1, 0x12345678, &format, &size); },
           {kAudioUnitGetPropertySelect, {8, 1, 0x12345678, Slot(&format), Slot(&size)}}},
          {[&] { return AudioUnitSetProperty(mUnit, 27, 0, 0xFFFFFFFF, data, 16); },
           {kAudioUnitSetPropertySelect, {27, 0, UnsignedSlot(0xFFFFFFFF), Slot(data), 16}}},
          {[&] { return AudioUnitGetParameter(mUnit, 4, 0, 6, &value); },
           {kAudioUnitGetParameterSelect, {4, 0, 6, Slot(&value)}}},
          {[&] { return AudioUnitSetParameter(mUnit, 5, 0, 9, -0.625f, 17); },
           {kAudioUnitSetParameterSelect, {5, 0, 9, FloatSlot(-0.625f), 17}}},
          {[&] { return AudioUnitScheduleParameters(mUnit, events, 2); },
           {kAudioUnitScheduleParametersSelect, {Slot(events), 2}}},
          {[&] { return AudioUnitReset(mUnit, 1, 2); }, {kAudioUnitResetSelect, {1, 2}}},
          {[&] { return AudioUnitAddPropertyListener(mUnit, 12, Listener, userData); },
           {kAudioUnitAddPropertyListenerSelect,
            {12, Slot(reinterpret_cast<void*>(Listener)), Slot(userData)}}},
          {[&] { return AudioUnitRemovePropertyListener(mUnit, 12, Listener); },
           {kAudioUnitRemovePropertyListenerSelect, {12, Slot(reinterpret_cast<void*>(Listener))}}},
          {[&] {
             return AudioUnitRemovePropertyListenerWithUserData(mUnit, 12, Listener, userData);
           },
           {kAudioUnitRemovePropertyListenerWithUserDataSelect,
            {12, Slot(reinterpret_cast<void*>(Listener)), Slot(userData)}}},
          {[&] { return AudioUnitAddRenderNotify(mUnit, Notify, userData); },
           {kAudioUnitAddRenderNotifySelect,
            {Slot(reinterpret_cast<void*>(Notify)), Slot(userData)}}},
          {[&] { return AudioUnitRemoveRenderNotify(mUnit, Notify, userData); },
           {kAudioUnitRemoveRenderNotifySelect,
            {Slot(reinterpret_cast<void*>(Notify)), Slot(userData)}}},
          {[&] { return AudioUnitRender(mUnit, &flags, &stamp, 1, 8, &buffers.list); },
           {kAudioUnitRenderSelect, {Slot(&flags), Slot(&stamp), 1, 8, Slot(&buffers.list)}}},
          {[&] { return MusicDeviceMIDIEvent(mUnit, 0x90, 60, 100, 12); },
           {kMusicDeviceMIDIEventSelect, {0x90, 60, 100, 12}}},
          {[&] { return MusicDeviceSysEx(mUnit, sysex, 5); },
           {kMusicDeviceSysExSelect, {Slot(sysex), 5}}},
          {[&] { return MusicDevicePrepareInstrument(mUnit, 3); },
           {kMusicDevicePrepareInstrumentSelect, {3}}},
          {[&] { return MusicDeviceReleaseInstrument(mUnit, 4); },
           {kMusicDeviceReleaseInstrumentSelect, {4}}},
          {[&] { return MusicDeviceStartNote(mUnit, 7, 1, &note, 30, &noteParams); },
           {kMusicDeviceStartNoteSelect, {7, 1, Slot(&note), 30, Slot(&noteParams)}}},
          {[&] { return MusicDeviceStopNote(mUnit, 1, 60, 31); },
           {kMusicDeviceStopNoteSelect, {1, 60, 31}}},
          {[&] { return CallComponentCanDo(mUnit, kComponentOpenSelect); },
           {kComponentCanDoSelect, {-1}}},
          {[&] { return CallComponentVersion(mUnit); }, {kComponentVersionSelect, {}}},
      };
  for (const auto& [call, expected] : calls) {
    call();
    ExpectLastCall(expected.first, expected.second);
  }
  EXPECT_EQ(mLog().Count(), static_cast<int>(calls.size()));
  // The unit read the float back from its slot intact.
  EXPECT_EQ(State()->level, -0.625f);
  EXPECT_EQ(unit, Slot(State()->self));
}

TEST_F(ComponentDispatchTest, AnySelectorCanBeSentWithRawArguments) {
  const SInt16 selectors[] = {0, 8, 12, 13, 0x100, 0x7FFF, -32768};
  for (SInt16 selector : selectors) {
    const long args[] = {11, -2, LONG_MAX, LONG_MIN};
    EXPECT_EQ(HostCallComponentSelector(mUnit, selector, 4, args), badComponentSelector);
    ExpectLastCall(selector, {11, -2, LONG_MAX, LONG_MIN});
  }
  EXPECT_EQ(HostCallComponentSelector(mUnit, kAudioUnitResetSelect, 0, nullptr), noErr);
  ExpectLastCall(kAudioUnitResetSelect, {});
  const long many[17] = {};
  const int before = mLog().Count();
  EXPECT_EQ(HostCallComponentSelector(mUnit, 0, 17, many), paramErr);
  EXPECT_EQ(HostCallComponentSelector(mUnit, 0, 2, nullptr), paramErr);
  EXPECT_EQ(HostCallComponentSelector(nullptr, 0, 0, nullptr), badComponentInstance);
  EXPECT_EQ(mLog().Count(), before);
  EXPECT_EQ(CallComponentCanDo(mUnit, kAudioUnitRenderSelect), 1);
  EXPECT_EQ(CallComponentCanDo(mUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect), 0);
  EXPECT_EQ(CallComponentVersion(mUnit), 0x00010203);
}

TEST_F(ComponentDispatchTest, StorageAndComponentInfoReachThePlugIn) {
  RecordingUnitState* state = State();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->infoResult, noErr);
  EXPECT_EQ(state->info.componentType, static_cast<OSType>(kAudioUnitType_Effect));
  EXPECT_EQ(state->info.componentSubType, Code("Alph"));
  EXPECT_EQ(state->info.componentManufacturer, Code("Mrvx"));
  EXPECT_STREQ(state->name, "Morvex Tests: Alpha");
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(state->bundleAtLoad), CFSTR("com.morvex.tests.alpha")));

  int other = 0;
  SetComponentInstanceStorage(mUnit, reinterpret_cast<Handle>(&other));
  HostCallComponentSelector(mUnit, 0, 0, nullptr);
  EXPECT_EQ(mLog().Last()->storage, reinterpret_cast<Handle>(&other));
  SetComponentInstanceStorage(mUnit, reinterpret_cast<Handle>(state));

  ComponentInstance second = nullptr;
  ASSERT_EQ(OpenAComponent(FindNextComponent(nullptr, &state->info), &second), noErr);
  EXPECT_NE(GetComponentInstanceStorage(second), GetComponentInstanceStorage(mUnit));
  EXPECT_EQ(CountComponentInstances(reinterpret_cast<Component>(mUnit)), 2);
  CloseComponent(second);

  EXPECT_EQ(AudioUnitInitialize(nullptr), badComponentInstance);
  EXPECT_EQ(GetComponentInstanceStorage(nullptr), nullptr);
  SetComponentInstanceStorage(nullptr, nullptr);
  EXPECT_EQ(CloseComponent(nullptr), invalidComponentID);
}

TEST_F(ComponentDispatchTest, PlugInPullsItsUpstreamUnitThroughRender) {
  ComponentDescription alpha = State()->info;
  AudioUnit source = OpenComponent(FindNextComponent(nullptr, &alpha));
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(AudioUnitSetParameter(source, 0, kAudioUnitScope_Global, 0, 0.5f, 0), noErr);
  ASSERT_EQ(AudioUnitSetParameter(mUnit, 0, kAudioUnitScope_Global, 0, 3.0f, 0), noErr);
  const AudioUnitConnection connection = {source, 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                                 &connection, sizeof connection),
            noErr);
  EXPECT_EQ(State()->sourceChannels, 2u);  // read with AudioUnitGetProperty from the plug-in

  StereoBuffers buffers(64);
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp stamp = {};
  stamp.mFlags = kAudioTimeStampSampleTimeValid;
  ASSERT_EQ(AudioUnitRender(mUnit, &flags, &stamp, 0, 64, &buffers.list), noErr);
  for (UInt32 i = 0; i < 64; ++i) {
    ASSERT_EQ(buffers.left[i], 1.5f);
    ASSERT_EQ(buffers.right[i], 1.5f);
  }
  Float32 level = 0;
  ASSERT_EQ(AudioUnitGetParameter(source, 0, kAudioUnitScope_Global, 0, &level), noErr);
  EXPECT_EQ(level, 0.5f);
  CloseComponent(source);
}

TEST_F(ComponentDispatchTest, ViewComponentFindsTheStorageOfItsUnit) {
  ComponentDescription looking =
      platform_test::Description(kAudioUnitCarbonViewComponentType, Code("Alph"), Code("Mrvx"));
  AudioUnitCarbonView view = OpenComponent(FindNextComponent(nullptr, &looking));
  ASSERT_NE(view, nullptr);
  const Float32Point location = {1, 2};
  const Float32Point size = {424, 104};
  ControlRef control = nullptr;
  const auto window = reinterpret_cast<WindowRef>(0x1000);
  const auto parent = reinterpret_cast<ControlRef>(0x2000);
  ASSERT_EQ(AudioUnitCarbonViewCreate(view, mUnit, window, parent, &location, &size, &control),
            noErr);
  EXPECT_EQ(reinterpret_cast<Handle>(control), GetComponentInstanceStorage(mUnit));
  const RecordedCall* call = mLog().Last();
  EXPECT_EQ(call->what, kAudioUnitCarbonViewCreateSelect);
  EXPECT_EQ(call->params[5], Slot(mUnit));
  EXPECT_EQ(call->params[4], Slot(window));
  EXPECT_EQ(call->params[3], Slot(parent));
  EXPECT_EQ(call->params[2], Slot(&location));
  EXPECT_EQ(call->params[1], Slot(&size));
  EXPECT_EQ(call->params[0], Slot(&control));
  EXPECT_EQ(CloseComponent(view), noErr);
}

namespace {

struct ReceivedEvent {
  int calls = 0;
  void* object = nullptr;
  AudioUnitEvent event = {};
  UInt64 hostTime = 0;
  Float32 value = -1;
};

void Hook(void* refCon, void* object, const AudioUnitEvent* event, UInt64 hostTime,
          AudioUnitParameterValue value) {
  auto* received = static_cast<ReceivedEvent*>(refCon);
  ++received->calls;
  received->object = object;
  received->event = *event;
  received->hostTime = hostTime;
  received->value = value;
}

}  // namespace

TEST_F(ComponentDispatchTest, EventHookReceivesWhatPlugInsNotify) {
  ReceivedEvent received;
  HostSetAUEventHook(Hook, &received);
  ASSERT_EQ(AudioUnitSetParameter(mUnit, 0, kAudioUnitScope_Global, 0, 0.25f, 0), noErr);
  EXPECT_EQ(received.calls, 1);
  EXPECT_EQ(received.event.mEventType, kAudioUnitEvent_ParameterValueChange);
  EXPECT_EQ(received.event.mArgument.mParameter.mAudioUnit, mUnit);
  EXPECT_EQ(received.event.mArgument.mParameter.mParameterID, 0u);
  EXPECT_EQ(received.value, 0.25f);  // read back from the unit
  EXPECT_GT(received.hostTime, 0u);

  AudioUnitEvent gesture = {};
  gesture.mEventType = kAudioUnitEvent_EndParameterChangeGesture;
  gesture.mArgument.mParameter.mAudioUnit = mUnit;
  int sender = 0;
  EXPECT_EQ(AUEventListenerNotify(nullptr, &sender, &gesture), noErr);
  EXPECT_EQ(received.calls, 2);
  EXPECT_EQ(received.object, &sender);
  EXPECT_EQ(received.event.mEventType, kAudioUnitEvent_EndParameterChangeGesture);
  EXPECT_EQ(received.value, 0.0f);
  EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, nullptr), paramErr);

  HostSetAUEventHook(nullptr, nullptr);
  AudioUnitSetParameter(mUnit, 0, kAudioUnitScope_Global, 0, 0.75f, 0);
  EXPECT_EQ(received.calls, 2);
}
