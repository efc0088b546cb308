#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/CoreFoundation.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::NewString;
using platform_test::Text;

namespace {

// A reference-counted record that is not a CF object, kept in an array with
// its own callbacks, as factory preset arrays are.
struct PresetRecord {
  SInt32 number;
  CFStringRef name;
  CFAllocatorRef allocator;
  int retainCount;
};

struct CallbackCounts {
  int retains = 0;
  int releases = 0;
  int frees = 0;
  int descriptions = 0;
  int comparisons = 0;
};
CallbackCounts gCounts;

PresetRecord* CreatePreset(SInt32 number, CFStringRef name) {
  void* memory = CFAllocatorAllocate(kCFAllocatorDefault, sizeof(PresetRecord), 0);
  auto* preset = static_cast<PresetRecord*>(memory);
  preset->number = number;
  preset->name = CFStringCreateCopy(nullptr, name);
  preset->allocator = kCFAllocatorDefault;
  preset->retainCount = 1;
  return preset;
}

const void* RetainPreset(CFAllocatorRef, const void* value) {
  ++gCounts.retains;
  auto* preset = static_cast<PresetRecord*>(const_cast<void*>(value));
  CFRetain(preset->name);
  ++preset->retainCount;
  return preset;
}

void ReleasePreset(CFAllocatorRef, const void* value) {
  ++gCounts.releases;
  auto* preset = static_cast<PresetRecord*>(const_cast<void*>(value));
  CFRelease(preset->name);
  if (--preset->retainCount == 0) {
    ++gCounts.frees;
    CFAllocatorDeallocate(preset->allocator, preset);
  }
}

CFStringRef DescribePreset(const void* value) {
  ++gCounts.descriptions;
  const auto* preset = static_cast<const PresetRecord*>(value);
  return CFStringCreateWithFormat(nullptr, nullptr,
                                  CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  preset->number, preset->name);
}

Boolean PresetsEqual(const void* a, const void* b) {
  ++gCounts.comparisons;
  const auto* x = static_cast<const PresetRecord*>(a);
  const auto* y = static_cast<const PresetRecord*>(b);
  return x->number == y->number && CFStringCompare(x->name, y->name, 0) == kCFCompareEqualTo;
}

const CFArrayCallBacks kPresetCallBacks = {0, RetainPreset, ReleasePreset, DescribePreset,
                                           PresetsEqual};

CFNumberRef Number(SInt32 value) {
  return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
}

CFMutableDictionaryRef NewDictionary() {
  return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                   &kCFTypeDictionaryValueCallBacks);
}

}  // namespace

TEST(CFContainersTest, CustomArrayCallbacksBalanceAndFreeRecords) {
  gCounts = CallbackCounts();
  CFRef<CFStringRef> name(NewString("Deep"));
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 10, &kPresetCallBacks);
  for (SInt32 i = 0; i < 3; ++i) {
    PresetRecord* preset = CreatePreset(i, name);
    CFArrayAppendValue(array, preset);
    ReleasePreset(nullptr, preset);  // the array now holds the only reference
  }
  EXPECT_EQ(gCounts.retains, 3);
  EXPECT_EQ(gCounts.frees, 0);
  EXPECT_EQ(CFArrayGetCount(array), 3);
  EXPECT_EQ(CFGetRetainCount(name), 4);
  const auto* first = static_cast<const PresetRecord*>(CFArrayGetValueAtIndex(array, 0));
  EXPECT_EQ(first->number, 0);
  EXPECT_EQ(first->retainCount, 1);

  PresetRecord* probe = CreatePreset(2, name);
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), probe), 2);
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 2), probe), kCFNotFound);
  EXPECT_GT(gCounts.comparisons, 0);
  ReleasePreset(nullptr, probe);

  CFRef<CFStringRef> description(CFCopyDescription(array));
  EXPECT_EQ(gCounts.descriptions, 3);
  EXPECT_NE(Text(description).find("preset number = 1\npreset name = Deep"), std::string::npos);

  CFArrayRemoveValueAtIndex(array, 1);
  EXPECT_EQ(gCounts.frees, 2);  // the probe and record 1
  CFArrayRemoveValueAtIndex(array, 5);
  EXPECT_EQ(CFArrayGetCount(array), 2);
  CFRelease(array);
  EXPECT_EQ(gCounts.frees, 4);
  EXPECT_EQ(gCounts.releases, gCounts.retains + 4);  // each record's creation reference too
  EXPECT_EQ(CFGetRetainCount(name), 1);
}

TEST(CFContainersTest, TypeArraysRetainTheirValuesAndFindEqualOnes) {
  CFRef<CFStringRef> a(NewString("a"));
  CFRef<CFStringRef> b(NewString("b"));
  CFRef<CFStringRef> otherA(NewString("a"));
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  CFArrayAppendValue(array, a);
  CFArrayAppendValue(array, b);
  CFArrayAppendValue(array, a);
  EXPECT_EQ(CFGetRetainCount(a), 3);
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), otherA), 0);
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(1, 2), otherA), 2);
  EXPECT_TRUE(CFArrayContainsValue(array, CFRangeMake(0, 100), b));
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 3), nullptr);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);

  const void* values[] = {a.get(), b.get(), a.get()};
  CFRef<CFArrayRef> same(CFArrayCreate(nullptr, values, 3, &kCFTypeArrayCallBacks));
  EXPECT_TRUE(CFEqual(array, same));
  EXPECT_EQ(CFGetRetainCount(a), 5);
  CFArrayRemoveValueAtIndex(array, 0);
  EXPECT_FALSE(CFEqual(array, same));
  EXPECT_EQ(CFGetRetainCount(a), 4);
  CFArrayRemoveAllValues(array);
  EXPECT_EQ(CFArrayGetCount(array), 0);
  EXPECT_EQ(CFGetRetainCount(a), 3);
  EXPECT_EQ(CFGetRetainCount(b), 2);
  CFRelease(array);
}

TEST(CFContainersTest, DictionaryKeysMatchByValueAndValuesAreRetained) {
  CFMutableDictionaryRef dictionary = NewDictionary();
  CFRef<CFStringRef> key(NewString("name"));
  CFRef<CFStringRef> sameKey(NewString("name"));
  CFRef<CFStringRef> first(NewString("first"));
  CFRef<CFStringRef> second(NewString("second"));
  CFDictionarySetValue(dictionary, key, first);
  EXPECT_EQ(CFGetRetainCount(first), 2);
  EXPECT_EQ(CFDictionaryGetValue(dictionary, sameKey), first.get());
  CFDictionarySetValue(dictionary, sameKey, second);
  EXPECT_EQ(CFGetRetainCount(first), 1);
  EXPECT_EQ(CFGetRetainCount(key), 2);  // the first key object stays stored
  EXPECT_EQ(CFGetRetainCount(sameKey), 1);
  EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
  const void* found = nullptr;
  EXPECT_TRUE(CFDictionaryGetValueIfPresent(dictionary, CFSTR("name"), &found));
  EXPECT_EQ(found, second.get());
  EXPECT_FALSE(CFDictionaryGetValueIfPresent(dictionary, CFSTR("data"), &found));
  EXPECT_FALSE(CFDictionaryContainsKey(dictionary, CFSTR("data")));

  // Numbers as keys, half of them removed again: the rest stays findable.
  for (SInt32 i = 0; i < 1000; ++i) {
    CFRef<CFNumberRef> number(Number(i));
    CFDictionarySetValue(dictionary, number, number);
  }
  for (SInt32 i = 0; i < 1000; i += 2) {
    CFRef<CFNumberRef> number(Number(i));
    CFDictionaryRemoveValue(dictionary, number);
  }
  EXPECT_EQ(CFDictionaryGetCount(dictionary), 501);
  for (SInt32 i = 0; i < 1000; ++i) {
    CFRef<CFNumberRef> number(Number(i));
    const auto* value = static_cast<CFNumberRef>(CFDictionaryGetValue(dictionary, number));
    if (i % 2 == 0) {
      ASSERT_EQ(value, nullptr) << i;
    } else {
      ASSERT_TRUE(CFEqual(value, number)) << i;
    }
  }
  std::vector<const void*> keys(501);
  std::vector<const void*> values(501);
  CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
  EXPECT_EQ(keys[0], key.get());
  CFRelease(dictionary);
  EXPECT_EQ(CFGetRetainCount(key), 1);
  EXPECT_EQ(CFGetRetainCount(second), 1);
}

TEST(CFContainersTest, EqualDictionariesIgnoreInsertionOrder) {
  CFRef<CFMutableDictionaryRef> a(NewDictionary());
  CFRef<CFMutableDictionaryRef> b(NewDictionary());
  CFRef<CFNumberRef> one(Number(1));
  CFRef<CFNumberRef> two(Number(2));
  CFDictionarySetValue(a, CFSTR("x"), one);
  CFDictionarySetValue(a, CFSTR("y"), two);
  CFDictionarySetValue(b, CFSTR("y"), two);
  EXPECT_FALSE(CFEqual(a, b));
  CFDictionarySetValue(b, CFSTR("x"), one);
  EXPECT_TRUE(CFEqual(a, b));
  CFDictionarySetValue(b, CFSTR("x"), two);
  EXPECT_FALSE(CFEqual(a, b));
  CFRef<CFStringRef> description(CFCopyDescription(a));
  EXPECT_NE(Text(description).find("x = 1;"), std::string::npos);
}

TEST(CFContainersTest, WrongTypesAndNonObjectsAreRefusedWithoutCrashing) {
  CFRef<CFStringRef> text(NewString("text"));
  CFRef<CFMutableDictionaryRef> dictionary(NewDictionary());
  const auto asArray = reinterpret_cast<CFMutableArrayRef>(
      const_cast<void*>(static_cast<const void*>(dictionary.get())));
  const auto asDictionary = reinterpret_cast<CFMutableDictionaryRef>(
      const_cast<void*>(static_cast<const void*>(text.get())));
  EXPECT_EQ(CFArrayGetCount(asArray), 0);
  CFArrayAppendValue(asArray, text);
  EXPECT_EQ(CFDictionaryGetCount(dictionary), 0);
  CFDictionarySetValue(asDictionary, text, text);
  EXPECT_EQ(CFDictionaryGetValue(asDictionary, text), nullptr);
  EXPECT_EQ(CFGetRetainCount(text), 1);
  EXPECT_EQ(CFStringGetLength(reinterpret_cast<CFStringRef>(dictionary.get())), 0);
  EXPECT_EQ(CFDataGetBytePtr(reinterpret_cast<CFDataRef>(text.get())), nullptr);
  EXPECT_EQ(CFDataGetLength(reinterpret_cast<CFDataRef>(text.get())), 0);
  EXPECT_EQ(CFURLCopyFileSystemPath(reinterpret_cast<CFURLRef>(text.get()), kCFURLPOSIXPathStyle),
            nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(reinterpret_cast<CFBundleRef>(
                const_cast<void*>(static_cast<const void*>(text.get())))),
            nullptr);

  long notAnObject[8] = {};
  EXPECT_EQ(CFRetain(notAnObject), nullptr);
  CFRelease(notAnObject);
  EXPECT_EQ(CFGetTypeID(notAnObject), 0u);
  EXPECT_EQ(CFGetTypeID(nullptr), 0u);
  EXPECT_EQ(CFRetain(nullptr), nullptr);
  CFRelease(nullptr);
  EXPECT_FALSE(CFEqual(nullptr, text));
  EXPECT_FALSE(CFEqual(notAnObject, notAnObject));
  EXPECT_EQ(CFCopyDescription(notAnObject), nullptr);
  EXPECT_EQ(CFStringCompare(nullptr, text, 0), kCFCompareLessThan);
}

TEST(CFContainersTest, DataCopiesItsBytes) {
  UInt8 bytes[] = {1, 2, 3, 0, 255};
  CFRef<CFDataRef> data(CFDataCreate(nullptr, bytes, sizeof bytes));
  bytes[0] = 9;
  ASSERT_EQ(CFDataGetLength(data), 5);
  EXPECT_EQ(CFDataGetBytePtr(data)[0], 1);
  EXPECT_EQ(CFDataGetBytePtr(data)[4], 255);
  CFRef<CFDataRef> empty(CFDataCreate(nullptr, nullptr, 0));
  EXPECT_NE(CFDataGetBytePtr(empty), nullptr);
  EXPECT_EQ(CFDataGetLength(empty), 0);
  EXPECT_EQ(CFDataCreate(nullptr, nullptr, 3), nullptr);
  EXPECT_EQ(CFDataCreate(nullptr, bytes, -1), nullptr);

  void* memory = CFAllocatorAllocate(kCFAllocatorDefault, 64, 0);
  ASSERT_NE(memory, nullptr);
  std::memset(memory, 0, 64);
  CFAllocatorDeallocate(kCFAllocatorDefault, memory);
  EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorDefault, 0, 0), nullptr);
  EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorNull, 16, 0), nullptr);
  EXPECT_EQ(CFGetTypeID(CFAllocatorGetDefault()), CFAllocatorGetTypeID());
}
