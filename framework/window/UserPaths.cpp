#include "framework/window/UserPaths.h"

#include <cstdlib>
#include <cstring>

#include "platform/CFBundle.h"
#include "platform/CFURL.h"

namespace {

constexpr int kMaxPath = 4096;

void SetFromURL(CFURLRef url, WDL_String* path) {
  path->Set("");
  if (!url) return;
  UInt8 buffer[kMaxPath];
  if (CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer)) {
    path->Set(reinterpret_cast<const char*>(buffer));
  }
  CFRelease(url);
}

void SetUnderHome(const char* relative, WDL_String* path) {
  const char* home = std::getenv("HOME");
  path->Set("");
  if (!home || !*home) return;
  path->Set(home);
  path->Append(relative);
}

}  // namespace

void BundleExecutablePath(WDL_String* path) {
  CFBundleRef bundle = CFBundleGetMainBundle();
  SetFromURL(bundle ? CFBundleCopyExecutableURL(bundle) : nullptr, path);
}

void BundleFolderPath(WDL_String* path) {
  CFBundleRef bundle = CFBundleGetMainBundle();
  SetFromURL(bundle ? CFBundleCopyBundleURL(bundle) : nullptr, path);
  const char* slash = std::strrchr(path->Get(), '/');
  if (slash) path->SetLen(static_cast<int>(slash - path->Get()) + 1);
}

void UserDesktopPath(WDL_String* path) {
  SetUnderHome("/Desktop", path);
}

void ApplicationDataPath(WDL_String* path, bool isSystem) {
  if (isSystem) {
    path->Set("/usr/local/share");
    return;
  }
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') {
    path->Set(dataHome);
    return;
  }
  SetUnderHome("/.local/share", path);
}

void UserMusicPath(WDL_String* path) {
  SetUnderHome("/Music", path);
}
