#pragma once

#include "platform/AudioUnit.h"
#include "platform/CFBundle.h"

// A test component that records every call its entries receive. Tests reach
// the record through the exported RecordingUnit_* functions of the loaded
// bundle library (dlopen with RTLD_NOLOAD, then dlsym).

constexpr int kRecordingCapacity = 512;
constexpr OSStatus kRecordingOpenFailure = -4242;

struct RecordedCall {
  SInt16 what;
  UInt8 paramSize;
  Handle storage;
  long params[16];
};

// The unit's per-instance storage, set with SetComponentInstanceStorage.
struct RecordingUnitState {
  ComponentInstance self;
  OSErr infoResult;  // GetComponentInfo on the own instance, at open
  ComponentDescription info;
  char name[64];
  AudioUnit source;  // upstream unit given through kAudioUnitProperty_MakeConnection
  UInt32 sourceOutput;
  UInt32 sourceChannels;     // from the upstream's stream format, 0 when unread
  Float32 level;             // parameter 0: the rendered value or the gain on the input
  CFBundleRef bundleAtLoad;  // the Alpha bundle as looked up while the library loaded
};

using RecordingUnitCountProc = int (*)();
using RecordingUnitCallProc = const RecordedCall* (*)(int index);
using RecordingUnitClearProc = void (*)();
