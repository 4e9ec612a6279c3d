#pragma once
// Shared pieces of the folder-tree tests: a recorder of the tree's messages,
// a standalone check-box tree built from paths, and scan results put into the
// main window as the scan worker leaves them.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "bkf_writer.h"
#include "tree/check_tree_ctrl.h"
#include "notify.h"
#include "system/window_messages.h"

class CMainFrame;
class bkf;

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* out) {
  *out << '{';
  for (const QString& text : texts) *out << ' ' << '"' << text.toStdString() << '"';
  *out << " }";
}

namespace gui_testing {

// Records what a check-box tree sends, with the items' labels.
class TreeRecorder : public INotifyTarget {
 public:
  struct Message {
    uint32_t id;
    uintptr_t wParam;
    intptr_t lParam;
    QTreeWidgetItem* item;              // the item the message names
    std::optional<QString> renameText;  // UM_TREE_RENAME: the edited text
  };

  explicit TreeRecorder(CCheckTreeCtrl* tree) : m_tree(tree) {}
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    SendMessage(message, wParam, lParam);
  }
  MsgResult MessageBox(const std::u16string&, const std::u16string&, MsgButtons, MsgIcon) override {
    return MsgResult::Ok;
  }

  // The messages of one kind.
  std::vector<Message> Of(uint32_t id) const;
  // "label=state" of every UM_TREE_CHECK, in order.
  QStringList CheckReports() const;

  std::vector<Message> messages;

 private:
  CCheckTreeCtrl* m_tree;
  QMap<QTreeWidgetItem*, QString> m_labels;  // labels seen, for items deleted since
};

// A shown check-box tree whose items are named by paths ("F/A/a1").
class TreeBench {
 public:
  TreeBench();
  ~TreeBench();
  // Adds an item under the item of the path's parent (last among its siblings).
  QTreeWidgetItem* Add(const QString& path);
  QTreeWidgetItem* operator[](const QString& label) const;
  // "checked", "partly" or "unchecked" as the box of the item shows.
  QString Box(const QString& label) const;

  std::unique_ptr<CCheckTreeCtrl> tree;
  std::unique_ptr<TreeRecorder> recorder;

 private:
  QMap<QString, QTreeWidgetItem*> m_items;
};

QString AppearanceName(CheckAppearance appearance);

// A small backup: tape "Media 1", set "SET 1 :Daily", volume "C:" with a file in its
// root folder, folders "Docs" (two files, a sub-folder "Letters" with one
// file), "Empty" (no files) and "Pics" (one picture), in that order, so the
// volume's chain is Pics, Empty, Docs.
fixture::BkfWriter SmallBackup();

// Scans the fixture and makes its result the main window's current one with
// its first tree level, as the scan worker leaves it (the running flag is 1
// while the level is filled).
void LoadResult(CMainFrame& frame, const fixture::BkfWriter& backup);
// The same with a result built some other way.
void LoadResult(CMainFrame& frame, std::unique_ptr<bkf> scanner);

// The labels of an item's children, in tree order.
QStringList ChildLabels(const CCheckTreeCtrl& tree, const QTreeWidgetItem* item);
// The item reached from the top level by labels.
QTreeWidgetItem* ItemByPath(const CCheckTreeCtrl& tree, const QStringList& labels);

}  // namespace gui_testing
