// A second effect's bundle, made by morvex_add_au_bundle: found, named,
// versioned and opened as its own identity says, exporting its own entries
// alone and registering its own view class. Nothing of Morvex's may leak
// into the templates.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/AUCocoaUIView.h"
#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "tests/framework/au/HalverIdentity.h"
#include "tests/support/DynamicSymbols.h"

TEST(AUBundle, ASecondEffectIsFoundAndOpenedByItsOwnIdentity) {
  EXPECT_EQ(test_support::DefinedSymbols(HALVER_BUNDLE "/Contents/MacOS/Halver"),
            (std::set<std::string>{"Halver_Entry", "Halver_ViewEntry"}));

  ComponentDescription looking = {kHalverType, kHalverSubtype, kHalverManufacturerID, 0, 0};
  Component component = FindNextComponent(nullptr, &looking);
  ASSERT_NE(component, nullptr);
  char* name = nullptr;
  ASSERT_EQ(GetComponentInfo(component, nullptr, reinterpret_cast<Handle>(&name), nullptr, nullptr),
            noErr);
  EXPECT_EQ(std::string(name + 1, static_cast<unsigned char>(name[0])), "Test Maker: Halver");
  EXPECT_EQ(HostGetRegisteredVersion(component), 2 * 65536 + 5 * 256 + 1);

  AudioUnit unit = OpenComponent(component);
  ASSERT_NE(unit, nullptr);
  const AUCocoaUIBase* view = AUCocoaUIClassNamed(CFSTR("Halver_View"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view->description()), "Halver View");
  EXPECT_EQ(AUCocoaUIClassNamed(CFSTR("Morvex_View")), nullptr);
  CloseComponent(unit);
}
