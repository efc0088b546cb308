#include "framework/editor/IFileSelectorControl.h"

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx,
                                           const IBitmap* bitmap, EFileAction action,
                                           const char* dir, const char* extensions)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap()), mFileAction(action) {
  mDir.Set(dir ? dir : "");
  mExtensions.Set(extensions ? extensions : "");
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  graphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  const double flipped = GetValue() + 1.0;
  SetValue(flipped > 1.0 ? 0.0 : flipped);
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics) {
  if (mState != kFSSelecting) return true;
  return graphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
}

bool IFileSelectorControl::IsDirty() {
  if (IControl::IsDirty()) return true;
  if (mState == kFSDone) {
    mState = kFSNone;
    return true;
  }
  return false;
}

void IFileSelectorControl::GetLastSelectedFileForPlug(WDL_String* file) const {
  if (file) file->Set(mFile.Get());
}

void IFileSelectorControl::SetLastSelectedFileFromPlug(const char* file) {
  mFile.Set(file ? file : "");
}
