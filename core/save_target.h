#pragma once
// The folder a save job writes into. The destination is opened once (it may
// itself be a link, as the user chose it); every folder and file below it is
// created relative to an open folder and never through a symbolic link found
// there. Folders already opened are remembered, so a file costs no walk of
// its path. The names this job has written are remembered too: a second
// record with the same output path never replaces the first, and the numbered
// names of the flat rule ("0name", "1name", ...) go on where the last one
// stopped instead of testing every number again.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "recovery_tree.h"

namespace quillon {

// An output file opened for writing, or why it could not be.
struct OutputSlot {
  int fd = -1;                  // open for writing, owned by the caller
  std::filesystem::path path;   // as shown in the log
  int dirFd = -1;               // the folder it is in (owned by the target)
  std::string name;             // its name in that folder
  int error = 0;                // errno when fd < 0
  bool fatal = false;           // the error would meet every later file too
};

class SaveTarget {
 public:
  // The destination as typed; blanks at both ends are removed.
  explicit SaveTarget(std::u16string_view typed);
  ~SaveTarget();
  SaveTarget(const SaveTarget&) = delete;
  SaveTarget& operator=(const SaveTarget&) = delete;

  // Opens the destination folder; false (errno set) when it is no folder.
  bool Open();
  const std::u16string& LocationText() const { return m_location; }

  // Creates the output file of a found file: in the hierarchy when asked and
  // the path fits the length limit and its folders can be created, otherwise
  // flat. An existing file at a hierarchy path is replaced unless this job
  // wrote it; a link or other non-file in the way counts as a taken name.
  OutputSlot Create(CTarvelBKFTreeVectorClass& tree, const FoundFileRecord& record, std::u16string_view name,
                    bool hierarchy);

  // True when an error of a file in `dirFd` would meet every later file too.
  bool IsFatal(int error, int dirFd) const;
  // True when the destination folder no longer exists.
  bool Vanished() const;
  // Existence tests made for taken names so far (for measurements).
  uint64_t NameTests() const { return m_nameTests; }

 private:
  int FolderFd(const std::vector<std::u16string>& parts, std::string& key);
  OutputSlot OpenIn(int dirFd, const std::string& key, const std::u16string& safeName, bool replace);
  OutputSlot Finish(int dirFd, const std::string& key, const std::string& name, int fd, int error);
  bool Taken(int dirFd, const std::string& key, const std::string& name, bool replace) const;
  void CloseFolders();

  std::u16string m_location;
  std::u16string m_prefix;  // the location with its final separator
  std::string m_prefixUtf8;
  int m_root = -1;
  mutable uint64_t m_nameTests = 0;
  std::unordered_map<std::string, int> m_folders;        // relative folder path ("a/b/") -> open folder
  std::unordered_set<std::string> m_written;             // folder path + name, written by this job
  std::unordered_map<std::string, uint64_t> m_nextNumber;  // folder path + safe name -> next number to try
};

}  // namespace quillon
