#include "tree/checked_files.h"

#include <QTreeWidgetItemIterator>

#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_items.h"
#include "scanner.h"
#include "text.h"

namespace {

constexpr int8_t kNoItem = -1;

// The records of each node, in record order: the records of node n are
// order[start[n] .. start[n + 1]).
struct FilesByNode {
  std::vector<int64_t> start;
  std::vector<int64_t> order;
};

FilesByNode GroupFiles(const CTarvelBKFTreeVectorClass& nodes, const FoundFileList& files) {
  FilesByNode groups;
  groups.start.assign(size_t(nodes.Count()) + 1, 0);
  for (int64_t r = 0; r < files.Count(); ++r) {
    const int64_t parent = files.Record(r).parent;
    if (nodes.IsValid(parent)) ++groups.start[size_t(parent) + 1];
  }
  for (size_t n = 1; n < groups.start.size(); ++n) groups.start[n] += groups.start[n - 1];
  groups.order.resize(size_t(groups.start.back()));
  std::vector<int64_t> next(groups.start.begin(), groups.start.end() - 1);
  for (int64_t r = 0; r < files.Count(); ++r) {
    const int64_t parent = files.Record(r).parent;
    if (nodes.IsValid(parent)) groups.order[size_t(next[size_t(parent)]++)] = r;
  }
  return groups;
}

}  // namespace

std::vector<CheckedFile> CollectCheckedFiles(bkf& scanner, const CCheckTreeCtrl& tree) {
  CTarvelBKFTreeVectorClass& nodes = scanner.m_tree;
  const FoundFileList& files = scanner.m_files;
  std::vector<CheckedFile> checked;
  if (nodes.Count() == 0) return checked;

  // The effective states of the nodes and records that have items.
  std::vector<int8_t> nodeState(size_t(nodes.Count()), kNoItem);
  std::vector<int8_t> fileState(size_t(files.Count()), kNoItem);
  for (QTreeWidgetItemIterator it(const_cast<CCheckTreeCtrl*>(&tree)); *it; ++it) {
    const TreeItemData data = tree.GetItemData(*it);
    if (data.kind == kNodeItemKind && nodes.IsValid(data.index))
      nodeState[size_t(data.index)] = int8_t(tree.GetCheck(*it));
    else if (data.kind == kFileItemKind && files.IsValid(data.index))
      fileState[size_t(data.index)] = int8_t(tree.GetCheck(*it));
  }

  const FilesByNode groups = GroupFiles(nodes, files);
  struct Visit {
    int64_t node;
    int8_t inherited;
    bool files;  // the node's own files, after everything below it
  };
  std::vector<Visit> stack{{0, 0, false}};
  std::vector<bool> visited(size_t(nodes.Count()), false);
  while (!stack.empty()) {
    const Visit visit = stack.back();
    stack.pop_back();
    const size_t n = size_t(visit.node);
    if (visit.files) {
      std::u16string path;
      bool havePath = false;
      for (int64_t k = groups.start[n]; k < groups.start[n + 1]; ++k) {
        const int64_t r = groups.order[size_t(k)];
        const int8_t own = fileState[size_t(r)];
        if ((own == kNoItem ? visit.inherited : own) != 1) continue;
        if (!havePath) {
          path = nodes.GetNodePath(visit.node);
          havePath = true;
        }
        checked.push_back({path + files.Name(r), quillon::ToDecimal16(uint64_t(files.Record(r).dataLength)), r});
      }
      continue;
    }
    // A damaged result may link a node twice; it is walked once.
    if (visited[n]) continue;
    visited[n] = true;
    const int8_t state = nodeState[n] == kNoItem ? visit.inherited : nodeState[n];
    stack.push_back({visit.node, state, true});
    const std::vector<int64_t> chain = nodes.ChildChain(visit.node);
    // Pushed in reverse, so that the chain's first child is walked first.
    for (auto c = chain.rbegin(); c != chain.rend(); ++c) stack.push_back({*c, state, false});
  }
  return checked;
}
