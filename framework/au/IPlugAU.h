#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "framework/au/detail/Published.h"
#include "framework/base/WDL_PtrList.h"
#include "framework/base/WDL_String.h"
#include "framework/base/WDL_TypedBuf.h"
#include "framework/plugin/IParam.h"
#include "framework/plugin/IPlugBase.h"
#include "platform/AUCocoaUIView.h"
#include "platform/AudioUnit.h"
#include "platform/AudioUnitUtilities.h"
#include "platform/CoreFoundation.h"

struct CarbonViewRecord;

// The Audio Unit face of the plug-in base: the component entry and its
// selectors, properties, saved state, buses and rendering. The effect derives
// from it; the host drives it through IPlugAUEntry (and the fast-dispatch
// procedures), which find the object in the instance's storage.
//
// Locking: the entry holds the plug-in's mutex for every selector but open
// and close; the parameter procedures and input assessment take it
// themselves. A render through the fast-dispatch procedure runs without it,
// so everything the render path reads from other threads is atomic, set up
// before rendering starts, or published whole (render notifiers, listeners,
// host callbacks, bus routing) and retired until no render can hold it. A
// closed instance is retired the same way.
class IPlugAU : public IPlugBase {
 public:
  enum EAUInputType {
    eNotConnected = 0,
    eDirectFastProc = 1,
    eDirectNoFastProc = 2,
    eRenderCallback = 3
  };

  struct BusChannels {
    bool mConnected;
    int mHostChannels;  // -1 until the host sets a stream format
    int mPlugChannels;
    int mFirstPlugChannel;
  };

  // All zero: nothing connected. An upstream unit of this framework is
  // pulled through its render procedure and watched through its liveness
  // flag, so that closing it cuts the connection; any other upstream unit is
  // pulled through its handle.
  struct InputBusConnection {
    void* mUpstreamObject;
    AudioUnit mUpstreamUnit;
    UInt32 mUpstreamOutput;
    AudioUnitRenderProc mUpstreamRender;
    AURenderCallbackStruct mInputCallback;
    EAUInputType mInputType;
    std::shared_ptr<const std::atomic<bool>> mUpstreamAlive;
  };

  // What a render needs of the buses, published whole on every change.
  struct RenderRouting {
    struct Input {
      BusChannels mBus;
      InputBusConnection mConnection;
    };
    std::vector<Input> mInputs;
    std::vector<int> mOutputHostChannels;
  };

  struct PropertyListener {
    AudioUnitPropertyID mPropertyID;
    AudioUnitPropertyListenerProc mProc;
    void* mUserData;
  };

  // The pull list of an input bus lives on the render thread's stack.
  static constexpr int kMaxInputBusChannels = 128;
  // The lowest sample rate a host may set.
  static constexpr double kMinSampleRate = 1.0;
  // A frame count whose scratch memory is still reasonable (24 s at 44.1 kHz).
  static constexpr UInt32 kMaxFramesPerSlice = 1u << 20;

  // [UI thread]
  IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
          const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
          int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
          bool plugIsInst, int plugScChans);
  ~IPlugAU() override;

  // The component entry. [any thread]
  static ComponentResult IPlugAUEntry(ComponentParameters* params, Handle storage);
  // The Carbon view component entry. [UI thread]
  static ComponentResult IPlugAUCarbonViewEntry(ComponentParameters* params, Handle storage);
  // The Cocoa view factory's two calls. A unit that is not a live plug-in
  // of this library, or has no editor, gets no view. [UI thread]
  static void* CocoaViewForAudioUnit(AudioUnit unit, NSSize preferredSize);
  static UInt32 CocoaViewInterfaceVersion();
  // The plug-in stored in a unit's instance, when it is one of this
  // library's live plug-ins; null for anything else. [any thread]
  static IPlugAU* LivePlugOf(AudioUnit unit);

  // Fast-dispatch procedures: storage is the plug-in object. A parameter id
  // at or above the parameter count gives kAudioUnitErr_InvalidParameter.
  // [any thread]
  static OSStatus GetParamProc(void* storage, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement element, AudioUnitParameterValue* value);
  static OSStatus SetParamProc(void* storage, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement element, AudioUnitParameterValue value,
                               UInt32 bufferOffset);
  // [audio thread]
  static OSStatus RenderProc(void* storage, AudioUnitRenderActionFlags* flags,
                             const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                             AudioBufferList* bufferList) noexcept;

  // ---- Base operations the wrapper provides. ----
  // Parameter-change events to the host. [UI thread]
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  // [any thread]
  bool IsRenderingOffline() noexcept override;
  // Transport queries through the host's callbacks. [audio thread]
  int GetSamplePos() noexcept override;
  double GetTempo() noexcept override;
  void GetTimeSig(int* numerator, int* denominator) noexcept override;
  void GetTime(ITimeInfo* timeInfo) noexcept override;
  // Identifies the host from the main bundle on first use. [UI thread]
  EHost GetHost() override;
  // [UI thread]
  void ResizeGraphics(int w, int h) override;
  void HostSpecificInit() override;
  // Listeners of the latency property hear of the change before it is
  // stored. [UI thread]
  void SetLatency(int samples) override;
  // The Audio Unit effect has no MIDI output. [audio thread]
  bool SendMidiMsg(IMidiMsg* msg) noexcept override;
  // Also sizes the float scratch buffers. [UI thread]
  void SetBlockSize(int blockSize) override;

  // ---- Properties. [UI thread, under the mutex] ----
  // dataSize and writable are always given; data is null for the info call.
  // A data call writes the size the value has.
  ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                              AudioUnitElement element, UInt32* dataSize, Boolean* writable,
                              void* data);
  // Informs the property's listeners first, whatever the outcome; data
  // smaller than the property's value is refused.
  ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                              AudioUnitElement element, UInt32 dataSize, const void* data);
  // GetProperty's larger properties, each with its own reader.
  ComponentResult GetClassInfo(UInt32* dataSize, Boolean* writable, void* data);
  ComponentResult GetStreamFormat(AudioUnitScope scope, AudioUnitElement element, UInt32* dataSize,
                                  Boolean* writable, void* data);
  ComponentResult GetElementCount(AudioUnitScope scope, UInt32* dataSize, void* data);
  ComponentResult GetSupportedNumChannels(AudioUnitScope scope, UInt32* dataSize, void* data);
  ComponentResult GetParameterValueStrings(AudioUnitScope scope, AudioUnitElement element,
                                           UInt32* dataSize, void* data);
  ComponentResult GetFactoryPresets(UInt32* dataSize, void* data);
  ComponentResult GetCocoaUI(UInt32* dataSize, void* data);
  // The fast-dispatch functions by selector.
  ComponentResult GetProc(AudioUnitElement selector, UInt32* dataSize, void* data);
  // Saved state: a new dictionary, or a restore that applies fully or not
  // at all.
  ComponentResult GetState(CFPropertyListRef* plist);
  ComponentResult SetState(CFPropertyListRef plist);
  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  // ---- Buses. ----
  // [UI thread] or [audio thread] for lookups.
  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement element) noexcept;
  // Derives each input bus's connection type from its record. [UI thread]
  void AssessInputConnections();
  // Whether a stream format of channels on one bus fits some legal layout.
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
  // Whether the host's stream formats so far fit a legal layout (Initialize).
  bool CheckLegalIO();
  // -1 when no bus other than excludeIdx has a host channel count.
  static int NHostChannelsConnected(const WDL_PtrList<BusChannels>* buses, int excludeIdx = -1);
  static void MakeDefaultASBD(AudioStreamBasicDescription* asbd, double sampleRate, int nChannels,
                              bool interleaved);

  bool IsInitialized() const { return mInitialized; }

  // Ends the instance for the host: cuts the connections of units pulling
  // from it and frees it once no render can still be inside it. [UI thread]
  void Close();

 protected:
  // The live-plug-in list behind LivePlugOf. [any thread]
  static void AddLivePlug(const IPlugAU* plug);
  static void RemoveLivePlug(const IPlugAU* plug);

  // Calls a render callback with its reference first. [audio thread]
  static OSStatus RenderCallback(const AURenderCallbackStruct* callback,
                                 AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                 UInt32 bus, UInt32 nFrames, AudioBufferList* bufferList) noexcept;
  OSStatus Render(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                  UInt32 outputBus, UInt32 nFrames, AudioBufferList* bufferList) noexcept;
  OSStatus PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames) noexcept;
  // Notifiers see the host's own flags word with the action bit set.
  void SendRenderNotifications(AudioUnitRenderActionFlags action, AudioUnitRenderActionFlags* flags,
                               const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                               AudioBufferList* bufferList) noexcept;
  // Resets the effect now, or at the start of the next render when one is
  // running. [UI thread]
  void ResetBesideRender();
  // Sets the sample rate or block size and resets the effect, unless a
  // render is running: then nothing changes and the result is false.
  // [UI thread]
  bool SetSampleRateBesideRender(double sampleRate);
  bool SetBlockSizeBesideRender(int blockSize);
  // The bus records as the render will see them. [UI thread, under the mutex]
  void PublishRouting();

  // ---- The component entry past open and close, a function per selector
  // group. [any thread, under the mutex] ----
  ComponentResult Dispatch(SInt16 select, const ComponentParameters* params);
  ComponentResult EntryGetPropertyInfo(const ComponentParameters* params);
  ComponentResult EntryGetProperty(const ComponentParameters* params);
  ComponentResult EntryAddPropertyListener(const ComponentParameters* params);
  ComponentResult EntryRemovePropertyListener(const ComponentParameters* params, bool withUserData);
  ComponentResult EntryAddRenderNotify(const ComponentParameters* params);
  ComponentResult EntryScheduleParameters(const ComponentParameters* params);
  ComponentResult EntryMusicDevice(SInt16 select, const ComponentParameters* params);

  ComponentResult SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                  const AudioStreamBasicDescription* format);
  ComponentResult SetConnection(const AudioUnitConnection* connection);
  ComponentResult SetInputCallback(AudioUnitElement element,
                                   const AURenderCallbackStruct* callback);
  // The four parameter-text properties and the parameter's info record.
  ComponentResult GetParamInfo(AudioUnitElement element, AudioUnitParameterInfo* info);
  ComponentResult GetParamText(AudioUnitPropertyID propID, void* data);
  ComponentResult GetElementName(AudioUnitScope scope, AudioUnitElement element, CFStringRef* name);
  ComponentResult GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element,
                                       UInt32* dataSize, Boolean* writable, void* data);
  // Clump id of the parameter's group, counted from 1 in first-asked order.
  int ClumpID(IParam* param);
  void SendAUEvent(AudioUnitEventType type, int paramIdx);

  WDL_String mBundleID;
  WDL_String mViewClassName;
  IParam::DisplayString mDisplayText = "";
  AudioUnit mComponent = nullptr;
  bool mInitialized = false;
  std::atomic<bool> mOffline{false};
  double mLastRenderTime = -1.0;
  double mLastTempo = 120.0;
  Published<HostCallbackInfo> mHostCallbackInfo;
  WDL_TypedBuf<float> mInputScratch;
  WDL_TypedBuf<float> mOutputScratch;
  Published<std::vector<AURenderCallbackStruct>> mRenderNotifiers;
  // The host's bus and connection records; the render reads mRouting.
  // mConnected of an output bus belongs to the render.
  WDL_PtrList<BusChannels> mInputBuses;
  WDL_PtrList<BusChannels> mOutputBuses;
  WDL_PtrList<InputBusConnection> mInputConnections{4096};
  Published<RenderRouting> mRouting;
  Published<std::vector<PropertyListener>> mListeners;
  // False once the host closed the instance; units pulling from it hold it.
  std::shared_ptr<std::atomic<bool>> mAlive = std::make_shared<std::atomic<bool>>(true);
  // One render at a time: a second one (a loop of units, another thread)
  // is refused. A reset that finds a render running is left to the next;
  // a change of rate or block size is refused (RenderExclusion).
  std::atomic<bool> mRendering{false};
  std::atomic<int> mResetting{0};
  std::atomic<bool> mResetPending{false};
  std::atomic<int> mReconfiguring{0};
  // One parameter of each group, in the order hosts first asked about the
  // groups: clump id i names the group of entry i - 1. Not owned.
  WDL_PtrList<IParam> mParamGroups{4096};
  // Carbon views showing this plug-in's editor, told when it goes away.
  WDL_PtrList<CarbonViewRecord> mCarbonViews{4096};
};

// "NotConnected", "DirectFastProc", "DirectNoFastProc" or "RenderCallback";
// any other value reads as "NotConnected". [any thread]
const char* AUInputTypeStr(int type);
