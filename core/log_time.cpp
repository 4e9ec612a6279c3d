#include "log_time.h"

#include <cstdio>

#include "text.h"

namespace quillon {

namespace {
constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}  // namespace

std::u16string FormatLogTime(const std::tm& local) {
  const int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
  const int hour24 = ((local.tm_hour % 24) + 24) % 24;
  const int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
  char text[64];
  std::snprintf(text, sizeof text, "%s-%02d-%04d(%02d-%02d-%02d-%s)", kMonths[month], local.tm_mday,
                local.tm_year + 1900, hour12, local.tm_min, local.tm_sec, hour24 < 12 ? "AM" : "PM");
  return Utf8ToUtf16(text);
}

std::u16string FormatLogTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return FormatLogTime(local);
}

std::u16string LogTimeNow() { return FormatLogTime(std::time(nullptr)); }

}  // namespace quillon
