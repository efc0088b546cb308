#include "framework/editor/IPopupMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Label(const IPopupMenu& menu, int index) {
  WDL_String label;
  EXPECT_TRUE(menu.GetItemLabel(index, &label)) << "item " << index;
  return label.Get();
}

}  // namespace

TEST(PopupMenuTest, LabelsCarryTheItemNumberInThePrefixFormat) {
  IPopupMenu twoDigits(IPopupMenu::kTwoDigits);
  for (int i = 0; i < 12; ++i) {
    if (i == 4) {
      twoDigits.AddSeparator();  // separators take a number too
    } else {
      twoDigits.AddItem(("item" + std::to_string(i)).c_str());
    }
  }
  EXPECT_EQ(Label(twoDigits, 0), "01: item0");
  EXPECT_EQ(Label(twoDigits, 4), "05: ");
  EXPECT_EQ(Label(twoDigits, 5), "06: item5");
  EXPECT_EQ(Label(twoDigits, 11), "12: item11");

  IPopupMenu submenu(IPopupMenu::kThreeDigits);
  submenu.AddItem("deep");
  IPopupMenu oneDigit(IPopupMenu::kOneDigit);
  for (int i = 0; i < 9; ++i)
    oneDigit.AddItem("x");
  oneDigit.AddItem("tenth", &submenu);
  EXPECT_EQ(Label(oneDigit, 0), "1: x");
  EXPECT_EQ(Label(oneDigit, 9), "10: tenth");  // a width, not a cut
  EXPECT_EQ(Label(submenu, 0), "001: deep");   // each menu numbers with its own prefix

  oneDigit.SetPrefix(IPopupMenu::kNoPrefix);
  EXPECT_EQ(Label(oneDigit, 9), "tenth");

  WDL_String untouched("kept");
  EXPECT_FALSE(oneDigit.GetItemLabel(10, &untouched));
  EXPECT_FALSE(oneDigit.GetItemLabel(-1, &untouched));
  EXPECT_STREQ(untouched.Get(), "kept");
  EXPECT_EQ(oneDigit.GetItemText(10), nullptr);
}

TEST(PopupMenuTest, PrefixAndChosenIndexOutsideTheirRangesChangeNothing) {
  IPopupMenu menu(IPopupMenu::kTwoDigits);
  menu.SetPrefix(4);
  menu.SetPrefix(-1);
  EXPECT_EQ(menu.GetPrefix(), IPopupMenu::kTwoDigits);
  EXPECT_EQ(IPopupMenu(7).GetPrefix(), IPopupMenu::kNoPrefix);

  menu.AddItem("a");
  menu.AddItem("b");
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  menu.SetChosenItemIdx(1);
  menu.SetChosenItemIdx(2);
  menu.SetChosenItemIdx(-2);
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);
  menu.SetChosenItemIdx(-1);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}

TEST(PopupMenuTest, CheckItemAloneLeavesOnlyThatItemChecked) {
  IPopupMenu menu;
  menu.AddItem("a", -1, IPopupMenuItem::kChecked);
  menu.AddItem("b", -1, IPopupMenuItem::kDisabled);
  menu.AddItem("c");
  menu.AddItem("d", -1, IPopupMenuItem::kChecked | IPopupMenuItem::kTitle);

  menu.CheckItemAlone(2);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(menu.IsItemChecked(i), i == 2) << "item " << i;
  // Checking touches nothing but the checked flag.
  EXPECT_FALSE(menu.GetItem(1)->GetEnabled());
  EXPECT_TRUE(menu.GetItem(3)->GetIsTitle());

  menu.CheckItemAlone(-1);
  for (int i = 0; i < 4; ++i)
    EXPECT_FALSE(menu.IsItemChecked(i)) << "item " << i;

  EXPECT_TRUE(menu.CheckItem(1, true));
  EXPECT_EQ(menu.GetItem(1)->GetFlags(), IPopupMenuItem::kDisabled | IPopupMenuItem::kChecked);
  EXPECT_FALSE(menu.CheckItem(4, true));
  EXPECT_FALSE(menu.CheckItem(-1, true));
  EXPECT_FALSE(menu.IsItemChecked(4));
}

TEST(PopupMenuTest, ItemsGoWhereTheIndexSaysAndBadAdditionsAreRefused) {
  IPopupMenu menu;
  menu.AddItem("second");
  menu.AddItem("first", 0);
  menu.AddItem("third", 2);
  auto outside = std::make_unique<IPopupMenuItem>("outside", IPopupMenuItem::kNoFlags);
  EXPECT_EQ(menu.AddItem(outside.get(), 4), nullptr);
  EXPECT_EQ(menu.AddItem(outside.get(), -2), nullptr);
  EXPECT_EQ(menu.AddItem("outside", 5), nullptr);
  EXPECT_EQ(menu.AddItem(static_cast<IPopupMenuItem*>(nullptr)), nullptr);

  // One item twice would be deleted twice.
  EXPECT_EQ(menu.AddItem(menu.GetItem(1), 0), nullptr);

  ASSERT_EQ(menu.GetNItems(), 3);
  EXPECT_STREQ(menu.GetItemText(0), "first");
  EXPECT_STREQ(menu.GetItemText(1), "second");
  EXPECT_STREQ(menu.GetItemText(2), "third");
}

TEST(PopupMenuTest, SubmenusThatLeadBackToTheMenuAreRefused) {
  IPopupMenu top, middle, bottom, shared;
  ASSERT_NE(top.AddItem("middle", &middle), nullptr);
  ASSERT_NE(middle.AddItem("bottom", &bottom), nullptr);
  // The same submenu under two items of different menus is no cycle.
  ASSERT_NE(top.AddItem("shared", &shared), nullptr);
  ASSERT_NE(bottom.AddItem("shared", &shared), nullptr);

  EXPECT_EQ(top.AddItem("self", &top), nullptr);
  EXPECT_EQ(bottom.AddItem("back to top", 0, &top), nullptr);
  EXPECT_EQ(shared.AddItem("back to middle", &middle), nullptr);
  IPopupMenuItem cycling("back to top", &top);
  EXPECT_EQ(bottom.AddItem(&cycling), nullptr);

  EXPECT_EQ(top.GetNItems(), 2);
  EXPECT_EQ(middle.GetNItems(), 1);
  EXPECT_EQ(bottom.GetNItems(), 1);
  EXPECT_EQ(shared.GetNItems(), 0);
}

TEST(PopupMenuTest, APickIsRecordedInTheMenuHoldingThePickedItem) {
  IPopupMenu submenu;
  submenu.AddItem("a");
  submenu.AddItem("b", -1, IPopupMenuItem::kDisabled);
  submenu.AddItem("c", -1, IPopupMenuItem::kTitle);
  IPopupMenu parent;
  parent.AddItem("plain");
  parent.AddItem("more", &submenu);
  parent.AddSeparator();

  EXPECT_EQ(submenu.PickItem(2), &submenu);
  EXPECT_EQ(submenu.GetChosenItemIdx(), 2);
  EXPECT_EQ(parent.GetChosenItemIdx(), -1);

  // Entries that cannot be picked leave the earlier choice alone.
  EXPECT_EQ(submenu.PickItem(1), nullptr);
  EXPECT_EQ(submenu.PickItem(3), nullptr);
  EXPECT_EQ(parent.PickItem(1), nullptr);
  EXPECT_EQ(parent.PickItem(2), nullptr);
  EXPECT_EQ(submenu.GetChosenItemIdx(), 2);
  EXPECT_EQ(parent.GetChosenItemIdx(), -1);
  EXPECT_EQ(parent.PickItem(0), &parent);
  EXPECT_EQ(parent.GetChosenItemIdx(), 0);
}

// Meant for the sanitizer build, where a leaked, doubly deleted or freed
// submenu fails the run.
TEST(PopupMenuTest, MenusDeleteTheirItemsButNotSubmenusOrRefusedItems) {
  IPopupMenu submenu;
  submenu.AddItem("inner");
  auto refused = std::make_unique<IPopupMenuItem>("refused", &submenu);
  {
    auto menu = std::make_unique<IPopupMenu>();
    IPopupMenuItem* owned = menu->AddItem(new IPopupMenuItem("owned", IPopupMenuItem::kNoFlags));
    ASSERT_NE(owned, nullptr);
    menu->AddItem("sub", &submenu);
    menu->AddSeparator(0);
    EXPECT_EQ(menu->AddItem(refused.get(), 9), nullptr);
    EXPECT_EQ(submenu.AddItem("cycle", menu.get()), nullptr);
  }
  EXPECT_EQ(submenu.GetNItems(), 1);
  EXPECT_STREQ(submenu.GetItemText(0), "inner");
  EXPECT_EQ(refused->GetSubmenu(), &submenu);
}
