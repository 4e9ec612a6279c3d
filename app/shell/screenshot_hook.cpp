#include "shell/screenshot_hook.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

#include "dialogs/auto_open_prompt.h"
#include "list/file_list_ctrl.h"
#include "list/file_list_view.h"
#include "tree/check_tree_ctrl.h"
#include "shell/command_ids.h"
#include "tree/folder_tree_items.h"
#include "list/file_list_ctrl.h"
#include "notify.h"
#include "system/window_messages.h"
#include "shell/main_frame.h"
#include "save/save_recovered_dlg.h"
#include <QLineEdit>
#include "system/process_exit.h"
#include "scanner.h"
#include "search/search_dlg.h"

namespace {

// Time for the window to draw the opened folder before the picture.
constexpr int kSettleMs = 1500;
constexpr int kPollMs = 50;

void Shoot(const QString& path) {
  QScreen* screen = QGuiApplication::primaryScreen();
  const bool saved = screen && screen->grabWindow(0).save(path, "PNG");
  std::fprintf(stderr, saved ? "Screenshot saved: %s\n" : "Screenshot failed: %s\n", qPrintable(path));
  ExitProcessNow(saved ? 0 : 1);
}

// The nodes from a child of the root down to the first node named name
// (depth first, in chain order); empty when there is none.
std::vector<int64_t> PathToNode(const bkf& scanner, const std::u16string& name) {
  std::vector<int64_t> path;
  std::function<bool(int64_t)> find = [&](int64_t node) {
    for (int64_t child : scanner.m_tree.ChildChain(node)) {
      path.push_back(child);
      if (scanner.m_tree.Name(child) == name || find(child)) return true;
      path.pop_back();
    }
    return false;
  };
  find(0);
  return path;
}

QTreeWidgetItem* ItemOfNode(const CCheckTreeCtrl& tree, QTreeWidgetItem* parent, int64_t node) {
  const int count = parent ? parent->childCount() : tree.topLevelItemCount();
  for (int i = 0; i < count; ++i) {
    QTreeWidgetItem* item = parent ? parent->child(i) : tree.topLevelItem(i);
    const TreeItemData data = tree.GetItemData(item);
    if (data.kind == kNodeItemKind && data.index == node) return item;
  }
  return nullptr;
}

// Picks each folder on the way as a user would: populated, listed, opened.
void OpenFolder(CMainFrame& frame, const QString& name) {
  const bkf* scanner = frame.Scanner();
  if (!scanner || name.isEmpty()) return;
  CCheckTreeCtrl* tree = frame.TreeCtrl();
  QTreeWidgetItem* item = nullptr;
  for (int64_t node : PathToNode(*scanner, name.toStdU16String())) {
    item = ItemOfNode(*tree, item, node);
    if (!item) return;
    tree->SelectItem(item);
    frame.OnTreeSelect(0, reinterpret_cast<intptr_t>(item));
    item->setExpanded(true);
  }
}

// Saves the checked files into saveTo through the "Save recovered file(s)"
// window, then takes the picture with the window in front.
void SaveThenShoot(CMainFrame* frame, const QString& shot, const QString& saveTo) {
  auto* dialog = new CSaveRecoveredDlg(*frame, frame->GetCheckedFiles());
  dialog->show();
  dialog->DestinationEdit()->setText(saveTo);
  dialog->StartSaveJob();
  auto* poll = new QTimer(frame);
  QObject::connect(poll, &QTimer::timeout, frame, [frame, poll, shot, dialog] {
    if (dialog->JobRunning()) return;
    poll->stop();
    poll->deleteLater();
    QTimer::singleShot(kSettleMs, frame, [shot] { Shoot(shot); });
  });
  poll->start(kPollMs);
}

// The search window over the result, shown beside the main window, with a
// search for pattern run to its end.
void SearchThenShoot(CMainFrame* frame, const QString& shot, const QString& pattern) {
  auto* window = new CTarvelDlgSearchBkfFiles(*frame, AppState(), frame);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  window->PatternEdit()->setText(pattern);
  window->OnSearch();
  auto* poll = new QTimer(frame);
  QObject::connect(poll, &QTimer::timeout, frame, [window, poll, shot] {
    if (window->WorkerRunning()) return;
    poll->stop();
    poll->deleteLater();
    QTimer::singleShot(kSettleMs, window, [shot] { Shoot(shot); });
  });
  poll->start(kPollMs);
}

// Clicks the list row of the file named name, as a user previews it.
// Returns whether there was such a row.
bool PreviewFile(CMainFrame& frame, const QString& name) {
  CTarvelRightViewListCtrl* list = frame.View() ? frame.View()->FileList() : nullptr;
  if (!list || name.isEmpty()) return false;
  for (int row = 0; row < list->GetItemCount(); ++row) {
    if (list->GetItemText(row, 0) == name) {
      frame.WindowProc(UM_SHOW_PREVIEW, uintptr_t(row), 0);
      return true;
    }
  }
  return false;
}

void ScanThenShoot(CMainFrame* frame, const QString& shot, const QString& folder) {
  frame->OnCommand(ID_FILE_OPEN_BKF);
  // QUILLON_SCREENSHOT_DURING_SCAN: the picture of a scan still running, with
  // the status-bar elements of the process (a long backup gives time).
  if (qEnvironmentVariableIsSet("QUILLON_SCREENSHOT_DURING_SCAN")) {
    QTimer::singleShot(kSettleMs, frame, [shot] { Shoot(shot); });
    return;
  }
  auto* poll = new QTimer(frame);
  const QString preview = qEnvironmentVariable("QUILLON_SCREENSHOT_PREVIEW");
  QObject::connect(poll, &QTimer::timeout, frame, [frame, poll, shot, folder, preview] {
    if (frame->ScanWorkerRunning()) return;
    poll->stop();
    poll->deleteLater();
    OpenFolder(*frame, folder);
    // A previewed page needs a moment longer to load and draw.
    const int settle = PreviewFile(*frame, preview) ? 3 * kSettleMs : kSettleMs;
    const QString saveTo = qEnvironmentVariable("QUILLON_SCREENSHOT_SAVE_TO");
    if (!saveTo.isEmpty()) {
      SaveThenShoot(frame, shot, saveTo);
      return;
    }
    const QString search = qEnvironmentVariable("QUILLON_SCREENSHOT_SEARCH");
    if (!search.isEmpty()) {
      SearchThenShoot(frame, shot, search);
      return;
    }
    QTimer::singleShot(settle, frame, [shot] { Shoot(shot); });
  });
  poll->start(kPollMs);
}

}  // namespace

void ArmScreenshotHook(CMainFrame* frame) {
  const QString path = qEnvironmentVariable("QUILLON_SCREENSHOT");
  if (path.isEmpty()) return;
  bool ok = false;
  int delay = qEnvironmentVariableIntValue("QUILLON_SCREENSHOT_DELAY_MS", &ok);
  if (!ok || delay < 0) delay = 3500;
  const QString open = qEnvironmentVariable("QUILLON_SCREENSHOT_OPEN");
  if (open.isEmpty() || !frame) {
    QTimer::singleShot(delay, qApp, [path] { Shoot(path); });
    return;
  }
  static AutoOpenPrompt prompt;
  prompt.SetPath(open);
  SetPrompt(&prompt);
  const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_FOLDER");
  QTimer::singleShot(delay, frame, [frame, path, folder] { ScanThenShoot(frame, path, folder); });
}
