#pragma once

#include "tools/auhost/HostError.h"

// The tool reports every failure by throwing one of these; main() prints
// "morvex: error: <what>" and exits 2 for a usage error, 1 for anything else.
// (The framework reports through return values; a command-line tool unwinding
// to one place is what keeps its clean-up of half-written files simple.)
struct ToolError : HostError {
  using HostError::HostError;
};

struct UsageError : ToolError {
  using ToolError::ToolError;
};
