#pragma once
// The time stamp of log lines: "%b-%d-%Y(%I-%M-%S-%p)" on the local time, with
// English month names and AM/PM whatever the process locale is, for example
// "Mar-08-2021(02-05-09-PM)".

#include <ctime>
#include <string>

namespace quillon {

// The stamp of a broken-down time (fields as localtime gives them).
std::u16string FormatLogTime(const std::tm& local);
// The stamp of a point in time, shown as local time.
std::u16string FormatLogTime(std::time_t when);
// The stamp of the current local time.
std::u16string LogTimeNow();

}  // namespace quillon
