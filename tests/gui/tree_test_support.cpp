#include "tree_test_support.h"

#include <QCoreApplication>

#include "app_state.h"
#include "shell/main_frame.h"
#include "test_support.h"

namespace gui_testing {

intptr_t TreeRecorder::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Message m{message, wParam, lParam, nullptr, std::nullopt};
  if (message == UM_TREE_CHECK) {
    m.item = reinterpret_cast<QTreeWidgetItem*>(wParam);
  } else if (message == UM_TREE_RENAME) {
    const auto* end = reinterpret_cast<const TreeLabelEditEnd*>(wParam);
    m.item = end->item;
    m.renameText = end->text;
  } else {
    m.item = reinterpret_cast<QTreeWidgetItem*>(lParam);
  }
  if (m.item) m_labels[m.item] = m_tree->GetItemText(m.item);
  messages.push_back(m);
  return 1;
}

std::vector<TreeRecorder::Message> TreeRecorder::Of(uint32_t id) const {
  std::vector<Message> found;
  for (const Message& m : messages)
    if (m.id == id) found.push_back(m);
  return found;
}

QStringList TreeRecorder::CheckReports() const {
  QStringList reports;
  for (const Message& m : Of(UM_TREE_CHECK))
    reports << m_labels.value(m.item) + QLatin1Char('=') + QString::number(m.lParam);
  return reports;
}

TreeBench::TreeBench() : tree(std::make_unique<CCheckTreeCtrl>()) {
  recorder = std::make_unique<TreeRecorder>(tree.get());
  tree->SetNotifyTarget(recorder.get());
  tree->resize(320, 400);
  tree->show();
  QCoreApplication::processEvents();
}

TreeBench::~TreeBench() { tree->SetNotifyTarget(nullptr); }

QTreeWidgetItem* TreeBench::Add(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  // Items are known by their labels: the parent is the last label before this one.
  const QString parentPath = slash < 0 ? QString() : path.left(slash);
  const QString parentLabel = parentPath.mid(parentPath.lastIndexOf(QLatin1Char('/')) + 1);
  QTreeWidgetItem* parent = slash < 0 ? nullptr : m_items.value(parentLabel);
  const QString label = path.mid(slash + 1);
  QTreeWidgetItem* item = tree->InsertItem(label, 0, 0, parent);
  m_items[label] = item;
  return item;
}

QTreeWidgetItem* TreeBench::operator[](const QString& label) const { return m_items.value(label); }

QString TreeBench::Box(const QString& label) const { return AppearanceName(tree->GetCheckAppearance((*this)[label])); }

QString AppearanceName(CheckAppearance appearance) {
  switch (appearance) {
    case CheckAppearance::Checked: return QStringLiteral("checked");
    case CheckAppearance::PartlyChecked: return QStringLiteral("partly");
    case CheckAppearance::Unchecked: break;
  }
  return QStringLiteral("unchecked");
}

fixture::BkfWriter SmallBackup() {
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"");
  w.File(u"boot.ini", "[boot loader]\r\n");
  w.Dirb(u"Docs");
  w.File(u"report.txt", "quarterly report\r\n");
  w.File(u"notes.doc", "notes");
  w.Dirb(u"Docs\\Letters");
  w.File(u"letter.txt", "Dear Sir,\r\n");
  w.Dirb(u"Empty");
  w.Dirb(u"Pics");
  w.File(u"photo.jpg", "not really a picture");
  w.Marker("ESET");
  return w;
}

void LoadResult(CMainFrame& frame, const fixture::BkfWriter& backup) {
  std::unique_ptr<testing_support::ScanOutcome> scan = testing_support::ScanBytes(backup.Data());
  LoadResult(frame, std::move(scan->scanner));
}

void LoadResult(CMainFrame& frame, std::unique_ptr<bkf> scanner) {
  scanner->m_hNotifyWnd = &frame;
  frame.SetScanner(std::move(scanner));
  AppState().m_bProcessRunning.store(1);
  frame.FillFirstTreeLevel();
  AppState().m_bProcessRunning.store(0);
}

QStringList ChildLabels(const CCheckTreeCtrl& tree, const QTreeWidgetItem* item) {
  QStringList labels;
  if (!item) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i) labels << tree.GetItemText(tree.topLevelItem(i));
    return labels;
  }
  for (int i = 0; i < item->childCount(); ++i) labels << tree.GetItemText(item->child(i));
  return labels;
}

QTreeWidgetItem* ItemByPath(const CCheckTreeCtrl& tree, const QStringList& labels) {
  QTreeWidgetItem* at = nullptr;
  for (const QString& label : labels) {
    QTreeWidgetItem* next = nullptr;
    const int count = at ? at->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < count && !next; ++i) {
      QTreeWidgetItem* child = at ? at->child(i) : tree.topLevelItem(i);
      if (tree.GetItemText(child) == label) next = child;
    }
    if (!next) return nullptr;
    at = next;
  }
  return at;
}

}  // namespace gui_testing
