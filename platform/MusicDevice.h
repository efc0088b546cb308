#pragma once

#include "platform/AUComponent.h"

CF_EXTERN_C_BEGIN

typedef UInt32 MusicDeviceInstrumentID;
typedef UInt32 MusicDeviceGroupID;
typedef UInt32 NoteInstanceID;
typedef AudioUnit MusicDeviceComponent;

typedef struct NoteParamsControlValue {
  AudioUnitParameterID mID;
  AudioUnitParameterValue mValue;
} NoteParamsControlValue;

typedef struct MusicDeviceNoteParams {
  UInt32 argCount;
  Float32 mPitch;
  Float32 mVelocity;
  NoteParamsControlValue mControls[1];
} MusicDeviceNoteParams;

enum { kMusicNoteEvent_UseGroupInstrument = 0xFFFFFFFF, kMusicNoteEvent_Unused = 0xFFFFFFFF };

enum {
  kMusicDeviceRange = 0x0100,
  kMusicDeviceMIDIEventSelect = 0x0101,
  kMusicDeviceSysExSelect = 0x0102,
  kMusicDevicePrepareInstrumentSelect = 0x0103,
  kMusicDeviceReleaseInstrumentSelect = 0x0104,
  kMusicDeviceStartNoteSelect = 0x0105,
  kMusicDeviceStopNoteSelect = 0x0106
};

// Dispatched like the AudioUnit calls: [any thread], no lock, no allocation.
MORVEX_PLATFORM_API ComponentResult MusicDeviceMIDIEvent(MusicDeviceComponent inUnit,
                                                         UInt32 inStatus, UInt32 inData1,
                                                         UInt32 inData2,
                                                         UInt32 inOffsetSampleFrame);
MORVEX_PLATFORM_API ComponentResult MusicDeviceSysEx(MusicDeviceComponent inUnit,
                                                     const UInt8* inData, UInt32 inLength);
MORVEX_PLATFORM_API ComponentResult
MusicDevicePrepareInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument);
MORVEX_PLATFORM_API ComponentResult
MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument);
MORVEX_PLATFORM_API ComponentResult MusicDeviceStartNote(MusicDeviceComponent inUnit,
                                                         MusicDeviceInstrumentID inInstrument,
                                                         MusicDeviceGroupID inGroupID,
                                                         NoteInstanceID* outNoteInstanceID,
                                                         UInt32 inOffsetSampleFrame,
                                                         const MusicDeviceNoteParams* inParams);
MORVEX_PLATFORM_API ComponentResult MusicDeviceStopNote(MusicDeviceComponent inUnit,
                                                        MusicDeviceGroupID inGroupID,
                                                        NoteInstanceID inNoteInstanceID,
                                                        UInt32 inOffsetSampleFrame);

CF_EXTERN_C_END
