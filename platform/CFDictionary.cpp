#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/CFDictionary.h"
#include "platform/detail/CFObject.h"
#include "platform/detail/CFTypeCallBacks.h"

namespace platform_detail {
namespace {

class DictionaryObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kDictionaryTypeID;
  DictionaryObject(CFAllocatorRef allocator, const CFDictionaryKeyCallBacks* keyCallBacks,
                   const CFDictionaryValueCallBacks* valueCallBacks)
      : CFObject(ClassOf<DictionaryObject>(), false), mAllocator(allocator) {
    if (keyCallBacks) mKeyCallBacks = *keyCallBacks;
    if (valueCallBacks) mValueCallBacks = *valueCallBacks;
  }
  ~DictionaryObject() {
    std::vector<Entry> entries;
    entries.swap(mEntries);
    mIndex.clear();
    for (const Entry& entry : entries)
      ReleaseEntry(entry);
  }

  bool Equals(const CFObject& other) const {
    const auto& that = static_cast<const DictionaryObject&>(other);
    if (mEntries.size() != that.mEntries.size()) return false;
    for (const Entry& entry : mEntries) {
      const long found = that.Find(entry.key);
      if (found < 0) return false;
      const void* value = that.mEntries[static_cast<size_t>(found)].value;
      if (value != entry.value &&
          !(mValueCallBacks.equal && mValueCallBacks.equal(entry.value, value))) {
        return false;
      }
    }
    return true;
  }
  CFHashCode Hash() const { return mEntries.size(); }
  std::string Describe() const {
    std::string text = "{\n";
    for (const Entry& entry : mEntries) {
      text += "    " + DescribeValue(mKeyCallBacks.copyDescription, entry.key) + " = " +
              DescribeValue(mValueCallBacks.copyDescription, entry.value) + ";\n";
    }
    return text + "}";
  }

  struct Entry {
    const void* key;
    const void* value;
  };

  CFHashCode HashKey(const void* key) const {
    return mKeyCallBacks.hash ? mKeyCallBacks.hash(key) : reinterpret_cast<CFHashCode>(key);
  }
  bool SameKey(const void* a, const void* b) const {
    return a == b || (mKeyCallBacks.equal && mKeyCallBacks.equal(a, b));
  }
  long Find(const void* key) const {
    const auto range = mIndex.equal_range(HashKey(key));
    for (auto it = range.first; it != range.second; ++it) {
      if (SameKey(mEntries[it->second].key, key)) return static_cast<long>(it->second);
    }
    return -1;
  }
  void Set(const void* key, const void* value) {
    const void* retained =
        mValueCallBacks.retain ? mValueCallBacks.retain(mAllocator, value) : value;
    const long found = Find(key);
    if (found >= 0) {
      const void* old = mEntries[static_cast<size_t>(found)].value;
      mEntries[static_cast<size_t>(found)].value = retained;
      if (mValueCallBacks.release) mValueCallBacks.release(mAllocator, old);
      return;
    }
    const void* storedKey = mKeyCallBacks.retain ? mKeyCallBacks.retain(mAllocator, key) : key;
    mIndex.emplace(HashKey(storedKey), mEntries.size());
    mEntries.push_back({storedKey, retained});
  }
  void Remove(const void* key) {
    const long found = Find(key);
    if (found < 0) return;
    const size_t index = static_cast<size_t>(found);
    const Entry removed = mEntries[index];
    EraseIndex(removed.key, index);
    const size_t last = mEntries.size() - 1;
    if (index != last) {
      // The last entry moves into the hole; its index entry follows it.
      EraseIndex(mEntries[last].key, last);
      mEntries[index] = mEntries[last];
      mIndex.emplace(HashKey(mEntries[index].key), index);
    }
    mEntries.pop_back();
    ReleaseEntry(removed);
  }
  void EraseIndex(const void* key, size_t index) {
    const auto range = mIndex.equal_range(HashKey(key));
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second == index) {
        mIndex.erase(it);
        return;
      }
    }
  }
  void ReleaseEntry(const Entry& entry) {
    if (mKeyCallBacks.release) mKeyCallBacks.release(mAllocator, entry.key);
    if (mValueCallBacks.release) mValueCallBacks.release(mAllocator, entry.value);
  }

  const CFAllocatorRef mAllocator;
  CFDictionaryKeyCallBacks mKeyCallBacks = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
  CFDictionaryValueCallBacks mValueCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<Entry> mEntries;
  std::unordered_multimap<CFHashCode, size_t> mIndex;
};

}  // namespace
}  // namespace platform_detail

using platform_detail::As;
using platform_detail::DictionaryObject;

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0,
                                                                platform_detail::RetainCFValue,
                                                                platform_detail::ReleaseCFValue,
                                                                CFCopyDescription,
                                                                platform_detail::EqualCFValues,
                                                                platform_detail::HashCFValue};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {
    0, platform_detail::RetainCFValue, platform_detail::ReleaseCFValue, CFCopyDescription,
    platform_detail::EqualCFValues};

CFTypeID CFDictionaryGetTypeID(void) {
  return platform_detail::kDictionaryTypeID;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks) {
  if (capacity < 0) return nullptr;
  auto* dictionary = new DictionaryObject(allocator, keyCallBacks, valueCallBacks);
  if (capacity > 0) dictionary->mEntries.reserve(std::min<CFIndex>(capacity, 1 << 16));
  return reinterpret_cast<CFMutableDictionaryRef>(
      static_cast<platform_detail::CFObject*>(dictionary));
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) {
  const auto* dictionary = As<DictionaryObject>(theDict);
  return dictionary ? static_cast<CFIndex>(dictionary->mEntries.size()) : 0;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key,
                                      const void** value) {
  const auto* dictionary = As<DictionaryObject>(theDict);
  const long found = dictionary ? dictionary->Find(key) : -1;
  if (found < 0) return false;
  if (value) *value = dictionary->mEntries[static_cast<size_t>(found)].value;
  return true;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key) {
  const void* value = nullptr;
  CFDictionaryGetValueIfPresent(theDict, key, &value);
  return value;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key) {
  return CFDictionaryGetValueIfPresent(theDict, key, nullptr);
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
  if (auto* dictionary = As<DictionaryObject>(theDict)) dictionary->Set(key, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key) {
  if (auto* dictionary = As<DictionaryObject>(theDict)) dictionary->Remove(key);
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values) {
  const auto* dictionary = As<DictionaryObject>(theDict);
  if (!dictionary) return;
  for (size_t i = 0; i < dictionary->mEntries.size(); ++i) {
    if (keys) keys[i] = dictionary->mEntries[i].key;
    if (values) values[i] = dictionary->mEntries[i].value;
  }
}
