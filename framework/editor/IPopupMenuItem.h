#pragma once

#include "framework/base/WDL_String.h"

class IPopupMenu;

// One entry of a popup menu: a label, presentation flags and an optional
// submenu, which the item only points at (whoever created the submenu owns it).
// [UI thread] throughout.
class IPopupMenuItem {
 public:
  enum Flags {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kTitle = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3,
  };

  // The text is copied; null reads as an empty label.
  IPopupMenuItem(const char* text, int flags);
  IPopupMenuItem(const char* text, IPopupMenu* submenu);

  IPopupMenuItem(const IPopupMenuItem&) = delete;
  IPopupMenuItem& operator=(const IPopupMenuItem&) = delete;

  const char* GetText() const { return mText.Get(); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int GetFlags() const { return mFlags; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetIsTitle() const { return mFlags & kTitle; }
  bool GetChecked() const { return mFlags & kChecked; }
  bool GetIsSeparator() const { return mFlags & kSeparator; }
  // Disabled items, separators and items opening a submenu cannot be picked.
  bool GetCanBePicked() const { return GetEnabled() && !GetIsSeparator() && !mSubmenu; }

  void SetText(const char* text);
  // Touches the checked flag only.
  void SetChecked(bool checked);

 private:
  WDL_String mText;
  IPopupMenu* mSubmenu;
  int mFlags;
};
