#pragma once
// UTF-16 text helpers: names in the core are std::u16string; file system paths
// and terminal output are UTF-8.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quillon {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16. A malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Paths: UTF-8 on this system.
std::filesystem::path PathFromUtf16(std::u16string_view text);
std::u16string PathToUtf16(const std::filesystem::path& path);

// Decimal text of a number, as "%I64d" / "%I64u" print it.
std::u16string ToDecimal16(uint64_t value);
std::u16string ToDecimal16(int64_t value);
// Reads an unsigned 64-bit decimal number the way the scan worker does:
// leading white space is skipped, digits are taken up to the first other
// character; text that is not a number reads as 0; an overflow saturates.
uint64_t ParseDecimalU64(std::u16string_view text);

// Removes blanks, tabs and line breaks at both ends.
std::u16string Trim16(std::u16string_view text);

}  // namespace quillon
