#pragma once

#include <atomic>
#include <string>

#include "framework/base/WDL_Mutex.h"
#include "framework/base/WDL_PtrList.h"
#include "framework/base/WDL_String.h"
#include "framework/base/WDL_TypedBuf.h"
#include "framework/plugin/EAPI.h"
#include "framework/plugin/HostTable.h"
#include "framework/plugin/IDisplayOutput.h"
#include "framework/plugin/IParam.h"
#include "framework/plugin/IPlugConstants.h"
#include "framework/plugin/IPlugEditor.h"
#include "framework/plugin/IPlugStructs.h"
#include "framework/plugin/NChanDelayLine.h"

// The host-independent core of a plug-in: parameters, presets and state, the
// channel layout and per-channel buffer plumbing of the processing frame,
// identity, the host's identity and the attached editor.
//
// A host wrapper derives from it and provides the pure virtual host-facing
// operations; the effect derives from the wrapper and overrides the audio and
// parameter callbacks. One recursive mutex serialises parameter changes,
// state loading and editor attachment; the audio path takes no lock.
class IPlugBase {
 public:
  struct ChannelIO {
    int mIn;
    int mOut;
  };

  struct InChannel {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's slot in the input-data array
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  struct OutChannel {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's slot in the output-data array
    float* mFDest = nullptr;   // where single-precision results go
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  // Holds the plug-in's mutex for its scope.
  class IMutexLock {
   public:
    explicit IMutexLock(IPlugBase* plug) : mMutex(&plug->mMutex) { mMutex->Enter(); }
    ~IMutexLock() {
      if (mMutex) mMutex->Leave();
    }
    IMutexLock(const IMutexLock&) = delete;
    IMutexLock& operator=(const IMutexLock&) = delete;

   private:
    WDL_Mutex* mMutex;
  };

  // channelIOStr lists the legal layouts as blank-separated "in-out" pairs,
  // e.g. "1-1 2-2"; a malformed pair stops the program. Names longer than
  // MAX_EFFECT_NAME_LEN - 1 characters are truncated. [UI thread]
  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
            const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
            EAPI plugAPI);
  // Deletes the editor, parameters, presets, channel records and labels.
  virtual ~IPlugBase();

  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Virtual operations, in slot order. ----

  // Effect: restart processing at the current sample rate. [UI thread]
  virtual void Reset();
  // Effect: pick up the parameter's new value. [UI thread]
  virtual void OnParamChange(int paramIdx);
  // Effect: render nFrames. The base passes input i to output i and clears
  // the outputs without an input. [audio thread]
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept;
  // [audio thread]
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) noexcept;
  // [UI thread]
  virtual void OnGUIOpen();
  virtual void OnGUIClose();
  virtual void OnIdle();
  virtual void OnActivate(bool active);
  // The base forwards short messages to the host's MIDI output.
  // [audio thread]
  virtual void ProcessMidiMsg(IMidiMsg* msg) noexcept;
  virtual void ProcessSysEx(ISysEx* msg) noexcept;
  // Writes the empty name and returns false. name holds at least 1 char.
  // [UI thread]
  virtual bool MidiNoteName(int noteNumber, char* name);
  // The plug-in's state: SerializeParams / UnserializeParams. [UI thread]
  virtual bool SerializeState(ByteChunk* chunk);
  virtual int UnserializeState(const ByteChunk* chunk, int startPos);
  // Whether startPos doubles into incomingState, one per parameter, all match
  // the current values in single precision. The caller guarantees the bytes.
  // [UI thread]
  virtual bool CompareState(const unsigned char* incomingState, int startPos);
  // [UI thread]
  virtual void OnWindowResize();
  virtual bool HostRequestingAboutBox();
  virtual void OnHostIdentified();
  virtual void PopupHostContextMenuForParam(int paramIdx, int x, int y);
  // Sets the parameter, tells the host, then the effect. [UI thread]
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // Wrapper: tell the host about parameter gestures and changes. [UI thread]
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  // [any thread]
  virtual bool IsRenderingOffline() noexcept;
  // Wrapper: transport queries. [audio thread]
  virtual int GetSamplePos() noexcept = 0;
  virtual double GetTempo() noexcept = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) noexcept = 0;
  virtual void GetTime(ITimeInfo* timeInfo) noexcept = 0;
  // The host code; a wrapper identifies the host on first use. [any thread]
  virtual EHost GetHost();
  virtual EAPI GetAPI();
  // Wrapper: resize the editor's window. [UI thread]
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit();
  // Pushes every parameter to the editor, prepares it and takes ownership. A
  // null editor is ignored; an incomplete one is deleted. [UI thread]
  virtual void AttachGraphics(IPlugEditor* graphics);
  // Effect: its editor, made when a host first asks for one (DemandGUI), so
  // that a host that never shows it never loads what drawing needs. The base
  // has none. [UI thread]
  virtual IPlugEditor* MakeGUI();
  // [UI thread]
  virtual void SetLatency(int samples);
  // Wrapper: MIDI output. [audio thread]
  virtual bool SendMidiMsg(IMidiMsg* msg) noexcept = 0;
  virtual bool SendSysEx(ISysEx* msg) noexcept;
  // Pushes every parameter's real value to the editor. [UI thread]
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState();
  virtual void PresetsChangedByHost();
  // Sizes and clears the scratch buffers when the size changes. [UI thread]
  virtual void SetBlockSize(int blockSize);

  // ---- Display outputs, for hosts whose editor runs in an instance of its
  // own (LV2): the audio instance publishes each value after processing,
  // the editor's instance shows it. None by default. ----
  // [any thread]
  virtual int NDisplayOutputs() const { return 0; }
  // idx in 0 .. NDisplayOutputs() - 1.
  virtual IDisplayOutput GetDisplayOutput(int idx) const;
  // The value as of the last processed frame. [audio thread]
  virtual double DisplayOutputValue(int idx) const noexcept;
  // Shows a value another instance computed. [UI thread]
  virtual void OnDisplayOutput(int idx, double value);

  // ---- Names of an integer parameter's values, for hosts that list them
  // beside the parameter (LV2 scale points). None by default. ----
  // "" for a value without one. [UI thread; allocates]
  virtual std::string ValueName(int paramIdx, int value) const;

  // ---- Accessors. [any thread] ----
  IParam* GetParam(int paramIdx) const { return mParams.Get(paramIdx); }
  int NParams() const { return mParams.GetSize(); }
  int NPresets() const { return mPresets.GetSize(); }
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool DoesMIDI() const { return mDoesMIDI; }
  bool IsInst() const { return mIsInst; }
  bool IsBypassed() const { return mIsBypassed; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  int GetBlockSize() const { return mBlockSize; }
  double GetSampleRate() const { return mSampleRate; }
  // [UI thread]
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  // The attached editor, or null. [any thread]
  IPlugEditor* GetGUI() const { return mGraphics.load(std::memory_order_acquire); }
  // The editor a host is about to show: made and attached on the first
  // demand, which is not repeated when the effect made none. [UI thread]
  IPlugEditor* DemandGUI();
  // The host shows, or stops showing, the editor's view: OnGUIOpen and
  // OnGUIClose once each per showing, whichever path closes it. [UI thread]
  void GUIOpened();
  void GUIClosed();
  // Whether the host may call the processing path now: the editor must not
  // rebuild what the audio thread reads meanwhile. [any thread]
  bool CanRender() const { return mCanRender.load(std::memory_order_acquire); }
  WDL_Mutex* GetMutex() { return &mMutex; }

  // ---- Channels and the processing frame. ----
  // Whether a layout is legal; a negative count matches any. [any thread]
  bool LegalIO(int nIn, int nOut) const;
  // [UI thread]
  void LimitToStereoIO();
  // An unconnected channel reads or writes its own scratch buffer.
  // [UI thread, or the audio thread under the wrapper's lock]
  void SetInputChannelConnections(int idx, int n, bool connected) noexcept;
  void SetOutputChannelConnections(int idx, int n, bool connected) noexcept;
  bool IsInChannelConnected(int chIdx) const noexcept;
  bool IsOutChannelConnected(int chIdx) const noexcept;

  // Each connected channel in idx .. idx + n - 1 takes the next host buffer;
  // unconnected channels take none. nFrames must not exceed the block size.
  // [audio thread]
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames) noexcept;
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames) noexcept;
  void AttachOutputBuffers(int idx, int n, double** ppData) noexcept;
  void AttachOutputBuffers(int idx, int n, float** ppData) noexcept;
  // Runs the effect over the attached buffers; the first argument selects
  // the sample type. [audio thread]
  void ProcessBuffers(double sampleType, int nFrames) noexcept;
  void ProcessBuffers(float sampleType, int nFrames) noexcept;
  void ProcessBuffersAccumulating(float sampleType, int nFrames) noexcept;
  // The base pass-through (delayed by the latency when a delay line exists),
  // never the effect's processing. [audio thread]
  void PassThroughBuffers(double sampleType, int nFrames) noexcept;
  void PassThroughBuffers(float sampleType, int nFrames) noexcept;
  // [audio thread]
  void ZeroScratchBuffers() noexcept;

  // [UI thread]
  void SetInputLabel(int chIdx, const char* label);
  void SetOutputLabel(int chIdx, const char* label);
  // Only input buses 0 and 1; any output bus from 0. An index past the end
  // appends.
  void SetInputBusLabel(int busIdx, const char* label);
  void SetOutputBusLabel(int busIdx, const char* label);
  const WDL_String* GetInputBusLabel(int busIdx) const { return mInputBusLabels.Get(busIdx); }
  const WDL_String* GetOutputBusLabel(int busIdx) const { return mOutputBusLabels.Get(busIdx); }

  // ---- Parameters, MIDI and transport. ----
  // A host's new value for the parameter, in its own units: the parameter
  // takes it (clamped to its range), then the editor and the effect follow.
  // A value that is no number, or an index past the last, changes nothing.
  // [UI thread; a host's parameter thread; the audio thread when it holds
  // the mutex]
  void SetParameterFromHost(int paramIdx, double value);
  // OnParamChange for every parameter in index order. [UI thread]
  void OnParamReset();
  // True only when every message was sent; all are attempted. [audio thread]
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) noexcept;
  // 0 while the host reports no tempo. [audio thread]
  double GetSamplesPerBeat() noexcept;

  // ---- Identity. [any thread] ----
  int GetEffectVersion(bool decimal) const;
  // "v1.2.3D"
  void GetEffectVersionStr(char* str, int strSize) const;
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* str, int strSize);
  // [UI thread]
  void SetHost(const char* hostName, int version);
  const char* GetAPIString();
  const char* GetArchString() const { return "x86"; }

  // ---- Presets and state. ----
  // Appends one double per parameter. [UI thread]
  bool SerializeParams(ByteChunk* chunk);
  // Returns the position after the last value, or -1 for a short chunk (the
  // parameter at the failure becomes 0 clamped to its range). [UI thread]
  int UnserializeParams(const ByteChunk* chunk, int startPos);
  // True when the chunk holds a number for every parameter from startPos: a
  // state with too few, or with a NaN or infinity that would silently leave
  // its parameter as it was, is refused before anything changes. [any thread]
  bool HoldsParamValues(const ByteChunk* chunk, int startPos) const;
  // [UI thread]
  bool SerializePresets(ByteChunk* chunk);
  int UnserializePresets(const ByteChunk* chunk, int startPos);
  // "" for an index out of range. [UI thread]
  const char* GetPresetName(int idx) const;
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  // Whether the preset has the name and settings of an earlier one, so that
  // a list of presets shows it once. [UI thread]
  bool PresetRepeats(int idx) const;
  void ModifyCurrentPreset(const char* name = nullptr);

  // Each maker fills the first uninitialised preset, or does nothing.
  // MakePreset takes one value per parameter: an int for boolean, integer
  // and enumerated parameters, a double otherwise. [UI thread]
  void MakePreset(const char* name, ...);
  // nParamsNamed pairs of (index, value); unnamed parameters keep their
  // current values. An index out of range stops the program.
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, const ByteChunk* chunk);
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  // Asks the host to re-read every parameter. [UI thread]
  void DirtyParameters();

  // Developer dumps of presets as source lines; the whole chunk is written
  // whatever its size. [UI thread]
  void DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]);
  void DumpPresetBlob(const char* filename);
  void DumpBankBlob(const char* filename);

  // Program (fxp) and bank (fxb) files. Loading validates the whole file
  // first: a refused file changes nothing and gives false. [UI thread]
  bool SaveProgramAsFXP(const WDL_String& path);
  bool SaveBankAsFXB(const WDL_String& path);
  bool LoadProgramFromFXP(const WDL_String& path);
  bool LoadBankFromFXB(const WDL_String& path);
  // The same from bytes already in memory.
  bool LoadProgramFromFXPData(const ByteChunk& file);
  bool LoadBankFromFXBData(const ByteChunk& file);

 protected:
  WDL_PtrList<ChannelIO> mChannelIO;
  WDL_Mutex mMutex;
  char mEffectName[MAX_EFFECT_NAME_LEN];
  char mProductName[MAX_EFFECT_NAME_LEN];
  char mMfrName[MAX_EFFECT_NAME_LEN];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  // Written by the host's bypass property while a render reads it.
  std::atomic<bool> mIsBypassed{false};
  bool mGUIShown = false;
  // Set by the wrapper while the host may render.
  std::atomic<bool> mCanRender{false};
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  int mTailSize = 0;
  NChanDelayLine* mDelay = nullptr;
  // Attached on a host's demand while the audio thread may be reading it.
  std::atomic<IPlugEditor*> mGraphics{nullptr};
  bool mGUIDemanded = false;
  WDL_PtrList<IParam> mParams;
  WDL_PtrList<IPreset> mPresets;
  WDL_TypedBuf<double*> mInData;
  WDL_TypedBuf<double*> mOutData;
  WDL_PtrList<InChannel> mInChannels;
  WDL_PtrList<OutChannel> mOutChannels;
  WDL_PtrList<WDL_String> mInputBusLabels;
  WDL_PtrList<WDL_String> mOutputBusLabels;

 private:
  void ParseChannelIO(const char* channelIOStr);
};
