// Construction, the base behaviour of the virtual operations, parameters and
// the editor link.
#include "framework/plugin/IPlugBase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/base/MorvexAssert.h"
#include "framework/base/TruncatingCopy.h"
#include "framework/plugin/Trace.h"

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                     int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
                     bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mDoesMIDI(plugDoesMidi),
      mLatency(latency) {
  Trace("IPlugBase", __LINE__, "%d parameters", nParams);
  for (int i = 0; i < nParams; ++i)
    mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i)
    mPresets.Add(new IPreset(i));
  TruncatingCopy(mEffectName, effectName);
  TruncatingCopy(mProductName, productName);
  TruncatingCopy(mMfrName, mfrName);
  ParseChannelIO(channelIOStr);
}

void IPlugBase::ParseChannelIO(const char* channelIOStr) {
  int maxIn = 0;
  int maxOut = 0;
  const char* pos = channelIOStr;
  while (true) {
    int nIn = 0;
    int nOut = 0;
    const bool channelIOStrValid = pos && sscanf(pos, "%d-%d", &nIn, &nOut) == 2;
    MORVEX_ASSERT(channelIOStrValid);
    mChannelIO.Add(new ChannelIO{nIn, nOut});
    if (nIn > maxIn) maxIn = nIn;
    if (nOut > maxOut) maxOut = nOut;
    pos = strchr(pos, ' ');
    if (!pos) break;
    ++pos;
  }
  mInData.Resize(maxIn);
  mOutData.Resize(maxOut);
  for (int i = 0; i < maxIn; ++i) {
    InChannel* channel = mInChannels.Add(new InChannel);
    channel->mSrc = mInData.Get() + i;
    *channel->mSrc = nullptr;
  }
  for (int i = 0; i < maxOut; ++i) {
    OutChannel* channel = mOutChannels.Add(new OutChannel);
    channel->mDest = mOutData.Get() + i;
    *channel->mDest = nullptr;
  }
}

IPlugBase::~IPlugBase() {
  delete mGraphics.exchange(nullptr);
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
  delete mDelay;
}

void IPlugBase::Reset() {
  IMutexLock lock(this);
}

void IPlugBase::OnParamChange(int) {
  IMutexLock lock(this);
}

void IPlugBase::OnGUIOpen() {}
void IPlugBase::OnGUIClose() {}

void IPlugBase::GUIOpened() {
  if (mGUIShown) return;
  mGUIShown = true;
  OnGUIOpen();
}

void IPlugBase::GUIClosed() {
  if (!mGUIShown) return;
  mGUIShown = false;
  OnGUIClose();
}
void IPlugBase::OnIdle() {}

void IPlugBase::OnActivate(bool) {
  IMutexLock lock(this);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg) noexcept {
  SendMidiMsg(msg);
}

void IPlugBase::ProcessSysEx(ISysEx*) noexcept {}

bool IPlugBase::MidiNoteName(int, char* name) {
  if (name) name[0] = 0;
  return false;
}

bool IPlugBase::SerializeState(ByteChunk* chunk) {
  return SerializeParams(chunk);
}

int IPlugBase::UnserializeState(const ByteChunk* chunk, int startPos) {
  return UnserializeParams(chunk, startPos);
}

void IPlugBase::OnWindowResize() {}
bool IPlugBase::HostRequestingAboutBox() {
  return false;
}
void IPlugBase::OnHostIdentified() {}
void IPlugBase::PopupHostContextMenuForParam(int, int, int) {}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  WDL_MutexLock lock(&mMutex);
  IParam* param = GetParam(paramIdx);
  // Nothing to tell the host or the effect of a value the parameter ignores.
  if (!param || !std::isfinite(normalizedValue)) return;
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPlugBase::SetParameterFromHost(int paramIdx, double value) {
  WDL_MutexLock lock(&mMutex);
  IParam* param = GetParam(paramIdx);
  if (!param || !std::isfinite(value)) return;
  param->Set(value);
  // The editor shows what the parameter took, not what the host asked for.
  if (IPlugEditor* editor = GetGUI()) editor->SetParameterFromPlug(paramIdx, param->Value(), false);
  OnParamChange(paramIdx);
}

bool IPlugBase::IsRenderingOffline() noexcept {
  return false;
}

EHost IPlugBase::GetHost() {
  return mHost;
}

EAPI IPlugBase::GetAPI() {
  return mAPI;
}

void IPlugBase::HostSpecificInit() {}

IDisplayOutput IPlugBase::GetDisplayOutput(int) const {
  return {"", "", 0.0, 0.0};
}

double IPlugBase::DisplayOutputValue(int) const noexcept {
  return 0.0;
}

void IPlugBase::OnDisplayOutput(int, double) {}

std::string IPlugBase::ValueName(int, int) const {
  return "";
}

void IPlugBase::AttachGraphics(IPlugEditor* graphics) {
  if (!graphics) return;
  if (!graphics->IsComplete()) {
    // A broken bundle costs the editor, never the audio.
    delete graphics;
    return;
  }
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) {
    graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  }
  graphics->PrepDraw();
  // An editor attached a second time replaces the first, which must not leak.
  IPlugEditor* previous = mGraphics.exchange(graphics, std::memory_order_acq_rel);
  if (previous != graphics) delete previous;
}

IPlugEditor* IPlugBase::MakeGUI() {
  return nullptr;
}

IPlugEditor* IPlugBase::DemandGUI() {
  if (!GetGUI() && !mGUIDemanded) {
    mGUIDemanded = true;
    AttachGraphics(MakeGUI());
  }
  return GetGUI();
}

void IPlugBase::SetLatency(int samples) {
  mLatency = samples;
  if (mDelay) mDelay->SetDelayTime(samples);
}

bool IPlugBase::SendSysEx(ISysEx*) noexcept {
  return false;
}

void IPlugBase::RedrawParamControls() {
  IPlugEditor* editor = GetGUI();
  if (!editor) return;
  for (int i = 0; i < NParams(); ++i) {
    editor->SetParameterFromPlug(i, GetParam(i)->Value(), false);
  }
}

void IPlugBase::DirtyPTCompareState() {}
void IPlugBase::PresetsChangedByHost() {}

void IPlugBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i)
    OnParamChange(i);
}

bool IPlugBase::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) noexcept {
  bool allSent = true;
  if (!msgs) return true;
  IMidiMsg* msg = msgs->Get();
  for (int i = 0; i < msgs->GetSize(); ++i)
    allSent &= SendMidiMsg(msg + i);
  return allSent;
}

double IPlugBase::GetSamplesPerBeat() noexcept {
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}
