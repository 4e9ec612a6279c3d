// The scan run: the Open command through to the worker's end, the status-bar
// elements of a running scan, Stop, and the ways a run ends.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "bkf_file.h"
#include "tree/check_tree_ctrl.h"
#include "shell/command_ids.h"
#include "tree/folder_tree_pane.h"
#include "tree/folder_tree_items.h"
#include "gui_test_support.h"
#include "shell/main_frame.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "dialogs/recovery_selection_dlg.h"
#include "list/file_list_ctrl.h"
#include "scanner_advance.h"
#include "shell/status_bar.h"
#include "test_support.h"
#include "tree_test_support.h"

using namespace gui_testing;
namespace fs = std::filesystem;

namespace {

const QString kCompleted = QStringLiteral("Scanning for BKF file completed. Expand tree to see recover files.");
const QString kCaption = QStringLiteral("Corvane Quillon Repair v22.0");
// A gap of zeros that takes the scanner a while (sparse: no disk space).
constexpr uint64_t kLongGap = uint64_t(8) << 30;

// SmallBackup's tape, then a second tape with one file (a tape goes under
// the node added last, so the root has one child, "Media 1"; a scan from the
// second tape on finds "Media 2" there). Six files in all.
fixture::BkfWriter TwoTapes(uint64_t* secondTape = nullptr) {
  fixture::BkfWriter w = SmallBackup();
  const uint64_t at = w.Tape(u"Media 2");
  if (secondTape) *secondTape = at;
  w.Sset(1, u"Weekly");
  w.Volb(u"D:");
  w.Dirb(u"Work");
  w.File(u"plan.txt", "the plan\r\n");
  w.Marker("ESET");
  return w;
}

// A backup whose start is lost: a folder block before anything else makes
// the placeholder pair "DUMY SET CREATED " > "DUMY VOLUME XX: " under the
// root, the next file block the chain "TAPE CREATED " > "SET CREATED " >
// "VOLUME XX: ", also under the root; then TwoTapes. Seven files.
fixture::BkfWriter LostStart() {
  fixture::BkfWriter w;
  w.Dirb(u"Lost");
  w.File(u"orphan.txt", "no tape, no set, no volume");
  const fixture::BkfWriter rest = TwoTapes();
  w.Raw(rest.Data());
  return w;
}

const QStringList kTwoTapesTop{QStringLiteral("Media 1")};

class ScanRunTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder = PrivateRoot() / "scan";
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  QString Write(const std::string& name, const fixture::BkfWriter& backup) {
    backup.WriteTo(folder / name);
    return QString::fromStdString((folder / name).string());
  }
  // front, then kLongGap zeros, then back: the scan spends its time in the gap.
  QString WriteWithGap(const std::string& name, const fixture::BkfWriter& front, const fixture::BkfWriter& back) {
    const fs::path path = folder / name;
    front.WriteTo(path);
    fs::resize_file(path, front.Size() + kLongGap);
    std::FILE* out = std::fopen(path.c_str(), "ab");
    std::fwrite(back.Data().data(), 1, back.Data().size(), out);
    std::fclose(out);
    return QString::fromStdString(path.string());
  }

  // Runs Open on path; choose sets the dialog up before OK.
  void Open(const QString& path, const std::function<void(CTarvelRangeSliderDlg&)>& choose = {}) {
    prompt().fileNames = {path};
    prompt().dialogScripts.push_back([choose](QDialog& dialog) {
      auto& range = dynamic_cast<CTarvelRangeSliderDlg&>(dialog);
      if (choose) choose(range);
      range.OnOK();
      return range.result();
    });
    frame->OnFileOpen();
  }
  // Handles events until the worker has ended and its last post was handled.
  bool WaitForScan() {
    const bool ended = QTest::qWaitFor([&] { return !frame->ScanWorkerRunning(); }, 120000);
    QCoreApplication::processEvents();
    return ended;
  }
  void OpenAndWait(const QString& path, const std::function<void(CTarvelRangeSliderDlg&)>& choose = {}) {
    Open(path, choose);
    ASSERT_TRUE(WaitForScan());
  }

  CCheckTreeCtrl* Tree() const { return frame->TreeCtrl(); }
  QStringList TopLevel() const { return ChildLabels(*Tree(), nullptr); }
  QStringList Log() const { return frame->OutputWnd()->LogLines(); }
  QWidget* Element(int id) const { return FindById(frame->StatusBar(), id); }
  bool AnyProcessElement() const {
    for (int id : {ID_STATUS_PROGRESS_BAR, ID_STATUS_PERCENT, ID_STATUS_PROGRESS, ID_STATUS_FILES_FOUND})
      if (Element(id)) return true;
    return false;
  }
  // The lines Open writes for a file.
  static QStringList OpeningLines(const QString& path, uint64_t size, const QString& time) {
    return {QString(), path + QStringLiteral(" File is selected for recovery...."), QString(),
            QStringLiteral("BKF file size is: ") + QString::number(size), QString(),
            QStringLiteral("Corvane BKF file Recovery process starts.  ") + time, QString()};
  }
  static QStringList CompletionLines(int files) {
    return {QStringLiteral("Total number of files found: ") + QString::number(files), QString(), kCompleted,
            QString()};
  }
  // The time stamp of the log's sixth line, checked for its form.
  QString StartTime() const {
    const QStringList log = Log();
    if (log.size() < 6) return {};
    static const QRegularExpression form(
        QStringLiteral("^Corvane BKF file Recovery process starts\\.  "
                       "([A-Z][a-z]{2}-\\d{2}-\\d{4}\\(\\d{2}-\\d{2}-\\d{2}-(AM|PM)\\))$"));
    const QRegularExpressionMatch m = form.match(log[5]);
    return m.hasMatch() ? m.captured(1) : QString();
  }

  fs::path folder;
};

TEST_F(ScanRunTest, WholeScanShowsTheFirstLevelAndLogsTheRun) {
  const fixture::BkfWriter backup = LostStart();
  const QString path = Write("two.bkf", backup);
  fs::create_directories(GetPreviewFolder() / "old");
  frame->OutputWnd()->ShowFileViewerTab();

  Open(path);
  // The process has started: flag, Stop, the status-bar elements with their first texts.
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 1);
  EXPECT_EQ(frame->OutputWnd()->Tabs()->currentIndex(), COutputWnd::kLogTab);
  EXPECT_FALSE(fs::exists(GetPreviewFolder()));
  auto* bar = qobject_cast<QProgressBar*>(Element(ID_STATUS_PROGRESS_BAR));
  ASSERT_NE(bar, nullptr);
  // 550 wide where the window has room (new_user_test.cpp), less on a narrow one.
  EXPECT_EQ(bar->maximumWidth(), 550);
  EXPECT_EQ(bar->height(), 26);
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_EQ(bar->value(), 0);
  const struct {
    int id;
    QString text;
  } panes[] = {{ID_STATUS_PERCENT, QStringLiteral(".............  ")},
               {ID_STATUS_PROGRESS, QStringLiteral("..") + QString(61, QLatin1Char(' ')) + QLatin1Char('.')},
               {ID_STATUS_FILES_FOUND, QStringLiteral("..") + QString(30, QLatin1Char(' ')) + QLatin1Char('.')}};
  for (const auto& pane : panes) {
    auto* label = qobject_cast<QLabel*>(Element(pane.id));
    ASSERT_NE(label, nullptr) << pane.id;
    EXPECT_EQ(label->text(), pane.text) << pane.id;
    EXPECT_EQ(label->property("elementLabel").toString(), QStringLiteral("Corvane Quillon Repair"));
  }
  EXPECT_EQ(bar->property("elementLabel").toString(), QStringLiteral("Corvane Quillon Repair"));

  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_FALSE(AnyProcessElement());
  // The static pane and the link stay.
  for (int id : {ID_STATUSBAR_PANE1, ID_STATUSBAR_LINK}) {
    QWidget* element = FindById(frame->StatusBar(), id);
    ASSERT_NE(element, nullptr) << id;
    EXPECT_TRUE(element->isVisible()) << id;
    EXPECT_GT(element->width(), 0) << id;
  }

  // Newest first, each with its placeholder, checked, its node shown and attached.
  ASSERT_EQ(TopLevel(), (QStringList{QStringLiteral("TAPE CREATED "), QStringLiteral("DUMY SET CREATED ")}));
  bkf* scanner = frame->Scanner();
  ASSERT_NE(scanner, nullptr);
  EXPECT_EQ(dynamic_cast<bkfAdvance*>(scanner), nullptr);
  for (int i = 0; i < 2; ++i) {
    QTreeWidgetItem* item = Tree()->topLevelItem(i);
    EXPECT_EQ(ChildLabels(*Tree(), item), QStringList{QStringLiteral("Dummy")});
    EXPECT_EQ(Tree()->GetCheck(item), 1);
    const TreeItemData data = Tree()->GetItemData(item);
    const int64_t node = data.index;
    EXPECT_EQ(data.kind, kNodeItemKind);
    EXPECT_EQ(QString::fromStdU16String(scanner->m_tree.Name(node)), Tree()->GetItemText(item));
    EXPECT_EQ(int(scanner->m_tree.Node(node).shownInTree), 1);
  }

  const QString time = StartTime();
  EXPECT_FALSE(time.isEmpty()) << Log().value(5).toStdString();
  EXPECT_EQ(Log(), OpeningLines(path, backup.Size(), time) + CompletionLines(7));
  ASSERT_EQ(prompt().Texts(), QStringList{kCompleted});
  const ScriptedPrompt::Shown& shown = prompt().shown[0];
  EXPECT_EQ(shown.caption, kCaption);
  EXPECT_EQ(shown.icon, MsgIcon::Information);
  EXPECT_TRUE(shown.hadOwner);
  EXPECT_EQ(shown.thread, qApp->thread());
  EXPECT_EQ(AppState().m_strBkfFilePath, path.toStdU16String());

  // The result can be browsed.
  QTreeWidgetItem* top = Tree()->topLevelItem(0);
  EXPECT_EQ(frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(top)), 1);
  EXPECT_EQ(frame->ListCtrl()->GetItemText(0, 0), QStringLiteral("SET CREATED "));
}

TEST_F(ScanRunTest, ProgressReachesTheStatusBar) {
  const QString path = Write("small.bkf", SmallBackup());
  Open(path);
  // Before any event is handled the elements are there and the worker waits.
  frame->WindowProc(UM_SCAN_PROGRESS, reinterpret_cast<uintptr_t>(new ScanProgress{42.5f, 5000000000ULL, 7, 6000000000ULL}),
                    0);
  EXPECT_EQ(qobject_cast<QLabel*>(Element(ID_STATUS_PROGRESS))->text(), QStringLiteral("Progress: 5000000000/6000000000"));
  EXPECT_EQ(qobject_cast<QProgressBar*>(Element(ID_STATUS_PROGRESS_BAR))->value(), 42);
  EXPECT_EQ(qobject_cast<QLabel*>(Element(ID_STATUS_PERCENT))->text(), QStringLiteral("42.50%"));
  EXPECT_EQ(qobject_cast<QLabel*>(Element(ID_STATUS_FILES_FOUND))->text(), QStringLiteral("File Found: 7"));
  frame->WindowProc(UM_SCAN_PROGRESS, reinterpret_cast<uintptr_t>(new ScanProgress{0.004f, 0, 0, 1}), 0);
  EXPECT_EQ(qobject_cast<QLabel*>(Element(ID_STATUS_PERCENT))->text(), QStringLiteral("0.00%"));
  EXPECT_EQ(qobject_cast<QProgressBar*>(Element(ID_STATUS_PROGRESS_BAR))->value(), 0);
  frame->WindowProc(UM_SCAN_FINISHED, 100, 0);
  EXPECT_EQ(qobject_cast<QProgressBar*>(Element(ID_STATUS_PROGRESS_BAR))->value(), 100);
  ASSERT_TRUE(WaitForScan());
  EXPECT_FALSE(AnyProcessElement());
  // Messages after the end change nothing and free their record.
  EXPECT_EQ(frame->WindowProc(UM_SCAN_PROGRESS, reinterpret_cast<uintptr_t>(new ScanProgress{}), 0), 1);
  EXPECT_EQ(frame->WindowProc(UM_SCAN_FINISHED, 100, 0), 1);
}

TEST_F(ScanRunTest, ProgressOfWindowsWithoutTagsIsThinnedOut) {
  // Every window of zeros sends a progress message; the window handles one
  // at most every 20 ms and the scanner does not wait for the others.
  const fs::path path = folder / "zeros.bkf";
  fixture::WriteFile(path, {});
  fs::resize_file(path, uint64_t(256) << 20);
  const uint64_t before = frame->ProgressMessagesHandled();
  QElapsedTimer clock;
  clock.start();
  OpenAndWait(QString::fromStdString(path.string()));
  const qint64 ms = clock.elapsed();
  const uint64_t handled = frame->ProgressMessagesHandled() - before;
  EXPECT_GE(handled, 1u);
  EXPECT_LE(handled, uint64_t(ms / 20 + 2)) << ms << " ms";
  EXPECT_EQ(Log().mid(7), CompletionLines(0));
}

TEST_F(ScanRunTest, AdvancedModeChosenInTheDialog) {
  const QString path = Write("adv.bkf", TwoTapes());
  OpenAndWait(path, [](CTarvelRangeSliderDlg& dialog) { dialog.OnAdvancedMode(); });
  auto* advanced = dynamic_cast<bkfAdvance*>(frame->Scanner());
  ASSERT_NE(advanced, nullptr);
  EXPECT_EQ(advanced->m_bHeuristicTags, 0);
  EXPECT_EQ(TopLevel(), kTwoTapesTop);
  EXPECT_EQ(Log().mid(7), CompletionLines(6));

  // The heuristic option reaches the Advanced scanner.
  prompt().Clear();
  OpenAndWait(path, [](CTarvelRangeSliderDlg& dialog) {
    dialog.OnAdvancedMode();
    dialog.Heuristic()->setChecked(true);
  });
  advanced = dynamic_cast<bkfAdvance*>(frame->Scanner());
  ASSERT_NE(advanced, nullptr);
  EXPECT_EQ(advanced->m_bHeuristicTags, 1);
}

TEST_F(ScanRunTest, PartialRangeScansOnlyTheRange) {
  uint64_t second = 0;
  const fixture::BkfWriter backup = TwoTapes(&second);
  const QString path = Write("range.bkf", backup);
  const QString size = QString::number(backup.Size());
  const QString endRange = QStringLiteral("End range exceeds the file size so file will parse to the end of file size.");
  struct Case {
    const char* what;
    bool partial;
    QString min, max;
    QStringList top;
    uint64_t files;
    QStringList texts;
    uint64_t start, end;
  } cases[] = {
      {"second tape only", true, QString::number(second), size, {QStringLiteral("Media 2")}, 1, {kCompleted},
       second, backup.Size()},
      {"first tape only", true, QStringLiteral("0"), QString::number(second), kTwoTapesTop, 5, {kCompleted}, 0,
       second},
      {"end past the file", true, QString::number(second), QString::number(backup.Size() + 5000),
       {QStringLiteral("Media 2")}, 1, {endRange, kCompleted}, second, backup.Size()},
      // The whole file: the range texts left from before are not used.
      {"whole file", false, {}, {}, kTwoTapesTop, 6, {kCompleted}, 0, backup.Size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompt().Clear();
    OpenAndWait(path, [&c](CTarvelRangeSliderDlg& dialog) {
      if (!c.partial) return;
      dialog.OnPartialScan();
      dialog.MinEdit()->setText(c.min);
      dialog.MaxEdit()->setText(c.max);
    });
    EXPECT_EQ(AppState().m_bPartialScan, c.partial ? 1 : 2);
    EXPECT_EQ(TopLevel(), c.top);
    EXPECT_EQ(prompt().Texts(), c.texts);
    ASSERT_NE(frame->Scanner(), nullptr);
    EXPECT_EQ(frame->Scanner()->m_nRangeStart, c.start);
    EXPECT_EQ(frame->Scanner()->m_nRangeEnd, c.end);
    EXPECT_EQ(frame->Scanner()->m_nFilesFound, c.files);
    for (const ScriptedPrompt::Shown& s : prompt().shown) {
      EXPECT_TRUE(s.hadOwner);
      EXPECT_EQ(s.thread, qApp->thread());
    }
  }
}

TEST_F(ScanRunTest, StopShowsWhatWasFoundWithTheCompletionLines) {
  fixture::BkfWriter back;
  back.Tape(u"Media 2");
  back.Sset(1, u"Late");
  back.Volb(u"E:");
  back.File(u"late.txt", "never reached");
  const QString path = WriteWithGap("stop.bkf", SmallBackup(), back);

  Open(path);
  // The scanner is in the gap once the first tape's five files are counted.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        auto* found = qobject_cast<QLabel*>(Element(ID_STATUS_FILES_FOUND));
        return found && found->text() == QStringLiteral("File Found: 5");
      },
      60000));
  ASSERT_TRUE(frame->ScanWorkerRunning());
  prompt().answers = {MsgResult::Yes};
  frame->OnStop();
  ASSERT_TRUE(WaitForScan());

  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_FALSE(AnyProcessElement());
  EXPECT_EQ(TopLevel(), QStringList{QStringLiteral("Media 1")});
  EXPECT_EQ(Log().mid(7), CompletionLines(5));
  ASSERT_EQ(prompt().Texts(), (QStringList{QStringLiteral("Do you want to stop recovering file(s)?"), kCompleted}));
  EXPECT_EQ(prompt().shown[0].icon, MsgIcon::Question);
  EXPECT_EQ(prompt().shown[0].buttons, MsgButtons::YesNo);
  ASSERT_NE(frame->Scanner(), nullptr);
  EXPECT_EQ(frame->Scanner()->m_nFilesFound, 5u);
}

TEST_F(ScanRunTest, OpenRightAfterStopWaitsForTheStoppedRun) {
  Open(WriteWithGap("stopped.bkf", SmallBackup(), SmallBackup()));
  prompt().answers = {MsgResult::Yes};
  frame->OnStop();
  // The flag is down, but the worker cannot end before this thread handles
  // its calls again.
  ASSERT_EQ(AppState().m_bProcessRunning.load(), 0);
  ASSERT_TRUE(frame->ScanWorkerRunning());

  fixture::BkfWriter other;
  other.Tape(u"Other media");
  other.File(u"one.txt", "1");
  const QString second = Write("other.bkf", other);
  OpenAndWait(second);
  EXPECT_EQ(prompt().Texts(),
            (QStringList{QStringLiteral("Do you want to stop recovering file(s)?"), kCompleted, kCompleted}));
  EXPECT_EQ(TopLevel(), QStringList{QStringLiteral("Other media")});
  EXPECT_EQ(Log(), OpeningLines(second, other.Size(), StartTime()) + CompletionLines(1));
}

TEST_F(ScanRunTest, ClosingRightAfterStopWaitsForTheStoppedRun) {
  Open(WriteWithGap("closed.bkf", SmallBackup(), SmallBackup()));
  prompt().answers = {MsgResult::Yes, MsgResult::Yes};
  frame->OnStop();
  ASSERT_TRUE(frame->ScanWorkerRunning());
  EXPECT_FALSE(frame->close());
  EXPECT_FALSE(frame->ScanWorkerRunning());
  EXPECT_EQ(ExitCalls(), QList<int>{-1});
  EXPECT_EQ(frame->Scanner(), nullptr);
}

TEST_F(ScanRunTest, OpenIsRefusedWhileAScanRuns) {
  const QString path = WriteWithGap("long.bkf", SmallBackup(), SmallBackup());
  Open(path);
  ASSERT_EQ(AppState().m_bProcessRunning.load(), 1);
  prompt().Clear();
  frame->OnFileOpen();
  EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Please stop the running process to open the BKF file.")});
  EXPECT_TRUE(prompt().fileRequests.empty());
  EXPECT_TRUE(prompt().dialogsRun.isEmpty());
  EXPECT_TRUE(frame->ScanWorkerRunning());

  prompt().Clear();
  prompt().answers = {MsgResult::Yes};
  frame->OnStop();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(prompt().Texts(), (QStringList{QStringLiteral("Do you want to stop recovering file(s)?"), kCompleted}));
}

TEST_F(ScanRunTest, SecondOpenReplacesTheFirstResult) {
  const QString first = Write("first.bkf", TwoTapes());
  OpenAndWait(first);
  QTreeWidgetItem* media = Tree()->topLevelItem(0);
  frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(media));
  ASSERT_GT(frame->ListCtrl()->GetItemCount(), 0);

  fixture::BkfWriter other;
  other.Tape(u"Other media");
  other.Sset(1, u"Only");
  other.Volb(u"F:");
  other.File(u"one.txt", "1");
  other.File(u"two.txt", "2");
  const QString second = Write("second.bkf", other);
  prompt().Clear();
  Open(second);
  // Cleared before the worker starts.
  EXPECT_EQ(frame->ListCtrl()->GetItemCount(), 0);
  EXPECT_EQ(frame->CurrentFolderItem(), nullptr);
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(TopLevel(), QStringList{QStringLiteral("Other media")});
  EXPECT_EQ(frame->ListCtrl()->GetItemCount(), 0);
  EXPECT_EQ(frame->Scanner()->m_nFilesFound, 2u);
  EXPECT_EQ(Log(), OpeningLines(second, other.Size(), StartTime()) + CompletionLines(2));
  EXPECT_EQ(prompt().Texts(), QStringList{kCompleted});
}

TEST_F(ScanRunTest, CancelledDialogKeepsTheCurrentResult) {
  const QString path = Write("keep.bkf", TwoTapes());
  OpenAndWait(path);
  const bkf* scanner = frame->Scanner();
  const QStringList log = Log();
  prompt().Clear();
  prompt().fileNames = {path};
  frame->OnFileOpen();  // no dialog script: cancelled
  EXPECT_EQ(prompt().Texts(),
            QStringList{QStringLiteral("Please select recovery mode and scanning option to recover bkf file.")});
  EXPECT_EQ(frame->Scanner(), scanner);
  EXPECT_EQ(TopLevel(), kTwoTapesTop);
  EXPECT_EQ(Log(), log);
  EXPECT_FALSE(frame->ScanWorkerRunning());
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
}

TEST_F(ScanRunTest, PathRules) {
  const QString invalid = QStringLiteral("Please select valid BKF file to recover.");
  // ".bkf" anywhere in the path will do, in any letter case.
  const QString old = Write("backup.bkf.old", TwoTapes());
  OpenAndWait(QStringLiteral(" ") + old + QStringLiteral("\t"));
  EXPECT_EQ(TopLevel(), kTwoTapesTop);
  EXPECT_EQ(frame->Scanner()->m_nFilesFound, 6u);
  EXPECT_EQ(Log().value(1), old + QStringLiteral(" File is selected for recovery...."));

  const QString capitals = Write("BACKUP.BKF", TwoTapes());
  prompt().Clear();
  OpenAndWait(capitals);
  EXPECT_EQ(Log().value(1), capitals + QStringLiteral(" File is selected for recovery...."));
  EXPECT_EQ(frame->Scanner()->m_nFilesFound, 6u);
  EXPECT_EQ(TopLevel(), kTwoTapesTop);

  const QString other = Write("backup.bak", TwoTapes());
  prompt().Clear();
  prompt().fileNames = {other};
  frame->OnFileOpen();
  EXPECT_EQ(prompt().Texts(), QStringList{invalid});
  EXPECT_TRUE(prompt().dialogsRun.isEmpty());
  EXPECT_FALSE(frame->ScanWorkerRunning());
  EXPECT_EQ(Log().value(1), capitals + QStringLiteral(" File is selected for recovery...."));
}

TEST_F(ScanRunTest, RealSampleInBothModes) {
  const QString path = QString::fromStdString(testing_support::TestData("ntbackup-boot-ini.bkf").string());
  for (bool advanced : {false, true}) {
    SCOPED_TRACE(advanced ? "Advanced" : "Standard");
    prompt().Clear();
    OpenAndWait(path, [advanced](CTarvelRangeSliderDlg& dialog) {
      if (advanced) dialog.OnAdvancedMode();
    });
    EXPECT_EQ(TopLevel(), QStringList{QStringLiteral("Backup.bkf created 11/19/2012 at 1:05 PM")});
    EXPECT_EQ(Log().mid(7), CompletionLines(1));
    EXPECT_EQ(prompt().Texts(), QStringList{kCompleted});
  }
}

TEST_F(ScanRunTest, ScanThatFindsNothing) {
  fixture::BkfWriter zeros;
  zeros.Zeros(64 * 1024);
  OpenAndWait(Write("zeros.bkf", zeros));
  EXPECT_TRUE(TopLevel().isEmpty());
  EXPECT_EQ(Log().mid(7), CompletionLines(0));
  EXPECT_EQ(prompt().Texts(), QStringList{kCompleted});
}

TEST_F(ScanRunTest, FileThatDisappearsBeforeTheWorkerAborts) {
  const QString path = Write("gone.bkf", TwoTapes());
  prompt().fileNames = {path};
  prompt().dialogScripts.push_back([&](QDialog& dialog) {
    auto& range = dynamic_cast<CTarvelRangeSliderDlg&>(dialog);
    fs::remove(path.toStdString());
    range.OnOK();
    return range.result();
  });
  frame->OnFileOpen();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Scanning for BKF file process aborted.")});
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_FALSE(AnyProcessElement());
  EXPECT_TRUE(TopLevel().isEmpty());
  EXPECT_EQ(Log().size(), 7);
  EXPECT_EQ(Log().value(3), QStringLiteral("BKF file size is: ") + QString::number(TwoTapes().Size()));
}

// Finds everything, then fails as a read error would.
class FailingScanner : public bkf {
 public:
  using bkf::bkf;
  int Scan(const std::filesystem::path& path) override {
    bkf::Scan(path);
    throw BkfIoError("read error");
  }
};

TEST_F(ScanRunTest, ErrorInTheWorkerKeepsThePartialResultUnshown) {
  frame->SetScannerFactory(
      [](ApplicationState& state, int32_t) -> std::unique_ptr<bkf> { return std::make_unique<FailingScanner>(state); });
  const QString path = Write("fails.bkf", TwoTapes());
  OpenAndWait(path);
  EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Unknown Error Occurred, Error Code: ADBRECTD")});
  EXPECT_EQ(prompt().shown[0].thread, qApp->thread());
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_FALSE(AnyProcessElement());
  EXPECT_TRUE(TopLevel().isEmpty());
  ASSERT_NE(frame->Scanner(), nullptr);
  EXPECT_EQ(frame->Scanner()->m_nFilesFound, 6u);
  EXPECT_EQ(Log().size(), 7);
  frame->SetScannerFactory(nullptr);
}

TEST_F(ScanRunTest, ClosingAfterAScanFreesTheResultAndEnds) {
  OpenAndWait(Write("close.bkf", TwoTapes()));
  prompt().Clear();
  prompt().answers = {MsgResult::Yes};
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(ExitCalls(), QList<int>{-1});
  EXPECT_EQ(frame->Scanner(), nullptr);
}

TEST_F(ScanRunTest, WindowDestroyedDuringAScanStopsAndWaitsForTheWorker) {
  Open(WriteWithGap("destroyed.bkf", SmallBackup(), SmallBackup()));
  ASSERT_TRUE(frame->ScanWorkerRunning());
  frame.reset();
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
}

}  // namespace
