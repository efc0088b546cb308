#pragma once

#include <ctime>

class WDL_String;

// Local date, time and UTC offset, e.g. "20240606 17:54 +0100". The text
// lives in a per-thread buffer that the thread's next call overwrites.
// [any thread]
const char* CurrentTime();

// Minutes by which local time is ahead of UTC, given the same instant broken
// down both ways; a day-of-year jump of more than one day is the year
// boundary. [any thread]
int UtcOffsetMinutes(const struct tm& local, const struct tm& utc);

// "[Jun 6 17:54]" or "[Jun16 17:54]" from the compiler's __DATE__ and
// __TIME__ texts. [any thread]
void CompileTimestamp(const char* date, const char* time, WDL_String* str);

// text, a blank and the compile timestamp, in a per-thread buffer that the
// thread's next call overwrites. [any thread]
const char* AppendTimestamp(const char* date, const char* time, const char* text);
