#pragma once
// Printing a scan result: an indented tree for people, JSON for programs.

#include <string>

class bkf;

// The tree, indented two blanks a level: folders with their file counts,
// sub-folders in tree order (newest first), then files with their sizes;
// control characters in names shown as \xNN.
std::string FormatTreeText(const bkf& scanner);

// {"filesFound": N, "nodes": [...], "files": [...]}, lists in list order,
// names in UTF-8 (an unpaired surrogate becomes U+FFFD).
std::string FormatTreeJson(const bkf& scanner);

// {"filesFound": N, "tree": NODE}, NODE being {"index", "name", "files":
// [{"index", "name", "dataPosition", "dataLength"}...], "children": [NODE...]},
// children in tree order (newest first), files in list order.
std::string FormatTreeJsonNested(const bkf& scanner);

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8);
