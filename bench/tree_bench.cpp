// The folder tree and the file list with one folder of 100 000 files: the
// time to populate it and list it (first pick), to list it again from its
// items, to populate one by its expand button, and the memory the tree items
// and the list rows add per file. Runs in the real main window, offscreen
// unless a display is asked for.

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <cstdio>
#include <memory>
#include <string>

#include "shell/app_settings.h"
#include "app_state.h"
#include "bench_support.h"
#include "tree/check_tree_ctrl.h"
#include "gui_bench_support.h"
#include "tree/folder_tree_pane.h"
#include "shell/main_frame.h"
#include "list/file_list_ctrl.h"
#include "scanner.h"

namespace {

constexpr int64_t kFiles = 100000;
constexpr const char16_t* kExtensions[] = {u".txt", u".jpg", u".doc", u".pdf", u".dat", u".cpp", u".html", u".zip"};

// ROOT > Media > SET > C: > {Pick, Open}, each folder with kFiles files.
std::unique_ptr<bkf> BigResult() {
  auto scanner = std::make_unique<bkf>();
  CTarvelBKFTreeVectorClass& tree = scanner->m_tree;
  const int64_t media = tree.AddNode(u"Media 1", 0);
  const int64_t set = tree.AddNode(u"SET 1 :Daily", media);
  const int64_t volume = tree.AddNode(u"C:", set);
  for (const char16_t* folderName : {u"Open", u"Pick"}) {
    const int64_t folder = tree.AddNode(folderName, volume);
    tree.Node(folder).firstFile = scanner->m_files.Count();
    for (int64_t i = 0; i < kFiles; ++i) {
      FoundFileRecord r = NewFoundFileRecord();
      r.parent = folder;
      r.kind = kFileKind;
      r.index = scanner->m_files.Count();
      r.dataPosition = 1024 * uint64_t(i + 1);
      r.dataLength = uint64_t(i % 5000);
      std::string digits = std::to_string(i);
      std::u16string name = u"document-" + std::u16string(digits.begin(), digits.end()) +
                            kExtensions[size_t(i) % std::size(kExtensions)];
      scanner->m_files.Append(r, std::move(name));
    }
    tree.Node(folder).lastFile = scanner->m_files.Count() - 1;
  }
  return scanner;
}

QTreeWidgetItem* Child(CCheckTreeCtrl* tree, QTreeWidgetItem* parent, const QString& label) {
  for (int i = 0; i < parent->childCount(); ++i)
    if (tree->GetItemText(parent->child(i)) == label) return parent->child(i);
  return nullptr;
}

// The handler of a pick, then the window laid out and drawn.
double PickSeconds(CMainFrame& frame, QTreeWidgetItem* item) {
  return bench::Seconds([&] {
    frame.TreeCtrl()->SelectItem(item);
    frame.OnTreeSelect(0, reinterpret_cast<intptr_t>(item));
    QApplication::processEvents();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  bench::UsePrivateHome(home);
  QApplication app(argc, argv);

  ApplicationState state;
  SetAppState(&state);
  AppSettings settings;
  CMainFrame frame(state, settings);
  if (!bench::ShowMainFrame(frame, QSize(1280, 800))) return 1;

  frame.SetScanner(BigResult());
  frame.FillFirstTreeLevel();
  CCheckTreeCtrl* tree = frame.TreeCtrl();
  QTreeWidgetItem* at = tree->topLevelItem(0);
  for (const char* label : {"SET 1 :Daily", "C:"}) {
    PickSeconds(frame, at);
    at->setExpanded(true);
    at = Child(tree, at, QString::fromLatin1(label));
  }
  PickSeconds(frame, at);
  QTreeWidgetItem* volume = at;
  QApplication::processEvents();

  std::printf("Folder tree and file list, one folder of %lld files\n", static_cast<long long>(kFiles));

  // Opened by its expand button: tree items only.
  QTreeWidgetItem* opened = Child(tree, volume, QStringLiteral("Open"));
  double before = bench::ResidentMiB();
  const double openSeconds = bench::Seconds([&] {
    opened->setExpanded(true);
    tree->SelectItem(opened);
    frame.OnTreeExpand(0, 0);
    QApplication::processEvents();
  });
  const double treeBytes = (bench::ResidentMiB() - before) * 1024 * 1024 / double(kFiles);
  std::printf("  populate by the expand button:   %7.3f s  (%d items)\n", openSeconds, opened->childCount());
  std::printf("  tree items, memory per file:     %7.0f bytes\n", treeBytes);

  // Picked: populated and listed.
  QTreeWidgetItem* picked = Child(tree, volume, QStringLiteral("Pick"));
  before = bench::ResidentMiB();
  const double pickSeconds = PickSeconds(frame, picked);
  const double pickBytes = (bench::ResidentMiB() - before) * 1024 * 1024 / double(kFiles);
  std::printf("  populate and list (first pick):  %7.3f s  (%d rows)\n", pickSeconds,
              frame.ListCtrl()->GetItemCount());
  std::printf("  tree items and rows, per file:   %7.0f bytes\n", pickBytes);

  const double relistSeconds = PickSeconds(frame, picked);
  std::printf("  list again from the items:       %7.3f s\n", relistSeconds);

  const double checkSeconds = bench::Seconds([&] {
    tree->SetCheck(picked, 0);
    tree->SetCheck(picked, 1);
    QApplication::processEvents();
  });
  std::printf("  uncheck and check the folder:    %7.3f s\n", checkSeconds);

  size_t checkedFiles = 0;
  const double walkSeconds = bench::Seconds([&] { checkedFiles = frame.GetCheckedFiles().size(); });
  std::printf("  checked files for saving:        %7.3f s  (%zu files)\n", walkSeconds, checkedFiles);

  const double clearSeconds = bench::Seconds([&] {
    frame.ClearScanResult();
    QApplication::processEvents();
  });
  std::printf("  clear the result:                %7.3f s\n", clearSeconds);

  bench::PrintGoal("populate and list 100 000 files (s)", pickSeconds, "<", 1.0);
  std::fflush(stdout);
  SetAppState(nullptr);
  return 0;
}
