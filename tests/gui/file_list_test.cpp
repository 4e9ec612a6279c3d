// The file list control and the shell's icons and type names.

#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include "gui_test_support.h"
#include "list/file_list_ctrl.h"
#include "list/shell_file_info.h"
#include "tree_test_support.h"

using namespace gui_testing;

namespace {

// Records the preview requests of a list.
class PreviewRecorder : public INotifyTarget {
 public:
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    EXPECT_EQ(message, UM_SHOW_PREVIEW);
    EXPECT_EQ(lParam, 0);
    rows << int(wParam);
    return 1;
  }
  void PostMessage(uint32_t, uintptr_t, intptr_t) override { ADD_FAILURE() << "the list only sends"; }
  MsgResult MessageBox(const std::u16string&, const std::u16string&, MsgButtons, MsgIcon) override {
    return MsgResult::Ok;
  }
  QList<int> rows;
};

class FileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetNotifyTarget(&recorder);
    list.SetImageList(&shell.ImageList());
    list.resize(900, 300);
    list.show();
    QCoreApplication::processEvents();
  }
  void Fill(int rows) {
    list.BeginFill();
    for (int r = 0; r < rows; ++r) list.AppendRow(QStringLiteral("file%1.txt").arg(r), 0, QStringLiteral("Text"));
    list.EndFill();
  }
  QPoint RowCenter(int row) const { return list.visualRect(list.model()->index(row, 1)).center(); }

  CShellFileInfo shell;
  CTarvelRightViewListCtrl list;
  PreviewRecorder recorder;
};

TEST_F(FileListTest, ColumnsGridSelectionAndHeader) {
  const QAbstractItemModel* model = list.model();
  ASSERT_EQ(model->columnCount(), 2);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "File Name");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "File Type");
  EXPECT_EQ(list.columnWidth(0), 400);
  EXPECT_TRUE(list.showGrid());
  EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
  const QFont font = list.horizontalHeader()->font();
  EXPECT_EQ(font.family(), "Arial");
  EXPECT_EQ(font.pixelSize(), 16);
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_EQ(qvariant_cast<QFont>(model->headerData(0, Qt::Horizontal, Qt::FontRole)), font);
  EXPECT_EQ(list.contextMenuPolicy(), Qt::PreventContextMenu);
}

TEST_F(FileListTest, TheLastColumnTakesTheRemainingWidthAndThePictureFollowsTheSize) {
  EXPECT_EQ(list.columnWidth(1), list.viewport()->width() - 400);
  EXPECT_EQ(list.Background().deviceIndependentSize().toSize(), list.viewport()->size());
  list.resize(1300, 500);
  QCoreApplication::processEvents();
  EXPECT_EQ(list.columnWidth(0), 400);
  EXPECT_EQ(list.columnWidth(1), list.viewport()->width() - 400);
  EXPECT_EQ(list.Background().deviceIndependentSize().toSize(), list.viewport()->size());
  // The picture is drawn, not left transparent.
  const QImage picture = list.Background().toImage();
  EXPECT_GT(picture.pixelColor(picture.width() / 2, picture.height() / 2).alpha(), 0);
}

TEST_F(FileListTest, RowsAppearWhenTheFillEndsAndCarryTheirInfoTip) {
  QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
  list.BeginFill();
  for (int r = 0; r < 1000; ++r) list.AppendRow(QStringLiteral("name %1 that is long").arg(r), 0, "Text");
  EXPECT_EQ(list.model()->rowCount(), 0);
  list.EndFill();
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(list.model()->rowCount(), 1000);
  EXPECT_EQ(list.GetItemText(7, 0), "name 7 that is long");
  EXPECT_EQ(list.GetItemText(7, 1), "Text");
  for (int column : {0, 1})
    EXPECT_EQ(list.model()->index(7, column).data(Qt::ToolTipRole).toString(), "name 7 that is long");
  EXPECT_FALSE(list.model()->index(7, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
  list.DeleteAllItems();
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_EQ(list.model()->rowCount(), 0);
}

TEST_F(FileListTest, ALeftClickOnARowAsksForItsPreview) {
  Fill(3);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, RowCenter(1));
  EXPECT_EQ(recorder.rows, QList<int>{1});
  EXPECT_EQ(list.SelectedRow(), 1);
  // Outside the rows, and with the right button: nothing.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, list.viewport()->height() - 5));
  QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, RowCenter(2));
  EXPECT_EQ(recorder.rows, QList<int>{1});
}

TEST_F(FileListTest, UpAndDownPreviewTheMarkedRowOnPressAndRelease) {
  Fill(3);
  list.setFocus();
  list.SelectRow(1);
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(recorder.rows, (QList<int>{1, 2}));
  EXPECT_EQ(list.SelectedRow(), 2);
  // At the last row the mark stays: the same row twice.
  recorder.rows.clear();
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(recorder.rows, (QList<int>{2, 2}));
  list.SelectRow(0);
  recorder.rows.clear();
  QTest::keyClick(&list, Qt::Key_Up);
  EXPECT_EQ(recorder.rows, (QList<int>{0, 0}));
  EXPECT_EQ(list.SelectedRow(), 0);
  // Other keys ask for nothing; an empty list neither.
  recorder.rows.clear();
  QTest::keyClick(&list, Qt::Key_End);
  EXPECT_TRUE(recorder.rows.isEmpty());
  list.DeleteAllItems();
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_TRUE(recorder.rows.isEmpty());
}

// Type names in English whatever the machine's language.
class ShellFileInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  void TearDown() override { QLocale::setDefault(saved); }
  QLocale saved;
  CShellFileInfo shell;
};

TEST_F(ShellFileInfoTest, TypeNamesComeFromTheMimeDatabaseByExtension) {
  EXPECT_EQ(shell.GetFileTypeName(u"report.txt"), "plain text document");
  EXPECT_EQ(shell.GetFileTypeName(u"REPORT.TXT"), "plain text document");
  EXPECT_EQ(shell.GetFileTypeName(u"photo.jpg"), "JPEG image");
  EXPECT_EQ(shell.GetFileTypeName(u"page.html"), "HTML document");
  // What the database does not know is named after its extension.
  EXPECT_EQ(shell.GetFileTypeName(u"data.qqzx"), "QQZX File");
  EXPECT_EQ(shell.GetFileTypeName(u"README"), "File");
  EXPECT_EQ(shell.GetFileTypeName(u"archive.tar.gz"), shell.GetFileTypeName(u"x.gz"));
  EXPECT_EQ(CShellFileInfo::Extension(u"archive.tar.gz"), u"gz");
  EXPECT_EQ(CShellFileInfo::Extension(u".profile"), u"profile");
  EXPECT_TRUE(CShellFileInfo::Extension(u"noext").isEmpty());
}

TEST_F(ShellFileInfoTest, IconsComeFromTheIconThemeAndAreSharedPerKind) {
  // The theme is found without a desktop: the icons are the theme's.
  EXPECT_FALSE(QIcon::themeName().isEmpty());
  EXPECT_TRUE(QIcon::hasThemeIcon("text-x-generic"));
  const ShellImageList& images = shell.ImageList();
  const auto nameOf = [&](int image) { return images.Icon(image).name(); };
  EXPECT_FALSE(images.Icon(CShellFileInfo::kMediaImage).isNull());
  EXPECT_EQ(nameOf(shell.GetFolderIconIndex()), "folder");
  const QStringList textIcons{"text-plain", "text-x-generic"};
  const QString textIcon = nameOf(shell.GetFileIconIndex(u"a.txt"));
  EXPECT_TRUE(textIcons.contains(textIcon)) << textIcon.toStdString();
  const QStringList imageIcons{"image-jpeg", "image-x-generic"};
  EXPECT_TRUE(imageIcons.contains(nameOf(shell.GetFileIconIndex(u"b.jpg"))));
  EXPECT_NE(shell.GetFileIconIndex(u"a.txt"), shell.GetFileIconIndex(u"b.jpg"));
  EXPECT_FALSE(images.Icon(shell.GetFileIconIndex(u"data.qqzx")).isNull());
  // Kinds that share a theme icon share the image; the list does not grow
  // with the number of files.
  const int count = images.Count();
  for (int i = 0; i < 1000; ++i) shell.Lookup(QStringLiteral("f%1.txt").arg(i));
  shell.Lookup(u"notes.log");
  shell.Lookup(u"notes.TXT");
  EXPECT_LE(images.Count(), count + 1);
  EXPECT_EQ(shell.GetFileIconIndex(u"x.TXT"), shell.GetFileIconIndex(u"y.txt"));
  EXPECT_TRUE(images.Icon(-1).isNull());
  EXPECT_TRUE(images.Icon(images.Count()).isNull());
}

}  // namespace
