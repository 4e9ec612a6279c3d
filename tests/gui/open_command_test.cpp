// The Open command up to the recovery selection dialog.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <fstream>

#include "shell/open_file_checks.h"
#include "gui_test_support.h"
#include "shell/main_frame.h"
#include "dialogs/recovery_selection_dlg.h"
#include "test_support.h"
#include "text.h"

using namespace gui_testing;

namespace {

class OpenCommandTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    namespace fs = std::filesystem;
    folder = PrivateRoot() / "open";
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  QString MakeFile(const std::string& name, size_t size) {
    std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
    return QString::fromStdString((folder / name).string());
  }
  std::filesystem::path folder;
};

TEST_F(OpenCommandTest, AsksForAnExistingBkfFile) {
  frame->OnFileOpen();
  FileDialogRequest expected;
  expected.filter = QStringLiteral(".bkf Files (*.bkf)|*bkf||");
  expected.defaultExtension = QStringLiteral("bkf");
  expected.initialName = QStringLiteral("*.bkf");
  expected.fileMustExist = true;
  expected.hideReadOnly = true;  // an open dialog with the standard title
  ASSERT_EQ(prompt().fileRequests.size(), 1u);
  EXPECT_TRUE(prompt().fileRequests[0] == expected);
  // Cancelled: nothing else happens.
  EXPECT_TRUE(prompt().shown.empty());
  EXPECT_TRUE(prompt().dialogsRun.isEmpty());
}

TEST_F(OpenCommandTest, RefusesPathsWithoutBkfOrMissingFiles) {
  const QString invalid = QStringLiteral("Please select valid BKF file to recover.");
  std::filesystem::create_directories(folder / "dir.bkf");
  const QString cases[] = {
      MakeFile("backup.bak", 10),                                  // no ".bkf" at all
      QString::fromStdString((folder / "missing.bkf").string()),  // does not exist
      QString::fromStdString((folder / "dir.bkf").string()),      // a folder
  };
  for (const QString& path : cases) {
    prompt().Clear();
    prompt().fileNames = {path};
    frame->OnFileOpen();
    EXPECT_EQ(prompt().Texts(), QStringList{invalid}) << path.toStdString();
    EXPECT_TRUE(prompt().dialogsRun.isEmpty());
  }
  EXPECT_TRUE(AppState().m_strBkfFileSize.empty());
}

TEST_F(OpenCommandTest, CancelledSelectionIsAnswered) {
  const QString path = MakeFile("data.bkf.old", 4096);  // ".bkf" anywhere is enough
  prompt().fileNames = {QStringLiteral("  ") + path + QStringLiteral(" \t")};
  frame->OnFileOpen();
  EXPECT_EQ(prompt().dialogsRun, QStringList{QStringLiteral("CTarvelRangeSliderDlg")});
  EXPECT_EQ(prompt().Texts(),
            QStringList{QStringLiteral("Please select recovery mode and scanning option to recover bkf file.")});
  EXPECT_EQ(AppState().m_strBkfFileSize, u"4096");
  EXPECT_TRUE(AppState().m_strBkfFilePath.empty());
  EXPECT_EQ(AppState().m_bPartialScan, 0);
}

TEST_F(OpenCommandTest, ConfirmedSelectionRecordsTheFile) {
  const QString path = MakeFile("backup.bkf", 1234);
  prompt().fileNames = {path};
  QString shownSize;
  QString shownMax;
  prompt().dialogScripts.push_back([&](QDialog& dialog) {
    auto& range = dynamic_cast<CTarvelRangeSliderDlg&>(dialog);
    shownSize = range.FileSize()->text();
    shownMax = range.MaxEdit()->text();
    range.OnOK();
    return range.result();
  });
  frame->OnFileOpen();
  EXPECT_TRUE(prompt().shown.empty());
  EXPECT_EQ(shownSize, QStringLiteral("1234"));
  EXPECT_EQ(shownMax, QStringLiteral("1234"));
  EXPECT_EQ(AppState().m_strBkfFilePath, path.toStdU16String());
  EXPECT_EQ(AppState().m_bPartialScan, 2);
  EXPECT_EQ(AppState().m_nRecoveryMode, 1);
  // The scan of it runs on (see scan_run_test.cpp).
  EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->ScanWorkerRunning(); }, 60000));
}

TEST_F(OpenCommandTest, FileSizeText) {
  EXPECT_EQ(GetBkfFileSize(folder / "none.bkf"), u"");
  MakeFile("empty.bkf", 0);
  EXPECT_EQ(GetBkfFileSize(folder / "empty.bkf"), u"0");
  MakeFile("some.bkf", 70000);
  EXPECT_EQ(GetBkfFileSize(folder / "some.bkf"), u"70000");
  EXPECT_EQ(GetBkfFileSize(folder), u"");
  EXPECT_TRUE(IsSelectableBkfPath(quillon::PathToUtf16(folder / "some.bkf")));
  EXPECT_FALSE(IsSelectableBkfPath(quillon::PathToUtf16(folder / "SOME.BKF")));
}

}  // namespace
