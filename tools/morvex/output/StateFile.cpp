#include "tools/morvex/output/StateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/AudioUnitProperties.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/output/SafeOutput.h"
#include "tools/morvex/console/ToolError.h"

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

Descriptor openForReading(const std::string& path, int flags) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
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

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "an odd file";
}

CFRef<CFDictionaryRef> parseState(const std::vector<char>& bytes, const std::string& path) {
  CFRef<CFDataRef> data(CFDataCreate(kCFAllocatorDefault,
                                     reinterpret_cast<const UInt8*>(bytes.data()),
                                     static_cast<CFIndex>(bytes.size())));
  CFErrorRef error = nullptr;
  CFRef<CFPropertyListRef> list(CFPropertyListCreateWithData(
      kCFAllocatorDefault, data.get(), kCFPropertyListImmutable, nullptr, &error));
  if (!list) {
    CFRef<CFErrorRef> owned(error);
    CFRef<CFStringRef> description(owned ? CFErrorCopyDescription(owned.get()) : nullptr);
    throw ToolError(path + ": not a saved state, the property list is corrupt (" +
                    ToStdString(description.get()) + ")");
  }
  if (CFGetTypeID(list.get()) != CFDictionaryGetTypeID())
    throw ToolError(path + ": not a saved state (the property list is not a dictionary)");
  auto state = static_cast<CFDictionaryRef>(list.get());
  for (const char* key :
       {kAUPresetVersionKey, kAUPresetTypeKey, kAUPresetSubtypeKey, kAUPresetManufacturerKey}) {
    SInt32 ignored;
    if (!numberFor(state, key, &ignored))
      throw ToolError(path + ": not a saved state (no number under \"" + key + "\")");
  }
  const void* name = CFDictionaryGetValue(state, CFSTR(kAUPresetNameKey));
  if (!name || CFGetTypeID(name) != CFStringGetTypeID())
    throw ToolError(path + ": not a saved state (no text under \"name\")");
  const void* stateData = CFDictionaryGetValue(state, CFSTR(kAUPresetDataKey));
  if (!stateData || CFGetTypeID(stateData) != CFDataGetTypeID())
    throw ToolError(path + ": not a saved state (no data under \"data\")");
  CFRetain(state);
  return CFRef<CFDictionaryRef>(state);
}

}  // namespace

CFRef<CFDictionaryRef> ReadStateFile(const std::string& path) {
  return parseState(readAll(openForReading(path, 0), path), path);
}

CFRef<CFDictionaryRef> ReadUserPresetFile(const std::string& path) {
  // Opening a FIFO to read would wait for a writer, so nothing blocks here.
  const Descriptor file = openForReading(path, O_NONBLOCK);
  struct stat info = {};
  if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
    throw ToolError(path + ": not a saved state (" + kindOf(info.st_mode) +
                    ", not a regular file)");
  return parseState(readAll(file, path), path);
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
