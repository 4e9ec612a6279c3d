// The snapshot commands of the window: saving and loading a scan result, the
// refusals of a moved backup and a damaged snapshot, a snapshot of an
// Advanced scan, and snapshot files that cannot be written or are pipes.

#include <QRegularExpression>
#include <QTest>
#include <fstream>
#include <sys/stat.h>

#include "gui_test_support.h"
#include <QLineEdit>
#include <QCheckBox>
#include <QPushButton>
#include "search/search_dlg.h"
#include "search/search_result_list.h"
#include "list/file_list_ctrl.h"
#include "log/output_pane.h"
#include "scanner_advance.h"
#include "shell/command_ids.h"
#include "shell/main_frame.h"
#include "snapshot/snapshot_commands.h"
#include "test_support.h"
#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_pane.h"
#include "tree_test_support.h"

using namespace gui_testing;
namespace fs = std::filesystem;

namespace {

const QString kStamp = QStringLiteral("[A-Z][a-z]{2}-\\d{2}-\\d{4}\\(\\d{2}-\\d{2}-\\d{2}-[AP]M\\)");

class SnapshotCommandsTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder = PrivateRoot() / "snapshots";
    fs::remove_all(folder);
    fs::create_directories(folder);
    bkfPath = folder / "small.bkf";
    SmallBackup().WriteTo(bkfPath);
  }
  // Scans the backup file (Standard or Advanced) into the window.
  void Scan(bool advanced = false) {
    std::unique_ptr<bkf> scanner = advanced ? std::make_unique<bkfAdvance>() : std::make_unique<bkf>();
    AppState().m_bProcessRunning.store(1);
    ASSERT_EQ(scanner->Scan(bkfPath), 1);
    AppState().m_bProcessRunning.store(0);
    LoadResult(*frame, std::move(scanner));
  }
  QString SaveAs(const fs::path& path) {
    prompt().fileNames.push_back(QString::fromStdString(path.string()));
    frame->OnCommand(ID_SAVE_SNAPSHOT);
    return QString::fromStdString(path.string());
  }
  void LoadFrom(const fs::path& path) {
    prompt().fileNames.push_back(QString::fromStdString(path.string()));
    frame->OnCommand(ID_LOAD_SNAPSHOT);
  }
  QStringList Log() const { return frame->OutputWnd()->LogLines(); }
  QStringList TopLevel() const { return ChildLabels(*frame->TreeCtrl(), nullptr); }

  fs::path folder;
  fs::path bkfPath;
};

// Node and record images (names apart) and names of two results.
void ExpectSameResult(const bkf& a, const bkf& b) {
  ASSERT_EQ(a.m_tree.Count(), b.m_tree.Count());
  ASSERT_EQ(a.m_files.Count(), b.m_files.Count());
  for (int64_t i = 0; i < a.m_tree.Count(); ++i) {
    TreeNode x = a.m_tree.Node(i), y = b.m_tree.Node(i);
    x.name = y.name = 0;
    x.shownInTree = y.shownInTree = 0;  // the window marks the first level as shown
    EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << "node " << i;
    EXPECT_EQ(a.m_tree.Name(i), b.m_tree.Name(i));
  }
  for (int64_t i = 0; i < a.m_files.Count(); ++i) {
    FoundFileRecord x = a.m_files.Record(i), y = b.m_files.Record(i);
    x.name = y.name = 0;
    EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << "record " << i;
    EXPECT_EQ(a.m_files.Name(i), b.m_files.Name(i));
  }
}

TEST_F(SnapshotCommandsTest, SavedAndLoadedResultIsTheSameTreeAndCanBeBrowsed) {
  Scan();
  const QStringList scannedTop = TopLevel();
  const fs::path snap = folder / "small.QUILLONMOSSEL";
  const QString shown = SaveAs(snap);
  ASSERT_EQ(prompt().fileRequests.size(), 1u);
  const FileDialogRequest& request = prompt().fileRequests[0];
  EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
  EXPECT_EQ(request.defaultExtension, QStringLiteral("QUILLONMOSSEL"));
  EXPECT_EQ(request.filter, QStringLiteral(".MosselBKF Files (*.QUILLONMOSSEL)|*QUILLONMOSSEL||"));
  EXPECT_TRUE(request.confirmOverwrite);
  EXPECT_TRUE(prompt().Texts().isEmpty());
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  QStringList log = Log();
  ASSERT_GE(log.size(), 3);
  EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(shown) +
                                 " file is saving for Quillon Recovery Snapshot\\.    " + kStamp + "$")
                  .match(log[log.size() - 4]).hasMatch()) << log[log.size() - 4].toStdString();
  EXPECT_TRUE(QRegularExpression("^Saving of Quillon Recovery Snapshot has been completed successfully\\.    " + kStamp + "$")
                  .match(log[log.size() - 2]).hasMatch());
  EXPECT_EQ(frame->OutputWnd()->Tabs()->currentIndex(), COutputWnd::kLogTab);

  // A fresh program: nothing scanned. The snapshot brings the result back.
  auto scanned = std::make_unique<bkf>();
  AppState().m_bProcessRunning.store(1);
  ASSERT_EQ(scanned->Scan(bkfPath), 1);
  AppState().m_bProcessRunning.store(0);
  frame->ClearScanResult();
  frame->OutputWnd()->ClearLog();
  prompt().Clear();
  LoadFrom(snap);
  ASSERT_EQ(prompt().fileRequests.size(), 1u);
  EXPECT_EQ(prompt().fileRequests[0].mode, FileDialogRequest::Mode::Open);
  EXPECT_TRUE(prompt().fileRequests[0].fileMustExist);
  EXPECT_TRUE(prompt().Texts().isEmpty()) << prompt().Texts().join('|').toStdString();
  ASSERT_NE(frame->Scanner(), nullptr);
  ExpectSameResult(*scanned, *frame->Scanner());
  EXPECT_EQ(TopLevel(), scannedTop);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_EQ(AppState().m_strBkfFilePath, bkfPath.u16string());
  log = Log();
  ASSERT_EQ(log.size(), 5);
  EXPECT_EQ(log[0], QString());
  EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(shown) +
                                 " File is selected for BKF Load Recovery Snapshot\\.     " + kStamp + "$")
                  .match(log[1]).hasMatch()) << log[1].toStdString();
  EXPECT_EQ(log[3], QStringLiteral("BKF file name:  ") + QString::fromStdString(bkfPath.string()));
  EXPECT_TRUE(QRegularExpression("^Loading of BKF file snapshot has been completed\\.     " + kStamp + "$")
                  .match(log[4]).hasMatch());

  // Browsed as after a scan: the top item opens into its sets, a folder lists its files.
  CCheckTreeCtrl* tree = frame->TreeCtrl();
  QTreeWidgetItem* top = tree->topLevelItem(0);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(ChildLabels(*tree, top), QStringList{QStringLiteral("Dummy")});
  EXPECT_EQ(tree->GetCheck(top), 1);
  frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(top));
  EXPECT_EQ(ChildLabels(*tree, top), QStringList{QStringLiteral("SET 1 :Daily")});
  QTreeWidgetItem* volume = ItemByPath(*tree, {QStringLiteral("Media 1"), QStringLiteral("SET 1 :Daily")});
  ASSERT_NE(volume, nullptr);
  frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(volume));
  QTreeWidgetItem* c = ItemByPath(*tree, {QStringLiteral("Media 1"), QStringLiteral("SET 1 :Daily"), QStringLiteral("C:")});
  ASSERT_NE(c, nullptr);
  frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(c));
  QStringList listed;
  for (int i = 0; i < frame->ListCtrl()->GetItemCount(); ++i) listed << frame->ListCtrl()->GetItemText(i, 0);
  EXPECT_TRUE(listed.contains(QStringLiteral("boot.ini"))) << listed.join('|').toStdString();
  // The loaded scanner has the backup open for extraction.
  EXPECT_TRUE(frame->Scanner()->m_file.IsOpen());
}

TEST_F(SnapshotCommandsTest, FilesAreSavedFromALoadedSnapshotWithoutScanning) {
  Scan();
  const fs::path snap = folder / "again.QUILLONMOSSEL";
  SaveAs(snap);
  frame->ClearScanResult();
  LoadFrom(snap);
  ASSERT_NE(frame->Scanner(), nullptr);
  const fs::path out = folder / "saved";
  fs::create_directories(out);
  prompt().Clear();
  prompt().dialogScripts.push_back([&](QDialog& dialog) {
    auto* w = qobject_cast<CTarvelDlgSearchBkfFiles*>(&dialog);
    if (!w) return int(QDialog::Rejected);
    w->PatternEdit()->setText(QStringLiteral("*.*"));
    w->SearchButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->WorkerRunning(); }, 20000));
    EXPECT_EQ(w->ResultList()->GetItemCount(), 5);
    w->DestinationEdit()->setText(QString::fromStdString(out.string()));
    w->HierarchyCheck()->setChecked(false);
    w->SaveButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->WorkerRunning(); }, 20000));
    return int(QDialog::Accepted);
  });
  frame->OnCommand(ID_SEARCH_FILES);
  std::ifstream in(out / "boot.ini", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[boot loader]\r\n");
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out)) ++files;
  EXPECT_EQ(files, 5u);
}

TEST_F(SnapshotCommandsTest, AMovedBackupIsRefusedAndThePreviousResultIsGone) {
  Scan();
  const fs::path snap = folder / "moved.QUILLONMOSSEL";
  SaveAs(snap);
  fs::rename(bkfPath, folder / "elsewhere.bkf");
  prompt().Clear();
  LoadFrom(snap);
  ASSERT_EQ(prompt().shown.size(), 2u);
  EXPECT_EQ(prompt().shown[0].text, QStringLiteral("file cannot opened."));
  EXPECT_EQ(prompt().shown[0].caption, QString());
  EXPECT_EQ(prompt().shown[0].icon, MsgIcon::None);
  EXPECT_EQ(prompt().shown[1].text, QStringLiteral("Snapshot loading process aborted."));
  EXPECT_EQ(prompt().shown[1].caption, QStringLiteral("Corvane Quillon Repair v22.0"));
  EXPECT_EQ(frame->Scanner(), nullptr);
  EXPECT_EQ(frame->TreeCtrl()->topLevelItemCount(), 0);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
}

TEST_F(SnapshotCommandsTest, DamagedOrMissingSnapshotsAreRefused) {
  Scan();
  const fs::path snap = folder / "cut.QUILLONMOSSEL";
  SaveAs(snap);
  // Cut inside the record section: 20 bytes short of its end.
  fs::resize_file(snap, fs::file_size(snap) - 20);
  const fs::path fifo = folder / "pipe.QUILLONMOSSEL";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const fs::path& path : {snap, fifo, folder / "none.QUILLONMOSSEL", folder}) {
    Scan();
    prompt().Clear();
    LoadFrom(path);
    EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Snapshot loading process aborted.")}) << path;
    EXPECT_EQ(frame->Scanner(), nullptr);
    EXPECT_EQ(frame->TreeCtrl()->topLevelItemCount(), 0);
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  }
}

TEST_F(SnapshotCommandsTest, ASnapshotOfAnAdvancedScanLoadsIntoAStandardScanner) {
  Scan(true);
  ASSERT_NE(dynamic_cast<bkfAdvance*>(frame->Scanner()), nullptr);
  const QStringList top = TopLevel();
  const fs::path snap = folder / "advanced.QUILLONMOSSEL";
  SaveAs(snap);
  LoadFrom(snap);
  ASSERT_NE(frame->Scanner(), nullptr);
  EXPECT_EQ(dynamic_cast<bkfAdvance*>(frame->Scanner()), nullptr);
  EXPECT_EQ(TopLevel(), top);
  EXPECT_EQ(frame->Scanner()->m_files.Count(), 5);
}

TEST_F(SnapshotCommandsTest, ASnapshotThatCannotBeWrittenIsNamedOnce) {
  Scan();
  const fs::path fifo = folder / "pipe.QUILLONMOSSEL";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    fs::path path;
    QString reason;
  };
  for (const Case& c : {Case{folder / "no-such-folder" / "s.QUILLONMOSSEL", QStringLiteral("No such file or directory")},
                        Case{fifo, QStringLiteral("it is not a regular file")},
                        Case{folder, QStringLiteral("it is a folder")}}) {
    prompt().Clear();
    frame->OutputWnd()->ClearLog();
    const QString shown = SaveAs(c.path);
    const QString text = QStringLiteral("Recovery snapshot cannot be saved to ") + shown + QStringLiteral(": ") +
                         c.reason + QStringLiteral(".");
    EXPECT_EQ(prompt().Texts(), QStringList{text});
    const QStringList log = Log();
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[2].startsWith(text + QStringLiteral("    "))) << log[2].toStdString();
    EXPECT_FALSE(log.join('|').contains(QStringLiteral("completed successfully")));
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  }
  // The result stays as it was.
  EXPECT_EQ(TopLevel(), QStringList{QStringLiteral("Media 1")});
}

TEST_F(SnapshotCommandsTest, CancelledDialogsChangeNothing) {
  Scan();
  frame->OutputWnd()->ClearLog();
  frame->OnCommand(ID_SAVE_SNAPSHOT);
  frame->OnCommand(ID_LOAD_SNAPSHOT);
  EXPECT_EQ(prompt().fileRequests.size(), 2u);
  EXPECT_TRUE(prompt().Texts().isEmpty());
  EXPECT_TRUE(Log().isEmpty());
  EXPECT_NE(frame->Scanner(), nullptr);
  EXPECT_EQ(TopLevel(), QStringList{QStringLiteral("Media 1")});
}

}  // namespace
