// The editor window's services that need no event handling: paths, images,
// file dialogs and opening addresses.

#include <string>
#include <vector>

#include "framework/window/BundleImages.h"
#include "framework/window/UserPaths.h"
#include "framework/window/x11/IGraphicsX11.h"
#include "framework/window/x11/ProgramLauncher.h"

void IGraphicsX11::HostPath(WDL_String* path) {
  BundleExecutablePath(path);
}

void IGraphicsX11::PluginPath(WDL_String* path) {
  BundleFolderPath(path);
}

void IGraphicsX11::DesktopPath(WDL_String* path) {
  UserDesktopPath(path);
}

void IGraphicsX11::AppSupportPath(WDL_String* path, bool isSystem) {
  ApplicationDataPath(path, isSystem);
}

void IGraphicsX11::SandboxSafeAppSupportPath(WDL_String* path) {
  UserMusicPath(path);
}

LICE_IBitmap* IGraphicsX11::OSLoadBitmap(int, const char* name) {
  return mImages.Load(name);
}

bool IGraphicsX11::PromptForColor(IColor*, const char*) {
  return false;
}

bool IGraphicsX11::OpenURL(const char* url, const char*, const char*, const char*) {
  // Web addresses and file paths alike go to the desktop's opener; an
  // address that cannot be formed is a failure, not a silent success.
  if (!url || !*url) return false;
  return program_launcher::Launch({"xdg-open", url});
}

void IGraphicsX11::PromptForFile(WDL_String* file, EFileAction action, WDL_String* dir,
                                 const char* extensions) {
  if (!file) return;
  const std::string defaultName = file->Get();
  file->Set("");
  if (!GetWindow()) return;
  WDL_String startDir;
  if (dir && dir->Get()[0]) {
    startDir.Set(dir->Get());
  } else {
    UserDesktopPath(&startDir);
    if (dir) dir->Set(startDir.Get());
  }
  std::string start = startDir.Get();
  if (!start.empty() && start.back() != '/') start += '/';
  start += defaultName;

  std::string patterns;
  for (const char* p = extensions ? extensions : ""; *p;) {
    while (*p == ' ')
      ++p;
    const char* end = p;
    while (*end && *end != ' ')
      ++end;
    if (end > p) {
      if (!patterns.empty()) patterns += ' ';
      patterns += "*." + std::string(p, end);
    }
    p = end;
  }

  std::vector<std::string> argv;
  if (program_launcher::IsInstalled("zenity")) {
    argv = {"zenity", "--file-selection", "--filename=" + start};
    if (action == kFileSave) {
      argv.push_back("--save");
      argv.push_back("--confirm-overwrite");
    }
    if (!patterns.empty()) argv.push_back("--file-filter=" + patterns);
  } else if (program_launcher::IsInstalled("kdialog")) {
    argv = {"kdialog", action == kFileSave ? "--getsavefilename" : "--getopenfilename", start};
    if (!patterns.empty()) argv.push_back(patterns);
  } else {
    return;  // no dialog to be had: cancelled
  }

  // The editor keeps drawing while the dialog is up.
  std::optional<std::string> chosen =
      program_launcher::RunForOutput(argv, [this] { Loop().RunFor(0.05); });
  if (!chosen) return;
  while (!chosen->empty() && (chosen->back() == '\n' || chosen->back() == '\r'))
    chosen->pop_back();
  if (chosen->empty()) return;
  file->Set(chosen->c_str());
  const size_t slash = chosen->rfind('/');
  if (dir && slash != std::string::npos) dir->Set(chosen->c_str(), static_cast<int>(slash + 1));
}
