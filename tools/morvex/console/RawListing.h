#pragma once

#include <string>
#include <vector>

#include "tools/auhost/Unit.h"

// The listings meant for scripts (--raw): one item a line, fields a tab
// apart, with backslash, tab and newline in a field written as \\, \t and
// \n, so that whatever a name holds it stays one field on one line. The
// form stays the same from version to version.

void PrintRawRow(const std::vector<std::string>& fields);

// Each parameter as eight fields: index, name, minimum, maximum, default,
// unit, the unit's current value to full precision and the text the effect
// displays for it.
void PrintRawParameters(const Unit& unit, const std::vector<ParameterDescription>& parameters);
