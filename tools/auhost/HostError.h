#pragma once

#include <stdexcept>

// What the host library throws when a component refuses a call or cannot be
// found; the message names the call and the status.
struct HostError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
