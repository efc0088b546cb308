// Transport queries answered through the callbacks the host installed.
#include "framework/au/IPlugAU.h"
#include "framework/base/NumericConversions.h"

double IPlugAU::GetTempo() noexcept {
  const RenderReaders::Scope readers;
  const HostCallbackInfo& host = mHostCallbackInfo.Get();
  if (host.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    host.beatAndTempoProc(host.hostUserData, &beat, &tempo);
    if (tempo > 0.0) mLastTempo = tempo;
  }
  return mLastTempo;
}

int IPlugAU::GetSamplePos() noexcept {
  const RenderReaders::Scope readers;
  const HostCallbackInfo& host = mHostCallbackInfo.Get();
  if (!host.transportStateProc) return 0;
  Boolean playing = false, changed = false, cycling = false;
  Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
  host.transportStateProc(host.hostUserData, &playing, &changed, &samplePos, &cycling, &cycleStart,
                          &cycleEnd);
  return TruncToInt(samplePos + 0.5);
}

void IPlugAU::GetTimeSig(int* numerator, int* denominator) noexcept {
  const RenderReaders::Scope readers;
  const HostCallbackInfo& host = mHostCallbackInfo.Get();
  if (!host.musicalTimeLocationProc) return;
  UInt32 toNextBeat = 0, denom = 0;
  Float32 numer = 0.0f;
  Float64 downBeat = 0.0;
  host.musicalTimeLocationProc(host.hostUserData, &toNextBeat, &numer, &denom, &downBeat);
  if (numerator) *numerator = TruncToInt(numer);
  if (denominator) *denominator = static_cast<int>(denom);
}

void IPlugAU::GetTime(ITimeInfo* timeInfo) noexcept {
  if (!timeInfo) return;
  const RenderReaders::Scope readers;
  const HostCallbackInfo& host = mHostCallbackInfo.Get();
  if (host.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    host.beatAndTempoProc(host.hostUserData, &beat, &tempo);
    if (tempo > 0.0) timeInfo->mTempo = tempo;
    if (beat > 0.0) timeInfo->mPPQPos = beat;
  }
  if (host.transportStateProc) {
    Boolean playing = false, changed = false, cycling = false;
    Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    host.transportStateProc(host.hostUserData, &playing, &changed, &samplePos, &cycling,
                            &cycleStart, &cycleEnd);
    if (samplePos > 0.0) timeInfo->mSamplePos = samplePos;
    if (cycleStart > 0.0) timeInfo->mCycleStart = cycleStart;
    if (cycleEnd > 0.0) timeInfo->mCycleEnd = cycleEnd;
    timeInfo->mTransportIsRunning = playing;
    timeInfo->mTransportLoopEnabled = cycling;
  }
  if (host.musicalTimeLocationProc) {
    UInt32 toNextBeat = 0, denom = 0;
    Float32 numer = 0.0f;
    Float64 downBeat = 0.0;
    host.musicalTimeLocationProc(host.hostUserData, &toNextBeat, &numer, &denom, &downBeat);
    timeInfo->mNumerator = TruncToInt(numer);
    timeInfo->mDenominator = static_cast<int>(denom);
    if (downBeat > 0.0) timeInfo->mLastBar = downBeat;
  }
}
