// The search window: its controls at open, the search on its worker, Stop and
// closing while it runs, removing rows.

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>

#include "gui_test_support.h"
#include "log/output_pane.h"
#include "test_support.h"
#include "scanner.h"
#include "search/search_dlg.h"
#include "search/search_result_list.h"
#include "shell/command_ids.h"
#include "shell/main_frame.h"
#include "system/window_messages.h"
#include "tree_test_support.h"

using namespace gui_testing;

namespace {

const QString kDocs = QStringLiteral("Media 1\\SET 1 :Daily\\C:\\Docs\\");
const QString kOld = QStringLiteral("Media 1\\SET 1 :Daily\\C:\\Old\\");

// Media 1 > SET 1 :Daily > C: > {Docs, Old}; report.doc in both folders.
fixture::BkfWriter NamesBackup() {
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Docs");
  for (const char16_t* name : {u"report.doc", u"myreport.txt", u"Report.doc", u"a.doc", u"a.docx", u"ab.doc", u"README"})
    w.File(name, "content");
  w.Dirb(u"Old");
  w.File(u"report.doc", "older content");
  w.Marker("ESET");
  return w;
}

// A result of `count` files in one folder, named file-N.txt, built directly.
std::unique_ptr<bkf> LargeResult(int64_t count) {
  auto s = std::make_unique<bkf>();
  const int64_t folder = s->m_tree.AddNode(u"Big", s->m_tree.AddNode(u"C:", s->m_tree.AddNode(u"SET 1 :Daily",
                                                                                              s->m_tree.AddNode(u"Media 1", 0))));
  for (int64_t i = 0; i < count; ++i) {
    FoundFileRecord r = NewFoundFileRecord();
    r.parent = folder;
    r.kind = kFileKind;
    r.index = i;
    r.dataPosition = 1024;
    r.dataLength = uint64_t(i);
    const std::string digits = std::to_string(i);
    s->m_files.Append(r, u"file-" + std::u16string(digits.begin(), digits.end()) + u".txt");
  }
  return s;
}

class SearchWindowTest : public FrameTest {
 protected:
  using Script = std::function<void(CTarvelDlgSearchBkfFiles&)>;
  // Runs the Search command; the window, shown, is handed to the script.
  void WithWindow(const Script& script) {
    bool ran = false;
    prompt().dialogScripts.push_back([&](QDialog& dialog) {
      auto* window = qobject_cast<CTarvelDlgSearchBkfFiles*>(&dialog);
      EXPECT_NE(window, nullptr);
      if (!window) return int(QDialog::Rejected);
      window->show();
      ran = true;
      script(*window);
      window->WaitForWorker();
      return int(QDialog::Accepted);
    });
    frame->OnCommand(ID_SEARCH_FILES);
    EXPECT_TRUE(ran);
  }
  // Types the pattern, presses Search and waits for the search to end.
  static void Search(CTarvelDlgSearchBkfFiles& w, const QString& pattern) {
    w.PatternEdit()->setText(pattern);
    w.SearchButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.WorkerRunning(); }, 20000));
  }
  static QStringList RowTexts(const CTarvelDlgSearchBkfFiles& w) {
    QStringList rows;
    for (int i = 0; i < w.ResultList()->GetItemCount(); ++i) rows << w.ResultList()->GetItemText(i, 0);
    return rows;
  }
  // The idle layout, with the count shown or not.
  static void ExpectIdle(const CTarvelDlgSearchBkfFiles& w) {
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
    for (QWidget* input : {static_cast<QWidget*>(w.OkButton()), static_cast<QWidget*>(w.SearchButton()),
                           static_cast<QWidget*>(w.PatternEdit()), static_cast<QWidget*>(w.DestinationEdit()),
                           static_cast<QWidget*>(w.SaveButton()), static_cast<QWidget*>(w.RemoveButton()),
                           static_cast<QWidget*>(w.HierarchyCheck())})
      EXPECT_TRUE(input->isEnabled()) << input->objectName().toStdString();
    EXPECT_TRUE(w.OkButton()->isVisible());
    for (QWidget* hidden : {static_cast<QWidget*>(w.StopButton()), static_cast<QWidget*>(w.Progress()),
                            static_cast<QWidget*>(w.BusyLabel()), static_cast<QWidget*>(w.FoundLabel()),
                            static_cast<QWidget*>(w.FoundCountLabel())})
      EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
  }
};

TEST_F(SearchWindowTest, OpensWithItsControlsInTheirFirstState) {
  LoadResult(*frame, NamesBackup());
  WithWindow([&](CTarvelDlgSearchBkfFiles& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Search file(s)"));
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_TRUE(w.isModal());
    EXPECT_EQ(w.FoundCount(), 8);
    EXPECT_EQ(w.PatternEdit()->text(), QStringLiteral("*.*"));
    EXPECT_EQ(w.SearchButton()->text(), QStringLiteral("Search file(s)..."));
    EXPECT_EQ(w.SaveButton()->text(), QStringLiteral("Save file(s)"));
    EXPECT_EQ(w.RemoveButton()->text(), QStringLiteral("Remove file(s)"));
    EXPECT_EQ(w.HierarchyCheck()->text(), QStringLiteral("Save files in folder hierarchy"));
    EXPECT_TRUE(w.HierarchyCheck()->isChecked());
    EXPECT_TRUE(w.DestinationEdit()->text().isEmpty());
    EXPECT_FALSE(w.SaveResultsCheck()->isVisible());
    EXPECT_EQ(w.ResultList()->GetItemCount(), 0);
    const QAbstractItemModel* model = w.ResultList()->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("File Name"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("File Type"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("File Size(Bytes)"));
    EXPECT_EQ(w.ResultList()->columnWidth(0), 300);
    EXPECT_EQ(w.ResultList()->columnWidth(1), 250);
    EXPECT_EQ(w.Progress()->value(), 0);
    EXPECT_FALSE(w.TotalLabel()->isVisible());
    EXPECT_FALSE(w.CountLabel()->isVisible());
    EXPECT_EQ(w.TotalLabel()->text(), QStringLiteral("Total No. of files :"));
    EXPECT_EQ(w.BusyLabel()->text(), QStringLiteral("Please wait while process is running...."));
    EXPECT_EQ(w.FoundLabel()->text(), QStringLiteral("File found:"));
    EXPECT_EQ(w.StopButton()->text(), QStringLiteral("Stop"));
    EXPECT_EQ(w.OkButton()->text(), QStringLiteral("OK"));
    ExpectIdle(w);
    EXPECT_EQ(FindById(&w, IDC_SEARCH_PATTERN), w.PatternEdit());
    EXPECT_EQ(FindById(&w, IDC_SEARCH_LIST), w.ResultList());
    // Every control can be named by assistive tools.
    for (QWidget* child : w.findChildren<QWidget*>()) {
      // The window's own controls (Qt's inner parts, like the table's corner button, aside).
      if (child->objectName().startsWith(QStringLiteral("search"))) {
        EXPECT_FALSE(child->accessibleName().isEmpty()) << child->objectName().toStdString();
      }
    }
  });
}

TEST_F(SearchWindowTest, PatternTable) {
  LoadResult(*frame, NamesBackup());
  struct Case {
    QString typed;
    QStringList rows;
  };
  const QList<Case> cases = {
      {QStringLiteral("report"), {kDocs + "report.doc", kDocs + "myreport.txt", kOld + "report.doc"}},
      {QStringLiteral("*.doc"), {kDocs + "report.doc", kDocs + "Report.doc", kDocs + "a.doc", kDocs + "ab.doc",
                                 kOld + "report.doc"}},
      {QStringLiteral("?.doc*"), {kDocs + "a.doc", kDocs + "a.docx"}},
      {QStringLiteral("?.doc"), {kDocs + "report.doc", kDocs + "Report.doc", kDocs + "a.doc", kDocs + "a.docx",
                                 kDocs + "ab.doc", kOld + "report.doc"}},
      {QStringLiteral("*.*"), {kDocs + "report.doc", kDocs + "myreport.txt", kDocs + "Report.doc", kDocs + "a.doc",
                               kDocs + "a.docx", kDocs + "ab.doc", kOld + "report.doc"}},
      {QStringLiteral(" a.docx "), {kDocs + "a.docx"}},
      {QStringLiteral("zzz"), {}},
  };
  WithWindow([&](CTarvelDlgSearchBkfFiles& w) {
    for (const Case& c : cases) {
      Search(w, c.typed);
      EXPECT_EQ(RowTexts(w), c.rows) << c.typed.toStdString();
      ExpectIdle(w);
      EXPECT_TRUE(w.TotalLabel()->isVisible());
      EXPECT_TRUE(w.CountLabel()->isVisible());
      EXPECT_EQ(w.CountLabel()->text(), QString::number(c.rows.size()));
    }
    // Two rows of one name, each with its own folder, size and record.
    Search(w, QStringLiteral("report.doc"));
    CTarvelListCtrl* list = w.ResultList();
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_NE(list->GetItemData(0), list->GetItemData(1));
    EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral("7"));
    EXPECT_EQ(list->GetItemText(1, 2), QStringLiteral("13"));
    EXPECT_FALSE(list->GetItemText(0, 1).isEmpty());
    EXPECT_FALSE(list->model()->data(list->model()->index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(list->model()->data(list->model()->index(1, 0), Qt::ToolTipRole).toString(), kOld + "report.doc");

    // Blanks only: the message, and nothing else changes.
    prompt().Clear();
    w.PatternEdit()->setText(QStringLiteral("   "));
    w.SearchButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.WorkerRunning(); }, 5000));
    EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Enter text pattern to search files.")});
    EXPECT_EQ(prompt().shown.at(0).caption, QStringLiteral("Corvane Quillon Repair v22.0"));
    EXPECT_TRUE(prompt().shown.at(0).hadOwner);
    EXPECT_EQ(list->GetItemCount(), 2);
  });
}

TEST_F(SearchWindowTest, StopDuringALargeSearchKeepsTheRowsFoundAndClosingWaits) {
  constexpr int64_t kCount = 400000;
  LoadResult(*frame, LargeResult(kCount));
  WithWindow([&](CTarvelDlgSearchBkfFiles& w) {
    w.PatternEdit()->setText(QStringLiteral("file"));
    w.SearchButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ResultList()->GetItemCount() > 0; }, 20000));
    EXPECT_TRUE(w.StopButton()->isVisible());
    EXPECT_FALSE(w.OkButton()->isVisible());
    EXPECT_FALSE(w.SearchButton()->isEnabled());
    EXPECT_TRUE(w.BusyLabel()->isVisible());
    EXPECT_TRUE(w.FoundLabel()->isVisible());
    EXPECT_EQ(w.Progress()->maximum(), kCount);
    // Closing is refused while the search runs; the window stays.
    prompt().Clear();
    w.reject();
    w.accept();
    EXPECT_EQ(prompt().Texts(), QStringList({QStringLiteral("Please stop the running process to close the application."),
                                             QStringLiteral("Please stop the running process to close the application.")}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.result(), 0);
    // Stop asks; No leaves it running, Yes stops it.
    prompt().Clear();
    prompt().answers = {MsgResult::No, MsgResult::Yes};
    w.StopButton()->click();
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 1);
    w.StopButton()->click();
    EXPECT_EQ(prompt().Texts(), QStringList({QStringLiteral("Are you sure to stop the running process?"),
                                             QStringLiteral("Are you sure to stop the running process?")}));
    EXPECT_EQ(prompt().shown.at(0).icon, MsgIcon::Question);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.WorkerRunning(); }, 20000));
    const int rows = w.ResultList()->GetItemCount();
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, kCount);
    ExpectIdle(w);
    EXPECT_EQ(w.CountLabel()->text(), QString::number(rows));
    // The rows are those of the first records, in order.
    EXPECT_EQ(w.ResultList()->GetItemData(rows - 1), rows - 1);
    // Stop does nothing once idle.
    prompt().Clear();
    w.StopButton()->click();
    EXPECT_TRUE(prompt().Texts().isEmpty());
  });
  EXPECT_EQ(frame->Scanner()->m_files.Count(), kCount);
}

TEST_F(SearchWindowTest, RemovingRowsLeavesTheScanResultAlone) {
  LoadResult(*frame, NamesBackup());
  WithWindow([&](CTarvelDlgSearchBkfFiles& w) {
    Search(w, QStringLiteral("*.*"));
    CTarvelListCtrl* list = w.ResultList();
    ASSERT_EQ(list->GetItemCount(), 7);
    prompt().Clear();
    w.RemoveButton()->click();
    EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("No file(s) selected to remove.")});
    EXPECT_EQ(list->GetItemCount(), 7);

    prompt().Clear();
    list->SelectRows({0, 2, 3});
    w.RemoveButton()->click();
    EXPECT_TRUE(prompt().Texts().isEmpty());
    EXPECT_EQ(RowTexts(w), QStringList({kDocs + "myreport.txt", kDocs + "a.docx", kDocs + "ab.doc", kOld + "report.doc"}));
    EXPECT_EQ(w.CountLabel()->text(), QStringLiteral("4"));
    EXPECT_TRUE(w.CountLabel()->isVisible());
    EXPECT_EQ(frame->Scanner()->m_files.Count(), 8);
    EXPECT_EQ(frame->Scanner()->m_files.Name(0), u"report.doc");

    list->SelectRows({0, 1, 2, 3});
    w.RemoveButton()->click();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(w.TotalLabel()->isVisible());
    EXPECT_FALSE(w.CountLabel()->isVisible());
    EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("No file(s) is present in the list to remove.")});
    EXPECT_EQ(frame->Scanner()->m_files.Count(), 8);
  });
}

TEST_F(SearchWindowTest, RowClicksAreAnsweredByTheRunningFlag) {
  LoadResult(*frame, NamesBackup());
  WithWindow([&](CTarvelDlgSearchBkfFiles& w) {
    Search(w, QStringLiteral("doc"));
    EXPECT_EQ(w.SendMessage(UM_SEARCH_ITEM_CLICKED, 0, 0), 1);
    CTarvelListCtrl* list = w.ResultList();
    const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(list->SelectedRows(), std::vector<int>{1});
    AppState().m_bProcessRunning.store(1);
    EXPECT_EQ(w.SendMessage(UM_SEARCH_ITEM_CLICKED, 0, 0), 0);
    const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(list->SelectedRows(), std::vector<int>{1});
    // Remove does nothing while a process runs.
    prompt().Clear();
    w.RemoveButton()->click();
    EXPECT_EQ(list->GetItemCount(), 6);
    EXPECT_TRUE(prompt().Texts().isEmpty());
    AppState().m_bProcessRunning.store(0);
  });
}

std::string Content(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files below a folder, as paths relative to it with "/".
QStringList FilesBelow(const std::filesystem::path& root) {
  QStringList files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files << QString::fromStdString(std::filesystem::relative(entry.path(), root).generic_string());
  files.sort();
  return files;
}

TEST_F(SearchWindowTest, SavesTheListedRowsFlatAndInTheirFolders) {
  LoadResult(*frame, NamesBackup());
  testing_support::TempDir out;
  std::filesystem::create_directories(out / "flat");
  std::filesystem::create_directories(out / "tree");
  std::filesystem::create_directories(out / "rest");
  WithWindow([&](CTarvelDlgSearchBkfFiles& w) {
    Search(w, QStringLiteral("report.doc"));
    ASSERT_EQ(w.ResultList()->GetItemCount(), 2);
    prompt().Clear();
    w.SaveButton()->click();
    EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Please select valid path to save recovered files.")});

    // Flat: the second report.doc gets a number in front.
    prompt().Clear();
    frame->OutputWnd()->ClearLog();
    w.DestinationEdit()->setText(QString::fromStdString((out / "flat").string()));
    w.HierarchyCheck()->setChecked(false);
    w.SaveButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.WorkerRunning(); }, 20000));
    EXPECT_EQ(FilesBelow(out / "flat"), QStringList({QStringLiteral("0report.doc"), QStringLiteral("report.doc")}));
    EXPECT_EQ(Content(out / "flat" / "report.doc"), "content");
    EXPECT_EQ(Content(out / "flat" / "0report.doc"), "older content");
    ASSERT_EQ(prompt().Texts().size(), 1);
    EXPECT_TRUE(prompt().Texts()[0].startsWith(
        QStringLiteral("File(s) saving process has been completed. Saved file(s) location is:")));
    EXPECT_TRUE(frame->OutputWnd()->LogLines().contains(QStringLiteral("Number of files saved: 2")));
    ExpectIdle(w);
    EXPECT_EQ(w.CountLabel()->text(), QStringLiteral("2"));
    EXPECT_TRUE(w.CountLabel()->isVisible());

    // In the hierarchy: the notice first, each file in its folder.
    prompt().Clear();
    w.DestinationEdit()->setText(QString::fromStdString((out / "tree").string()));
    w.HierarchyCheck()->setChecked(true);
    w.SaveButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.WorkerRunning(); }, 20000));
    ASSERT_EQ(prompt().Texts().size(), 2);
    EXPECT_TRUE(prompt().Texts()[0].startsWith(QStringLiteral("The filename or extension might be too long.")));
    const QStringList tree = FilesBelow(out / "tree");
    ASSERT_EQ(tree.size(), 2);
    EXPECT_TRUE(tree[0].endsWith(QStringLiteral("/C_/Docs/report.doc"))) << tree[0].toStdString();
    EXPECT_TRUE(tree[1].endsWith(QStringLiteral("/C_/Old/report.doc"))) << tree[1].toStdString();

    // A removed row is not saved; an emptied list saves nothing.
    w.ResultList()->SelectRows({1});
    w.RemoveButton()->click();
    prompt().Clear();
    w.DestinationEdit()->setText(QString::fromStdString((out / "rest").string()));
    w.HierarchyCheck()->setChecked(false);
    w.SaveButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.WorkerRunning(); }, 20000));
    EXPECT_EQ(FilesBelow(out / "rest"), QStringList{QStringLiteral("report.doc")});
    w.ResultList()->SelectRows({0});
    w.RemoveButton()->click();
    prompt().Clear();
    w.SaveButton()->click();
    EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("No file is present in the list to save.")});
  });
}

TEST_F(SearchWindowTest, TheCommandClearsThePreviewAndShowsTheLog) {
  LoadResult(*frame, NamesBackup());
  WithWindow([&](CTarvelDlgSearchBkfFiles&) {});
  EXPECT_EQ(prompt().dialogsRun, QStringList{QStringLiteral("CTarvelDlgSearchBkfFiles")});
}

}  // namespace
