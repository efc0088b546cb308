// What the wrapper tells the host on the plug-in's initiative (parameter
// events, program and latency changes) and what it asks of the host (its
// transport), with Morvex registered in-process.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "effect/Morvex.h"
#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "platform/HostEvents.h"

namespace {

class MorvexHostTest : public testing::Test {
 protected:
  void SetUp() override {
    static const ComponentDescription desc = {kAudioUnitType_Effect, 0x486F7374, 0x41636D65, 0, 0};
    static Component component = HostRegisterComponent(&desc, IPlugAU::IPlugAUEntry, "Host", 1);
    mUnit = OpenComponent(component);
    ASSERT_NE(mUnit, nullptr);
    mPlug = reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(mUnit));
  }
  void TearDown() override {
    HostSetAUEventHook(nullptr, nullptr);
    CloseComponent(mUnit);
  }
  AudioUnit mUnit = nullptr;
  IPlugAU* mPlug = nullptr;
};

std::vector<std::tuple<AudioUnitEventType, AudioUnitParameterID, AudioUnitParameterValue>> gEvents;
void Hook(void*, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value) {
  gEvents.emplace_back(event->mEventType, event->mArgument.mParameter.mParameterID, value);
}

std::vector<Float64> gLatencySeen;
void LatencyListener(void*, AudioUnit unit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
  Float64 seconds = -1;
  UInt32 size = sizeof seconds;
  AudioUnitGetProperty(unit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds,
                       &size);
  gLatencySeen.push_back(seconds);
}

int gProgramChanges = 0;
void ProgramListener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
  ++gProgramChanges;
}

}  // namespace

TEST_F(MorvexHostTest, ParameterGesturesReachTheHostAsEvents) {
  gEvents.clear();
  HostSetAUEventHook(Hook, nullptr);
  mPlug->BeginInformHostOfParamChange(2);
  mPlug->SetParameterFromGUI(2, 0.25);
  mPlug->EndInformHostOfParamChange(2);
  using E = std::tuple<AudioUnitEventType, AudioUnitParameterID, AudioUnitParameterValue>;
  EXPECT_EQ(gEvents, (std::vector<E>{{kAudioUnitEvent_BeginParameterChangeGesture, 2, 0.0f},
                                     {kAudioUnitEvent_ParameterValueChange, 2, 0.25f},
                                     {kAudioUnitEvent_EndParameterChangeGesture, 2, 0.0f}}));
}

TEST_F(MorvexHostTest, ListenersHearOfProgramAndLatencyChanges) {
  ASSERT_EQ(
      AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_Latency, LatencyListener, nullptr),
      noErr);
  ASSERT_EQ(AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_PresentPreset, ProgramListener,
                                         nullptr),
            noErr);
  gLatencySeen.clear();
  mPlug->SetLatency(441);
  EXPECT_EQ(gLatencySeen, std::vector<Float64>{0.0});  // still the old value
  Float64 seconds = 0;
  UInt32 size = sizeof seconds;
  ASSERT_EQ(AudioUnitGetProperty(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0,
                                 &seconds, &size),
            noErr);
  EXPECT_DOUBLE_EQ(seconds, 0.01);
  gProgramChanges = 0;
  mPlug->InformHostOfProgramChange();
  EXPECT_EQ(gProgramChanges, 1);
}

namespace {
OSStatus BeatAndTempo(void*, Float64* beat, Float64* tempo) {
  *beat = 16.5;
  *tempo = 98.0;
  return noErr;
}
OSStatus MusicalTime(void*, UInt32*, Float32* numerator, UInt32* denominator, Float64* downBeat) {
  *numerator = 7.9f;
  *denominator = 8;
  *downBeat = 12.0;
  return noErr;
}
OSStatus Transport(void*, Boolean* playing, Boolean*, Float64* sample, Boolean* cycling,
                   Float64* cycleStart, Float64* cycleEnd) {
  *playing = true;
  *sample = 44099.6;
  *cycling = true;
  *cycleStart = 4.0;
  *cycleEnd = 0.0;  // not positive: left alone
  return noErr;
}
}  // namespace

TEST_F(MorvexHostTest, TransportComesFromTheHostCallbacks) {
  // Without callbacks: 120 bpm, sample 0, time signature untouched.
  EXPECT_EQ(mPlug->GetTempo(), 120.0);
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  int numerator = -1, denominator = -1;
  mPlug->GetTimeSig(&numerator, &denominator);
  EXPECT_EQ(std::make_pair(numerator, denominator), std::make_pair(-1, -1));
  const ITimeInfo defaults;
  ITimeInfo info;
  mPlug->GetTime(&info);
  EXPECT_EQ(info.mSamplePos, defaults.mSamplePos);

  HostCallbackInfo callbacks = {nullptr, BeatAndTempo, MusicalTime, Transport};
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0,
                                 &callbacks, sizeof callbacks),
            noErr);
  EXPECT_EQ(mPlug->GetTempo(), 98.0);
  EXPECT_EQ(mPlug->GetSamplePos(), 44100);
  mPlug->GetTimeSig(&numerator, &denominator);
  EXPECT_EQ(std::make_pair(numerator, denominator), std::make_pair(7, 8));
  mPlug->GetTime(&info);
  EXPECT_EQ(info.mTempo, 98.0);
  EXPECT_EQ(info.mPPQPos, 16.5);
  EXPECT_EQ(info.mSamplePos, 44099.6);
  EXPECT_EQ(info.mCycleStart, 4.0);
  EXPECT_EQ(info.mCycleEnd, defaults.mCycleEnd);
  EXPECT_EQ(info.mLastBar, 12.0);
  EXPECT_EQ(info.mNumerator, 7);
  EXPECT_EQ(info.mDenominator, 8);
  EXPECT_TRUE(info.mTransportIsRunning && info.mTransportLoopEnabled);

  const UInt32 offline = 1;
  EXPECT_FALSE(mPlug->IsRenderingOffline());
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_OfflineRender, kAudioUnitScope_Global, 0,
                                 &offline, sizeof offline),
            noErr);
  EXPECT_TRUE(mPlug->IsRenderingOffline());
}

TEST_F(MorvexHostTest, HostIdentifierSetsTheHost) {
  AUHostIdentifier host = {CFSTR("REAPER"), {0, 0, 0x34, 6}};
  ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global,
                                 0, &host, sizeof host),
            noErr);
  EXPECT_EQ(mPlug->GetHost(), kHostReaper);
  EXPECT_EQ(mPlug->GetHostVersion(false), (6 << 16) | (3 << 8) | 4);
}

TEST_F(MorvexHostTest, NonFiniteParameterValuesFromTheHostAreIgnored) {
  ASSERT_EQ(AudioUnitSetParameter(mUnit, Morvex::kMix, kAudioUnitScope_Global, 0, 0.7f, 0), noErr);
  for (float value : {NAN, INFINITY, -INFINITY}) {
    AudioUnitSetParameter(mUnit, Morvex::kMix, kAudioUnitScope_Global, 0, value, 0);
    AudioUnitParameterValue mix = 0;
    ASSERT_EQ(AudioUnitGetParameter(mUnit, Morvex::kMix, kAudioUnitScope_Global, 0, &mix), noErr);
    EXPECT_EQ(mix, 0.7f) << value;
  }
}
