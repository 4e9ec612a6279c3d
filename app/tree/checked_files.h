#pragma once
// The files a checked folder tree hands to saving.
//
// The recovery tree is walked in pre-order: a node, then its sub-folders
// along its child chain (newest first), each with everything below it, then
// its own files in record order. The files of a node are the records whose
// parent is the node, in record order (so a file that a revisited folder left
// outside the node's firstFile..lastFile range is not lost). A node or file
// that has an item in the tree takes that item's effective check state; one
// that has none (its folder was never opened) takes the state of its nearest
// ancestor that has an item; the root has no item and counts as unchecked.
// Every checked file is handed on with its display text (the folder path of
// its parent followed by its name), its size text (the data length in
// decimal) and its record index.

#include <cstdint>
#include <string>
#include <vector>

class CCheckTreeCtrl;
class bkf;

struct CheckedFile {
  std::u16string displayText;
  std::u16string sizeText;
  int64_t record = -1;
  bool operator==(const CheckedFile&) const = default;
};

std::vector<CheckedFile> CollectCheckedFiles(bkf& scanner, const CCheckTreeCtrl& tree);
