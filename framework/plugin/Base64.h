#pragma once

// Standard base64 with "=" padding; out must hold 4 * ceil(inputSize / 3) + 1
// characters and is NUL-terminated. Returns the characters written.
// [any thread]
int base64encode(const unsigned char* in, char* out, int inputSize);

// The characters needed by base64encode's output, terminator included.
int base64encodedsize(int inputSize);

// Decodes until the NUL or the first character outside the alphabet (so the
// first "=" ends the input), writing at most maxOutputSize bytes. Returns the
// bytes written. [any thread]
int base64decode(const char* in, unsigned char* out, int maxOutputSize);
