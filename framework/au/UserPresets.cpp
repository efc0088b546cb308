#include "framework/au/UserPresets.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "framework/au/CFStrings.h"
#include "framework/base/AtomicFile.h"
#include "framework/base/Utf8.h"
#include "platform/AudioUnitProperties.h"
#include "platform/CFData.h"
#include "platform/CFError.h"
#include "platform/CFNumber.h"
#include "platform/CFPropertyList.h"

namespace {

const char kExtension[] = ".aupreset";
// Larger files are not states a plug-in of ours could have saved.
constexpr size_t kMaxStateFileBytes = 16 << 20;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

bool IsUtf8(const std::string& text) {
  for (size_t pos = 0; pos < text.size();)
    if (DecodeUtf8(std::string_view(text), pos) < 0) return false;
  return true;
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "an odd file";
}

bool HasNumber(CFDictionaryRef state, const char* key) {
  const CFStrLocal keyString(key);
  const void* number = CFDictionaryGetValue(state, keyString.Get());
  SInt32 ignored;
  return number && CFGetTypeID(number) == CFNumberGetTypeID() &&
         CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt32Type, &ignored);
}

// What keeps a property list from being a saved state; empty when nothing.
std::string StateProblem(CFPropertyListRef list) {
  if (CFGetTypeID(list) != CFDictionaryGetTypeID())
    return "not a saved state (the property list is not a dictionary)";
  const auto state = static_cast<CFDictionaryRef>(list);
  for (const char* key :
       {kAUPresetVersionKey, kAUPresetTypeKey, kAUPresetSubtypeKey, kAUPresetManufacturerKey}) {
    if (!HasNumber(state, key))
      return std::string("not a saved state (no number under \"") + key + "\")";
  }
  const void* name = CFDictionaryGetValue(state, CFSTR(kAUPresetNameKey));
  if (!name || CFGetTypeID(name) != CFStringGetTypeID())
    return "not a saved state (no text under \"name\")";
  const void* data = CFDictionaryGetValue(state, CFSTR(kAUPresetDataKey));
  if (!data || CFGetTypeID(data) != CFDataGetTypeID())
    return "not a saved state (no data under \"data\")";
  return "";
}

bool Fail(std::string* problem, const std::string& what) {
  if (problem) *problem = what;
  return false;
}

std::string ErrnoText() {
  return std::strerror(errno);
}

}  // namespace

std::string UserPresetFolder(const char* product) {
  std::string base = Environment("XDG_DATA_HOME");
  if (base.empty() || base[0] != '/') {
    // A relative HOME would put the presets wherever the program runs.
    base = Environment("HOME");
    if (base.empty() || base[0] != '/') return "";
    base += "/.local/share";
  }
  while (base.size() > 1 && base.back() == '/')
    base.pop_back();
  return base + "/" + product + "/presets";
}

std::string NoUserPresetFolderReason() {
  const std::string home = Environment("HOME");
  if (home.empty()) return "neither XDG_DATA_HOME nor HOME is set";
  return "HOME (" + home + ") is not an absolute path, nor is XDG_DATA_HOME set to one";
}

std::string UserPresetPath(const std::string& folder, const std::string& name) {
  return name.empty() || folder.empty() ? "" : folder + "/" + name + kExtension;
}

UserPresetNameFault FaultInUserPresetName(const std::string& name) {
  if (name.find('/') != std::string::npos) return UserPresetNameFault::kSlash;
  if (name[0] == '.') return UserPresetNameFault::kLeadingDot;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return UserPresetNameFault::kControlCharacter;
  if (!IsUtf8(name)) return UserPresetNameFault::kNotUtf8;
  if (name.size() > kMaxUserPresetNameBytes) return UserPresetNameFault::kTooLong;
  return UserPresetNameFault::kNone;
}

bool ListUserPresets(const std::string& folder, std::vector<UserPresetFile>* files) {
  files->clear();
  DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
  if (!dir) return folder.empty() || errno == ENOENT;
  const size_t extension = sizeof kExtension - 1;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    // Hidden entries include the temporaries of presets being written.
    if (name[0] == '.' || name.size() <= extension ||
        name.compare(name.size() - extension, extension, kExtension) != 0)
      continue;
    const std::string path = folder + "/" + name;
    struct stat info;
    const bool regular = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    files->push_back({name.substr(0, name.size() - extension), path, regular});
  }
  closedir(dir);
  std::sort(files->begin(), files->end(), [](const UserPresetFile& a, const UserPresetFile& b) {
    if (LessIgnoringCase(a.name, b.name)) return true;
    return !LessIgnoringCase(b.name, a.name) && a.name < b.name;
  });
  return true;
}

CFDictionaryRef CreateSavedStateFromBytes(const void* bytes, size_t size, std::string* problem) {
  CFDataRef data = CFDataCreate(kCFAllocatorDefault, static_cast<const UInt8*>(bytes),
                                static_cast<CFIndex>(size));
  CFErrorRef error = nullptr;
  CFPropertyListRef list =
      data ? CFPropertyListCreateWithData(kCFAllocatorDefault, data, kCFPropertyListImmutable,
                                          nullptr, &error)
           : nullptr;
  if (data) CFRelease(data);
  if (!list) {
    CFStringRef description = error ? CFErrorCopyDescription(error) : nullptr;
    Fail(problem, std::string("not a saved state, the property list is corrupt (") +
                      CStrLocal(description).Get() + ")");
    if (description) CFRelease(description);
    if (error) CFRelease(error);
    return nullptr;
  }
  const std::string wrong = StateProblem(list);
  if (wrong.empty()) return static_cast<CFDictionaryRef>(list);
  CFRelease(list);
  Fail(problem, wrong);
  return nullptr;
}

CFDictionaryRef CreateSavedStateFromUserPreset(const std::string& path, std::string* problem) {
  // Opening a FIFO to read would wait for a writer, so nothing blocks here.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    Fail(problem, "cannot read (" + ErrnoText() + ")");
    return nullptr;
  }
  std::vector<char> bytes;
  std::string wrong;
  struct stat info = {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    wrong = std::string("not a saved state (") + KindOf(info.st_mode) + ", not a regular file)";
  char chunk[4096];
  while (wrong.empty()) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) wrong = "cannot read (" + ErrnoText() + ")";
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxStateFileBytes) wrong = "too large for a saved state";
  }
  close(fd);
  if (!wrong.empty()) {
    Fail(problem, wrong);
    return nullptr;
  }
  return CreateSavedStateFromBytes(bytes.data(), bytes.size(), problem);
}

bool MakeUserPresetFolder(const std::string& folder, std::string* problem) {
  for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
      return Fail(problem,
                  part + ": cannot make the folder for user presets (" + ErrnoText() + ")");
    if (end == std::string::npos) return true;
  }
}

CFDataRef CreateUserPresetBytes(CFPropertyListRef state) {
  CFErrorRef error = nullptr;
  CFDataRef data = CFPropertyListCreateData(kCFAllocatorDefault, state,
                                            kCFPropertyListXMLFormat_v1_0, 0, &error);
  if (error) CFRelease(error);
  return data;
}

bool WriteUserPreset(const std::string& path, CFDictionaryRef state, std::string* problem) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return Fail(problem, path + ": not in a folder");
  if (!MakeUserPresetFolder(path.substr(0, slash), problem)) return false;
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    return Fail(problem, path + " is there and is not a regular file, so it cannot hold a preset");
  CFDataRef data = CreateUserPresetBytes(state);
  if (!data) return Fail(problem, path + ": the state cannot be written as a property list");
  const bool written = WriteFileAtomically(path.c_str(), CFDataGetBytePtr(data),
                                           static_cast<size_t>(CFDataGetLength(data)));
  const std::string why = written ? "" : ErrnoText();
  CFRelease(data);
  return written || Fail(problem, path + ": cannot write (" + why + ")");
}
