#pragma once

#include <cstdint>

#include "framework/base/WDL_TypedBuf.h"
#include "framework/lv2/LV2Bypass.h"
#include "framework/lv2/LV2Identity.h"
#include "framework/lv2/LV2Layout.h"
#include "framework/plugin/IPlugBase.h"
#include "lv2/core/lv2.h"
#include "lv2/state/state.h"
#include "lv2/urid/urid.h"

class LV2UIHost;

// The LV2 face of the plug-in base. Ports, by index: one control input per
// parameter (port i is parameter i, in the parameter's own units), one
// control output per display output, the layout's audio inputs and its
// audio outputs, then the bypass's control input (lv2:enabled; see
// LV2Bypass), last so that the ports before it keep their indices.
//
// An instance is either a host's audio instance (no editor; the host drives
// it through the descriptor) or the user interface's own instance (with the
// editor; parameter changes go out as port writes through its LV2UIHost).
//
// Locking: run waits for no lock. Control-port changes are applied at the
// start of a block under the plug-in's mutex, entered only if free; a block
// that finds it held (a state save on another thread) leaves the changes to
// the next block, and a block without changes does not touch it.
class IPlugLV2 : public IPlugBase {
 public:
  // Frames the effect processes at a time: run splits longer calls.
  static constexpr int kBlockSize = 1024;

  // [UI thread]
  IPlugLV2(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
           const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
           int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
           bool plugIsInst, int plugScChans);
  ~IPlugLV2() override;

  // The descriptor of layout index for the family; null past the last
  // layout. The first call fixes the family for the library. [any thread]
  static const LV2_Descriptor* Descriptor(const LV2Identity& identity, uint32_t index);
  // The family the library's descriptors were made for, or null.
  static const LV2Identity* Identity();

  // ---- The descriptor's calls. ----
  // Sets up the layout's channels and resets the effect at the host's rate;
  // false when the effect has no such layout. [UI thread]
  bool Configure(const LV2Layout& layout, double sampleRate, const LV2_URID_Map* map);
  // Ports past the last are ignored. [audio thread]
  void ConnectPort(uint32_t port, void* data) noexcept;
  // Restarts the effect, unless nothing has run since Configure reset it.
  // [UI thread]
  void Activate();
  // Any frame count; inputs and outputs may share memory. A block with an
  // audio port missing is left alone. [audio thread]
  void Run(uint32_t nFrames) noexcept;
  // The parameter chunk as one POD property. [any thread but run's]
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  // Applies a chunk whole, or nothing: a missing, foreign or short one
  // leaves every parameter as it was. The control ports' present values, or
  // for ports not yet connected the first values run sees, count as
  // applied: ports the host leaves as they were cannot undo the chunk, while
  // any later change to them applies. [UI thread, not during run]
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // ---- Ports. [any thread] ----
  int FirstDisplayPort() const { return NParams(); }
  int FirstAudioInPort() const { return NParams() + NDisplayOutputs(); }
  int FirstAudioOutPort() const { return FirstAudioInPort() + mChannels; }
  int EnabledPort() const { return FirstAudioOutPort() + mChannels; }
  int NPorts() const { return EnabledPort() + 1; }

  // A control port's new value, in the parameter's own units: the
  // parameter, its controls and the effect follow. A value equal to the
  // parameter's in single precision keeps the parameter's exact value.
  // [UI thread; the audio thread when it holds the mutex]
  void SetParameterFromPort(int paramIdx, float value);

  // The user interface's link to the host, or null for an audio instance.
  // [UI thread]
  void SetUIHost(LV2UIHost* host) { mUIHost = host; }

  // ---- Base operations the wrapper provides. ----
  // Port writes and touch notifications of the user interface's instance;
  // an audio instance cannot move its own control ports. [UI thread]
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  // LV2 hosts pass time only as events, which this face does not take:
  // no position, no tempo. [audio thread]
  int GetSamplePos() noexcept override;
  double GetTempo() noexcept override;
  void GetTimeSig(int* numerator, int* denominator) noexcept override;
  void GetTime(ITimeInfo* timeInfo) noexcept override;
  // The host's resize feature, where offered. [UI thread]
  void ResizeGraphics(int w, int h) override;
  // No MIDI output port. [audio thread]
  bool SendMidiMsg(IMidiMsg* msg) noexcept override;

 private:
  // Hands changed control ports to the effect. [audio thread]
  void ApplyControlPorts() noexcept;
  // Whether the port holds a finite value other than the one last applied.
  bool ControlPortChanged(int paramIdx) const noexcept;
  // The bypass port's state: enabled unless it holds 0 or less.
  bool Enabled() const noexcept;
  void ProcessBlock(uint32_t offset, int nFrames) noexcept;
  uint32_t StateKey() const;

  int mChannels = 0;
  // Reset by Configure and not run since.
  bool mFresh = false;
  const LV2_URID_Map* mMap = nullptr;
  WDL_TypedBuf<const float*> mControlIn;
  // What each control port held when last applied; NaN until then.
  WDL_TypedBuf<float> mAppliedControl;
  // Set by a restore for ports not connected then.
  WDL_TypedBuf<bool> mAdoptPort;
  WDL_TypedBuf<float*> mDisplayOut;
  const float* mAudioIn[2] = {nullptr, nullptr};
  float* mAudioOut[2] = {nullptr, nullptr};
  const float* mEnabledIn = nullptr;
  LV2Bypass mBypass;
  LV2UIHost* mUIHost = nullptr;
};
