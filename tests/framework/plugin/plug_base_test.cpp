#include "framework/plugin/IPlugBase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "framework/plugin/VersionParts.h"
#include "tests/support/TestPlug.h"

// What the base decides before any host speaks: the wrapper and the effect
// rely on these until told otherwise.
TEST(IPlugBaseTest, FreshPlugInStartsFromTheBaseDefaults) {
  TestPlug plug;
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  EXPECT_FALSE(plug.IsBypassed());
  EXPECT_EQ(plug.GetParam(plug.NParams()), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  for (int i = 0; i < plug.NPresets(); ++i) {
    EXPECT_STREQ(plug.GetPresetName(i), "empty");
    EXPECT_FALSE(plug.Preset(i)->mInitialized);
  }
  EXPECT_STREQ(plug.GetPresetName(plug.NPresets()), "");
}

// A wrapper that offers no note names or SysEx output gets clear refusals.
TEST(IPlugBaseTest, NoteNamesAndSysExAreRefusedByTheBase) {
  TestPlug plug;
  char name[8] = "xyz";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
  ISysEx sysex;
  EXPECT_FALSE(plug.SendSysEx(&sysex));
}

TEST(IPlugBaseTest, LongNamesAreTruncatedToTheirWidth) {
  const std::string longName(300, 'm');
  struct Direct : IPlugBase {
    explicit Direct(const char* name)
        : IPlugBase(0, "2-2", 0, name, name, name, 0, 0, 0, 0, false, false, false, kAPIVST2) {}
    void BeginInformHostOfParamChange(int) override {}
    void InformHostOfParamChange(int, double) override {}
    void EndInformHostOfParamChange(int) override {}
    void InformHostOfProgramChange() override {}
    int GetSamplePos() noexcept override { return 0; }
    double GetTempo() noexcept override { return 0; }
    void GetTimeSig(int*, int*) noexcept override {}
    void GetTime(ITimeInfo*) noexcept override {}
    void ResizeGraphics(int, int) override {}
    bool SendMidiMsg(IMidiMsg*) noexcept override { return false; }
  };
  Direct plug(longName.c_str());
  EXPECT_EQ(std::string(plug.GetEffectName()), longName.substr(0, MAX_EFFECT_NAME_LEN - 1));
  EXPECT_EQ(std::string(plug.GetMfrName()), longName.substr(0, MAX_EFFECT_NAME_LEN - 1));
  EXPECT_STREQ(plug.GetAPIString(), "VST2");
  Direct unnamed(nullptr);
  EXPECT_STREQ(unnamed.GetEffectName(), "");
}

TEST(IPlugBaseDeathTest, MalformedChannelLayoutStopsConstruction) {
  EXPECT_DEATH(TestPlug plug("1-1 2"), "channelIOStrValid");
  EXPECT_DEATH(TestPlug plug("stereo"), "channelIOStrValid");
  EXPECT_DEATH(TestPlug plug(""), "channelIOStrValid");
}

TEST(IPlugBaseTest, VersionsPackUnpackAndPrint) {
  const int version = 1 * 65536 + 2 * 256 + 3;
  int major = 0, minor = 0, patch = 0;
  GetVersionParts(version, &major, &minor, &patch);
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 2);
  EXPECT_EQ(patch, 3);
  EXPECT_EQ(GetDecimalVersion(version), 10203);
  char text[MAX_VERSION_STR_LEN];
  GetVersionStr(version, text, sizeof(text));
  EXPECT_STREQ(text, "v1.2.3");

  TestPlug plug("1-1", 0, false, version);
  EXPECT_EQ(plug.GetEffectVersion(false), version);
  EXPECT_EQ(plug.GetEffectVersion(true), 10203);
  plug.GetEffectVersionStr(text, sizeof(text));
  EXPECT_STREQ(text, "v1.2.3D");
  char tiny[5];
  plug.GetEffectVersionStr(tiny, sizeof(tiny));
  EXPECT_STREQ(tiny, "v1.2");

  plug.SetHost("Logic Pro X", 0x0A0401);
  EXPECT_EQ(plug.GetHost(), kHostLogic);
  EXPECT_EQ(plug.GetHostVersion(true), 100401);
  plug.GetHostVersionStr(text, sizeof(text));
  EXPECT_STREQ(text, "v10.4.1");
}

TEST(IPlugBaseTest, HostLookUpIgnoresCaseAndTakesTheEarlierKey) {
  EXPECT_EQ(LookUpHost("Apple LOGIC pro"), kHostLogic);
  EXPECT_EQ(LookUpHost("logic"), 21);
  EXPECT_EQ(LookUpHost("REAPER64"), kHostReaper);
  EXPECT_EQ(LookUpHost("nuendo with cubase inside"), kHostCubase);
  EXPECT_EQ(LookUpHost("Melodyne studio"), kHostMelodyne);
  EXPECT_EQ(LookUpHost("Ableton Live 11"), kHostLive);
  EXPECT_EQ(LookUpHost("PreSonus Studio One"), kHostStudioOne);
  EXPECT_EQ(LookUpHost("Vegas Pro"), kHostUnknown);  // Vegas has a name but no key
  EXPECT_EQ(LookUpHost(""), kHostUnknown);
  EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
  // Only the first 255 characters count; a longer name must not overflow.
  std::string padded(400, 'x');
  EXPECT_EQ(LookUpHost((padded + "reaper").c_str()), kHostUnknown);
  padded.replace(250, 5, "forte");
  EXPECT_EQ(LookUpHost(padded.c_str()), kHostForte);

  char name[32];
  const struct {
    EHost host;
    const char* name;
  } names[] = {{kHostMelodyne, "Unknown"}, {kHostUnknown, "Unknown"},
               {kHostUninit, "Unknown"},   {static_cast<EHost>(10), "Unknown"},
               {kHostVegas, "Vegas"},      {kHostSonar, "Sonar"},
               {kHostFL, "FLStudio"},      {kHostVST3TestHost, "VST3PluginTestHost"},
               {kHostArdour, "Ardour"},    {kHostDigitalPerformer, "DigitalPerformer"}};
  for (const auto& n : names) {
    GetHostNameStr(n.host, name, sizeof(name));
    EXPECT_STREQ(name, n.name) << n.host;
  }
  char small[6];
  GetHostNameStr(kHostGarageBand, small, sizeof(small));
  EXPECT_STREQ(small, "Garag");
}

TEST(IPlugBaseTest, ParameterFromEditorSetsInformsHostThenEffect) {
  TestPlug plug;
  plug.SetParameterFromGUI(TestPlug::kStages, 0.5);
  EXPECT_EQ(plug.GetParam(TestPlug::kStages)->Value(), 3.0);  // 2.5 rounds up
  ASSERT_EQ(plug.hostParamChanges.size(), 1u);
  EXPECT_EQ(plug.hostParamChanges[0], std::make_pair(1, 0.5));  // as passed, not re-derived
  EXPECT_EQ(plug.paramChanges, std::vector<int>{1});
  plug.SetParameterFromGUI(7, 0.5);
  EXPECT_EQ(plug.paramChanges.size(), 1u);
  plug.SetParameterFromGUI(TestPlug::kStages, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(plug.GetParam(TestPlug::kStages)->Value(), 3.0);
  EXPECT_EQ(plug.hostParamChanges.size(), 1u);  // no NaN for the host either
  EXPECT_EQ(plug.paramChanges.size(), 1u);

  plug.OnParamReset();
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{1, 0, 1, 2}));

  plug.hostParamChanges.clear();
  plug.GetParam(TestPlug::kGain)->Set(0.25);
  plug.DirtyParameters();
  ASSERT_EQ(plug.hostParamChanges.size(), 3u);
  EXPECT_EQ(plug.hostParamChanges[0], std::make_pair(0, 0.25));
  EXPECT_EQ(plug.hostParamChanges[1], std::make_pair(1, 0.6));
  EXPECT_EQ(plug.hostParamChanges[2], std::make_pair(2, 1.0));
}

// What both wrappers do with a host's value: the editor is shown what the
// parameter took and the effect hears of it; the host is not told back.
TEST(IPlugBaseTest, ParameterFromHostIsClampedShownThenHeard) {
  TestPlug plug;
  auto* editor = new FakeEditor;
  plug.AttachGraphics(editor);
  editor->calls.clear();
  plug.SetParameterFromHost(TestPlug::kGain, 1.75);
  EXPECT_EQ(plug.GetParam(TestPlug::kGain)->Value(), 1.0);
  EXPECT_EQ(editor->calls, (std::vector<std::tuple<int, double, bool>>{{0, 1.0, false}}));
  EXPECT_EQ(plug.paramChanges, std::vector<int>{0});
  EXPECT_TRUE(plug.hostParamChanges.empty());

  plug.SetParameterFromHost(TestPlug::kGain, std::numeric_limits<double>::quiet_NaN());
  plug.SetParameterFromHost(TestPlug::kNumParams, 0.5);
  EXPECT_EQ(plug.GetParam(TestPlug::kGain)->Value(), 1.0);
  EXPECT_EQ(editor->calls.size(), 1u);
  EXPECT_EQ(plug.paramChanges.size(), 1u);
}

TEST(IPlugBaseTest, AttachedEditorGetsNormalisedValuesThenPrepDrawAndIsOwned) {
  bool destroyed = false;
  {
    TestPlug plug;
    plug.AttachGraphics(nullptr);
    EXPECT_EQ(plug.GetGUI(), nullptr);
    plug.RedrawParamControls();  // no editor: nothing to do

    auto* editor = new FakeEditor(&destroyed);
    plug.AttachGraphics(editor);
    EXPECT_EQ(plug.GetGUI(), editor);
    ASSERT_EQ(editor->calls.size(), 3u);
    EXPECT_EQ(editor->calls[0], std::make_tuple(0, 0.5, true));
    EXPECT_EQ(editor->calls[1], std::make_tuple(1, 0.6, true));
    EXPECT_EQ(editor->calls[2], std::make_tuple(2, 1.0, true));
    EXPECT_EQ(editor->prepDrawsAfterCalls, std::vector<int>{3});

    editor->calls.clear();
    plug.RedrawParamControls();
    ASSERT_EQ(editor->calls.size(), 3u);
    EXPECT_EQ(editor->calls[1], std::make_tuple(1, 3.0, false));  // real units
    EXPECT_FALSE(destroyed);
  }
  EXPECT_TRUE(destroyed);
}

TEST(IPlugBaseTest, ReattachingAnEditorReplacesAndDeletesTheOldOne) {
  bool firstDestroyed = false, secondDestroyed = false;
  TestPlug plug;
  plug.AttachGraphics(new FakeEditor(&firstDestroyed));
  plug.AttachGraphics(new FakeEditor(&secondDestroyed));
  EXPECT_TRUE(firstDestroyed);
  EXPECT_FALSE(secondDestroyed);
}

// An effect whose editor is made when a host first asks for it.
class PlugWithEditorOnDemand : public TestPlug {
 public:
  explicit PlugWithEditorOnDemand(bool makes) : mMakes(makes) {}
  int made = 0;

 protected:
  IPlugEditor* MakeGUI() override {
    ++made;
    return mMakes ? new FakeEditor : nullptr;
  }

 private:
  bool mMakes;
};

TEST(IPlugBaseTest, TheEditorIsMadeOnTheFirstDemandOnlyAndAttachedWithTheSettings) {
  PlugWithEditorOnDemand plug(true);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  EXPECT_EQ(plug.made, 0);
  auto* editor = dynamic_cast<FakeEditor*>(plug.DemandGUI());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(plug.GetGUI(), editor);
  EXPECT_EQ(editor->calls.size(), 3u);
  EXPECT_EQ(plug.DemandGUI(), editor);
  EXPECT_EQ(plug.made, 1);

  // An effect that made none is not asked again on every demand.
  PlugWithEditorOnDemand without(false);
  EXPECT_EQ(without.DemandGUI(), nullptr);
  EXPECT_EQ(without.DemandGUI(), nullptr);
  EXPECT_EQ(without.made, 1);
}

TEST(IPlugBaseTest, CompareStateToleratesOnlySinglePrecisionNoise) {
  TestPlug plug;
  double stored[5] = {123.0, 0.5, 3.0, 1.0, 0.0};
  EXPECT_TRUE(plug.CompareState(reinterpret_cast<unsigned char*>(stored), 1));
  stored[1] = 0.5 + 4e-6;
  EXPECT_TRUE(plug.CompareState(reinterpret_cast<unsigned char*>(stored), 1));
  stored[1] = 0.5 + 2e-5;
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<unsigned char*>(stored), 1));
  stored[1] = 0.5;
  stored[3] = 0.0;  // a later parameter differing counts as well
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<unsigned char*>(stored), 1));
  // An unaligned start is read byte-wise.
  unsigned char bytes[8 * 4 + 1];
  stored[3] = 1.0;
  memcpy(bytes + 1, stored + 1, 8 * 3);
  EXPECT_TRUE(plug.CompareState(bytes + 1, 0));
}

TEST(IPlugBaseTest, MidiGoesToTheHostOutputInOrder) {
  TestPlug plug;
  WDL_TypedBuf<IMidiMsg> msgs;
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));
  for (int i = 0; i < 3; ++i) {
    IMidiMsg msg;
    msg.MakeNoteOnMsg(60 + i, 100, i);
    msgs.Add(msg);
  }
  plug.midiAccepted = {true, false, true};
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  ASSERT_EQ(plug.sentMidi.size(), 3u);  // all were attempted
  EXPECT_EQ(plug.sentMidi[2].NoteNumber(), 62);
  plug.midiAccepted.clear();
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));

  IMidiMsg cc;
  cc.MakeControlChangeMsg(IMidiMsg::kPan, 0.5);
  plug.ProcessMidiMsg(&cc);
  EXPECT_EQ(plug.sentMidi.back().mStatus, 0xB0);
  EXPECT_EQ(plug.sentMidi.back().mData1, IMidiMsg::kPan);
}

TEST(IPlugBaseTest, SamplesPerBeatFollowTempoAndSampleRate) {
  TestPlug plug;
  plug.SetSampleRate(48000.0);
  plug.tempo = 120.0;
  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 24000.0);
  plug.tempo = 0.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
  plug.tempo = -5.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

TEST(IPlugBaseTest, MutexLockIsRecursiveThroughOnParamChange) {
  TestPlug plug;
  {
    IPlugBase::IMutexLock outer(&plug);
    plug.SetParameterFromGUI(0, 0.3);  // locks again, then OnParamChange locks a third time
  }
  EXPECT_EQ(plug.paramChanges, std::vector<int>{0});
}
