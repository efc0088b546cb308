// Construction, ports, processing and the small operations of the base that
// the LV2 face replaces.
#include "framework/lv2/IPlugLV2.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/lv2/LV2UIHost.h"

IPlugLV2::IPlugLV2(IPlugInstanceInfo, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName,
                   int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                   bool plugDoesChunks, bool plugIsInst, int)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPILV2) {
  mControlIn.Resize(nParams);
  mAppliedControl.Resize(nParams);
  mAdoptPort.Resize(nParams);
  for (int i = 0; i < nParams; ++i) {
    mControlIn.Get()[i] = nullptr;
    mAppliedControl.Get()[i] = std::numeric_limits<float>::quiet_NaN();
    mAdoptPort.Get()[i] = false;
  }
  SetBlockSize(kBlockSize);
}

IPlugLV2::~IPlugLV2() = default;

bool IPlugLV2::Configure(const LV2Layout& layout, double sampleRate, const LV2_URID_Map* map) {
  // An infinite rate would reach the engine as a rate like any other.
  if (!LegalIO(layout.mChannels, layout.mChannels) || !(sampleRate >= 1.0) ||
      !std::isfinite(sampleRate))
    return false;
  mChannels = layout.mChannels;
  mMap = map;
  // Display outputs are known only once the effect is built.
  mDisplayOut.Resize(NDisplayOutputs());
  for (int i = 0; i < NDisplayOutputs(); ++i)
    mDisplayOut.Get()[i] = nullptr;
  SetInputChannelConnections(0, mChannels, true);
  SetInputChannelConnections(mChannels, NInChannels() - mChannels, false);
  SetOutputChannelConnections(0, mChannels, true);
  SetOutputChannelConnections(mChannels, NOutChannels() - mChannels, false);
  SetSampleRate(sampleRate);
  mBypass.Configure(mChannels, sampleRate, kBlockSize);
  // Reset before a restored state or the first ports arrive, as the Audio
  // Unit face is reset when the host sets its rate: a render then starts the
  // same way in either host.
  Reset();
  mFresh = true;
  return true;
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) noexcept {
  const int p = static_cast<int>(port);
  if (port >= static_cast<uint32_t>(NPorts())) return;
  if (p < FirstDisplayPort()) {
    mControlIn.Get()[p] = static_cast<const float*>(data);
  } else if (p < FirstAudioInPort()) {
    mDisplayOut.Get()[p - FirstDisplayPort()] = static_cast<float*>(data);
  } else if (p < FirstAudioOutPort()) {
    mAudioIn[p - FirstAudioInPort()] = static_cast<const float*>(data);
  } else if (p < EnabledPort()) {
    mAudioOut[p - FirstAudioOutPort()] = static_cast<float*>(data);
  } else {
    mEnabledIn = static_cast<const float*>(data);
  }
}

void IPlugLV2::Activate() {
  if (!mFresh) Reset();
  mFresh = false;
  mBypass.Settle(Enabled());
}

bool IPlugLV2::Enabled() const noexcept {
  // A NaN is no setting either way: the effect stays in.
  return !mEnabledIn || !(*mEnabledIn <= 0.0f);
}

bool IPlugLV2::ControlPortChanged(int paramIdx) const noexcept {
  const float* port = mControlIn.Get()[paramIdx];
  // A host's NaN or infinity is no setting: the parameter keeps its value.
  return port && std::isfinite(*port) && *port != mAppliedControl.Get()[paramIdx];
}

void IPlugLV2::ApplyControlPorts() noexcept {
  // Most blocks change nothing, and those do not touch the mutex at all.
  int first = 0;
  while (first < NParams() && !ControlPortChanged(first))
    ++first;
  if (first == NParams()) return;
  WDL_Mutex* mutex = GetMutex();
  if (!mutex->TryEnter()) return;
  for (int i = first; i < NParams(); ++i) {
    if (!ControlPortChanged(i)) continue;
    const float value = *mControlIn.Get()[i];
    mAppliedControl.Get()[i] = value;
    if (mAdoptPort.Get()[i]) {
      mAdoptPort.Get()[i] = false;
      continue;
    }
    SetParameterFromPort(i, value);
  }
  mutex->Leave();
}

void IPlugLV2::SetParameterFromPort(int paramIdx, float value) {
  IMutexLock lock(this);
  const IParam* param = GetParam(paramIdx);
  if (!param) return;
  // A port holds single precision: its image of the present setting (a
  // default, a preset, a restored state) leaves the exact setting alone, so
  // the plug-in sounds as it does in every other host.
  const bool image = static_cast<float>(param->Value()) == value;
  SetParameterFromHost(paramIdx, image ? param->Value() : value);
}

void IPlugLV2::Run(uint32_t nFrames) noexcept {
  for (int c = 0; c < mChannels; ++c) {
    if (!mAudioIn[c] || !mAudioOut[c]) return;
  }
  ApplyControlPorts();
  for (uint32_t done = 0; done < nFrames;) {
    const uint32_t left = nFrames - done;
    const int n = left < static_cast<uint32_t>(kBlockSize) ? static_cast<int>(left) : kBlockSize;
    ProcessBlock(done, n);
    done += static_cast<uint32_t>(n);
  }
  for (int i = 0; i < NDisplayOutputs(); ++i) {
    float* port = mDisplayOut.Get()[i];
    if (!port) continue;
    // A host may take the range the description declares at its word.
    const IDisplayOutput output = GetDisplayOutput(i);
    *port = static_cast<float>(std::clamp(DisplayOutputValue(i), output.mMin, output.mMax));
  }
}

void IPlugLV2::ProcessBlock(uint32_t offset, int nFrames) noexcept {
  float* in[2];
  float* out[2];
  for (int c = 0; c < mChannels; ++c) {
    // The base converts the inputs to its own buffers before any output is
    // written, which is what makes in-place ports safe.
    in[c] = const_cast<float*>(mAudioIn[c]) + offset;
    out[c] = mAudioOut[c] + offset;
  }
  // The engine runs while bypassed, so that coming back needs no settling.
  const bool enabled = Enabled();
  const bool bypassing = mBypass.NeedsInput(enabled);
  if (bypassing) mBypass.KeepInput(in, nFrames);
  AttachInputBuffers(0, mChannels, in, nFrames);
  AttachOutputBuffers(0, mChannels, out);
  ProcessBuffers(0.0f, nFrames);
  if (bypassing) mBypass.Mix(out, nFrames, enabled);
}

void IPlugLV2::BeginInformHostOfParamChange(int paramIdx) {
  if (mUIHost) mUIHost->Touch(static_cast<uint32_t>(paramIdx), true);
}

void IPlugLV2::InformHostOfParamChange(int paramIdx, double) {
  const IParam* param = GetParam(paramIdx);
  if (mUIHost && param) {
    mUIHost->WritePort(static_cast<uint32_t>(paramIdx), static_cast<float>(param->Value()));
  }
}

void IPlugLV2::EndInformHostOfParamChange(int paramIdx) {
  if (mUIHost) mUIHost->Touch(static_cast<uint32_t>(paramIdx), false);
}

// A preset chosen in the editor reaches the host as the new port values.
void IPlugLV2::InformHostOfProgramChange() {
  if (!mUIHost) return;
  for (int i = 0; i < NParams(); ++i)
    mUIHost->WritePort(static_cast<uint32_t>(i), static_cast<float>(GetParam(i)->Value()));
}

int IPlugLV2::GetSamplePos() noexcept {
  return 0;
}

double IPlugLV2::GetTempo() noexcept {
  return 0.0;
}

void IPlugLV2::GetTimeSig(int* numerator, int* denominator) noexcept {
  if (numerator) *numerator = 0;
  if (denominator) *denominator = 0;
}

void IPlugLV2::GetTime(ITimeInfo* timeInfo) noexcept {
  if (timeInfo) *timeInfo = ITimeInfo();
}

void IPlugLV2::ResizeGraphics(int w, int h) {
  if (mUIHost) mUIHost->Resize(w, h);
}

bool IPlugLV2::SendMidiMsg(IMidiMsg*) noexcept {
  return false;
}
