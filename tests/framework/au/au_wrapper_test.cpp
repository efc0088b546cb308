// Wrapper features Morvex does not use (parameter groups, instruments, side
// chains), on small plug-ins of the test's own.
#include <gtest/gtest.h>

#include <string>

#include "framework/au/IPlugAU.h"
#include "framework/au/MakePlug.h"

namespace {

class TestPlug : public IPlugAU {
 public:
  TestPlug(const char* channelIO, bool isInstrument, int sideChain)
      : IPlugAU(IPlugInstanceInfo(), 4, channelIO, 1, "Test", "", "Maker", 0x10000, 1, 2, 0, false,
                false, isInstrument, sideChain) {
    const char* groups[] = {"B", "", "A", "B"};
    for (int i = 0; i < 4; ++i)
      GetParam(i)->InitDouble("p", 0.5, 0.0, 1.0, 0.01, "", groups[i]);
  }

  ComponentResult Get(AudioUnitPropertyID id, AudioUnitScope scope, UInt32 element, void* data,
                      UInt32* size = nullptr) {
    UInt32 localSize = 0;
    Boolean writable = false;
    return GetProperty(id, scope, element, size ? size : &localSize, &writable, data);
  }
  std::string ElementName(AudioUnitScope scope, UInt32 element) {
    CFStringRef name = nullptr;
    if (Get(kAudioUnitProperty_ElementName, scope, element, &name) != noErr) return "?";
    std::string text = CFStringGetCStringPtr(name, kCFStringEncodingUTF8);
    CFRelease(name);
    return text;
  }
  UInt32 Clump(UInt32 paramIdx) {
    AudioUnitParameterInfo info = {};
    EXPECT_EQ(Get(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, paramIdx, &info),
              noErr);
    CFRelease(info.cfNameString);
    const bool hasClump = info.flags & kAudioUnitParameterFlag_HasClump;
    EXPECT_EQ(hasClump, info.clumpID != 0);
    return info.clumpID;
  }
};

}  // namespace

IPlugAU* MakePlug(IPlugInstanceInfo) {
  return new TestPlug("2-2", false, 0);
}

TEST(AUWrapperTest, ClumpIdsFollowTheOrderGroupsAreFirstAskedAbout) {
  TestPlug plug("2-2", false, 0);
  EXPECT_EQ(plug.Clump(2), 1u);  // "A"
  EXPECT_EQ(plug.Clump(3), 2u);  // "B"
  EXPECT_EQ(plug.Clump(0), 2u);
  EXPECT_EQ(plug.Clump(1), 0u);  // no group
  const struct {
    UInt32 id;
    ComponentResult status;
    const char* name;
  } names[] = {{0, kAudioUnitErr_PropertyNotInUse, ""},
               {1, noErr, "A"},
               {2, noErr, "B"},
               {3, kAudioUnitErr_PropertyNotInUse, ""}};
  for (const auto& n : names) {
    AudioUnitParameterNameInfo clump = {n.id, -1, nullptr};
    EXPECT_EQ(plug.Get(kAudioUnitProperty_ParameterClumpName, kAudioUnitScope_Global, 0, &clump),
              n.status);
    EXPECT_EQ(clump.outName ? CFStringGetCStringPtr(clump.outName, kCFStringEncodingUTF8) : "",
              std::string(n.name));
    if (clump.outName) CFRelease(clump.outName);
  }
}

TEST(AUWrapperTest, InstrumentOutputsComeInStereoBuses) {
  TestPlug plug("0-5", true, 0);
  UInt32 count = 0;
  EXPECT_EQ(plug.Get(kAudioUnitProperty_ElementCount, kAudioUnitScope_Output, 0, &count), noErr);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(plug.Get(kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, &count), noErr);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(plug.ElementName(kAudioUnitScope_Output, 2), "output 3");
  const std::pair<UInt32, AudioChannelLayoutTag> tags[] = {{0, kAudioChannelLayoutTag_Stereo},
                                                           {2, kAudioChannelLayoutTag_Mono}};
  for (const auto& [bus, expected] : tags) {
    AudioChannelLayoutTag tag = 0;
    EXPECT_EQ(
        plug.Get(kAudioUnitProperty_SupportedChannelLayoutTags, kAudioUnitScope_Output, bus, &tag),
        noErr);
    EXPECT_EQ(tag, expected);
  }
  AudioChannelLayoutTag tag = 0;
  EXPECT_EQ(plug.Get(kAudioUnitProperty_SupportedChannelLayoutTags, kAudioUnitScope_Input, 0, &tag),
            kAudioUnitErr_InvalidProperty);  // no input bus
  UInt32 instruments = 0;
  EXPECT_EQ(plug.Get(kMusicDeviceProperty_InstrumentCount, kAudioUnitScope_Global, 0, &instruments),
            noErr);
  EXPECT_EQ(instruments, 1u);
}

TEST(AUWrapperTest, SideChainGetsItsOwnInputBus) {
  TestPlug plug("3-2", false, 1);
  UInt32 count = 0;
  EXPECT_EQ(plug.Get(kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, &count), noErr);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(plug.ElementName(kAudioUnitScope_Input, 0), "main input");
  EXPECT_EQ(plug.ElementName(kAudioUnitScope_Input, 1), "aux input");
  AudioStreamBasicDescription format = {};
  EXPECT_EQ(plug.Get(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, &format), noErr);
  EXPECT_EQ(format.mChannelsPerFrame, 1u);
  EXPECT_EQ(plug.Get(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, &format), noErr);
  EXPECT_EQ(format.mChannelsPerFrame, 2u);
}
