#include "tools/morvex/console/TextTable.h"

#include <algorithm>

void PrintTable(const std::vector<std::vector<std::string>>& rows, std::FILE* to) {
  std::vector<size_t> widths;
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) {
      if (widths.size() <= c) widths.push_back(0);
      widths[c] = std::max(widths[c], row[c].size());
    }
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c)
      line +=
          c + 1 < row.size() ? row[c] + std::string(widths[c] - row[c].size() + 2, ' ') : row[c];
    std::fprintf(to, "%s\n", line.c_str());
  }
}
