#include "effect/MorvexLV2Identity.h"

#include <iterator>

#include "effect/Morvex.h"
#include "effect/MorvexIdentity.h"

namespace {
// Stages counts from 0; hosts show what the setting means.
constexpr const char* kStageLabels[] = {"1 section",  "2 sections", "3 sections",
                                        "4 sections", "5 sections", "6 sections"};
constexpr LV2ScalePoints kScalePoints[] = {
    {Morvex::kStages, kStageLabels, static_cast<int>(std::size(kStageLabels))}};
}  // namespace

const LV2Identity kMorvexLV2 = {kMorvexLV2URI, kMorvexLicense,
                                "Morvex.so",   "MorvexUI.so",
                                kScalePoints,  static_cast<int>(std::size(kScalePoints))};
