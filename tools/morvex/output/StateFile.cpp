#include "tools/morvex/output/StateFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "framework/au/UserPresets.h"
#include "platform/AudioUnitProperties.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/SafeOutput.h"

namespace {

// Larger files are not states a phaser could have saved.
constexpr size_t kMaxStateFileBytes = 16 << 20;

bool numberFor(CFDictionaryRef state, const char* key, SInt32* value) {
  const void* number = CFDictionaryGetValue(state, MakeCFString(key).get());
  return number && CFGetTypeID(number) == CFNumberGetTypeID() &&
         CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt32Type, value);
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { close(fd); }
  const int fd;
};

Descriptor openForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ToolError(path + ": cannot read (" + std::strerror(errno) + ")");
  return Descriptor(fd);
}

std::vector<char> readAll(const Descriptor& file, const std::string& path) {
  std::vector<char> bytes;
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(file.fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ToolError(path + ": cannot read (" + std::strerror(errno) + ")");
    if (got == 0) return bytes;
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxStateFileBytes) throw ToolError(path + ": too large for a saved state");
  }
}

CFRef<CFDictionaryRef> parseState(const std::vector<char>& bytes, const std::string& path) {
  std::string problem;
  CFRef<CFDictionaryRef> state(CreateSavedStateFromBytes(bytes.data(), bytes.size(), &problem));
  if (!state) throw ToolError(path + ": " + problem);
  return state;
}

}  // namespace

CFRef<CFDictionaryRef> ReadStateFile(const std::string& path) {
  return parseState(readAll(openForReading(path), path), path);
}

CFRef<CFDictionaryRef> ReadUserPresetFile(const std::string& path) {
  std::string problem;
  CFRef<CFDictionaryRef> state(CreateSavedStateFromUserPreset(path, &problem));
  if (!state) throw ToolError(path + ": " + problem);
  return state;
}

StateIdentity StateIdentityOf(CFDictionaryRef state) {
  StateIdentity identity;
  numberFor(state, kAUPresetTypeKey, &identity.type);
  numberFor(state, kAUPresetSubtypeKey, &identity.subtype);
  numberFor(state, kAUPresetManufacturerKey, &identity.manufacturer);
  return identity;
}

void WriteStateFile(SafeOutput& output, CFPropertyListRef state) {
  CFErrorRef error = nullptr;
  CFRef<CFDataRef> data(CFPropertyListCreateData(kCFAllocatorDefault, state,
                                                 kCFPropertyListXMLFormat_v1_0, 0, &error));
  if (!data) {
    CFRef<CFErrorRef> owned(error);
    CFRef<CFStringRef> description(owned ? CFErrorCopyDescription(owned.get()) : nullptr);
    throw ToolError(output.destination() +
                    ": the unit's state cannot be written as a property list (" +
                    ToStdString(description.get()) + ")");
  }
  output.write(CFDataGetBytePtr(data.get()), static_cast<size_t>(CFDataGetLength(data.get())));
}

void LoadStateFile(Unit& unit, const std::string& path, CFDictionaryRef state) {
  ComponentDescription own;
  GetComponentInfo(unit.component(), &own, nullptr, nullptr, nullptr);
  const StateIdentity saved = StateIdentityOf(state);
  if (static_cast<OSType>(saved.type) != own.componentType ||
      static_cast<OSType>(saved.subtype) != own.componentSubType ||
      static_cast<OSType>(saved.manufacturer) != own.componentManufacturer)
    throw ToolError(path + ": saved by another component (" + FourCharCodeText(saved.type) + " " +
                    FourCharCodeText(saved.subtype) + " " + FourCharCodeText(saved.manufacturer) +
                    "), not Morvex");
  const OSStatus status = unit.setState(state);
  if (status != noErr)
    throw ToolError(path + ": Morvex refused the saved state (" + StatusText(status) +
                    "; its data is missing or damaged)");
}

CFRef<CFDictionaryRef> RenamedState(CFDictionaryRef state, const std::string& name) {
  const CFIndex count = CFDictionaryGetCount(state);
  std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
  CFDictionaryGetKeysAndValues(state, keys.data(), values.data());
  CFMutableDictionaryRef renamed = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (size_t i = 0; i < keys.size(); ++i)
    CFDictionarySetValue(renamed, keys[i], values[i]);
  CFDictionarySetValue(renamed, CFSTR(kAUPresetNameKey), MakeCFString(name).get());
  return CFRef<CFDictionaryRef>(renamed);
}
