#pragma once

#include <string>

// Text read from a file, made safe to print to a terminal: control
// characters (C0, DEL and C1), which a terminal obeys, and the Unicode
// controls that reorder or mark the direction of the text around them come
// out as \xNN or \u{NNNN} escapes; bytes that are not UTF-8 as \xNN.
std::string PrintableText(const std::string& utf8);
