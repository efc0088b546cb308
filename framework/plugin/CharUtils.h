#pragma once

// Blank, tab, line feed and carriage return; not vertical tab or form feed.
// [any thread]
bool IsWhitespace(char c);

// Copies src lower-cased into dst and terminates it; dst must hold as many
// characters as src. dst may be src. [any thread]
void ToLower(char* dst, const char* src);
