#pragma once
// The entries of an archive file, listed through the 7-Zip library, which is
// loaded for the one listing and unloaded again. Plain C++: the listing may
// also run in a helper process.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "seven_zip_abi.h"

// One entry: its path with its folder components, and its folder flag: "+"
// for a folder, "-" for a file, empty when the format reports nothing.
struct ArchiveEntryRecord {
  std::u16string path;  // at most kMaxEntryPath characters
  std::u16string folderFlag;
  bool IsFolder() const { return folderFlag != u"-"; }
};

// The entries in the library's order.
struct ArchiveListing {
  std::vector<ArchiveEntryRecord> records;
  size_t Count() const { return records.size(); }
};

// Longest entry path kept; a longer one keeps its beginning and its end with
// "..." between them.
inline constexpr size_t kMaxEntryPath = 1023;

// The library: the path of p7zip's shared object on this system.
inline constexpr char kSevenZipLibrary[] = "/usr/lib/p7zip/7z.so";

// The format class of an archive file name's extension (the text after its
// last "."), compared without regard to case; none when it names no format.
std::optional<sevenzip::GUID> ArchiveFormatForPath(const std::filesystem::path& path);

// The listing, or the reason there is none.
struct ArchiveListResult {
  std::optional<ArchiveListing> listing;
  std::string error;
};

// Lists the archive at path with a format class. library: the shared object
// to load (kSevenZipLibrary by default).
ArchiveListResult ListArchive(const std::filesystem::path& path, const sevenzip::GUID& formatClass,
                              const char* library = kSevenZipLibrary);
// The same with the format taken from the path's extension.
ArchiveListResult ListArchive(const std::filesystem::path& path, const char* library = kSevenZipLibrary);

// A property value as text: empty -> "", string -> itself, boolean -> "+" or
// "-", integers -> decimal; none for a value type that has no text form.
std::optional<std::u16string> PropertyText(const sevenzip::PROPVARIANT& value);
// Shortens an entry path to kMaxEntryPath characters (see above).
std::u16string ShortenEntryPath(std::u16string path);
