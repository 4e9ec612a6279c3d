#pragma once
// Where a found file is saved: below the destination in its folder hierarchy
// of the recovery tree, or flat into the destination, with a number in front
// of the name while that name is taken. Shared by the save job and the
// command-line program. Nothing is ever placed outside the destination.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recovery_tree.h"

namespace quillon {

// Longest hierarchy path, in characters: the destination with its final
// separator plus the relative path.
inline constexpr size_t kHierarchyPathLimit = 260;
// Longest name of one folder or file on this system, in bytes.
inline constexpr size_t kMaxNameBytes = 255;

// The cleaning of a hierarchy path, replacements in this order over the whole
// text: "/" becomes "_"; three backslashes in a row become one, then two in a
// row become one; each of : * ? < > | and the double quote becomes "_".
std::u16string CleanRelativePath(std::u16string_view path);

// The folders and the file name of a cleaned path (backslashes separate
// them), each made safe as one name below the destination: empty folder names
// are dropped, "." and ".." become "_" and "__", a zero unit becomes "_", and
// an empty file name becomes "_".
std::vector<std::u16string> SafeComponents(std::u16string_view cleaned);

// A flat name as stored, made safe as one name: "/" and zero units become
// "_"; an empty name and "." become "_", ".." becomes "__".
std::u16string SafeFlatName(std::u16string_view name);

// One safe name as a file-system name: UTF-8, cut to at most 255 bytes at a
// character boundary.
std::string FileSystemName(std::u16string_view name);

class SaveDestination {
 public:
  // The destination folder as typed; blanks at both ends are removed.
  explicit SaveDestination(std::u16string_view typed);

  // The destination as typed (without the blanks at its ends).
  const std::u16string& LocationText() const { return m_location; }
  // True when it names an existing folder.
  bool IsFolder() const;

  // The output path of a found file: in the hierarchy (GetNodePath of its
  // parent followed by its name, cleaned) when `hierarchy` is set, the whole
  // path fits the 260-character limit and its folders can be created (they
  // are created here); otherwise flat.
  std::filesystem::path OutputPath(CTarvelBKFTreeVectorClass& tree, const FoundFileRecord& record,
                                   std::u16string_view name, bool hierarchy) const;
  // The hierarchy path of a relative path as GetNodePath and the name give
  // it, its folders created; nothing when it is too long or a folder cannot
  // be created.
  std::optional<std::filesystem::path> HierarchyPath(std::u16string_view relative) const;
  // The destination plus the name; while something of that name exists, the
  // destination, a number (0, 1, 2, ...) and the name.
  std::filesystem::path FlatPath(std::u16string_view name) const;

 private:
  std::u16string m_location;
  std::u16string m_prefix;  // the location with its final separator
};

}  // namespace quillon
