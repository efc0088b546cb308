#include "framework/editor/IPopupMenuItem.h"

IPopupMenuItem::IPopupMenuItem(const char* text, int flags)
    : mText(text), mSubmenu(nullptr), mFlags(flags) {}

IPopupMenuItem::IPopupMenuItem(const char* text, IPopupMenu* submenu)
    : mText(text), mSubmenu(submenu), mFlags(kNoFlags) {}

void IPopupMenuItem::SetText(const char* text) {
  mText.Set(text);
}

void IPopupMenuItem::SetChecked(bool checked) {
  if (checked) {
    mFlags |= kChecked;
  } else {
    mFlags &= ~kChecked;
  }
}
