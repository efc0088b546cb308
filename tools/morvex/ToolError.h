#pragma once

#include <stdexcept>
#include <string>

// The tool reports every failure by throwing one of these; main() prints
// "morvex: error: <what>" and exits 2 for a usage error, 1 for anything else.
// (The framework reports through return values; a command-line tool unwinding
// to one place is what keeps its clean-up of half-written files simple.)
struct ToolError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct UsageError : ToolError {
  using ToolError::ToolError;
};
