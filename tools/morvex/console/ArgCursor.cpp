#include "tools/morvex/console/ArgCursor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/morvex/console/ToolError.h"

ArgCursor::ArgCursor(std::string command, std::vector<std::string> args)
    : mCommand(std::move(command)), mArgs(std::move(args)) {}

void ArgCursor::fail(const std::string& message) const {
  throw UsageError(mCommand + ": " + message + " (see 'morvex " + mCommand + " --help')");
}

bool ArgCursor::done() {
  if (!mOptionsEnded && !atEnd() && mArgs[mNext] == "--") {
    mOptionsEnded = true;
    ++mNext;
  }
  return atEnd();
}

bool ArgCursor::flag(const char* name) {
  if (done() || mOptionsEnded || mArgs[mNext] != name) return false;
  ++mNext;
  return true;
}

bool ArgCursor::option(const char* name, std::string* value) {
  if (done() || mOptionsEnded) return false;
  const std::string& arg = mArgs[mNext];
  const std::string prefix = std::string(name) + "=";
  if (arg.compare(0, prefix.size(), prefix) == 0) {
    *value = arg.substr(prefix.size());
    ++mNext;
    return true;
  }
  if (arg != name) return false;
  if (mNext + 1 >= mArgs.size()) fail(std::string(name) + " needs a value");
  *value = mArgs[mNext + 1];
  mNext += 2;
  return true;
}

bool ArgCursor::namedOption(const char* name, std::string* value) {
  if (!option(name, value)) return false;
  if (value->empty()) fail(std::string(name) + " needs a value, not an empty text");
  return true;
}

std::string ArgCursor::positional() {
  done();
  const std::string& arg = mArgs[mNext++];
  if (!mOptionsEnded && arg.size() > 1 && arg[0] == '-') fail("unknown option '" + arg + "'");
  return arg;
}

void ArgCursor::expectPositionals(const std::vector<std::string>& got,
                                  const std::vector<const char*>& names) const {
  if (got.size() == names.size()) return;
  if (got.size() > names.size()) fail("unexpected argument '" + got[names.size()] + "'");
  std::string missing;
  for (size_t i = got.size(); i < names.size(); ++i)
    missing += (missing.empty() ? "" : " and ") + std::string(names[i]);
  fail("missing " + missing);
}

long ParseCount(const ArgCursor& args, const std::string& option, const std::string& text,
                long minimum, long maximum) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < minimum || value > maximum)
    args.fail(option + " " + text + ": expected a whole number from " + std::to_string(minimum) +
              " to " + std::to_string(maximum));
  return value;
}

double ParseDecimal(const ArgCursor& args, const std::string& option, const std::string& text,
                    double minimum, double maximum) {
  // Digits, one point and a leading sign only: no "inf", "nan" or hex.
  const size_t digits = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  const bool plain =
      text.size() > digits && text.find_first_not_of(".0123456789", digits) == std::string::npos;
  char* end = nullptr;
  const double value = plain ? std::strtod(text.c_str(), &end) : 0;
  if (!plain || *end != '\0' || !(value >= minimum && value <= maximum)) {
    char range[64];
    std::snprintf(range, sizeof range, "%g to %g", minimum, maximum);
    args.fail(option + " " + text + ": expected a number from " + range);
  }
  return value;
}
