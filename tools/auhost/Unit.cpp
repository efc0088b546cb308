#include "tools/auhost/Unit.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "effect/MorvexIdentity.h"
#include "platform/HostComponents.h"
#include "tools/auhost/HostCalls.h"
#include "tools/auhost/HostError.h"
#include "tools/auhost/StreamFormat.h"

namespace {

std::string skippedBundles() {
  std::string text;
  for (UInt32 i = 0; i < HostCountSkippedBundles(); ++i) {
    HostSkippedBundle skipped;
    if (HostGetSkippedBundle(i, &skipped))
      text += std::string("\n  skipped ") + skipped.path + ": " + skipped.reason;
  }
  return text;
}

}  // namespace

Component FindMorvex() {
  ComponentDescription looking = MorvexDescription();
  if (Component found = FindNextComponent(nullptr, &looking)) return found;
  const char* path = std::getenv("AUDIOUNIT_PATH");
  throw HostError(std::string(kMorvexName) + " component (" + kMorvexTypeCode + " " +
                  kMorvexSubtypeCode + " " + kMorvexManufacturerCode +
                  ") not found in AUDIOUNIT_PATH (" + (path ? path : "") +
                  "), ~/Library/Audio/Plug-Ins/Components, /Library/Audio/Plug-Ins/Components" +
                  " or " + HostInstalledComponentsFolder() + skippedBundles());
}

std::string FourCharCodeText(OSType value) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const unsigned char c = static_cast<unsigned char>(value >> shift);
    if (c >= 0x20 && c < 0x7f) {
      text += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    }
  }
  return text;
}

std::string StatusText(OSStatus status) {
  static const struct {
    OSStatus status;
    const char* name;
  } kNames[] = {
      {noErr, "noErr"},
      {paramErr, "paramErr"},
      {unresolvedComponentDLLErr, "unresolvedComponentDLLErr"},
      {invalidComponentID, "invalidComponentID"},
      {badComponentInstance, "badComponentInstance"},
      {badComponentSelector, "badComponentSelector"},
      {coreFoundationUnknownErr, "coreFoundationUnknownErr"},
      {kAudioUnitErr_InvalidProperty, "kAudioUnitErr_InvalidProperty"},
      {kAudioUnitErr_InvalidParameter, "kAudioUnitErr_InvalidParameter"},
      {kAudioUnitErr_InvalidElement, "kAudioUnitErr_InvalidElement"},
      {kAudioUnitErr_NoConnection, "kAudioUnitErr_NoConnection"},
      {kAudioUnitErr_FailedInitialization, "kAudioUnitErr_FailedInitialization"},
      {kAudioUnitErr_TooManyFramesToProcess, "kAudioUnitErr_TooManyFramesToProcess"},
      {kAudioUnitErr_FormatNotSupported, "kAudioUnitErr_FormatNotSupported"},
      {kAudioUnitErr_Uninitialized, "kAudioUnitErr_Uninitialized"},
      {kAudioUnitErr_InvalidScope, "kAudioUnitErr_InvalidScope"},
      {kAudioUnitErr_PropertyNotWritable, "kAudioUnitErr_PropertyNotWritable"},
      {kAudioUnitErr_InvalidPropertyValue, "kAudioUnitErr_InvalidPropertyValue"},
      {kAudioUnitErr_PropertyNotInUse, "kAudioUnitErr_PropertyNotInUse"},
  };
  std::string text = std::to_string(status);
  for (const auto& entry : kNames)
    if (entry.status == status) return text + " (" + entry.name + ")";
  return text;
}

std::string BundlePath(Component component) {
  CFBundleRef bundle = HostGetComponentBundle(component);
  if (!bundle) return {};
  CFRef<CFURLRef> url(CFBundleCopyBundleURL(bundle));
  CFRef<CFStringRef> path(url ? CFURLCopyFileSystemPath(url.get(), kCFURLPOSIXPathStyle) : nullptr);
  return ToStdString(path.get());
}

Unit::Unit(Component component) : mComponent(component) {
  const OSErr status = OpenAComponent(component, &mUnit);
  if (status != noErr) throwOpenFailure(status);
}

Unit::Unit() {
  // A bundle whose library cannot be loaded leaves the registry (for the
  // skipped list) when first opened, so the next search meets the next match.
  for (Component failed = nullptr;;) {
    mComponent = FindMorvex();
    const OSErr status = OpenAComponent(mComponent, &mUnit);
    if (status == noErr) return;
    if (status != unresolvedComponentDLLErr || mComponent == failed) throwOpenFailure(status);
    failed = mComponent;
  }
}

void Unit::throwOpenFailure(OSStatus status) {
  throw HostError("cannot open the Morvex component: " + StatusText(status) + skippedBundles());
}

Unit::~Unit() {
  if (mInitialized) AudioUnitUninitialize(mUnit);
  CloseComponent(mUnit);
}

void Unit::check(OSStatus status, const std::string& what) const {
  if (status != noErr) throw HostError("Morvex refused " + what + ": " + StatusText(status));
}

void Unit::getRaw(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                  void* data, UInt32 size) const {
  UInt32 ioSize = size;
  check(AudioUnitGetProperty(mUnit, id, scope, element, data, &ioSize),
        "property " + std::to_string(id));
}

std::vector<unsigned char> Unit::getBytes(AudioUnitPropertyID id, AudioUnitScope scope,
                                          AudioUnitElement element) const {
  UInt32 size = 0;
  Boolean writable = false;
  check(AudioUnitGetPropertyInfo(mUnit, id, scope, element, &size, &writable),
        "property " + std::to_string(id));
  std::vector<unsigned char> bytes(size);
  if (size > 0) getRaw(id, scope, element, bytes.data(), size);
  return bytes;
}

void Unit::configure(UInt32 channels, double sampleRate, UInt32 maxFrames) {
  const AudioStreamBasicDescription format = CanonicalFormat(channels, sampleRate);
  const std::string what = std::to_string(channels) + "-channel " +
                           std::to_string(static_cast<long>(sampleRate)) + " Hz stream format";
  check(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
                             &format, sizeof format),
        "the input " + what);
  check(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                             &format, sizeof format),
        "the output " + what);
  set<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, maxFrames);
}

double Unit::sampleRate() const {
  return get<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output)
      .mSampleRate;
}

void Unit::initialize() {
  check(AudioUnitInitialize(mUnit), "initialisation");
  mInitialized = true;
}

void Unit::uninitialize() {
  if (!mInitialized) return;
  mInitialized = false;
  check(AudioUnitUninitialize(mUnit), "uninitialisation");
}

std::vector<ParameterDescription> Unit::parameters() const {
  const std::vector<unsigned char> list = getBytes(kAudioUnitProperty_ParameterList);
  std::vector<ParameterDescription> result(list.size() / sizeof(AudioUnitParameterID));
  for (size_t i = 0; i < result.size(); ++i) {
    ParameterDescription& p = result[i];
    std::memcpy(&p.id, list.data() + i * sizeof p.id, sizeof p.id);
    const auto info =
        get<AudioUnitParameterInfo>(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, p.id);
    const bool owned = info.flags & kAudioUnitParameterFlag_CFNameRelease;
    if (info.flags & kAudioUnitParameterFlag_HasCFNameString && info.cfNameString) {
      p.name = ToStdString(info.cfNameString);
      if (owned) CFRelease(info.cfNameString);
    } else {
      p.name.assign(info.name, strnlen(info.name, sizeof info.name));
    }
    if (info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName && owned)
      CFRelease(info.unitName);
    p.unit = info.unit;
    p.minValue = info.minValue;
    p.maxValue = info.maxValue;
    p.defaultValue = info.defaultValue;
    p.flags = info.flags;

    CFArrayRef strings = nullptr;
    UInt32 size = sizeof strings;
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterValueStrings,
                             kAudioUnitScope_Global, p.id, &strings, &size) == noErr &&
        strings) {
      for (CFIndex s = 0; s < CFArrayGetCount(strings); ++s)
        p.valueStrings.push_back(ToStdString(CFArrayGetValueAtIndex(strings, s)));
      CFRelease(strings);
    }
  }
  return result;
}

float Unit::parameter(AudioUnitParameterID id) const {
  AudioUnitParameterValue value = 0;
  check(AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &value),
        "reading parameter " + std::to_string(id));
  return value;
}

void Unit::setParameter(AudioUnitParameterID id, float value) {
  check(AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0),
        "setting parameter " + std::to_string(id));
}

std::string Unit::displayText(AudioUnitParameterID id, float value) const {
  AudioUnitParameterStringFromValue request = {id, &value, nullptr};
  UInt32 size = sizeof request;
  check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterStringFromValue,
                             kAudioUnitScope_Global, 0, &request, &size),
        "a display text");
  CFRef<CFStringRef> text(request.outString);
  return ToStdString(text.get());
}

float Unit::valueFromText(AudioUnitParameterID id, const std::string& text) const {
  CFRef<CFStringRef> string = MakeCFString(text);
  AudioUnitParameterValueFromString request = {id, string.get(), NAN};
  UInt32 size = sizeof request;
  check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterValueFromString,
                             kAudioUnitScope_Global, 0, &request, &size),
        "the display text '" + text + "'");
  return request.outValue;
}

std::vector<PresetDescription> Unit::factoryPresets() const {
  CFRef<CFArrayRef> array(get<CFArrayRef>(kAudioUnitProperty_FactoryPresets));
  std::vector<PresetDescription> presets;
  for (CFIndex i = 0; array && i < CFArrayGetCount(array.get()); ++i) {
    auto preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array.get(), i));
    if (preset) presets.push_back({preset->presetNumber, ToStdString(preset->presetName)});
  }
  return presets;
}

PresetDescription Unit::presentPreset() const {
  const auto preset = get<AUPreset>(kAudioUnitProperty_PresentPreset);
  CFRef<CFStringRef> name(preset.presetName);
  return {preset.presetNumber, ToStdString(name.get())};
}

void Unit::selectPreset(const PresetDescription& preset) {
  CFRef<CFStringRef> name = MakeCFString(preset.name);
  const AUPreset value = {preset.number, name.get()};
  set(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, value);
}

CFRef<CFPropertyListRef> Unit::state() const {
  return CFRef<CFPropertyListRef>(get<CFPropertyListRef>(kAudioUnitProperty_ClassInfo));
}

OSStatus Unit::setState(CFPropertyListRef state) {
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                              &state, sizeof state);
}

Renderer::Renderer(Unit& unit, UInt32 channels, RenderCall call)
    : mUnit(unit), mChannels(channels), mOutput(channels, 0) {
  const AURenderCallbackStruct callback = {&Renderer::supplyInput, this};
  unit.set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, callback);
  if (call == RenderCall::FastDispatch) {
    UInt32 size = sizeof mFastRender;
    unit.check(
        AudioUnitGetProperty(unit.au(), kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                             kAudioUnitRenderSelect, &mFastRender, &size),
        "the fast-dispatch render function");
    mStorage = GetComponentInstanceStorage(unit.au());
  }
}

OSStatus Renderer::supplyInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                               UInt32, UInt32 frames, AudioBufferList* ioData) {
  auto* self = static_cast<Renderer*>(refCon);
  if (ioData->mNumberBuffers > self->mChannels) return kAudioUnitErr_InvalidParameter;
  AudioBuffer* buffers = ioData->mBuffers;
  for (UInt32 c = 0; c < ioData->mNumberBuffers; ++c) {
    if (buffers[c].mData)
      std::memcpy(buffers[c].mData, self->mInput[c], frames * sizeof(float));
    else
      buffers[c].mData = const_cast<float*>(self->mInput[c]);
    buffers[c].mDataByteSize = frames * sizeof(float);
  }
  return noErr;
}

OSStatus Renderer::render(const float* const* in, float* const* out, UInt32 frames) noexcept {
  mInput = in;
  AudioBuffer* buffers = mOutput.list()->mBuffers;
  for (UInt32 c = 0; c < mChannels; ++c)
    buffers[c] = {1, frames * static_cast<UInt32>(sizeof(float)), out[c]};
  AudioBufferList* list = mOutput.list();
  const OSStatus status = mFastRender ? FastRender(mFastRender, mStorage, mSampleTime, frames, list)
                                      : Render(mUnit.au(), mSampleTime, frames, list);
  // A unit may answer in buffers of its own.
  for (UInt32 c = 0; c < mChannels && status == noErr; ++c)
    if (buffers[c].mData != out[c]) std::memcpy(out[c], buffers[c].mData, frames * sizeof(float));
  mSampleTime += frames;
  return status;
}
