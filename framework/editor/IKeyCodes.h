#pragma once

// The keys the editor knows, as OnKeyDown receives them: space, the four
// arrows, the digits and the letters (case ignored). Window layers map
// their own key events onto these numbers and pass on everything else.
enum EIKeyCode {
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,  // .. kKeyDigit0 + 9
  kKeyLetterA = 15,
  kKeyLetterZ = 40
};

// The key for a typed character: space, '0'-'9', 'A'-'Z' or 'a'-'z';
// -1 for any other. [any thread]
constexpr int KeyForCharacter(char c) {
  if (c == ' ') return kKeySpace;
  if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
  if (c >= 'A' && c <= 'Z') return kKeyLetterA + (c - 'A');
  if (c >= 'a' && c <= 'z') return kKeyLetterA + (c - 'a');
  return -1;
}
