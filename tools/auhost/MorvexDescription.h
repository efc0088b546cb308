#pragma once

#include "effect/MorvexIdentity.h"
#include "platform/AUComponent.h"

// What a host looks for: Morvex's component description. [any thread]
inline ComponentDescription MorvexDescription() {
  return {kMorvexType, kMorvexSubtype, kMorvexManufacturerID, 0, 0};
}
