#pragma once

// A system-exclusive message and its sample offset; the bytes live elsewhere
// and are not owned.
struct ISysEx {
  int mOffset;
  int mSize;
  const unsigned char* mData;

  explicit ISysEx(int offset = 0, const unsigned char* data = nullptr, int size = 0) noexcept
      : mOffset(offset), mSize(size), mData(data) {}

  void Clear() noexcept {
    mOffset = mSize = 0;
    mData = nullptr;
  }
  // Diagnostics are compiled out in this system.
  void LogMsg() const noexcept {}
};

// Writes up to maxlen / 3 and up to size bytes as blank-separated upper-case
// hex pairs and returns str. str must be non-null with maxlen >= 3; anything
// else stops the program. [any thread]
char* SysExStr(char* str, int maxlen, const unsigned char* data, int size);
