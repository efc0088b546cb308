#pragma once

// UTF-8 for the text drawing of this layer and the raster library's text.

// The code point starting at text[*pos] (before `end`), advancing *pos past
// it. A malformed or truncated sequence, an overlong form or a surrogate
// yields U+FFFD and advances by one byte, so decoding always progresses.
unsigned int SWELL_Utf8Next(const char* text, int end, int* pos);

// Writes code point `code` as UTF-8 followed by NUL into out (room for 5
// bytes) and returns the byte count; anything beyond U+10FFFF or a surrogate
// is written as U+FFFD.
int SWELL_Utf8Encode(unsigned int code, char out[5]);
