// Host calls: each forwards its arguments to the unit's entry through a
// stack-built parameter block.

#include "platform/AudioUnit.h"
#include "platform/HostComponents.h"
#include "platform/detail/ComponentCall.h"

using platform_detail::CallComponent;

ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber) {
  return CallComponent(ci, kComponentCanDoSelect, ftnNumber);
}

ComponentResult CallComponentVersion(ComponentInstance ci) {
  return CallComponent(ci, kComponentVersionSelect);
}

ComponentResult HostCallComponentSelector(ComponentInstance ci, SInt16 what, UInt32 argCount,
                                          const long* args) {
  // Closing goes through the instance table so that the handle dies with
  // the instance; an open instance cannot be opened again.
  if (what == kComponentCloseSelect) return CloseComponent(ci);
  const platform_detail::InstanceTable::Call call(ci);
  if (!call.Live()) return badComponentInstance;
  if (what == kComponentOpenSelect) return badComponentSelector;
  platform_detail::ParameterBlock<16> block{};
  if (argCount > 16 || (argCount > 0 && !args)) return paramErr;
  block.what = what;
  block.paramSize = static_cast<UInt8>(argCount * sizeof(long));
  for (UInt32 i = 0; i < argCount; ++i)
    block.params[argCount - 1 - i] = args[i];
  return call.Entry()(reinterpret_cast<ComponentParameters*>(&block), call.Storage());
}

ComponentResult AudioUnitInitialize(AudioUnit inUnit) {
  return CallComponent(inUnit, kAudioUnitInitializeSelect);
}

ComponentResult AudioUnitUninitialize(AudioUnit inUnit) {
  return CallComponent(inUnit, kAudioUnitUninitializeSelect);
}

ComponentResult AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID,
                                         AudioUnitScope inScope, AudioUnitElement inElement,
                                         UInt32* outDataSize, Boolean* outWritable) {
  return CallComponent(inUnit, kAudioUnitGetPropertyInfoSelect, inID, inScope, inElement,
                       outDataSize, outWritable);
}

ComponentResult AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                     AudioUnitScope inScope, AudioUnitElement inElement,
                                     void* outData, UInt32* ioDataSize) {
  return CallComponent(inUnit, kAudioUnitGetPropertySelect, inID, inScope, inElement, outData,
                       ioDataSize);
}

ComponentResult AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                     AudioUnitScope inScope, AudioUnitElement inElement,
                                     const void* inData, UInt32 inDataSize) {
  return CallComponent(inUnit, kAudioUnitSetPropertySelect, inID, inScope, inElement, inData,
                       inDataSize);
}

ComponentResult AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID,
                                      AudioUnitScope inScope, AudioUnitElement inElement,
                                      AudioUnitParameterValue* outValue) {
  return CallComponent(inUnit, kAudioUnitGetParameterSelect, inID, inScope, inElement, outValue);
}

ComponentResult AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID,
                                      AudioUnitScope inScope, AudioUnitElement inElement,
                                      AudioUnitParameterValue inValue,
                                      UInt32 inBufferOffsetInFrames) {
  return CallComponent(inUnit, kAudioUnitSetParameterSelect, inID, inScope, inElement, inValue,
                       inBufferOffsetInFrames);
}

ComponentResult AudioUnitScheduleParameters(AudioUnit inUnit,
                                            const AudioUnitParameterEvent* inParameterEvent,
                                            UInt32 inNumParamEvents) {
  return CallComponent(inUnit, kAudioUnitScheduleParametersSelect, inParameterEvent,
                       inNumParamEvents);
}

ComponentResult AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope,
                               AudioUnitElement inElement) {
  return CallComponent(inUnit, kAudioUnitResetSelect, inScope, inElement);
}

ComponentResult AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                             AudioUnitPropertyListenerProc inProc,
                                             void* inProcUserData) {
  return CallComponent(inUnit, kAudioUnitAddPropertyListenerSelect, inID, inProc, inProcUserData);
}

ComponentResult AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                AudioUnitPropertyListenerProc inProc) {
  return CallComponent(inUnit, kAudioUnitRemovePropertyListenerSelect, inID, inProc);
}

ComponentResult AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit,
                                                            AudioUnitPropertyID inID,
                                                            AudioUnitPropertyListenerProc inProc,
                                                            void* inProcUserData) {
  return CallComponent(inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID, inProc,
                       inProcUserData);
}

ComponentResult AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                         void* inProcUserData) {
  return CallComponent(inUnit, kAudioUnitAddRenderNotifySelect, inProc, inProcUserData);
}

ComponentResult AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                            void* inProcUserData) {
  return CallComponent(inUnit, kAudioUnitRemoveRenderNotifySelect, inProc, inProcUserData);
}

ComponentResult AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                                const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                UInt32 inNumberFrames, AudioBufferList* ioData) {
  return CallComponent(inUnit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp,
                       inOutputBusNumber, inNumberFrames, ioData);
}

ComponentResult MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1,
                                     UInt32 inData2, UInt32 inOffsetSampleFrame) {
  return CallComponent(inUnit, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2,
                       inOffsetSampleFrame);
}

ComponentResult MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData,
                                 UInt32 inLength) {
  return CallComponent(inUnit, kMusicDeviceSysExSelect, inData, inLength);
}

ComponentResult MusicDevicePrepareInstrument(MusicDeviceComponent inUnit,
                                             MusicDeviceInstrumentID inInstrument) {
  return CallComponent(inUnit, kMusicDevicePrepareInstrumentSelect, inInstrument);
}

ComponentResult MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit,
                                             MusicDeviceInstrumentID inInstrument) {
  return CallComponent(inUnit, kMusicDeviceReleaseInstrumentSelect, inInstrument);
}

ComponentResult MusicDeviceStartNote(MusicDeviceComponent inUnit,
                                     MusicDeviceInstrumentID inInstrument,
                                     MusicDeviceGroupID inGroupID,
                                     NoteInstanceID* outNoteInstanceID, UInt32 inOffsetSampleFrame,
                                     const MusicDeviceNoteParams* inParams) {
  return CallComponent(inUnit, kMusicDeviceStartNoteSelect, inInstrument, inGroupID,
                       outNoteInstanceID, inOffsetSampleFrame, inParams);
}

ComponentResult MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                                    NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame) {
  return CallComponent(inUnit, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID,
                       inOffsetSampleFrame);
}

ComponentResult AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit,
                                          WindowRef inWindow, ControlRef inParentControl,
                                          const Float32Point* inLocation,
                                          const Float32Point* inSize, ControlRef* outControl) {
  return CallComponent(inView, kAudioUnitCarbonViewCreateSelect, inAudioUnit, inWindow,
                       inParentControl, inLocation, inSize, outControl);
}
