#pragma once

#include "framework/editor/IControl.h"

// An invisible area that opens a web address (or, failing that, a backup
// address) when clicked. [UI thread]
class IURLControl : public IControl {
 public:
  static constexpr int kMaxURLLen = 256;
  static constexpr int kMaxErrorMessageLen = 1024;

  // An address that does not fit kMaxURLLen - 1 characters is refused (left
  // empty) rather than cut into some other address; a long error message is
  // cut.
  IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errorMessage = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }

  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }

 private:
  char mURL[kMaxURLLen] = {};
  char mBackupURL[kMaxURLLen] = {};
  char mErrMsg[kMaxErrorMessageLen] = {};
};
