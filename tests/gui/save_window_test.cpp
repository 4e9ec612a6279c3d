// The "Save recovered file(s)" window: the Save command and its refusals, a
// whole job in the hierarchy and flat with its log lines, the start checks,
// the extractor's questions (a declined file, the next parts of a split
// backup), Stop and closing, and a full disk.
#include <sys/mount.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>

#include "app_state.h"
#include "gui_test_support.h"
#include "log/output_pane.h"
#include "save/save_recovered_dlg.h"
#include "sample_content.h"
#include "save_log.h"
#include "split_backup.h"
#include "test_support.h"
#include "tree/folder_tree_pane.h"
#include "tree_test_support.h"

using namespace gui_testing;
using fixture::Bytes;

namespace {

Bytes ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

QStringList SavedPaths(const QStringList& log) {
  QStringList paths;
  for (const QString& line : log)
    if (line.endsWith(" File saved.")) paths << line.chopped(int(qstrlen(" File saved.")));
  return paths;
}

class SaveWindowTest : public FrameTest {
 protected:
  // Runs the Save command; `drive` works the window while it is open.
  void RunSave(const std::function<void(CSaveRecoveredDlg&)>& drive) {
    prompt().dialogScripts.push_back([drive](QDialog& d) {
      drive(static_cast<CSaveRecoveredDlg&>(d));
      return int(QDialog::Rejected);
    });
    frame->OnSaveRecovered();
  }
  // Types the destination, sets the hierarchy box, presses Save and waits for the job to end.
  static void SaveInto(CSaveRecoveredDlg& d, const QString& destination, bool hierarchy) {
    d.DestinationEdit()->setText(destination);
    d.HierarchyCheck()->setChecked(hierarchy);
    d.SaveButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.JobRunning(); }, 60000));
  }
  static void ExpectIdleLayout(const CSaveRecoveredDlg& d) {
    EXPECT_FALSE(d.CloseButton()->isHidden());
    EXPECT_TRUE(d.StopButton()->isHidden());
    EXPECT_TRUE(d.ProgressBar()->isHidden());
    EXPECT_TRUE(d.BusyLabel()->isHidden());
    EXPECT_TRUE(d.SaveButton()->isEnabled());
    EXPECT_TRUE(d.DestinationEdit()->isEnabled());
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  }
  QStringList Log() const { return frame->OutputWnd()->LogLines(); }

  testing_support::TempDir dir;
};

TEST_F(SaveWindowTest, SaveCommandRefusesThenOpensTheWindowWithTheCheckedFiles) {
  frame->OnSaveRecovered();
  AppState().m_bProcessRunning.store(1);
  frame->OnSaveRecovered();
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(prompt().Texts(), QStringList({kNoResultText, kBusySaveText}));

  LoadResult(*frame, fixture::DemoBackup());
  CCheckTreeCtrl* tree = frame->FileView()->Tree();
  for (int i = 0; i < tree->topLevelItemCount(); ++i) tree->SetCheck(tree->topLevelItem(i), 0);
  prompt().Clear();
  frame->OnSaveRecovered();
  EXPECT_EQ(prompt().Texts(), QStringList({kNothingCheckedText}));
  EXPECT_TRUE(prompt().dialogsRun.isEmpty());

  for (int i = 0; i < tree->topLevelItemCount(); ++i) tree->SetCheck(tree->topLevelItem(i), 1);
  size_t rows = 0;
  RunSave([&](CSaveRecoveredDlg& d) {
    rows = size_t(d.List()->topLevelItemCount());
    EXPECT_EQ(d.windowTitle(), "Save recovered file(s)");
    EXPECT_TRUE(d.HierarchyCheck()->isChecked());
    EXPECT_EQ(d.List()->headerItem()->text(2), "File Size(Bytes)");
    const QTreeWidgetItem* first = d.List()->topLevelItem(0);
    EXPECT_EQ(first->text(0), QString::fromStdU16String(d.Entries()[0].displayText));
    EXPECT_FALSE(first->text(1).isEmpty());
    EXPECT_FALSE(first->icon(0).isNull());
    ExpectIdleLayout(d);
    for (QWidget* w : d.findChildren<QWidget*>()) {
      if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w) || qobject_cast<QLineEdit*>(w)) {
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
      }
    }
  });
  EXPECT_EQ(prompt().dialogsRun, QStringList({"CSaveRecoveredDlg"}));
  EXPECT_EQ(rows, frame->GetCheckedFiles().size());
  EXPECT_EQ(rows, 9u);
}

TEST_F(SaveWindowTest, WholeJobInTheHierarchyThenFlat) {
  LoadResult(*frame, fixture::DemoBackup());
  const bkf& s = *frame->Scanner();
  const QString tree = QString::fromStdString((dir / "tree").string());
  const QString flat = QString::fromStdString((dir / "flat").string());
  std::filesystem::create_directories(dir / "tree");
  std::filesystem::create_directories(dir / "flat");
  RunSave([&](CSaveRecoveredDlg& d) {
    frame->OutputWnd()->ClearLog();
    SaveInto(d, tree, true);
    ExpectIdleLayout(d);
    EXPECT_FALSE(d.TotalLabel()->isHidden());
    EXPECT_EQ(d.CountLabel()->text(), "9");
    EXPECT_EQ(prompt().Texts(),
              QStringList({kLongNameNotice, "File(s) saving process has been completed. Saved file(s) location is:" + tree}));
    const QStringList log = Log();
    ASSERT_GE(log.size(), 4 + 27 + 3);
    EXPECT_EQ(log[0], "");
    EXPECT_TRUE(log[1].startsWith(" Saving process for recovered files starts.    "));
    EXPECT_EQ(log[2], "Number of files to be saved: 9");
    EXPECT_EQ(log[3], "");
    EXPECT_EQ(log[4], QString::fromStdU16String(s.m_files.Name(d.Entries()[0].record)) +
                          " saving...                      File Size(Bytes):  " +
                          QString::fromStdU16String(d.Entries()[0].sizeText));
    EXPECT_EQ(log[log.size() - 3], "Number of files saved: 9");
    EXPECT_TRUE(log.back().startsWith("Saving of recovered files has been completed, saving location is:  " + tree + "    "));
    const QStringList saved = SavedPaths(log);
    ASSERT_EQ(saved.size(), 9);
    for (int i = 0; i < 9; ++i) {
      EXPECT_TRUE(saved[i].startsWith(tree + "/Media created 12_10_2026 at 9_30 AM/"));
      EXPECT_TRUE(ReadBytes(saved[i].toStdString()) == testing_support::RecordContent(s, d.Entries()[size_t(i)].record));
    }

    // Flat, typed with a final separator: the location as typed.
    prompt().Clear();
    frame->OutputWnd()->ClearLog();
    SaveInto(d, flat + "/", false);
    EXPECT_EQ(prompt().Texts(),
              QStringList({"File(s) saving process has been completed. Saved file(s) location is:" + flat + "/"}));
    const QStringList flatSaved = SavedPaths(Log());
    ASSERT_EQ(flatSaved.size(), 9);
    for (int i = 0; i < 9; ++i) {
      EXPECT_EQ(std::filesystem::path(flatSaved[i].toStdString()).parent_path(), dir / "flat");
      EXPECT_TRUE(ReadBytes(flatSaved[i].toStdString()) ==
                  testing_support::RecordContent(s, d.Entries()[size_t(i)].record));
    }
  });
}

TEST_F(SaveWindowTest, StartChecksAndClosing) {
  LoadResult(*frame, fixture::DemoBackup());
  {
    CSaveRecoveredDlg empty(*frame, {});
    empty.DestinationEdit()->setText(QString::fromStdString(dir.Path().string()));
    empty.SaveButton()->click();
    EXPECT_EQ(prompt().Texts(), QStringList({"No file is present in the list to save."}));
  }
  prompt().Clear();
  CSaveRecoveredDlg d(*frame, frame->GetCheckedFiles());
  for (const QString& typed : {QString(), QString("   "), QString::fromStdString((dir / "missing").string())}) {
    d.DestinationEdit()->setText(typed);
    d.SaveButton()->click();
  }
  EXPECT_EQ(prompt().Texts(), QStringList(3, "Please select valid path to save recovered files."));
  EXPECT_FALSE(d.JobRunning());
  EXPECT_TRUE(Log().isEmpty());

  // The folder-browse dialog goes through the prompt layer.
  prompt().fileNames.push_back(QString::fromStdString(dir.Path().string()));
  d.BrowseButton()->click();
  ASSERT_EQ(prompt().fileRequests.size(), 1u);
  EXPECT_EQ(prompt().fileRequests[0].mode, FileDialogRequest::Mode::Folder);
  EXPECT_EQ(d.DestinationEdit()->text(), QString::fromStdString(dir.Path().string()));

  // Closing is refused while a process runs; Stop asks first.
  prompt().Clear();
  d.show();
  AppState().m_bProcessRunning.store(1);
  d.reject();
  EXPECT_TRUE(d.isVisible());
  d.close();
  EXPECT_TRUE(d.isVisible());
  d.OnStop();  // answered No
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 1);
  prompt().answers.push_back(MsgResult::Yes);
  d.OnStop();
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_EQ(prompt().Texts(), QStringList({kCloseWhileRunningText, kCloseWhileRunningText, kStopSaveQuestion,
                                           kStopSaveQuestion}));
  d.reject();
  EXPECT_FALSE(d.isVisible());
}

// A file whose data begins in an earlier part, declined: no saved line, an
// empty file on disk, and it counts.
TEST_F(SaveWindowTest, DeclinedFileIsCountedAndLeftEmpty) {
  fixture::BkfWriter w;
  w.Tape(u"Tape");
  w.Sset(1, u"Set");
  w.Volb(u"C:");
  w.Dirb(u"D");
  w.File(u"whole.txt", "whole");
  fixture::FileOptions continued;
  continued.stanAttributes = 1;
  w.File(u"rest.txt", "the rest", continued);
  LoadResult(*frame, w);
  RunSave([&](CSaveRecoveredDlg& d) {
    SaveInto(d, QString::fromStdString(dir.Path().string()), false);  // the question is answered No
    EXPECT_EQ(prompt().Texts()[0], "rest.txt" + QString::fromStdU16String(quillon::kStartsEarlierQuestion));
    EXPECT_EQ(prompt().shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(SavedPaths(Log()), QStringList({QString::fromStdString((dir / "whole.txt").string())}));
    EXPECT_TRUE(Log().contains("Number of files saved: 2"));
    EXPECT_TRUE(std::filesystem::exists(dir / "rest.txt"));
    EXPECT_EQ(std::filesystem::file_size(dir / "rest.txt"), 0u);
  });
}

// A split backup: Yes with a path that cannot be opened asks again; Yes
// with the right parts gives the whole file; No gives what part 1 holds.
TEST_F(SaveWindowTest, SplitBackupAsksForItsNextParts) {
  const Bytes big = fixture::BinaryContent(30000, 21);
  fixture::SplitBackupWriter w;
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Data");
  w.Part().File(u"filler.bin", fixture::BinaryContent(64 * 1024, 23));
  w.SplitFile(u"big.bin", big, {10002, 8002});
  w.Part().Marker("ESET");
  const auto parts = w.WriteTo(dir.Path(), "split");
  auto scan = testing_support::ScanFile(parts[0]);
  LoadResult(*frame, std::move(scan->scanner));
  const auto whole = dir / "whole";
  const auto part = dir / "part";
  std::filesystem::create_directories(whole);
  std::filesystem::create_directories(part);
  RunSave([&](CSaveRecoveredDlg& d) {
    prompt().answers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes};
    prompt().fileNames = {QString::fromStdString((dir / "none.bkf").string()), QString::fromStdString(parts[1].string()),
                          QString::fromStdString(parts[2].string())};
    SaveInto(d, QString::fromStdString(whole.string()), false);
    EXPECT_TRUE(ReadBytes(whole / "big.bin") == big);
    const QString question = QString::fromStdU16String(quillon::kNextPartQuestion);
    EXPECT_EQ(prompt().Texts().count(question), 3);
    ASSERT_EQ(prompt().fileRequests.size(), 3u);
    const FileDialogRequest& r = prompt().fileRequests[0];
    EXPECT_EQ(r.filter, ".bkf Files (*.bkf)|*bkf||");
    EXPECT_EQ(r.defaultExtension, "bkf");
    EXPECT_EQ(r.initialName, "*.bkf");
    EXPECT_TRUE(r.fileMustExist && r.hideReadOnly);
    for (const auto& shown : prompt().shown) EXPECT_EQ(shown.thread, QThread::currentThread());

    prompt().Clear();
    SaveInto(d, QString::fromStdString(part.string()), false);  // answered No
    EXPECT_TRUE(ReadBytes(part / "big.bin") == Bytes(big.begin(), big.begin() + 10002));
    EXPECT_TRUE(prompt().Texts().contains(QString::fromStdU16String(quillon::kNoNextPart)));
  });
}

// A full disk: one message that says so, the window usable again.
TEST_F(SaveWindowTest, FullDiskGivesOneMessageAndAUsableWindow) {
  const std::string big(48 * 1024, 'x');
  fixture::BkfWriter w;
  w.Tape(u"Tape");
  w.Sset(1, u"Set");
  w.Volb(u"C:");
  w.Dirb(u"D");
  for (const char16_t* name : {u"one.bin", u"two.bin", u"three.bin"}) w.File(name, big);
  LoadResult(*frame, w);
  const auto small = dir / "small";
  std::filesystem::create_directories(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
  RunSave([&](CSaveRecoveredDlg& d) {
    SaveInto(d, QString::fromStdString(small.string()), false);
    ExpectIdleLayout(d);
    ASSERT_EQ(prompt().Texts().size(), 1);
    EXPECT_TRUE(prompt().Texts()[0].startsWith("File(s) saving process has ended early: No space left on device."));
    EXPECT_TRUE(prompt().Texts()[0].contains("1 file(s) could not be saved; the log names them."));
    EXPECT_TRUE(Log().contains("Saving ended early: No space left on device."));
  });
  ::umount2(small.c_str(), MNT_DETACH);
}

}  // namespace
