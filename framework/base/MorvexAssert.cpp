#include "framework/base/MorvexAssert.h"

#include <cstdio>
#include <cstdlib>

void MorvexAssertFailed(const char* condition, const char* file, int line) noexcept {
  fprintf(stderr, "Assertion failed: %s (%s:%d)\n", condition, file, line);
  fflush(stderr);
  abort();
}
