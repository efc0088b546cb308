#pragma once

#include "platform/CFString.h"

// UTF-8 text to and from Core Foundation strings. [any thread]

// A new string the caller releases; null text gives the empty string.
CFStringRef MakeCFString(const char* text);

// Holds a new string made from text and releases it at the end of the scope.
class CFStrLocal {
 public:
  explicit CFStrLocal(const char* text) : mCFStr(MakeCFString(text)) {}
  ~CFStrLocal();
  CFStrLocal(const CFStrLocal&) = delete;
  CFStrLocal& operator=(const CFStrLocal&) = delete;
  CFStringRef Get() const { return mCFStr; }

 private:
  CFStringRef mCFStr;
};

// A NUL-terminated UTF-8 copy of a string, freed at the end of the scope.
// The buffer is sized for the encoded text, not the character count, so
// names outside ASCII survive. A null or non-string object reads as "".
class CStrLocal {
 public:
  explicit CStrLocal(CFStringRef cfStr);
  ~CStrLocal();
  CStrLocal(const CStrLocal&) = delete;
  CStrLocal& operator=(const CStrLocal&) = delete;
  const char* Get() const { return mCStr ? mCStr : ""; }

 private:
  char* mCStr = nullptr;
};
