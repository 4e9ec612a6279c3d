#pragma once
// The decoding helper's answer to an archive request: "QARC", then "L" with
// the entry count and each entry's path and folder flag (u32 length, then
// UTF-16 units), or "E" with the reason there is no listing (u32 length,
// then bytes). Little-endian. Plain C++: written by the helper, read by the
// window.

#include <cstdint>
#include <span>
#include <vector>

#include "archive_listing.h"

std::vector<uint8_t> EncodeArchiveAnswer(const ArchiveListResult& result);
// The result of an answer; an answer that is not whole gives an error.
ArchiveListResult DecodeArchiveAnswer(std::span<const uint8_t> answer);
