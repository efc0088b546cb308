#pragma once

#include <string>
#include <vector>

// Walks one command's arguments. Options come as "--name VALUE" or
// "--name=VALUE"; "--" ends the options. Usage mistakes throw UsageError
// mentioning the command's --help.
class ArgCursor {
 public:
  ArgCursor(std::string command, std::vector<std::string> args);

  bool done();
  // Consumes the next argument when it is the flag `name`.
  bool flag(const char* name);
  // Consumes the next argument (and its value) when it is the option `name`.
  bool option(const char* name, std::string* value);
  // The same for an option whose empty value would silently mean "none":
  // that is a usage error.
  bool namedOption(const char* name, std::string* value);
  // Consumes the next argument as a positional one; an unknown option is a
  // usage error.
  std::string positional();

  // A usage error for this command.
  [[noreturn]] void fail(const std::string& message) const;
  // Requires exactly the names given for the positional arguments collected.
  void expectPositionals(const std::vector<std::string>& got,
                         const std::vector<const char*>& names) const;

 private:
  bool atEnd() const { return mNext >= mArgs.size(); }

  std::string mCommand;
  std::vector<std::string> mArgs;
  size_t mNext = 0;
  bool mOptionsEnded = false;
};

// Parses a whole decimal number in [minimum, maximum]; throws UsageError
// naming the option.
long ParseCount(const ArgCursor& args, const std::string& option, const std::string& text,
                long minimum, long maximum);
// Parses a plain decimal number ("-6", "2.5") in [minimum, maximum]; throws
// UsageError naming the option.
double ParseDecimal(const ArgCursor& args, const std::string& option, const std::string& text,
                    double minimum, double maximum);
