#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/AudioToolbox.h"
#include "platform/CoreFoundation.h"
#include "platform/HostComponents.h"
#include "platform/HostEvents.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::BundlesDir;
using platform_test::Code;

namespace {

template <typename Work>
void RunThreads(int count, Work work) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i)
    threads.emplace_back(work, i);
  for (std::thread& thread : threads)
    thread.join();
}

std::atomic<int> gEvents{0};

void CountEvent(void*, void*, const AudioUnitEvent*, UInt64, AudioUnitParameterValue) {
  ++gEvents;
}

}  // namespace

TEST(PlatformConcurrencyTest, SharedObjectsSurviveRetainsAndReadsFromManyThreads) {
  CFRef<CFStringRef> text(platform_test::NewString("shared"));
  CFRef<CFMutableDictionaryRef> dictionary(CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  CFDictionarySetValue(dictionary, CFSTR("key"), text);
  std::atomic<int> mismatches{0};
  RunThreads(4, [&](int) {
    for (int i = 0; i < 5000; ++i) {
      CFRetain(text);
      const void* values[] = {text.get()};
      CFRef<CFArrayRef> array(CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks));
      if (CFDictionaryGetValue(dictionary, CFSTR("key")) != text.get()) ++mismatches;
      if (CFSTR("constant") != CFSTR("constant")) ++mismatches;
      if (CFBundleGetMainBundle() == nullptr) ++mismatches;
      CFRelease(text);
    }
  });
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(CFGetRetainCount(text), 2);
}

TEST(PlatformConcurrencyTest, RegistryAndDispatchServeManyThreads) {
  platform_test::UseSearchPath(BundlesDir() + "/first:" + BundlesDir() + "/second");
  ComponentDescription alpha = platform_test::Description(kAudioUnitType_Effect, Code("Alph"), 0);
  Component component = FindNextComponent(nullptr, &alpha);
  ASSERT_NE(component, nullptr);
  gEvents = 0;
  HostSetAUEventHook(CountEvent, nullptr);

  std::atomic<int> failures{0};
  RunThreads(4, [&](int index) {
    if (index < 2) {
      // Hosts opening, querying and closing units.
      for (int i = 0; i < 200; ++i) {
        ComponentInstance instance = nullptr;
        if (OpenAComponent(component, &instance) != noErr) ++failures;
        ComponentDescription any = {};
        if (CountComponents(&any) < 2 || !FindNextComponent(nullptr, &any)) ++failures;
        if (AudioUnitSetParameter(instance, 0, 0, 0, 0.5f, 0) != noErr) ++failures;
        if (CloseComponent(instance) != noErr) ++failures;
      }
      return;
    }
    // Render threads, each with its own unit.
    AudioUnit unit = OpenComponent(component);
    AudioUnitSetParameter(unit, 0, 0, 0, static_cast<Float32>(index), 0);
    std::vector<Float32> samples(32);
    AudioBufferList list = {1, {{1, 32 * 4, samples.data()}}};
    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp stamp = {};
    for (int i = 0; i < 2000; ++i) {
      if (AudioUnitRender(unit, &flags, &stamp, 0, 32, &list) != noErr) ++failures;
      if (samples[31] != static_cast<Float32>(index)) ++failures;
    }
    CloseComponent(unit);
  });
  HostSetAUEventHook(nullptr, nullptr);
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(gEvents, 2 * 200 + 2);
  EXPECT_EQ(CountComponentInstances(component), 0);
}
