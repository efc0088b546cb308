#pragma once

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/plugin/IPlugBase.h"
#include "tests/support/FakeEditor.h"

// A small plug-in over the base: a double, an integer and a boolean
// parameter, an effect that negates its input (so it cannot be mistaken for
// the base pass-through), and wrapper slots that record what they were told.
class TestPlug : public IPlugBase {
 public:
  enum { kGain = 0, kStages, kOn, kNumParams };
  static constexpr int kUniqueID = 0x7A4A4175;  // 'zJAu'

  explicit TestPlug(const char* channelIO = "1-1 2-2", int nPresets = 5, bool chunks = false,
                    int version = 0x10203)
      : IPlugBase(kNumParams, channelIO, nPresets, "TestPlug", "Test Product", "Tarnbrook", version,
                  kUniqueID, 0x41636D65, 0, false, chunks, false, kAPIAU) {
    GetParam(kGain)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);
    GetParam(kStages)->InitInt("Stages", 3, 0, 5);
    GetParam(kOn)->InitBool("On", true);
  }

  void OnParamChange(int paramIdx) override {
    IMutexLock lock(this);
    paramChanges.push_back(paramIdx);
  }

  void OnGUIOpen() override { ++guiOpens; }
  void OnGUIClose() override { ++guiCloses; }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override {
    ++processCalls;
    for (int c = 0; c < NOutChannels(); ++c) {
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = c < NInChannels() ? -inputs[c][s] : 0.0;
    }
  }

  void BeginInformHostOfParamChange(int paramIdx) override { gestures.emplace_back(paramIdx, +1); }
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override {
    hostParamChanges.emplace_back(paramIdx, normalizedValue);
  }
  void EndInformHostOfParamChange(int paramIdx) override { gestures.emplace_back(paramIdx, -1); }
  void InformHostOfProgramChange() override { ++programChanges; }
  int GetSamplePos() noexcept override { return 0; }
  double GetTempo() noexcept override { return tempo; }
  void GetTimeSig(int* numerator, int* denominator) noexcept override {
    *numerator = 3;
    *denominator = 4;
  }
  void GetTime(ITimeInfo* timeInfo) noexcept override { timeInfo->mTempo = tempo; }
  void ResizeGraphics(int w, int h) override { resized = {w, h}; }
  bool SendMidiMsg(IMidiMsg* msg) noexcept override {
    sentMidi.push_back(*msg);
    return midiAccepted.empty() ? true : midiAccepted[(sentMidi.size() - 1) % midiAccepted.size()];
  }

  // Gives the plug-in a latency-compensating delay line, as a wrapper that
  // wants one would.
  void UseDelayLine(int latency) {
    delete mDelay;
    mDelay = new NChanDelayLine(NInChannels(), NOutChannels());
    SetLatency(latency);
  }
  void SetBypassedForTest(bool bypassed) { mIsBypassed = bypassed; }
  void SetCanRenderForTest(bool canRender) { mCanRender = canRender; }
  double** InputData() { return mInData.Get(); }
  double** OutputData() { return mOutData.Get(); }
  const IPreset* Preset(int idx) const { return mPresets.Get(idx); }
  IPreset* MutablePreset(int idx) { return mPresets.Get(idx); }

  // Everything a loader may change, in comparable form.
  std::string Snapshot() const {
    std::string s;
    for (int i = 0; i < NParams(); ++i)
      s += std::to_string(GetParam(i)->Value()) + ";";
    s += "cur=" + std::to_string(GetCurrentPresetIdx()) + ";";
    for (int i = 0; i < NPresets(); ++i) {
      const IPreset* p = mPresets.Get(i);
      s += std::string(p->mName) + (p->mInitialized ? "+" : "-");
      s.append(reinterpret_cast<const char*>(p->mChunk.GetBytes()), p->mChunk.Size());
      s += "|";
    }
    return s;
  }

  std::vector<int> paramChanges;
  int guiOpens = 0, guiCloses = 0;
  std::vector<std::pair<int, double>> hostParamChanges;
  std::vector<std::pair<int, int>> gestures;
  std::vector<IMidiMsg> sentMidi;
  std::vector<bool> midiAccepted;
  std::pair<int, int> resized{0, 0};
  int programChanges = 0;
  int processCalls = 0;
  double tempo = 120.0;
};

using test_support::FakeEditor;
