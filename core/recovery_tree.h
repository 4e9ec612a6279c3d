#pragma once
// The result of a scan: a tree of tapes, sets, volumes and folders under the
// root "ROOT", and the list of found files. Both are flat lists of packed
// records that refer to each other by signed 64-bit list indices (-1: none).
// Lookups return -2 for "not found"; a result counts as found only when it is
// greater than 0 (index 0 is the root).

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

static_assert(std::endian::native == std::endian::little, "record images are little-endian");

constexpr int64_t kNoIndex = -1;
constexpr int64_t kNotFound = -2;

#pragma pack(push, 1)
// One node of the recovery tree. 54 bytes, stored and written byte for byte.
// Packed: read fields by value (no references or pointers to members).
struct TreeNode {
  uint32_t name;         // reference to the node's name in its list (no meaning in a stored image)
  int64_t parent;        // -1 for the root
  int64_t firstChild;    // most recently added child, -1 when none
  int64_t nextSibling;   // next older sibling, -1 for the oldest
  int64_t index;         // own position in the node list
  int64_t firstFile;     // first record of the node's files, -1 when none
  int64_t lastFile;      // last record of the node's files, -1 when none
  uint8_t checkState;    // 0 never touched, 1 checked, 2 unchecked
  uint8_t shownInTree;   // 1 once a tree item shows the node
};

// One found file. 41 bytes, stored and written byte for byte.
struct FoundFileRecord {
  uint32_t name;          // reference to the file's name in its list (no meaning in a stored image)
  uint16_t nameBytes;     // name length in bytes as it stood in the FILE block
  int64_t parent;         // node the file belongs to
  uint8_t kind;           // 'F'
  int64_t index;          // own position in the found-file list
  uint64_t dataPosition;  // first content byte: STAN header position + 22
  uint64_t dataLength;    // STAN stream length; 0 when no STAN stream was found
  uint8_t checkState;     // 0 never touched, 1 checked, 2 unchecked
  uint8_t shownInTree;    // 1 once a tree item shows the file
};
#pragma pack(pop)

static_assert(sizeof(TreeNode) == 54);
static_assert(sizeof(FoundFileRecord) == 41);

constexpr uint8_t kFileKind = 'F';

// A fresh record: no name, index -1, no data, flags 0.
FoundFileRecord NewFoundFileRecord();

// The recovery tree: the node list under the root "ROOT".
class CTarvelBKFTreeVectorClass {
 public:
  CTarvelBKFTreeVectorClass();
  virtual ~CTarvelBKFTreeVectorClass() = default;
  CTarvelBKFTreeVectorClass(const CTarvelBKFTreeVectorClass&) = delete;
  CTarvelBKFTreeVectorClass& operator=(const CTarvelBKFTreeVectorClass&) = delete;

  // Run-time class name, as the framework class reports it.
  static const char* ClassName() { return "CTarvelBKFTreeVectorClass"; }

  // Adds a node under parentIndex; -2 when parentIndex is not a valid index.
  int64_t AddNode(std::u16string_view name, int64_t parentIndex);
  // Depth-first search of the subtree at startIndex (children newest first).
  // With depth 0 the start node itself never matches.
  int64_t FindNode(std::u16string_view name, int64_t startIndex, int64_t depth) const;
  // firstChild, or -2 when the index is outside the list or there is no child.
  int64_t FirstChild(int64_t index) const;
  // nextSibling, or -2 when it is -1 or not a valid index above 0.
  int64_t NextSibling(int64_t index) const;
  // Names from the root's child down to the node, each followed by a backslash.
  // Uses a scratch list of the tree: not re-entrant.
  std::u16string GetNodePath(int64_t index);
  // Replaces the node's name with a copy of the new one.
  void RenameNode(int64_t index, std::u16string_view name);
  // The node's children in chain order (newest first). A damaged chain ends
  // at a link that is not a node above the root, or that does not lead to an
  // older (smaller) index, so the walk always ends.
  std::vector<int64_t> ChildChain(int64_t index) const;

  int64_t Count() const { return static_cast<int64_t>(m_nodes.size()); }
  bool IsValid(int64_t index) const { return index >= 0 && index < Count(); }
  TreeNode& Node(int64_t index) { return m_nodes[static_cast<size_t>(index)]; }
  const TreeNode& Node(int64_t index) const { return m_nodes[static_cast<size_t>(index)]; }
  const std::u16string& Name(int64_t index) const { return m_names[static_cast<size_t>(index)]; }

  // Snapshot loading: empties the list (the root included), then appends
  // stored node images with their names.
  void Clear();
  void AppendImage(const TreeNode& image, std::u16string name);
  // Bytes held by the tree (lists and names), for measurements.
  size_t MemoryBytes() const;

 private:
  std::vector<TreeNode> m_nodes;
  std::vector<std::u16string> m_names;
  std::vector<int64_t> m_pathScratch;
};

// The found-file list: the records and the names they own.
class FoundFileList {
 public:
  int64_t Count() const { return static_cast<int64_t>(m_records.size()); }
  bool IsValid(int64_t index) const { return index >= 0 && index < Count(); }
  FoundFileRecord& Record(int64_t index) { return m_records[static_cast<size_t>(index)]; }
  const FoundFileRecord& Record(int64_t index) const { return m_records[static_cast<size_t>(index)]; }
  const std::u16string& Name(int64_t index) const { return m_names[static_cast<size_t>(index)]; }
  // Replaces the record's name with a copy of the new one.
  void SetName(int64_t index, std::u16string_view name) { m_names[static_cast<size_t>(index)] = name; }
  // Appends a record that takes ownership of its name; returns its position.
  int64_t Append(const FoundFileRecord& record, std::u16string name);
  void Clear();
  size_t MemoryBytes() const;

 private:
  std::vector<FoundFileRecord> m_records;
  std::vector<std::u16string> m_names;
};
