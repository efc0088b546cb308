#pragma once

namespace platform_detail {

// Searches the component folders unless that has already happened.
void EnsureComponentsScanned();

}  // namespace platform_detail
