#include "recovery_tree.h"

#include <utility>

FoundFileRecord NewFoundFileRecord() {
  FoundFileRecord r{};
  r.name = 0;
  r.nameBytes = 0;
  r.parent = kNoIndex;
  r.kind = kFileKind;
  r.index = kNoIndex;
  r.dataPosition = 0;
  r.dataLength = 0;
  r.checkState = 0;
  r.shownInTree = 0;
  return r;
}

namespace {
TreeNode MakeNode(int64_t parent, int64_t index) {
  TreeNode n{};
  n.name = static_cast<uint32_t>(index);
  n.parent = parent;
  n.firstChild = kNoIndex;
  n.nextSibling = kNoIndex;
  n.index = index;
  n.firstFile = kNoIndex;
  n.lastFile = kNoIndex;
  n.checkState = 0;
  n.shownInTree = 0;
  return n;
}

size_t StringBytes(const std::u16string& s) {
  // The characters live in the object itself up to the small-string capacity.
  constexpr size_t kInline = 7;
  return s.capacity() > kInline ? (s.capacity() + 1) * sizeof(char16_t) : 0;
}
}  // namespace

CTarvelBKFTreeVectorClass::CTarvelBKFTreeVectorClass() {
  m_nodes.push_back(MakeNode(kNoIndex, 0));
  m_names.emplace_back(u"ROOT");
}

int64_t CTarvelBKFTreeVectorClass::AddNode(std::u16string_view name, int64_t parentIndex) {
  if (parentIndex < 0 || parentIndex >= Count()) return kNotFound;
  const int64_t index = Count();
  TreeNode node = MakeNode(parentIndex, index);
  TreeNode& parent = Node(parentIndex);
  if (parent.firstChild == kNoIndex) parent.firstChild = index;
  // Link newest first: the new node leads the parent's chain.
  if (parent.firstChild != kNoIndex && parent.firstChild != index) {
    node.nextSibling = parent.firstChild;
    parent.firstChild = index;
  }
  m_nodes.push_back(node);
  m_names.emplace_back(name);
  return index;
}

int64_t CTarvelBKFTreeVectorClass::FirstChild(int64_t index) const {
  if (!IsValid(index)) return kNotFound;
  const int64_t c = Node(index).firstChild;
  return c == kNoIndex ? kNotFound : c;
}

std::vector<int64_t> CTarvelBKFTreeVectorClass::ChildChain(int64_t index) const {
  std::vector<int64_t> chain;
  if (!IsValid(index)) return chain;
  for (int64_t c = Node(index).firstChild; c > 0 && IsValid(c);) {
    chain.push_back(c);
    const int64_t next = Node(c).nextSibling;
    if (next >= c) break;
    c = next;
  }
  return chain;
}

int64_t CTarvelBKFTreeVectorClass::NextSibling(int64_t index) const {
  if (!IsValid(index)) return kNotFound;
  const int64_t s = Node(index).nextSibling;
  if (s <= 0 || s >= Count()) return kNotFound;
  return s;
}

int64_t CTarvelBKFTreeVectorClass::FindNode(std::u16string_view name, int64_t startIndex,
                                            int64_t depth) const {
  if (startIndex < 0 || startIndex >= Count()) return kNotFound;
  if (depth != 0 && m_names[static_cast<size_t>(startIndex)] == name) return Node(startIndex).index;
  // Pre-order walk of the subtree below startIndex, children newest first,
  // each child's whole subtree before its next sibling. Iterative so that a
  // deep tree cannot exhaust the stack; the visit budget keeps damaged links
  // (a cycle) from looping.
  std::vector<int64_t> pending;
  int64_t budget = Count();
  int64_t c = FirstChild(startIndex);
  while (true) {
    while (c != kNotFound) {
      if (--budget < 0) return kNotFound;
      if (m_names[static_cast<size_t>(c)] == name) {
        // A matching node ends the search of its own subtree.
        const int64_t r = Node(c).index;
        if (r > 0) return r;
        c = NextSibling(c);
        continue;
      }
      pending.push_back(c);
      c = FirstChild(c);
    }
    if (pending.empty()) return kNotFound;
    c = NextSibling(pending.back());
    pending.pop_back();
  }
}

std::u16string CTarvelBKFTreeVectorClass::GetNodePath(int64_t index) {
  m_pathScratch.clear();
  std::u16string path;
  if (index == 0 || !IsValid(index)) return path;
  int64_t i = index;
  // Parents always come before their children, so the walk ends at the root;
  // the step limit guards damaged links.
  for (int64_t steps = 0; i != 0 && IsValid(i) && steps < Count(); ++steps) {
    m_pathScratch.push_back(i);
    i = Node(i).parent;
  }
  for (auto it = m_pathScratch.rbegin(); it != m_pathScratch.rend(); ++it) {
    path += m_names[static_cast<size_t>(*it)];
    path += u'\\';
  }
  return path;
}

void CTarvelBKFTreeVectorClass::RenameNode(int64_t index, std::u16string_view name) {
  if (!IsValid(index)) return;
  m_names[static_cast<size_t>(index)] = std::u16string(name);
}

void CTarvelBKFTreeVectorClass::Clear() {
  m_nodes.clear();
  m_names.clear();
  m_pathScratch.clear();
}

void CTarvelBKFTreeVectorClass::AppendImage(const TreeNode& image, std::u16string name) {
  TreeNode node = image;
  node.name = static_cast<uint32_t>(m_nodes.size());
  m_nodes.push_back(node);
  m_names.push_back(std::move(name));
}

size_t CTarvelBKFTreeVectorClass::MemoryBytes() const {
  size_t bytes = m_nodes.capacity() * sizeof(TreeNode) + m_names.capacity() * sizeof(std::u16string);
  for (const auto& n : m_names) bytes += StringBytes(n);
  return bytes;
}

int64_t FoundFileList::Append(const FoundFileRecord& record, std::u16string name) {
  const int64_t index = Count();
  FoundFileRecord r = record;
  r.name = static_cast<uint32_t>(index);
  m_records.push_back(r);
  m_names.push_back(std::move(name));
  return index;
}

void FoundFileList::Clear() {
  m_records.clear();
  m_names.clear();
}

size_t FoundFileList::MemoryBytes() const {
  size_t bytes =
      m_records.capacity() * sizeof(FoundFileRecord) + m_names.capacity() * sizeof(std::u16string);
  for (const auto& n : m_names) bytes += StringBytes(n);
  return bytes;
}
