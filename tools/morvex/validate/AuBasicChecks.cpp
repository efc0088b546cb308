// The basic level of morvex validate: drives the component through the host
// calls one by one, as a careful host or an Audio Unit validation tool would.
#include "tools/morvex/validate/AuBasicChecks.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/HostComponents.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/settings/TypedInput.h"
#include "tools/morvex/validate/SignalChecks.h"

namespace {

std::string expectStatus(OSStatus got, OSStatus expected) {
  if (got == expected) return {};
  return "answered " + StatusText(got) + ", expected " + StatusText(expected);
}

double elapsedMs(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
      .count();
}

std::string ms(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f ms", value);
  return text;
}

// Renders a signal through a configured, initialised unit in slices of
// `block` frames; throws on a refused render.
Channels render(Unit& unit, const Channels& in, UInt32 block) {
  const UInt32 channels = static_cast<UInt32>(in.size());
  Renderer renderer(unit, channels);
  Channels out(channels, std::vector<float>(in[0].size()));
  for (size_t offset = 0; offset < in[0].size(); offset += block) {
    const UInt32 n = static_cast<UInt32>(std::min<size_t>(block, in[0].size() - offset));
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;
    for (UInt32 c = 0; c < channels; ++c) {
      inPointers.push_back(in[c].data() + offset);
      outPointers.push_back(out[c].data() + offset);
    }
    unit.check(renderer.render(inPointers.data(), outPointers.data(), n),
               "rendering " + std::to_string(n) + " frames");
  }
  return out;
}

// A unit opened, configured for the layout and initialised.
std::unique_ptr<Unit> readyUnit(Component component, UInt32 channels, double rate,
                                UInt32 maxFrames) {
  auto unit = std::make_unique<Unit>(component);
  unit->configure(channels, rate, maxFrames);
  unit->initialize();
  return unit;
}

CFRef<CFDataRef> stateBytes(const Unit& unit) {
  CFRef<CFPropertyListRef> state = unit.state();
  return CFRef<CFDataRef>(CFPropertyListCreateData(kCFAllocatorDefault, state.get(),
                                                   kCFPropertyListXMLFormat_v1_0, 0, nullptr));
}

void checkOpenClose(CheckReport& report, Component component) {
  report.run("open and close", [&](std::string* detail) -> std::string {
    ComponentInstance instance = nullptr;
    auto start = std::chrono::steady_clock::now();
    OSErr status = OpenAComponent(component, &instance);
    const double first = elapsedMs(start);
    if (status != noErr) return "first open answered " + StatusText(status);
    start = std::chrono::steady_clock::now();
    status = CloseComponent(instance);
    const double firstClose = elapsedMs(start);
    if (status != noErr) return "close answered " + StatusText(status);
    constexpr int kCycles = 10;
    double opens = 0, closes = 0;
    for (int i = 0; i < kCycles; ++i) {
      start = std::chrono::steady_clock::now();
      if ((status = OpenAComponent(component, &instance)) != noErr)
        return "open " + std::to_string(i + 2) + " answered " + StatusText(status);
      opens += elapsedMs(start);
      start = std::chrono::steady_clock::now();
      if ((status = CloseComponent(instance)) != noErr)
        return "close " + std::to_string(i + 2) + " answered " + StatusText(status);
      closes += elapsedMs(start);
    }
    *detail = "first open " + ms(first) + ", first close " + ms(firstClose) + "; then open " +
              ms(opens / kCycles) + ", close " + ms(closes / kCycles) + " on average";
    if (opens / kCycles > 1000) return "opening takes " + ms(opens / kCycles);
    return {};
  });
}

void checkIdentity(CheckReport& report, Component component) {
  report.run("identity", [&](std::string* detail) -> std::string {
    ComponentDescription description = {};
    char* name = nullptr;
    if (GetComponentInfo(component, &description, &name, nullptr, nullptr) != noErr || !name)
      return "GetComponentInfo failed";
    const ComponentDescription expected = MorvexDescription();
    if (description.componentType != expected.componentType ||
        description.componentSubType != expected.componentSubType ||
        description.componentManufacturer != expected.componentManufacturer)
      return "registered as " + FourCharCodeText(description.componentType) + " " +
             FourCharCodeText(description.componentSubType) + " " +
             FourCharCodeText(description.componentManufacturer);
    Unit unit(component);
    const long version = CallComponentVersion(unit.au());
    if (version != HostGetRegisteredVersion(component))
      return "version selector answers " + std::to_string(version) + ", the bundle says " +
             std::to_string(HostGetRegisteredVersion(component));
    for (SInt16 selector :
         {kAudioUnitInitializeSelect, kAudioUnitUninitializeSelect, kAudioUnitGetPropertyInfoSelect,
          kAudioUnitGetPropertySelect, kAudioUnitSetPropertySelect, kAudioUnitGetParameterSelect,
          kAudioUnitSetParameterSelect, kAudioUnitResetSelect, kAudioUnitRenderSelect})
      if (CallComponentCanDo(unit.au(), selector) != 1)
        return "can-do answers no for selector " + std::to_string(selector);
    *detail = std::string(name + 1, static_cast<unsigned char>(name[0])) + ", version " +
              std::to_string(version);
    return {};
  });
}

struct RequiredProperty {
  const char* name;
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  UInt32 size;  // 0: a non-zero multiple of `unit`
  UInt32 unit;
  void (*release)(const void* data);
};

void releaseFirstPointer(const void* data) {
  CFTypeRef object;
  std::memcpy(&object, data, sizeof object);
  if (object) CFRelease(object);
}

void releasePresetName(const void* data) {
  AUPreset preset;
  std::memcpy(&preset, data, sizeof preset);
  if (preset.presetName) CFRelease(preset.presetName);
}

void releaseParameterInfo(const void* data) {
  AudioUnitParameterInfo info;
  std::memcpy(&info, data, sizeof info);
  if (!(info.flags & kAudioUnitParameterFlag_CFNameRelease)) return;
  if (info.cfNameString) CFRelease(info.cfNameString);
  if (info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName) CFRelease(info.unitName);
}

void checkProperties(CheckReport& report, Component component) {
  const RequiredProperty properties[] = {
      {"ClassInfo", kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, sizeof(CFPropertyListRef),
       0, releaseFirstPointer},
      {"SampleRate", kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, sizeof(Float64), 0,
       nullptr},
      {"ParameterList", kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0,
       sizeof(AudioUnitParameterID), nullptr},
      {"ParameterInfo", kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global,
       sizeof(AudioUnitParameterInfo), 0, releaseParameterInfo},
      {"StreamFormat (input)", kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input,
       sizeof(AudioStreamBasicDescription), 0, nullptr},
      {"StreamFormat (output)", kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
       sizeof(AudioStreamBasicDescription), 0, nullptr},
      {"ElementCount (input)", kAudioUnitProperty_ElementCount, kAudioUnitScope_Input,
       sizeof(UInt32), 0, nullptr},
      {"ElementCount (output)", kAudioUnitProperty_ElementCount, kAudioUnitScope_Output,
       sizeof(UInt32), 0, nullptr},
      {"Latency", kAudioUnitProperty_Latency, kAudioUnitScope_Global, sizeof(Float64), 0, nullptr},
      {"SupportedNumChannels", kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0,
       sizeof(AUChannelInfo), nullptr},
      {"MaximumFramesPerSlice", kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global,
       sizeof(UInt32), 0, nullptr},
      {"TailTime", kAudioUnitProperty_TailTime, kAudioUnitScope_Global, sizeof(Float64), 0,
       nullptr},
      {"BypassEffect", kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, sizeof(UInt32), 0,
       nullptr},
      {"LastRenderError", kAudioUnitProperty_LastRenderError, kAudioUnitScope_Global,
       sizeof(OSStatus), 0, nullptr},
      {"FactoryPresets", kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global,
       sizeof(CFArrayRef), 0, releaseFirstPointer},
      {"PresentPreset", kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, sizeof(AUPreset),
       0, releasePresetName},
      {"SetRenderCallback", kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
       sizeof(AURenderCallbackStruct), 0, nullptr},
  };
  Unit unit(component);
  for (const RequiredProperty& p : properties) {
    report.run(std::string("property ") + p.name, [&](std::string* detail) -> std::string {
      UInt32 size = 0;
      Boolean writable = false;
      OSStatus status = AudioUnitGetPropertyInfo(unit.au(), p.id, p.scope, 0, &size, &writable);
      if (status != noErr) return "size query answered " + StatusText(status);
      if (p.size ? size != p.size : size == 0 || size % p.unit != 0)
        return "size " + std::to_string(size) + ", expected " +
               (p.size ? std::to_string(p.size) : "a multiple of " + std::to_string(p.unit));
      *detail = std::to_string(size) + " bytes" + (writable ? ", writable" : "");
      if (p.id == kAudioUnitProperty_SetRenderCallback) return {};  // write-only
      std::vector<unsigned char> data(size);
      UInt32 ioSize = size;
      status = AudioUnitGetProperty(unit.au(), p.id, p.scope, 0, data.data(), &ioSize);
      if (status != noErr) return "reading answered " + StatusText(status);
      if (p.release) p.release(data.data());
      return {};
    });
  }
}

void checkParameters(CheckReport& report, Component component) {
  Unit unit(component);
  const std::vector<ParameterDescription> parameters = unit.parameters();
  report.run("parameter list", [&](std::string* detail) -> std::string {
    if (parameters.empty()) return "no parameters";
    for (const ParameterDescription& p : parameters)
      *detail += (detail->empty() ? "" : ", ") + p.name;
    return {};
  });
  for (const ParameterDescription& p : parameters) {
    report.run("parameter " + std::to_string(p.id) + " " + p.name,
               [&](std::string* detail) -> std::string {
                 if (p.name.empty()) return "no name";
                 if (!(p.minValue < p.maxValue)) return "empty range";
                 if (!(p.defaultValue >= p.minValue && p.defaultValue <= p.maxValue))
                   return "default " + NumberText(p.defaultValue) + " outside its range";
                 if (!(p.flags & kAudioUnitParameterFlag_IsReadable) ||
                     !(p.flags & kAudioUnitParameterFlag_IsWritable))
                   return "not flagged readable and writable";
                 const float tolerance = (p.maxValue - p.minValue) / 200;
                 std::string texts;
                 for (float value : {p.minValue, (p.minValue + p.maxValue) / 2, p.maxValue}) {
                   if (p.unit == kAudioUnitParameterUnit_Indexed) value = std::round(value);
                   unit.setParameter(p.id, value);
                   const float back = unit.parameter(p.id);
                   if (back != value)
                     return "set to " + NumberText(value) + ", reads back " + NumberText(back);
                   const std::string text = unit.displayText(p.id, value);
                   if (text.empty()) return "no display text for " + NumberText(value);
                   const float parsed = unit.valueFromText(p.id, text);
                   if (!(std::fabs(parsed - value) <= tolerance))
                     return "display text '" + text + "' reads back as " + NumberText(parsed) +
                            ", not " + NumberText(value);
                   texts += (texts.empty() ? "" : " / ") + text;
                 }
                 unit.setParameter(p.id, p.maxValue + (p.maxValue - p.minValue));
                 const float clamped = unit.parameter(p.id);
                 if (clamped > p.maxValue)
                   return "accepts " + NumberText(clamped) + " above its maximum";
                 *detail = NumberText(p.minValue) + " to " + NumberText(p.maxValue) + ", default " +
                           NumberText(p.defaultValue) + ", texts " + texts;
                 return {};
               });
  }
}

void checkPresets(CheckReport& report, Component component) {
  auto unit = readyUnit(component, 2, 44100, 512);
  const std::vector<PresetDescription> presets = unit->factoryPresets();
  const std::vector<ParameterDescription> parameters = unit->parameters();
  const Channels signal = TestSignal(2, 44100, 0.2);
  report.run("factory presets", [&](std::string* detail) -> std::string {
    if (presets.empty()) return "none";
    *detail = std::to_string(presets.size()) + " presets";
    return {};
  });
  for (const PresetDescription& preset : presets) {
    report.run("preset " + std::to_string(preset.number) + " " + preset.name,
               [&](std::string* detail) -> std::string {
                 unit->selectPreset(preset);
                 const PresetDescription present = unit->presentPreset();
                 if (present.number != preset.number || present.name != preset.name)
                   return "present preset reads back as " + std::to_string(present.number) + " '" +
                          present.name + "'";
                 for (const ParameterDescription& p : parameters) {
                   const float value = unit->parameter(p.id);
                   if (!(value >= p.minValue && value <= p.maxValue))
                     return p.name + " is " + NumberText(value) + ", outside its range";
                 }
                 AudioUnitReset(unit->au(), kAudioUnitScope_Global, 0);
                 const Channels out = render(*unit, signal, 512);
                 const std::string range = CheckRange(out);
                 if (!range.empty()) return range;
                 char peak[32];
                 std::snprintf(peak, sizeof peak, "%.1f",
                               20 * std::log10(std::max(PeakOf(out), 1e-10f)));
                 *detail = std::string("renders, peak ") + peak + " dBFS";
                 return {};
               });
  }
}

void checkState(CheckReport& report, Component component) {
  const Channels signal = TestSignal(2, 44100, 0.2);
  report.run("saved state round trip", [&](std::string* detail) -> std::string {
    auto a = readyUnit(component, 2, 44100, 512);
    const std::vector<PresetDescription> presets = a->factoryPresets();
    if (presets.size() > 1) a->selectPreset(presets[1]);
    const std::vector<ParameterDescription> parameters = a->parameters();
    const ParameterDescription& last = parameters.back();
    a->setParameter(last.id, last.minValue + (last.maxValue - last.minValue) * 0.37f);
    CFRef<CFDataRef> saved = stateBytes(*a);
    if (!saved) return "the state is not a property list";
    CFRef<CFPropertyListRef> loaded(CFPropertyListCreateWithData(
        kCFAllocatorDefault, saved.get(), kCFPropertyListImmutable, nullptr, nullptr));
    auto b = readyUnit(component, 2, 44100, 512);
    const OSStatus status = b->setState(loaded.get());
    if (status != noErr) return "restoring answered " + StatusText(status);
    for (const ParameterDescription& p : parameters)
      if (a->parameter(p.id) != b->parameter(p.id))
        return p.name + " restored as " + NumberText(b->parameter(p.id)) + ", saved as " +
               NumberText(a->parameter(p.id));
    CFRef<CFDataRef> again = stateBytes(*b);
    if (!again || !CFEqual(saved.get(), again.get()))
      return "saving the restored state gives other bytes";
    const std::string same = Compare(render(*a, signal, 512), render(*b, signal, 512),
                                     "the restored unit renders otherwise");
    if (!same.empty()) return same;
    *detail = "save, load, save gives the same " + std::to_string(CFDataGetLength(saved.get())) +
              " bytes and the same sound";
    return {};
  });

  struct Damage {
    const char* name;
    void (*apply)(CFMutableDictionaryRef state);
  };
  const Damage damages[] = {
      {"saved state of another subtype refused",
       [](CFMutableDictionaryRef state) {
         const SInt32 other = 0x4F746872;  // 'Othr'
         CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &other));
         CFDictionarySetValue(state, CFSTR("subtype"), number.get());
       }},
      {"saved state without data refused",
       [](CFMutableDictionaryRef state) { CFDictionaryRemoveValue(state, CFSTR("data")); }},
      {"saved state with truncated data refused",
       [](CFMutableDictionaryRef state) {
         const UInt8 bytes[3] = {1, 2, 3};
         CFRef<CFDataRef> data(CFDataCreate(nullptr, bytes, sizeof bytes));
         CFDictionarySetValue(state, CFSTR("data"), data.get());
       }},
  };
  for (const Damage& damage : damages) {
    report.run(damage.name, [&](std::string* detail) -> std::string {
      Unit unit(component);
      const std::vector<ParameterDescription> parameters = unit.parameters();
      CFRef<CFDataRef> bytes = stateBytes(unit);
      // Containers read back from a property list are mutable.
      CFRef<CFPropertyListRef> state(CFPropertyListCreateWithData(
          kCFAllocatorDefault, bytes.get(), kCFPropertyListMutableContainers, nullptr, nullptr));
      damage.apply(static_cast<CFMutableDictionaryRef>(const_cast<void*>(state.get())));
      std::vector<float> before;
      for (const ParameterDescription& p : parameters)
        before.push_back(unit.parameter(p.id));
      const std::string refused =
          expectStatus(unit.setState(state.get()), kAudioUnitErr_InvalidPropertyValue);
      if (!refused.empty()) return refused;
      for (size_t i = 0; i < parameters.size(); ++i)
        if (unit.parameter(parameters[i].id) != before[i])
          return parameters[i].name + " changed although the state was refused";
      *detail = StatusText(kAudioUnitErr_InvalidPropertyValue);
      return {};
    });
  }
}

// Sets both stream formats and initialises; the first refusal's status.
OSStatus tryLayout(AudioUnit unit, UInt32 inChannels, UInt32 outChannels) {
  AudioStreamBasicDescription format = {
      44100, kAudioFormatLinearPCM, kAudioFormatFlagsAudioUnitCanonical, 4, 1, 4, 0, 32, 0};
  format.mChannelsPerFrame = inChannels;
  OSStatus status = AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat,
                                         kAudioUnitScope_Input, 0, &format, sizeof format);
  if (status != noErr) return status;
  format.mChannelsPerFrame = outChannels;
  status = AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                &format, sizeof format);
  if (status != noErr) return status;
  return AudioUnitInitialize(unit);
}

void checkLayouts(CheckReport& report, Component component) {
  report.run("channel layouts listed", [&](std::string* detail) -> std::string {
    Unit unit(component);
    const std::vector<unsigned char> bytes = unit.getBytes(kAudioUnitProperty_SupportedNumChannels);
    bool mono = false, stereo = false;
    for (size_t i = 0; i + sizeof(AUChannelInfo) <= bytes.size(); i += sizeof(AUChannelInfo)) {
      AUChannelInfo pair;
      std::memcpy(&pair, bytes.data() + i, sizeof pair);
      mono |= pair.inChannels == 1 && pair.outChannels == 1;
      stereo |= pair.inChannels == 2 && pair.outChannels == 2;
      *detail += (detail->empty() ? "" : " ") + std::to_string(pair.inChannels) + "-" +
                 std::to_string(pair.outChannels);
    }
    return mono && stereo ? "" : "1-1 and 2-2 are not both listed";
  });
  const struct {
    UInt32 in, out;
    bool accepted;
  } layouts[] = {{1, 1, true},  {2, 2, true},  {1, 2, false}, {2, 1, false},
                 {3, 3, false}, {0, 0, false}, {6, 6, false}};
  for (const auto& layout : layouts) {
    const std::string name = "layout " + std::to_string(layout.in) + "-" +
                             std::to_string(layout.out) +
                             (layout.accepted ? " accepted" : " refused");
    report.run(name, [&](std::string* detail) -> std::string {
      Unit unit(component);
      const OSStatus status = tryLayout(unit.au(), layout.in, layout.out);
      if (layout.accepted) {
        if (status != noErr) return "answered " + StatusText(status);
        AudioUnitUninitialize(unit.au());
        return {};
      }
      if (status == noErr) {
        AudioUnitUninitialize(unit.au());
        return "accepted";
      }
      *detail = StatusText(status);
      return {};
    });
  }
}

void checkRendering(CheckReport& report, Component component, bool quick) {
  const std::vector<double> rates = quick ? std::vector<double>{44100, 192000}
                                          : std::vector<double>{22050, 44100, 48000, 96000, 192000};
  const std::vector<UInt32> blocks =
      quick ? std::vector<UInt32>{1, 7, 512, 4096} : std::vector<UInt32>{1, 7, 64, 512, 1024, 4096};
  std::string blockList;
  for (UInt32 block : blocks)
    blockList += " " + std::to_string(block);
  for (double rate : rates) {
    for (int channels : {1, 2}) {
      const std::string name = "render " + NumberText(rate) + " Hz " +
                               (channels == 1 ? "mono" : "stereo") + ", blocks" + blockList;
      report.run(name, [&](std::string* detail) -> std::string {
        const Channels signal = TestSignal(channels, rate, 0.25);
        Channels first;
        for (UInt32 block : blocks) {
          auto unit = readyUnit(component, static_cast<UInt32>(channels), rate, block);
          // The liveliest settings: most sections, strongest feedback.
          const std::vector<PresetDescription> presets = unit->factoryPresets();
          for (const PresetDescription& preset : presets)
            if (preset.name == "Hexagon") unit->selectPreset(preset);
          const Channels out = render(*unit, signal, block);
          const std::string range = CheckRange(out);
          if (!range.empty()) return "block " + std::to_string(block) + ": " + range;
          if (first.empty()) {
            first = out;
            continue;
          }
          const std::string same = Compare(first, out,
                                           "block " + std::to_string(block) +
                                               " differs from block " + std::to_string(blocks[0]));
          if (!same.empty()) return same;
        }
        *detail = "finite, within +-1, identical for every block size";
        return {};
      });
    }
  }
}

void checkSignalCases(CheckReport& report, Component component) {
  report.run("silence in, silence out", [&](std::string* detail) -> std::string {
    for (int channels : {1, 2}) {
      auto unit = readyUnit(component, static_cast<UInt32>(channels), 44100, 512);
      for (const PresetDescription& preset : unit->factoryPresets()) {
        unit->selectPreset(preset);
        const Channels silence(channels, std::vector<float>(22050, 0.0f));
        const float peak = PeakOf(render(*unit, silence, 512));
        if (peak != 0)
          return std::to_string(channels) + " channels, preset " + preset.name + ": peak " +
                 NumberText(peak);
      }
    }
    *detail = "every preset, mono and stereo";
    return {};
  });
  // The control smoothers keep their state through a reset, so compare two
  // renders that both start from a reset once the smoothers have settled
  // (two seconds are thousands of their time constants).
  report.run("reset restarts the sound", [&](std::string* detail) -> std::string {
    auto unit = readyUnit(component, 2, 44100, 512);
    const Channels signal = TestSignal(2, 44100, 0.2);
    render(*unit, TestSignal(2, 44100, 2.0), 512);
    std::string status = expectStatus(AudioUnitReset(unit->au(), kAudioUnitScope_Global, 0), noErr);
    const Channels first = render(*unit, signal, 512);
    if (status.empty())
      status = expectStatus(AudioUnitReset(unit->au(), kAudioUnitScope_Global, 0), noErr);
    if (!status.empty()) return status;
    *detail = "the same samples after each reset";
    return Compare(first, render(*unit, signal, 512), "after the second reset");
  });
  report.run("bypass passes the input through", [&](std::string* detail) -> std::string {
    auto unit = readyUnit(component, 2, 44100, 512);
    unit->set<UInt32>(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, 1);
    const Channels signal = TestSignal(2, 44100, 0.1);
    const std::string same = Compare(signal, render(*unit, signal, 512), "bypassed");
    *detail = "output equals input";
    return same;
  });
}

// Calls that a host may get wrong, and the status each must be answered with.
void checkBadCalls(CheckReport& report, Component component) {
  auto unit = readyUnit(component, 2, 44100, 512);
  AudioUnit au = unit->au();
  const UInt32 count = static_cast<UInt32>(unit->parameters().size());
  std::vector<float> left(1024), right(1024);
  auto renderCall = [&](UInt32 bus, UInt32 frames, UInt32 stampFlags) {
    Renderer renderer(*unit, 2);  // sets the input callback
    struct {
      UInt32 count;
      AudioBuffer buffers[2];
    } list = {2, {{1, frames * 4, left.data()}, {1, frames * 4, right.data()}}};
    AudioTimeStamp stamp = {};
    stamp.mFlags = stampFlags;
    AudioUnitRenderActionFlags flags = 0;
    return AudioUnitRender(au, &flags, &stamp, bus, frames,
                           reinterpret_cast<AudioBufferList*>(&list));
  };
  auto getInfo = [&](AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element) {
    UInt32 size = 0;
    Boolean writable = false;
    return AudioUnitGetPropertyInfo(au, id, scope, element, &size, &writable);
  };
  auto getParameterInfo = [&](AudioUnitScope scope, AudioUnitElement element) {
    AudioUnitParameterInfo info = {};
    UInt32 size = sizeof info;
    const OSStatus status =
        AudioUnitGetProperty(au, kAudioUnitProperty_ParameterInfo, scope, element, &info, &size);
    if (status == noErr) releaseParameterInfo(&info);
    return status;
  };
  AudioUnitParameterValue value = 0;
  const AudioStreamBasicDescription notPcm = {44100, 0x2E6D7033 /* '.mp3' */, 0, 0, 1, 0, 2, 0, 0};

  const struct {
    const char* name;
    std::function<OSStatus()> call;
    OSStatus expected;
  } calls[] = {
      {"unknown selector 0x100", [&] { return HostCallComponentSelector(au, 0x100, 0, nullptr); },
       badComponentSelector},
      {"unknown selector 8", [&] { return HostCallComponentSelector(au, 8, 0, nullptr); },
       badComponentSelector},
      {"unknown property", [&] { return getInfo(9999, kAudioUnitScope_Global, 0); },
       kAudioUnitErr_InvalidProperty},
      {"parameter info in the input scope",
       [&] { return getParameterInfo(kAudioUnitScope_Input, 0); }, kAudioUnitErr_InvalidProperty},
      {"latency in the output scope",
       [&] { return getInfo(kAudioUnitProperty_Latency, kAudioUnitScope_Output, 0); },
       kAudioUnitErr_InvalidProperty},
      {"stream format of input element 1",
       [&] { return getInfo(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1); },
       kAudioUnitErr_InvalidProperty},
      {"parameter info for an element past the last parameter",
       [&] { return getParameterInfo(kAudioUnitScope_Global, count); },
       kAudioUnitErr_InvalidElement},
      {"get parameter in the input scope",
       [&] { return AudioUnitGetParameter(au, 0, kAudioUnitScope_Input, 0, &value); },
       kAudioUnitErr_InvalidProperty},
      {"set parameter in the output scope",
       [&] { return AudioUnitSetParameter(au, 0, kAudioUnitScope_Output, 0, 0.5f, 0); },
       kAudioUnitErr_InvalidProperty},
      {"get parameter id out of range",
       [&] { return AudioUnitGetParameter(au, count, kAudioUnitScope_Global, 0, &value); },
       kAudioUnitErr_InvalidParameter},
      {"set parameter id out of range",
       [&] { return AudioUnitSetParameter(au, count, kAudioUnitScope_Global, 0, 0.5f, 0); },
       kAudioUnitErr_InvalidParameter},
      {"render above the maximum frames per slice",
       [&] { return renderCall(0, 513, kAudioTimeStampSampleTimeValid); },
       kAudioUnitErr_InvalidPropertyValue},
      {"render without a valid sample time", [&] { return renderCall(0, 64, 0); },
       kAudioUnitErr_InvalidPropertyValue},
      {"render of output bus 1", [&] { return renderCall(1, 64, kAudioTimeStampSampleTimeValid); },
       kAudioUnitErr_InvalidPropertyValue},
      {"stream format that is not linear PCM",
       [&] {
         return AudioUnitSetProperty(au, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
                                     &notPcm, sizeof notPcm);
       },
       kAudioUnitErr_InvalidProperty},
  };
  for (const auto& call : calls) {
    report.run("bad call: " + std::string(call.name), [&](std::string* detail) -> std::string {
      *detail = StatusText(call.expected);
      return expectStatus(call.call(), call.expected);
    });
  }
}

}  // namespace

void RunAuBasicChecks(CheckReport& report, Component component, bool quick) {
  checkOpenClose(report, component);
  checkIdentity(report, component);
  checkProperties(report, component);
  checkParameters(report, component);
  checkPresets(report, component);
  checkState(report, component);
  checkLayouts(report, component);
  checkRendering(report, component, quick);
  checkSignalCases(report, component);
  checkBadCalls(report, component);
}
