#pragma once
// The archive listing made in the decoding helper process, under the same
// time and memory limits as a picture: a crash, a hang or a memory blow-up in
// the 7-Zip library gives no listing (and the caller's hex dump).

#include <filesystem>

#include "archive_listing.h"

ArchiveListResult ListArchiveInHelper(const std::filesystem::path& path, const char* library = kSevenZipLibrary);
