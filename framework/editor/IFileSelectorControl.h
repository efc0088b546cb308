#pragma once

#include "framework/base/WDL_String.h"
#include "framework/editor/IBitmap.h"
#include "framework/editor/IControl.h"
#include "framework/editor/IGraphics.h"

// A button that asks for a file to open or save; the plug-in reads the
// choice with GetLastSelectedFileForPlug. The value flips on every use so
// that a bound parameter tells the plug-in a choice was made. [UI thread]
class IFileSelectorControl : public IControl {
 public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting = 1, kFSDone = 2 };

  IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, const IBitmap* bitmap,
                       EFileAction action, const char* dir = "", const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  // Dirty once more after a choice, so the button is redrawn released.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(WDL_String* file) const;
  void SetLastSelectedFileFromPlug(const char* file);
  EFileSelectorState GetState() const { return mState; }

 private:
  IBitmap mBitmap;
  WDL_String mDir;
  WDL_String mFile;
  WDL_String mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
