#include "framework/editor/IPopupMenu.h"

#include <algorithm>
#include <vector>

namespace {
// Wide enough for any int item number and the ": " after it.
constexpr int kMaxNumberLen = 16;
}  // namespace

IPopupMenu::IPopupMenu(int prefix, bool canMultiCheck)
    : mPrefix(kNoPrefix), mCanMultiCheck(canMultiCheck) {
  SetPrefix(prefix);
}

IPopupMenu::~IPopupMenu() {
  mItems.Empty(true);
}

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index) {
  const bool indexFits = index == -1 || (index >= 0 && index <= GetNItems());
  if (!item || !indexFits || mItems.Find(item) >= 0) return nullptr;
  // Refused here, a cycle could never be shown or searched: every walk
  // through submenus would go round it for ever.
  if (item->GetSubmenu() && item->GetSubmenu()->Reaches(this)) return nullptr;
  return index == -1 ? mItems.Add(item) : mItems.Insert(index, item);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags) {
  return AddNewItem(std::make_unique<IPopupMenuItem>(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu) {
  return AddNewItem(std::make_unique<IPopupMenuItem>(text, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddNewItem(std::unique_ptr<IPopupMenuItem> item, int index) {
  if (!AddItem(item.get(), index)) return nullptr;
  return item.release();
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu) {
  return AddItem(text, -1, submenu);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index) {
  return AddItem("", index, IPopupMenuItem::kSeparator);
}

const char* IPopupMenu::GetItemText(int index) const {
  const IPopupMenuItem* item = GetItem(index);
  return item ? item->GetText() : nullptr;
}

bool IPopupMenu::GetItemLabel(int index, WDL_String* label) const {
  const IPopupMenuItem* item = GetItem(index);
  if (!item || !label) return false;
  if (mPrefix == kNoPrefix) {
    label->Set(item->GetText());
  } else {
    // The prefix is also the number's width: "%1d: ", "%02d: ", "%03d: ".
    label->SetFormatted(kMaxNumberLen, "%0*d: ", mPrefix, index + 1);
    label->Append(item->GetText());
  }
  return true;
}

void IPopupMenu::SetPrefix(int prefix) {
  if (prefix >= kNoPrefix && prefix <= kThreeDigits) mPrefix = prefix;
}

bool IPopupMenu::CheckItem(int index, bool checked) {
  IPopupMenuItem* item = GetItem(index);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int index) {
  for (int i = 0; i < GetNItems(); ++i)
    GetItem(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const {
  const IPopupMenuItem* item = GetItem(index);
  return item && item->GetChecked();
}

void IPopupMenu::SetChosenItemIdx(int index) {
  if (index >= -1 && index < GetNItems()) mChosenItemIdx = index;
}

IPopupMenu* IPopupMenu::PickItem(int index) {
  const IPopupMenuItem* item = GetItem(index);
  if (!item || !item->GetCanBePicked()) return nullptr;
  mChosenItemIdx = index;
  return this;
}

bool IPopupMenu::Reaches(const IPopupMenu* menu) const {
  // Submenus may be shared, so each menu is expanded once; the walk keeps
  // its own stack because nesting depth is up to the menu's author.
  std::vector<const IPopupMenu*> seen{this};
  std::vector<const IPopupMenu*> pending{this};
  while (!pending.empty()) {
    const IPopupMenu* current = pending.back();
    pending.pop_back();
    if (current == menu) return true;
    for (int i = 0; i < current->GetNItems(); ++i) {
      const IPopupMenu* submenu = current->GetItem(i)->GetSubmenu();
      if (!submenu || std::find(seen.begin(), seen.end(), submenu) != seen.end()) continue;
      seen.push_back(submenu);
      pending.push_back(submenu);
    }
  }
  return false;
}
