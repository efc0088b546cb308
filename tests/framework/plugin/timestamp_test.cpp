#include "framework/plugin/Timestamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/base/WDL_String.h"

namespace {
std::string Stamp(const char* date, const char* time) {
  WDL_String s;
  CompileTimestamp(date, time, &s);
  return s.Get();
}

struct tm At(int yday, int hour, int min) {
  struct tm t = {};
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = min;
  return t;
}

// Runs body with TZ set, restoring the previous zone afterwards.
// "YYYYMMDD HH:MM +HHMM": digits everywhere but the fixed separators.
bool HasTimeForm(const std::string& t) {
  const std::string form = "dddddddd dd:dd sdddd";
  if (t.size() != form.size()) return false;
  for (size_t i = 0; i < form.size(); ++i) {
    const char c = t[i];
    const bool ok = form[i] == 'd'   ? c >= '0' && c <= '9'
                    : form[i] == 's' ? c == '+' || c == '-'
                                     : c == form[i];
    if (!ok) return false;
  }
  return true;
}

template <class F>
void WithZone(const char* zone, F body) {
  const char* old = getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", zone, 1);
  tzset();
  body();
  if (old) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}
}  // namespace

TEST(TimestampTest, CompileTimestampForOneAndTwoDigitDays) {
  EXPECT_EQ(Stamp("Jun  6 2024", "17:54:07"), "[Jun 6 17:54]");
  EXPECT_EQ(Stamp("Jun 16 2024", "17:54:07"), "[Jun16 17:54]");
  EXPECT_EQ(Stamp(__DATE__, __TIME__).size(), 13u);
  // Malformed inputs give a short text, never a crash.
  EXPECT_EQ(Stamp("", "").substr(0, 1), "[");
  EXPECT_EQ(Stamp(nullptr, nullptr).substr(0, 1), "[");
}

TEST(TimestampTest, AppendTimestampPrefixesTheText) {
  EXPECT_STREQ(AppendTimestamp("Jan  2 2023", "01:02:03", "Morvex"), "Morvex [Jan 2 01:02]");
  EXPECT_STREQ(AppendTimestamp("Dec 31 2023", "23:59:59", "v1"), "v1 [Dec31 23:59]");
}

TEST(TimestampTest, UtcOffsetHandlesDayAndYearBoundaries) {
  EXPECT_EQ(UtcOffsetMinutes(At(10, 13, 30), At(10, 12, 0)), 90);
  EXPECT_EQ(UtcOffsetMinutes(At(10, 7, 0), At(10, 12, 0)), -300);
  EXPECT_EQ(UtcOffsetMinutes(At(11, 1, 0), At(10, 23, 0)), 120);   // local is a day ahead
  EXPECT_EQ(UtcOffsetMinutes(At(9, 22, 0), At(10, 3, 0)), -300);   // local is a day behind
  EXPECT_EQ(UtcOffsetMinutes(At(0, 1, 0), At(364, 23, 0)), 120);   // new year locally only
  EXPECT_EQ(UtcOffsetMinutes(At(365, 20, 0), At(0, 1, 0)), -300);  // leap-year end
}

TEST(TimestampTest, CurrentTimeShowsDateTimeAndZoneOffset) {
  WithZone("UTC0", [] {
    const std::string t = CurrentTime();
    EXPECT_TRUE(HasTimeForm(t)) << t;
    EXPECT_EQ(t.substr(15), "+0000");
  });
  WithZone("EST5", [] { EXPECT_EQ(std::string(CurrentTime()).substr(15), "-0500"); });
  WithZone("IST-5:30", [] { EXPECT_EQ(std::string(CurrentTime()).substr(15), "+0530"); });
}
