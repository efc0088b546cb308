// The records a host and a component exchange by address have the host
// platform's layout for the build's word size: a 32-bit host hands over
// 84-byte parameter infos, a 64-bit one 104-byte ones, and each reads fields
// at its own offsets. Doubles and 64-bit integers sit 4-byte aligned inside
// 32-bit records, as the 32-bit x86 ABI places them.
#include <gtest/gtest.h>

#include <cstddef>

#include "platform/AUComponent.h"
#include "platform/AudioUnitProperties.h"
#include "platform/AudioUnitUtilities.h"
#include "platform/Components.h"
#include "platform/CoreAudioTypes.h"
#include "platform/MusicDevice.h"

namespace {

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "a 32- or 64-bit build");

// The figure for this build's word size.
constexpr size_t Bits(size_t on32, size_t on64) {
  return sizeof(void*) == 4 ? on32 : on64;
}

}  // namespace

TEST(RecordLayoutTest, ComponentRecords) {
  EXPECT_EQ(sizeof(ComponentDescription), 20u);
  EXPECT_EQ(offsetof(ComponentDescription, componentSubType), 4u);
  EXPECT_EQ(offsetof(ComponentDescription, componentFlagsMask), 16u);

  // One long per argument after a 4-byte header, padded to a long.
  EXPECT_EQ(sizeof(ComponentParameters), Bits(8, 16));
  EXPECT_EQ(offsetof(ComponentParameters, paramSize), 1u);
  EXPECT_EQ(offsetof(ComponentParameters, what), 2u);
  EXPECT_EQ(offsetof(ComponentParameters, params), Bits(4, 8));
  EXPECT_EQ(sizeof(ComponentParameters::params[0]), Bits(4, 8));
}

TEST(RecordLayoutTest, StreamBufferAndTimeRecords) {
  EXPECT_EQ(sizeof(AudioStreamBasicDescription), 40u);
  EXPECT_EQ(alignof(AudioStreamBasicDescription), Bits(4, 8));
  EXPECT_EQ(offsetof(AudioStreamBasicDescription, mFormatID), 8u);
  EXPECT_EQ(offsetof(AudioStreamBasicDescription, mChannelsPerFrame), 28u);
  EXPECT_EQ(offsetof(AudioStreamBasicDescription, mBitsPerChannel), 32u);

  EXPECT_EQ(sizeof(AudioBuffer), Bits(12, 16));
  EXPECT_EQ(offsetof(AudioBuffer, mDataByteSize), 4u);
  EXPECT_EQ(offsetof(AudioBuffer, mData), 8u);
  // Hosts size longer lists from the offset of the first buffer.
  EXPECT_EQ(sizeof(AudioBufferList), Bits(16, 24));
  EXPECT_EQ(offsetof(AudioBufferList, mBuffers), Bits(4, 8));

  EXPECT_EQ(sizeof(SMPTETime), 24u);
  EXPECT_EQ(offsetof(SMPTETime, mCounter), 4u);
  EXPECT_EQ(offsetof(SMPTETime, mHours), 16u);
  EXPECT_EQ(sizeof(AudioTimeStamp), 64u);
  EXPECT_EQ(alignof(AudioTimeStamp), Bits(4, 8));
  EXPECT_EQ(offsetof(AudioTimeStamp, mHostTime), 8u);
  EXPECT_EQ(offsetof(AudioTimeStamp, mWordClockTime), 24u);
  EXPECT_EQ(offsetof(AudioTimeStamp, mSMPTETime), 32u);
  EXPECT_EQ(offsetof(AudioTimeStamp, mFlags), 56u);
}

TEST(RecordLayoutTest, ParameterInfoIs84BytesOn32BitAnd104On64) {
  EXPECT_EQ(sizeof(AudioUnitParameterInfo), Bits(84, 104));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, unitName), Bits(52, 56));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, clumpID), Bits(56, 64));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, cfNameString), Bits(60, 72));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, unit), Bits(64, 80));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, minValue), Bits(68, 84));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, defaultValue), Bits(76, 92));
  EXPECT_EQ(offsetof(AudioUnitParameterInfo, flags), Bits(80, 96));
}

TEST(RecordLayoutTest, PropertyRecords) {
  EXPECT_EQ(sizeof(AudioUnitConnection), Bits(12, 16));
  EXPECT_EQ(offsetof(AudioUnitConnection, sourceOutputNumber), Bits(4, 8));
  EXPECT_EQ(sizeof(AUChannelInfo), 4u);
  EXPECT_EQ(sizeof(AURenderCallbackStruct), Bits(8, 16));
  EXPECT_EQ(offsetof(AURenderCallbackStruct, inputProcRefCon), Bits(4, 8));
  EXPECT_EQ(sizeof(AUPreset), Bits(8, 16));
  EXPECT_EQ(offsetof(AUPreset, presetName), Bits(4, 8));
  EXPECT_EQ(sizeof(HostCallbackInfo), Bits(16, 32));
  EXPECT_EQ(offsetof(HostCallbackInfo, transportStateProc), Bits(12, 24));
  EXPECT_EQ(sizeof(AudioUnitCocoaViewInfo), Bits(8, 16));
  EXPECT_EQ(offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewClass), Bits(4, 8));

  EXPECT_EQ(sizeof(AudioUnitParameterStringFromValue), Bits(12, 24));
  EXPECT_EQ(offsetof(AudioUnitParameterStringFromValue, inValue), Bits(4, 8));
  EXPECT_EQ(offsetof(AudioUnitParameterStringFromValue, outString), Bits(8, 16));
  EXPECT_EQ(sizeof(AudioUnitParameterNameInfo), Bits(12, 16));
  EXPECT_EQ(offsetof(AudioUnitParameterNameInfo, outName), 8u);
  EXPECT_EQ(sizeof(AudioUnitParameterValueFromString), Bits(12, 24));
  EXPECT_EQ(offsetof(AudioUnitParameterValueFromString, inString), Bits(4, 8));
  EXPECT_EQ(offsetof(AudioUnitParameterValueFromString, outValue), Bits(8, 16));

  EXPECT_EQ(sizeof(AUNumVersion), 4u);
  EXPECT_EQ(offsetof(AUNumVersion, majorRev), 3u);
  EXPECT_EQ(sizeof(AUHostIdentifier), Bits(8, 16));
  EXPECT_EQ(offsetof(AUHostIdentifier, hostVersion), Bits(4, 8));
  EXPECT_EQ(sizeof(AudioUnitParameter), Bits(16, 24));
  EXPECT_EQ(offsetof(AudioUnitParameter, mParameterID), Bits(4, 8));
  EXPECT_EQ(offsetof(AudioUnitParameter, mElement), Bits(12, 16));
  EXPECT_EQ(sizeof(AudioUnitProperty), Bits(16, 24));
  EXPECT_EQ(offsetof(AudioUnitProperty, mPropertyID), Bits(4, 8));
}

TEST(RecordLayoutTest, EventRecords) {
  EXPECT_EQ(sizeof(AudioUnitEvent), Bits(20, 32));
  EXPECT_EQ(offsetof(AudioUnitEvent, mArgument), Bits(4, 8));
  EXPECT_EQ(sizeof(AudioUnitParameterEvent), 32u);
  EXPECT_EQ(offsetof(AudioUnitParameterEvent, eventType), 12u);
  EXPECT_EQ(offsetof(AudioUnitParameterEvent, eventValues), 16u);
  EXPECT_EQ(offsetof(AudioUnitParameterEvent, eventValues.ramp.endValue), 28u);
  EXPECT_EQ(offsetof(AudioUnitParameterEvent, eventValues.immediate.value), 20u);
  EXPECT_EQ(sizeof(MusicDeviceNoteParams), 20u);
  EXPECT_EQ(offsetof(MusicDeviceNoteParams, mControls), 12u);
}
