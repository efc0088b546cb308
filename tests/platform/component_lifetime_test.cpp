// Instance handles as hosts misuse them: closed twice, closed or reopened
// through the raw selector call, closed from inside one of their own calls.
#include <gtest/gtest.h>

#include "platform/AudioToolbox.h"
#include "platform/HostComponents.h"
#include "tests/platform/PlatformTestSupport.h"

namespace {

int gOpens = 0;
int gCloses = 0;
int gClosesSeenInCall = -1;

struct Instance {
  ComponentInstance self;
  int closesSeenInCall = -1;
};

// Closes itself when reset, then goes on using its own storage.
ComponentResult LifetimeEntry(ComponentParameters* params, Handle storage) {
  auto* instance = reinterpret_cast<Instance*>(storage);
  switch (params->what) {
    case kComponentOpenSelect: {
      ++gOpens;
      auto* opened = new Instance{reinterpret_cast<ComponentInstance>(params->params[0])};
      SetComponentInstanceStorage(opened->self, reinterpret_cast<Handle>(opened));
      return noErr;
    }
    case kComponentCloseSelect:
      ++gCloses;
      delete instance;
      return noErr;
    case kAudioUnitResetSelect:
      EXPECT_EQ(CloseComponent(instance->self), noErr);
      instance->closesSeenInCall = gCloses;
      gClosesSeenInCall = instance->closesSeenInCall;
      return noErr;
    default:
      return 7;
  }
}

class ComponentLifetimeTest : public testing::Test {
 protected:
  void SetUp() override {
    const ComponentDescription description =
        platform_test::Description(kAudioUnitType_Effect, platform_test::Code("Life"), 0);
    mComponent = HostRegisterComponent(&description, LifetimeEntry, "Lifetime", 1);
    ASSERT_NE(mComponent, nullptr);
    gOpens = gCloses = 0;
  }
  void TearDown() override { UnregisterComponent(mComponent); }
  Component mComponent = nullptr;
};

}  // namespace

// A closed handle stays refused even after its slot serves a new instance,
// which a stale close must not reach.
TEST_F(ComponentLifetimeTest, StaleHandlesAreRefusedAndReachNoNewerInstance) {
  ComponentInstance first = OpenComponent(mComponent);
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(CloseComponent(first), noErr);
  ComponentInstance second = OpenComponent(mComponent);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(CloseComponent(first), invalidComponentID);
  EXPECT_EQ(CallComponentVersion(first), badComponentInstance);
  EXPECT_EQ(GetComponentInstanceStorage(first), nullptr);
  EXPECT_EQ(CountComponentInstances(mComponent), 1);
  EXPECT_EQ(CallComponentVersion(second), 7);
  EXPECT_EQ(gCloses, 1);
  EXPECT_EQ(CloseComponent(second), noErr);
  EXPECT_EQ(CloseComponent(second), invalidComponentID);
  EXPECT_EQ(gCloses, 2);
}

TEST_F(ComponentLifetimeTest, RawSelectorsCloseThroughTheTableAndCannotReopen) {
  ComponentInstance unit = OpenComponent(mComponent);
  ASSERT_NE(unit, nullptr);
  const long self = reinterpret_cast<long>(unit);
  EXPECT_EQ(HostCallComponentSelector(unit, kComponentOpenSelect, 1, &self), badComponentSelector);
  EXPECT_EQ(gOpens, 1);
  EXPECT_EQ(HostCallComponentSelector(unit, kComponentCloseSelect, 1, &self), noErr);
  EXPECT_EQ(gCloses, 1);
  EXPECT_EQ(CountComponentInstances(mComponent), 0);
  EXPECT_EQ(GetComponentInstanceStorage(unit), nullptr);
  EXPECT_EQ(HostCallComponentSelector(unit, kComponentCloseSelect, 1, &self), invalidComponentID);
  EXPECT_EQ(gCloses, 1);
}

// The instance closes only once the call it closed itself from returns.
TEST_F(ComponentLifetimeTest, CloseFromInsideACallWaitsForTheCallToReturn) {
  ComponentInstance unit = OpenComponent(mComponent);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(AudioUnitReset(unit, kAudioUnitScope_Global, 0), noErr);
  EXPECT_EQ(gClosesSeenInCall, 0);
  EXPECT_EQ(gCloses, 1);
  EXPECT_EQ(GetComponentInstanceStorage(unit), nullptr);
  EXPECT_EQ(CountComponentInstances(mComponent), 0);
  EXPECT_EQ(CloseComponent(unit), invalidComponentID);
}
