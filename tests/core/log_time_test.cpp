#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "log_time.h"
#include "test_support.h"

namespace {

std::tm Local(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(LogTime, FormatsTwelveHourClockWithEnglishMonths) {
  struct Case {
    std::tm when;
    const char* expected;
  } cases[] = {
      {Local(2021, 3, 8, 14, 5, 9), "Mar-08-2021(02-05-09-PM)"},
      {Local(2021, 1, 31, 0, 0, 0), "Jan-31-2021(12-00-00-AM)"},   // midnight is 12 AM
      {Local(2021, 12, 1, 12, 30, 59), "Dec-01-2021(12-30-59-PM)"},  // noon is 12 PM
      {Local(1999, 9, 15, 11, 59, 59), "Sep-15-1999(11-59-59-AM)"},
      {Local(2030, 5, 5, 23, 1, 2), "May-05-2030(11-01-02-PM)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(testing_support::ToUtf8(quillon::FormatLogTime(c.when)), c.expected) << c.expected;
}

TEST(LogTime, IgnoresTheProcessLocale) {
  // Whatever locale is installed here, the stamp keeps English names.
  for (const char* locale : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"}) {
    std::setlocale(LC_ALL, locale);
    EXPECT_EQ(testing_support::ToUtf8(quillon::FormatLogTime(Local(2021, 10, 3, 9, 8, 7))),
              "Oct-03-2021(09-08-07-AM)");
  }
  std::setlocale(LC_ALL, "C");
}

TEST(LogTime, UsesLocalTime) {
  const char* saved = std::getenv("TZ");
  const std::string old = saved ? saved : "";
  setenv("TZ", "UTC+2", 1);  // two hours behind UTC
  tzset();
  // 2021-03-08 16:05:09 UTC
  EXPECT_EQ(testing_support::ToUtf8(quillon::FormatLogTime(std::time_t(1615219509))), "Mar-08-2021(02-05-09-PM)");
  if (saved)
    setenv("TZ", old.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace
