#pragma once

// The blend-mode word every drawing operation takes.
//
// Bits 0-7 pick the combine operation; 0xF0-0xFF is a channel copy (plain blit
// only) where destination byte (mode >> 2) & 3 takes source byte mode & 3.
// Operations 6 to 0xEF draw nothing.
constexpr int LICE_BLIT_MODE_MASK = 0xFF;
constexpr int LICE_BLIT_MODE_COPY = 0;
constexpr int LICE_BLIT_MODE_ADD = 1;
constexpr int LICE_BLIT_MODE_DODGE = 2;
constexpr int LICE_BLIT_MODE_MUL = 3;
constexpr int LICE_BLIT_MODE_OVERLAY = 4;
constexpr int LICE_BLIT_MODE_HSVADJ = 5;
constexpr int LICE_BLIT_MODE_CHANCOPY = 0xF0;

// Bits 8-15: sampling of scaled and rotated blits; only the value 1 means
// something (bilinear filtering).
constexpr int LICE_BLIT_FILTER_MASK = 0xFF00;
constexpr int LICE_BLIT_FILTER_BILINEAR = 0x100;

// Weight each source pixel by its own alpha.
constexpr int LICE_BLIT_USE_ALPHA = 0x10000;

// The integer weight 0..256 of a float weight (1.0 full): the float times 256,
// truncated. Weights above 1 count as full and anything not above 0
// (negative, NaN) as none, so no combine formula sees a weight outside 0..256.
inline int LICE_IntWeight(float weight) {
  if (!(weight > 0.0f)) return 0;
  if (weight >= 1.0f) return 256;
  return static_cast<int>(weight * 256.0f);
}
