#pragma once

// Programming and packaging errors stop the program in every build, Release
// included: unlike <cassert>, NDEBUG does not remove these checks. The
// message names the failed condition as written at the call.
#define MORVEX_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) : MorvexAssertFailed(#condition, __FILE__, __LINE__))

// Writes "Assertion failed: <condition> (<file>:<line>)" to standard error
// and aborts. [any thread]
[[noreturn]] void MorvexAssertFailed(const char* condition, const char* file, int line) noexcept;
