// Channel layout, buffer attachment and the processing frame.
#include <cstring>

#include "framework/plugin/IPlugBase.h"

namespace {
// The channels idx .. idx + n - 1 that exist, as a half-open range.
void ChannelRange(int idx, int n, int count, int* begin, int* end) {
  *begin = idx < 0 ? 0 : idx;
  const long long last = static_cast<long long>(idx) + (n < 0 ? 0 : n);
  *end = last < count ? static_cast<int>(last) : count;
}

template <class In, class Out>
void Convert(const In* in, Out* out, int nFrames) {
  for (int s = 0; s < nFrames; ++s)
    out[s] = static_cast<Out>(in[s]);
}

template <class T>
void CopyThrough(T** inputs, T** outputs, int nIn, int nOut, int nFrames) {
  const int nCopy = nIn < nOut ? nIn : nOut;
  const size_t bytes = sizeof(T) * static_cast<size_t>(nFrames < 0 ? 0 : nFrames);
  for (int i = 0; i < nCopy; ++i) {
    // In-place buffers are common; memmove copes and the equal case is free.
    if (inputs[i] != outputs[i] && inputs[i] && outputs[i]) memmove(outputs[i], inputs[i], bytes);
  }
  for (int i = nCopy; i < nOut; ++i) {
    if (outputs[i]) memset(outputs[i], 0, bytes);
  }
}
}  // namespace

bool IPlugBase::LegalIO(int nIn, int nOut) const {
  for (int i = 0; i < mChannelIO.GetSize(); ++i) {
    const ChannelIO* io = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut)) return true;
  }
  return false;
}

void IPlugBase::LimitToStereoIO() {
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected) noexcept {
  int begin, end;
  ChannelRange(idx, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    InChannel* channel = mInChannels.Get(i);
    channel->mConnected = connected;
    if (!connected) *channel->mSrc = channel->mScratchBuf.Get();
  }
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected) noexcept {
  int begin, end;
  ChannelRange(idx, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    channel->mConnected = connected;
    if (!connected) *channel->mDest = channel->mScratchBuf.Get();
  }
}

bool IPlugBase::IsInChannelConnected(int chIdx) const noexcept {
  const InChannel* channel = mInChannels.Get(chIdx);
  return channel && channel->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const noexcept {
  const OutChannel* channel = mOutChannels.Get(chIdx);
  return channel && channel->mConnected;
}

void IPlugBase::AttachInputBuffers(int idx, int n, double** ppData, int) noexcept {
  int begin, end;
  ChannelRange(idx, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    InChannel* channel = mInChannels.Get(i);
    if (channel->mConnected) *channel->mSrc = *ppData++;
  }
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) noexcept {
  int begin, end;
  ChannelRange(idx, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    InChannel* channel = mInChannels.Get(i);
    if (!channel->mConnected) continue;
    double* scratch = channel->mScratchBuf.Get();
    const float* host = *ppData++;
    if (host && scratch) Convert(host, scratch, nFrames);
    *channel->mSrc = scratch;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** ppData) noexcept {
  int begin, end;
  ChannelRange(idx, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected) *channel->mDest = *ppData++;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** ppData) noexcept {
  int begin, end;
  ChannelRange(idx, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (!channel->mConnected) continue;
    *channel->mDest = channel->mScratchBuf.Get();
    channel->mFDest = *ppData++;
  }
}

void IPlugBase::ProcessBuffers(double, int nFrames) noexcept {
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::ProcessBuffers(float, int nFrames) noexcept {
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected && channel->mFDest && *channel->mDest) {
      Convert(*channel->mDest, channel->mFDest, nFrames);
    }
  }
}

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames) noexcept {
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    const double* result = *channel->mDest;
    if (!channel->mConnected || !channel->mFDest || !result) continue;
    for (int s = 0; s < nFrames; ++s)
      channel->mFDest[s] += static_cast<float>(result[s]);
  }
}

void IPlugBase::PassThroughBuffers(double, int nFrames) noexcept {
  if (mLatency && mDelay) {
    mDelay->ProcessBlock(mInData.Get(), mOutData.Get(), nFrames);
  } else {
    IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  }
}

void IPlugBase::PassThroughBuffers(float, int nFrames) noexcept {
  PassThroughBuffers(0.0, nFrames);
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected && channel->mFDest && *channel->mDest) {
      Convert(*channel->mDest, channel->mFDest, nFrames);
    }
  }
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept {
  CopyThrough(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) noexcept {
  CopyThrough(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void IPlugBase::ZeroScratchBuffers() noexcept {
  for (int i = 0; i < NInChannels(); ++i) {
    WDL_TypedBuf<double>& scratch = mInChannels.Get(i)->mScratchBuf;
    if (scratch.Get()) memset(scratch.Get(), 0, sizeof(double) * scratch.GetSize());
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    WDL_TypedBuf<double>& scratch = mOutChannels.Get(i)->mScratchBuf;
    if (scratch.Get()) memset(scratch.Get(), 0, sizeof(double) * scratch.GetSize());
  }
}

void IPlugBase::SetBlockSize(int blockSize) {
  if (blockSize == mBlockSize) return;
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* channel = mInChannels.Get(i);
    channel->mScratchBuf.Resize(blockSize);
    // The old scratch memory may be gone: an unconnected channel's slot must
    // follow its buffer, or the next block would read freed memory.
    if (!channel->mConnected) *channel->mSrc = channel->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    channel->mScratchBuf.Resize(blockSize);
    if (!channel->mConnected) *channel->mDest = channel->mScratchBuf.Get();
  }
  ZeroScratchBuffers();
  mBlockSize = blockSize;
}

void IPlugBase::SetInputLabel(int chIdx, const char* label) {
  if (InChannel* channel = mInChannels.Get(chIdx)) channel->mLabel.Set(label);
}

void IPlugBase::SetOutputLabel(int chIdx, const char* label) {
  if (OutChannel* channel = mOutChannels.Get(chIdx)) channel->mLabel.Set(label);
}

namespace {
void ReplaceLabel(WDL_PtrList<WDL_String>* labels, int busIdx, const char* label) {
  labels->Delete(busIdx, true);
  WDL_String* copy = new WDL_String(label);
  if (!labels->Insert(busIdx, copy)) delete copy;
}
}  // namespace

void IPlugBase::SetInputBusLabel(int busIdx, const char* label) {
  if (busIdx == 0 || busIdx == 1) ReplaceLabel(&mInputBusLabels, busIdx, label);
}

void IPlugBase::SetOutputBusLabel(int busIdx, const char* label) {
  if (busIdx >= 0) ReplaceLabel(&mOutputBusLabels, busIdx, label);
}
