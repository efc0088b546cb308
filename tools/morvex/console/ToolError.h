#pragma once

#include <functional>

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

// Runs a command, reporting a failure as above and returning its exit
// status; no exception leaves it. The program and its display module, each
// with a run-time library of its own, both report through it.
int ReportingFailures(const std::function<int()>& command);
