#pragma once

#include <string>
#include <vector>

#include "platform/AudioToolbox.h"
#include "tools/auhost/BufferList.h"
#include "tools/auhost/CFRef.h"
#include "tools/auhost/MorvexDescription.h"

// The first Morvex component found; throws HostError explaining where it was
// looked for and why bundles were skipped.
Component FindMorvex();

// "aufx" for 'aufx'; non-printable bytes as \xNN.
std::string FourCharCodeText(OSType code);
// "-10879 (kAudioUnitErr_InvalidProperty)" and the like.
std::string StatusText(OSStatus status);
// The folder of the bundle a component came from; empty when registered directly.
std::string BundlePath(Component component);

struct ParameterDescription {
  AudioUnitParameterID id = 0;
  std::string name;
  AudioUnitParameterUnit unit = 0;
  float minValue = 0;
  float maxValue = 0;
  float defaultValue = 0;  // as the unit reports it
  UInt32 flags = 0;
  std::vector<std::string> valueStrings;  // empty when the parameter has none
};

struct PresetDescription {
  SInt32 number = 0;
  std::string name;
};

// One open instance of a component; closed on destruction. Every operation
// throws HostError naming the call and status when the unit refuses it.
class Unit {
 public:
  explicit Unit(Component component);
  // The first Morvex component that opens: bundles whose library cannot be
  // loaded are skipped (and listed as skipped should none open).
  Unit();
  ~Unit();
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  AudioUnit au() const { return mUnit; }
  Component component() const { return mComponent; }
  void check(OSStatus status, const std::string& what) const;

  template <typename T>
  T get(AudioUnitPropertyID id, AudioUnitScope scope = kAudioUnitScope_Global,
        AudioUnitElement element = 0) const {
    T value{};
    getRaw(id, scope, element, &value, sizeof value);
    return value;
  }
  template <typename T>
  void set(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const T& value) {
    check(AudioUnitSetProperty(mUnit, id, scope, element, &value, sizeof value),
          "setting property " + std::to_string(id));
  }
  // Reads a variable-size property into bytes.
  std::vector<unsigned char> getBytes(AudioUnitPropertyID id,
                                      AudioUnitScope scope = kAudioUnitScope_Global,
                                      AudioUnitElement element = 0) const;

  // Non-interleaved float formats for input and output at the rate, then the
  // maximum frames per slice.
  void configure(UInt32 channels, double sampleRate, UInt32 maxFrames);
  // The output's sample rate, as configured or the unit's default.
  double sampleRate() const;
  void initialize();
  void uninitialize();

  std::vector<ParameterDescription> parameters() const;
  float parameter(AudioUnitParameterID id) const;
  void setParameter(AudioUnitParameterID id, float value);
  // The unit's display text for a value of a parameter.
  std::string displayText(AudioUnitParameterID id, float value) const;
  // The unit's value for a display text (value-from-string property).
  float valueFromText(AudioUnitParameterID id, const std::string& text) const;

  std::vector<PresetDescription> factoryPresets() const;
  PresetDescription presentPreset() const;
  void selectPreset(const PresetDescription& preset);

  CFRef<CFPropertyListRef> state() const;
  // Returns the unit's status (the caller explains refusals best).
  OSStatus setState(CFPropertyListRef state);

 private:
  [[noreturn]] static void throwOpenFailure(OSStatus status);
  void getRaw(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, void* data,
              UInt32 size) const;

  Component mComponent;
  AudioUnit mUnit = nullptr;
  bool mInitialized = false;
};

// How a Renderer calls the unit's render: through the component entry, which
// serialises it with the unit's other calls, or through the function the unit
// hands out for fast dispatch, which a real-time thread may call because it
// takes no lock.
enum class RenderCall { Entry, FastDispatch };

// Pulls non-interleaved input through the unit's render callback and renders
// it, advancing the sample time by each slice.
class Renderer {
 public:
  // Throws HostError when the unit offers no fast dispatch that was asked for.
  Renderer(Unit& unit, UInt32 channels, RenderCall call = RenderCall::Entry);
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // [audio thread] in[c] and out[c] hold `frames` samples for each channel.
  OSStatus render(const float* const* in, float* const* out, UInt32 frames) noexcept;
  double sampleTime() const { return mSampleTime; }

 private:
  static OSStatus supplyInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                              UInt32, UInt32 frames, AudioBufferList* ioData);

  Unit& mUnit;
  UInt32 mChannels;
  // Null for the component entry.
  AudioUnitRenderProc mFastRender = nullptr;
  void* mStorage = nullptr;
  double mSampleTime = 0;
  const float* const* mInput = nullptr;
  BufferList mOutput;
};
