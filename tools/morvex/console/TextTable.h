#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Prints rows as left-aligned columns two spaces apart.
void PrintTable(const std::vector<std::vector<std::string>>& rows, std::FILE* to = stdout);
