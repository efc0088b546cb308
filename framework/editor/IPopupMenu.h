#pragma once

#include <memory>

#include "framework/base/WDL_PtrList.h"
#include "framework/base/WDL_String.h"
#include "framework/editor/IPopupMenuItem.h"

// The platform-independent model of a popup menu: owned items in display
// order, a numbering prefix and the index of the item the user picked. A
// submenu is only pointed at and must outlive every menu showing it.
// Submenus never form a cycle: an item whose submenu would lead back to the
// menu it joins is refused, so every walk through submenus ends.
// [UI thread] throughout.
class IPopupMenu {
 public:
  // Numbering shown before each label.
  enum Prefix { kNoPrefix = 0, kOneDigit = 1, kTwoDigits = 2, kThreeDigits = 3 };

  explicit IPopupMenu(int prefix = kNoPrefix, bool canMultiCheck = false);
  ~IPopupMenu();

  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // index -1 appends, 0..GetNItems() inserts there. On success the menu owns
  // the item and returns it; a null item, any other index, an item already in
  // this menu or a submenu leading back here gives null, and the item stays
  // the caller's.
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  // As above with a new item; nothing is created when it would be refused.
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  int GetNItems() const { return mItems.GetSize(); }
  // Null outside 0..GetNItems()-1.
  IPopupMenuItem* GetItem(int index) const { return mItems.Get(index); }
  const char* GetItemText(int index) const;

  // The label a window layer shows for item index: its text after the
  // 1-based item number in the prefix's format. False for a missing item.
  bool GetItemLabel(int index, WDL_String* label) const;

  // Values outside 0..3 leave the prefix as it was.
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  bool GetCanMultiCheck() const { return mCanMultiCheck; }

  // False when there is no such item.
  bool CheckItem(int index, bool checked);
  // Checks item index and unchecks every other; an index outside the menu
  // unchecks them all.
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

  // -1 means nothing chosen; other values outside the menu are ignored.
  void SetChosenItemIdx(int index);
  int GetChosenItemIdx() const { return mChosenItemIdx; }

  // What a window layer calls on the menu directly holding the entry the
  // user picked: when the item can be picked it becomes the chosen index and
  // this menu is the result; otherwise null, and nothing changes.
  IPopupMenu* PickItem(int index);

 private:
  // A refused new item is deleted again.
  IPopupMenuItem* AddNewItem(std::unique_ptr<IPopupMenuItem> item, int index);
  // True when menu is this one or is reached from it through submenus.
  bool Reaches(const IPopupMenu* menu) const;

  int mPrefix;
  int mChosenItemIdx = -1;
  bool mCanMultiCheck;
  WDL_PtrList<IPopupMenuItem> mItems;
};
