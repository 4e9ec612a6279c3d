#include "log_time.h"

#include <cstdio>

#include "text.h"

namespace quillon {

std::u16string LogTimeStamp(std::time_t when) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  localtime_r(&when, &local);
  int hour = local.tm_hour % 12;
  if (hour == 0) hour = 12;
  char text[64];
  std::snprintf(text, sizeof text, "%s-%02d-%04d(%02d-%02d-%02d-%s)", kMonths[local.tm_mon % 12], local.tm_mday,
                local.tm_year + 1900, hour, local.tm_min, local.tm_sec, local.tm_hour < 12 ? "AM" : "PM");
  return Utf8ToUtf16(text);
}

std::u16string LogTimeStampNow() { return LogTimeStamp(std::time(nullptr)); }

}  // namespace quillon
