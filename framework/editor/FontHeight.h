#pragma once

// The platform font height that makes a font's rendered line height come out
// as the size asked for. [any thread]

// Platform fonts below 2 pixels do not render, so smaller sizes (0 and
// negative ones included) ask for 2.
inline constexpr int kMinFontHeight = 2;

inline int FontRequestHeight(int size) {
  return size < kMinFontHeight ? kMinFontHeight : size;
}

// The height to ask for next, after asking for `requested` gave fonts whose
// line height is `lineHeight`: requested² / lineHeight, rounded. A font that
// reports no line height gives nothing to correct by, so the request stays.
inline int CorrectedFontHeight(int requested, int lineHeight) {
  if (lineHeight <= 0) return FontRequestHeight(requested);
  const double corrected = static_cast<double>(requested) * requested / lineHeight + 0.5;
  if (corrected >= 2147483647.0) return 2147483647;
  return FontRequestHeight(static_cast<int>(corrected));
}
