#include "framework/plugin/Timestamp.h"

#include <cstdio>
#include <cstdlib>

#include "framework/base/WDL_String.h"

const char* CurrentTime() {
  // Shared per thread rather than per process, so that two threads cannot
  // tear each other's text.
  thread_local char text[64];
  const time_t now = time(nullptr);
  struct tm local;
  struct tm utc;
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
  size_t n = strftime(text, sizeof(text), "%Y%m%d %H:%M ", &local);
  const int offset = UtcOffsetMinutes(local, utc);
  const int magnitude = abs(offset);
  snprintf(text + n, sizeof(text) - n, "%c%02d%02d", offset >= 0 ? '+' : '-', magnitude / 60,
           magnitude % 60);
  return text;
}

int UtcOffsetMinutes(const struct tm& local, const struct tm& utc) {
  int offset = (local.tm_hour * 60 + local.tm_min) - (utc.tm_hour * 60 + utc.tm_min);
  int days = local.tm_yday - utc.tm_yday;
  if (days >= 2) {
    days = -1;
  } else if (days < -1) {
    days = 1;
  }
  return offset + days * 1440;
}

void CompileTimestamp(const char* date, const char* time, WDL_String* str) {
  if (!str) return;
  str->Set("[");
  str->Append(date);
  str->SetLen(7);
  str->DeleteSub(4, 1);
  str->Append(" ");
  str->Append(time);
  str->SetLen(12);
  str->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* text) {
  thread_local WDL_String result;
  WDL_String stamp;
  CompileTimestamp(date, time, &stamp);
  result.Set(text);
  result.Append(" ");
  result.Append(stamp.Get());
  return result.Get();
}
