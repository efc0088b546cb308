#include "framework/editor/IURLControl.h"

#include <cstring>

#include "framework/base/TruncatingCopy.h"
#include "framework/editor/IGraphics.h"

namespace {

void CopyWholeAddress(char (&to)[IURLControl::kMaxURLLen], const char* from) {
  if (from && strnlen(from, sizeof to) < sizeof to) TruncatingCopy(to, from);
}

}  // namespace

IURLControl::IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errorMessage)
    : IControl(plug, rect) {
  CopyWholeAddress(mURL, url);
  CopyWholeAddress(mBackupURL, backupURL);
  if (errorMessage) TruncatingCopy(mErrMsg, errorMessage);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  bool opened = false;
  if (mURL[0]) opened = graphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0]) graphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}
