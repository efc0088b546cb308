#include "tools/morvex/console/ToolError.h"

#include <cstdio>
#include <exception>

int ReportingFailures(const std::function<int()>& command) {
  try {
    return command();
  } catch (const UsageError& error) {
    std::fprintf(stderr, "morvex: error: %s\n", error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvex: error: %s\n", error.what());
    return 1;
  }
}
