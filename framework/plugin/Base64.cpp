#include "framework/plugin/Base64.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

int base64encodedsize(int inputSize) {
  if (inputSize < 0) inputSize = 0;
  return 4 * ((inputSize + 2) / 3) + 1;
}

int base64encode(const unsigned char* in, char* out, int inputSize) {
  int n = 0;
  for (int i = 0; i < inputSize; i += 3) {
    const int remaining = inputSize - i;
    const unsigned int triple =
        (in[i] << 16) | (remaining > 1 ? in[i + 1] << 8 : 0) | (remaining > 2 ? in[i + 2] : 0);
    out[n++] = kAlphabet[(triple >> 18) & 63];
    out[n++] = kAlphabet[(triple >> 12) & 63];
    out[n++] = remaining > 1 ? kAlphabet[(triple >> 6) & 63] : '=';
    out[n++] = remaining > 2 ? kAlphabet[triple & 63] : '=';
  }
  out[n] = 0;
  return n;
}

int base64decode(const char* in, unsigned char* out, int maxOutputSize) {
  if (!in) return 0;
  int written = 0;
  unsigned int pending = 0;
  int pendingBits = 0;
  for (; *in; ++in) {
    const int sextet = SextetOf(*in);
    if (sextet < 0) break;
    pending = ((pending << 6) | static_cast<unsigned int>(sextet)) & 0xFFFFu;
    pendingBits += 6;
    if (pendingBits >= 8) {
      pendingBits -= 8;
      if (written < maxOutputSize)
        out[written++] = static_cast<unsigned char>(pending >> pendingBits);
    }
  }
  return written;
}
