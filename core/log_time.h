#pragma once
// The time stamp of log lines: local time as "%b-%d-%Y(%I-%M-%S-%p)", with
// English month abbreviations, e.g. Mar-08-2021(02-05-09-PM).

#include <ctime>
#include <string>

namespace quillon {

std::u16string LogTimeStamp(std::time_t when);
std::u16string LogTimeStampNow();

}  // namespace quillon
