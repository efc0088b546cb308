#pragma once

#include <cstdint>
#include <cstring>

#include "framework/plugin/ByteChunk.h"

// Program and bank file headers are big-endian whatever the processor.

inline int PutBE32(ByteChunk* chunk, uint32_t v) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
      static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
  return chunk->PutBytes(bytes, 4);
}

inline int GetBE32(const ByteChunk& chunk, uint32_t* v, int pos) {
  unsigned char bytes[4];
  pos = chunk.GetBytes(bytes, 4, pos);
  if (pos >= 0) {
    *v = (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
         (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
  }
  return pos;
}

inline uint32_t FloatBits(float f) {
  uint32_t bits;
  memcpy(&bits, &f, sizeof(bits));
  return bits;
}

inline float BitsFloat(uint32_t bits) {
  float f;
  memcpy(&f, &bits, sizeof(f));
  return f;
}

// A four-character code as the 32-bit value whose big-endian bytes spell it.
constexpr uint32_t FourCC(const char (&code)[5]) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(code[3]));
}
