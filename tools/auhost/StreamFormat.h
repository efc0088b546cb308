#pragma once

#include "platform/CoreAudioTypes.h"

// The canonical Audio Unit stream format: non-interleaved native 32-bit
// float, `channels` buffers at `sampleRate`. [any thread]
inline AudioStreamBasicDescription CanonicalFormat(UInt32 channels, double sampleRate) {
  AudioStreamBasicDescription format = {};
  format.mSampleRate = sampleRate;
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  format.mBytesPerPacket = sizeof(Float32);
  format.mFramesPerPacket = 1;
  format.mBytesPerFrame = sizeof(Float32);
  format.mChannelsPerFrame = channels;
  format.mBitsPerChannel = 32;
  return format;
}
