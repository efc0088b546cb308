#pragma once

#include <cstdarg>

#include "WDL_HeapBuf.h"

// A growable NUL-terminated string. A string that was never set reads as
// empty; once set, the buffer's logical size is the length plus one.
class WDL_String {
 public:
  explicit WDL_String(const char* initial = nullptr, int maxLen = 0);
  WDL_String(const WDL_String& other);
  WDL_String& operator=(const WDL_String& other);

  // maxLen > 0 takes at most that many characters; 0 takes the whole text.
  // The text may point into this string.
  void Set(const char* text, int maxLen = 0);
  void Set(const WDL_String* other, int maxLen = 0);
  void Append(const char* text, int maxLen = 0);

  // Cuts (or extends) the string to length characters; characters before
  // the new end stay, characters added by extension are NULs.
  void SetLen(int length, bool resizeDown = false);
  void DeleteSub(int position, int count);

  // Formats at most maxLen characters printf-style.
  void SetFormatted(int maxLen, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLen, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void SetAppendFormattedArgs(bool append, int maxLen, const char* format, va_list args)
      __attribute__((format(printf, 4, 0)));

  const char* Get() const;
  int GetLength() const;
  int GetAllocatedSize() const { return mHeap.GetAllocatedSize(); }

 private:
  // Writes length characters of source at offset, keeping the keep
  // characters that followed offset after the written ones.
  void Store(const char* source, int length, int offset, int keep);
  char* Buffer() const { return static_cast<char*>(mHeap.Get()); }

  WDL_HeapBuf mHeap;
};
