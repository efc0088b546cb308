#pragma once

#include "platform/Components.h"
#include "platform/CoreAudioTypes.h"

CF_EXTERN_C_BEGIN

typedef ComponentInstance AudioUnit;
typedef UInt32 AudioUnitPropertyID;
typedef UInt32 AudioUnitScope;
typedef UInt32 AudioUnitElement;
typedef UInt32 AudioUnitParameterID;
typedef Float32 AudioUnitParameterValue;

enum {
  kAudioUnitType_Output = 0x61756F75,          /* 'auou' */
  kAudioUnitType_MusicDevice = 0x61756D75,     /* 'aumu' */
  kAudioUnitType_MusicEffect = 0x61756D66,     /* 'aumf' */
  kAudioUnitType_FormatConverter = 0x61756663, /* 'aufc' */
  kAudioUnitType_Effect = 0x61756678,          /* 'aufx' */
  kAudioUnitType_Mixer = 0x61756D78,           /* 'aumx' */
  kAudioUnitType_Panner = 0x6175706E,          /* 'aupn' */
  kAudioUnitType_OfflineEffect = 0x61756F6C,   /* 'auol' */
  kAudioUnitType_Generator = 0x6175676E,       /* 'augn' */
  kAudioUnitManufacturer_Apple = 0x6170706C    /* 'appl' */
};

typedef UInt32 AudioUnitRenderActionFlags;
enum {
  kAudioUnitRenderAction_PreRender = (1U << 2),
  kAudioUnitRenderAction_PostRender = (1U << 3),
  kAudioUnitRenderAction_OutputIsSilence = (1U << 4),
  kAudioOfflineUnitRenderAction_Preflight = (1U << 5),
  kAudioOfflineUnitRenderAction_Render = (1U << 6),
  kAudioOfflineUnitRenderAction_Complete = (1U << 7),
  kAudioUnitRenderAction_PostRenderError = (1U << 8),
  kAudioUnitRenderAction_DoNotCheckRenderArgs = (1U << 9)
};

enum {
  kAudioUnitErr_InvalidProperty = -10879,
  kAudioUnitErr_InvalidParameter = -10878,
  kAudioUnitErr_InvalidElement = -10877,
  kAudioUnitErr_NoConnection = -10876,
  kAudioUnitErr_FailedInitialization = -10875,
  kAudioUnitErr_TooManyFramesToProcess = -10874,
  kAudioUnitErr_IllegalInstrument = -10873,
  kAudioUnitErr_InstrumentTypeNotFound = -10872,
  kAudioUnitErr_InvalidFile = -10871,
  kAudioUnitErr_FormatNotSupported = -10868,
  kAudioUnitErr_Uninitialized = -10867,
  kAudioUnitErr_InvalidScope = -10866,
  kAudioUnitErr_PropertyNotWritable = -10865,
  kAudioUnitErr_CannotDoInCurrentContext = -10863,
  kAudioUnitErr_InvalidPropertyValue = -10851,
  kAudioUnitErr_PropertyNotInUse = -10850,
  kAudioUnitErr_Initialized = -10849,
  kAudioUnitErr_InvalidOfflineRender = -10848,
  kAudioUnitErr_Unauthorized = -10847
};

enum {
  kAudioUnitRange = 0x0000,
  kAudioUnitInitializeSelect = 0x0001,
  kAudioUnitUninitializeSelect = 0x0002,
  kAudioUnitGetPropertyInfoSelect = 0x0003,
  kAudioUnitGetPropertySelect = 0x0004,
  kAudioUnitSetPropertySelect = 0x0005,
  kAudioUnitGetParameterSelect = 0x0006,
  kAudioUnitSetParameterSelect = 0x0007,
  kAudioUnitResetSelect = 0x0009,
  kAudioUnitAddPropertyListenerSelect = 0x000A,
  kAudioUnitRemovePropertyListenerSelect = 0x000B,
  kAudioUnitRenderSelect = 0x000E,
  kAudioUnitAddRenderNotifySelect = 0x000F,
  kAudioUnitRemoveRenderNotifySelect = 0x0010,
  kAudioUnitScheduleParametersSelect = 0x0011,
  kAudioUnitRemovePropertyListenerWithUserDataSelect = 0x0012
};

typedef OSStatus (*AURenderCallback)(void* inRefCon, AudioUnitRenderActionFlags* ioActionFlags,
                                     const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber,
                                     UInt32 inNumberFrames, AudioBufferList* ioData);

typedef void (*AudioUnitPropertyListenerProc)(void* inRefCon, AudioUnit inUnit,
                                              AudioUnitPropertyID inID, AudioUnitScope inScope,
                                              AudioUnitElement inElement);

// The functions handed out through kAudioUnitProperty_FastDispatch; they take
// the instance's storage instead of the instance.
typedef OSStatus (*AudioUnitGetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement,
                                              AudioUnitParameterValue* outValue);
typedef OSStatus (*AudioUnitSetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement,
                                              AudioUnitParameterValue inValue,
                                              UInt32 inBufferOffsetInFrames);
typedef OSStatus (*AudioUnitRenderProc)(void* inComponentStorage,
                                        AudioUnitRenderActionFlags* ioActionFlags,
                                        const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                        UInt32 inNumberFrames, AudioBufferList* ioData);

typedef UInt32 AUParameterEventType;
enum { kParameterEvent_Immediate = 1, kParameterEvent_Ramped = 2 };

typedef struct AudioUnitParameterEvent {
  AudioUnitScope scope;
  AudioUnitElement element;
  AudioUnitParameterID parameter;
  AUParameterEventType eventType;
  union {
    struct {
      SInt32 startBufferOffset;
      UInt32 durationInFrames;
      AudioUnitParameterValue startValue;
      AudioUnitParameterValue endValue;
    } ramp;
    struct {
      UInt32 bufferOffset;
      AudioUnitParameterValue value;
    } immediate;
  } eventValues;
} AudioUnitParameterEvent;

// Each call builds a ComponentParameters block on the stack with the
// arguments after the unit in reverse order (see platform/Components.h) and
// calls the unit's entry with its storage: no lock, no allocation.
// [any thread]; a null unit gives badComponentInstance (using a closed one is
// the caller's error, caught the same way only while its memory is unused).
MORVEX_PLATFORM_API ComponentResult AudioUnitInitialize(AudioUnit inUnit);
MORVEX_PLATFORM_API ComponentResult AudioUnitUninitialize(AudioUnit inUnit);
MORVEX_PLATFORM_API ComponentResult
AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                         AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable);
MORVEX_PLATFORM_API ComponentResult AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                         AudioUnitScope inScope,
                                                         AudioUnitElement inElement, void* outData,
                                                         UInt32* ioDataSize);
MORVEX_PLATFORM_API ComponentResult AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                         AudioUnitScope inScope,
                                                         AudioUnitElement inElement,
                                                         const void* inData, UInt32 inDataSize);
MORVEX_PLATFORM_API ComponentResult AudioUnitGetParameter(AudioUnit inUnit,
                                                          AudioUnitParameterID inID,
                                                          AudioUnitScope inScope,
                                                          AudioUnitElement inElement,
                                                          AudioUnitParameterValue* outValue);
MORVEX_PLATFORM_API ComponentResult AudioUnitSetParameter(
    AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope, AudioUnitElement inElement,
    AudioUnitParameterValue inValue, UInt32 inBufferOffsetInFrames);
MORVEX_PLATFORM_API ComponentResult AudioUnitScheduleParameters(
    AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent, UInt32 inNumParamEvents);
MORVEX_PLATFORM_API ComponentResult AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope,
                                                   AudioUnitElement inElement);
MORVEX_PLATFORM_API ComponentResult
AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                             AudioUnitPropertyListenerProc inProc, void* inProcUserData);
MORVEX_PLATFORM_API ComponentResult AudioUnitRemovePropertyListener(
    AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc);
MORVEX_PLATFORM_API ComponentResult AudioUnitRemovePropertyListenerWithUserData(
    AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc,
    void* inProcUserData);
MORVEX_PLATFORM_API ComponentResult AudioUnitAddRenderNotify(AudioUnit inUnit,
                                                             AURenderCallback inProc,
                                                             void* inProcUserData);
MORVEX_PLATFORM_API ComponentResult AudioUnitRemoveRenderNotify(AudioUnit inUnit,
                                                                AURenderCallback inProc,
                                                                void* inProcUserData);
// [audio thread] Also how a plug-in pulls an upstream unit.
MORVEX_PLATFORM_API ComponentResult AudioUnitRender(AudioUnit inUnit,
                                                    AudioUnitRenderActionFlags* ioActionFlags,
                                                    const AudioTimeStamp* inTimeStamp,
                                                    UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                                                    AudioBufferList* ioData);

CF_EXTERN_C_END
