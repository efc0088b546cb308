#pragma once

namespace platform::detail {

// Searches the component folders unless that has already happened.
void EnsureComponentsScanned();

}  // namespace platform::detail
