#pragma once

// Reads a decimal number at the start of text the way a user types it:
// leading blanks, an optional sign, digits with '.' as the decimal point
// whatever the process locale, an optional exponent; anything after the
// number is ignored, as atof would. False, with *value untouched, when no
// number starts the text or it is not finite ("1e999", "nan").
// [any thread]
bool ParseFiniteDouble(const char* text, double* value);
