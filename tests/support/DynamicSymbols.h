#pragma once

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace test_support {

// Names of the symbols a shared library defines in its dynamic table, as
// `nm -D --defined-only` lists them; empty when nm cannot run.
inline std::set<std::string> DefinedSymbols(const std::string& library) {
  std::set<std::string> symbols;
  FILE* pipe = popen(("nm -D --defined-only '" + library + "'").c_str(), "r");
  if (!pipe) return symbols;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name) symbols.insert(name);
  }
  pclose(pipe);
  return symbols;
}

}  // namespace test_support
