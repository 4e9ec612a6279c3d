// The preview of a file-list row: the viewer table and its fallbacks to the
// hex dump, the wrapper pages, the size limit, empty files, mail files,
// files that begin in an earlier part or run on into the next one, busy and
// folder rows, and the two mends: the extracted file stays inside the
// preview folder, and the preview folder is private.

#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "gui_test_support.h"
#include "hex_dump_ctrl.h"
#include "list/file_list_ctrl.h"
#include "list/file_list_view.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "scanner.h"
#include "shell/main_frame.h"
#include "shell/preview_request.h"
#include "sample_content.h"
#include "split_backup.h"
#include "static_file_viewer.h"
#include "test_support.h"
#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_pane.h"
#include "tree_test_support.h"
#include "viewer_table.h"
#include "wrapper_page.h"

using namespace gui_testing;
namespace fs = std::filesystem;

namespace {

const QString kWait = QStringLiteral("Please wait for the running process.");

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Content(const std::string& seed, size_t size) {
  std::string text;
  while (text.size() < size) text += seed;
  text.resize(size);
  return text;
}

class PreviewTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    tree = frame->FileView()->Tree();
    list = frame->View()->FileList();
    pane = frame->OutputWnd()->FileViewer();
    pane->resize(900, 300);
  }
  void TearDown() override {
    DeletePreviewFolder();
    FrameTest::TearDown();
  }
  void Pick(QTreeWidgetItem* item) {
    ASSERT_NE(item, nullptr);
    tree->SelectItem(item);
    ASSERT_EQ(frame->OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(item)), 1);
  }
  // Loads a result and shows the folder reached by labels.
  void Show(std::unique_ptr<bkf> scanner, const QStringList& folder) {
    frame->ClearScanResult();
    LoadResult(*frame, std::move(scanner));
    QStringList path;
    for (const QString& label : folder) {
      path << label;
      Pick(ItemByPath(*tree, path));
    }
  }
  // A backup whose volume C: holds the files in its root folder, shown in the list.
  void ShowFiles(const std::vector<std::pair<std::u16string, std::string>>& files) {
    fixture::BkfWriter w;
    w.Tape(u"Media 1");
    w.Sset(1, u"Daily");
    w.Volb(u"C:");
    w.Dirb(u"");
    w.Dirb(u"Sub");
    for (const auto& [name, content] : files) w.File(name, content);
    w.Marker("ESET");
    Show(std::move(testing_support::ScanBytes(w.Data())->scanner), {"Media 1", "SET 1 :Daily", "C:", "Sub"});
  }
  int RowOf(const QString& name) const {
    for (int r = 0; r < list->GetItemCount(); ++r)
      if (list->GetItemText(r, 0) == name) return r;
    ADD_FAILURE() << "no row " << name.toStdString();
    return -1;
  }
  intptr_t Click(const QString& name) {
    prompt().Clear();
    return frame->WindowProc(UM_SHOW_PREVIEW, uintptr_t(RowOf(name)), 0);
  }
  // The dump now shown, with its bytes.
  std::string Dumped() const {
    if (!pane->HexDump()) return "<no dump>";
    return std::string(pane->DumpBuffer().begin(), pane->DumpBuffer().end());
  }
  QStringList FolderNames() const {
    QStringList names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(GetPreviewFolder(), ec))
      names << QString::fromStdString(entry.path().filename().string());
    names.sort();
    return names;
  }

  CCheckTreeCtrl* tree = nullptr;
  CTarvelRightViewListCtrl* list = nullptr;
  CTarvelStaticFileViewer* pane = nullptr;
};

TEST(ViewerTable, GroupsByExactUpperCaseExtension) {
  struct Case {
    const char16_t* ext;
    ViewerGroup group;
    WrapperKind wrapper;
  } cases[] = {
      {u"BMP", ViewerGroup::Picture, WrapperKind::None},   {u"JPG", ViewerGroup::Picture, WrapperKind::None},
      {u"SR2", ViewerGroup::Picture, WrapperKind::None},   {u"DBX", ViewerGroup::Mailbox, WrapperKind::None},
      {u"TXT", ViewerGroup::Text, WrapperKind::None},      {u"README", ViewerGroup::Text, WrapperKind::None},
      {u"PDF", ViewerGroup::Text, WrapperKind::None},      {u"C", ViewerGroup::Text, WrapperKind::None},
      {u"GIF", ViewerGroup::Browser, WrapperKind::Image},  {u"JFIF", ViewerGroup::Browser, WrapperKind::Image},
      {u"MP3", ViewerGroup::Browser, WrapperKind::Media},  {u"MPV2", ViewerGroup::Browser, WrapperKind::Media},
      {u"SWF", ViewerGroup::Browser, WrapperKind::Flash},  {u"HTM", ViewerGroup::Browser, WrapperKind::None},
      {u"XML", ViewerGroup::Browser, WrapperKind::None},   {u"ZIP", ViewerGroup::Archive, WrapperKind::None},
      {u"7Z", ViewerGroup::Archive, WrapperKind::None},    {u"Z", ViewerGroup::Archive, WrapperKind::None},
      {u"GZ", ViewerGroup::HexDump, WrapperKind::None},    {u"TGZ", ViewerGroup::HexDump, WrapperKind::None},
      {u"", ViewerGroup::HexDump, WrapperKind::None},      {u"jpg", ViewerGroup::HexDump, WrapperKind::None},
      {u"EXE", ViewerGroup::HexDump, WrapperKind::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ViewerGroupOf(c.ext), c.group) << QString::fromStdU16String(c.ext).toStdString();
    EXPECT_EQ(WrapperKindOf(c.ext), c.wrapper) << QString::fromStdU16String(c.ext).toStdString();
  }
}

TEST(WrapperPage, TextsAndBytes) {
  EXPECT_EQ(WrapperPageText(WrapperKind::Image, u"/tmp/BKFTmpQuillonv4/anim.gif"),
            u"<html><head></head><body><img src='/tmp/BKFTmpQuillonv4/anim.gif'/></body></html>");
  const std::u16string media = WrapperPageText(WrapperKind::Media, u"/tmp/f/song.mp3");
  for (const char16_t* part :
       {u"<OBJECT ID=\"MediaPlayer1\" WIDTH=320 HEIGHT=240 CLASSID=\"CLSID:22D6f312-B0F6-11D0-94AB-0080C74C7E95\" "
        u"CODEBASE=\"",
        u"#Version=5,1,52,701\" standby=\"Loading Microsoft Windows Media Player components...\" "
        u"type=\"application/x-oleobject\"><Param Name=\"FileName\" Value=\"song.mp3\"></OBJECT>"})
    EXPECT_NE(media.find(part), std::u16string::npos) << QString::fromStdU16String(part).toStdString();
  EXPECT_EQ(media.find(u"music.mp3"), std::u16string::npos);
  const std::u16string flash = WrapperPageText(WrapperKind::Flash, u"/tmp/f/clip.swf");
  EXPECT_NE(flash.find(u"classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\""), std::u16string::npos);
  EXPECT_NE(flash.find(u"#version=6,0,0,0\" WIDTH=\"500\" HEIGHT=\"250\" id=\"clip\" ALIGN=\"\">"),
            std::u16string::npos);
  EXPECT_NE(flash.find(u"<PARAM NAME=movie VALUE=\"clip.swf\">"), std::u16string::npos);
  EXPECT_NE(flash.find(u"<EMBED src=\"clip.swf\" quality=high bgcolor=#333399 WIDTH=\"320\" HEIGHT=\"240\" "
                       u"NAME=\"clip\" ALIGN=\"\" TYPE=\"application/x-shockwave-flash\" PLUGINSPAGE=\""),
            std::u16string::npos);
  EXPECT_EQ(flash.find(u"Yourfilename"), std::u16string::npos);
  // One byte per character, its low eight bits, then a zero byte.
  testing_support::TempDir dir;
  const auto page = WriteWrapperPage(dir.Path(), u"ab\u00e9\u0141");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->filename(), "bkTmp.htm");
  EXPECT_EQ(ReadAll(*page), std::string("ab\xE9\x41\0", 5));
  EXPECT_FALSE(WriteWrapperPage(dir.Path() / "missing", u"x"));
}

TEST_F(PreviewTest, EveryFileIsShownAsAHexDumpUntilItsViewExists) {
  const std::vector<std::pair<std::u16string, std::string>> files = {
      {u"data.bin", "\x01\x02\x03 binary"}, {u"photo.jpg", "jpg bytes"},   {u"photo2.JPG", "JPG bytes"},
      {u"notes.txt", "some notes"},         {u"anim.gif", "GIF89a..."},    {u"clip.swf", "FWS"},
      {u"song.mp3", "ID3"},                 {u"page.html", "<html></html>"}, {u"mail.dbx", "dbx"},
      {u"README", "no extension"},          {u"odd.", "dot at the end"}};
  ShowFiles(files);
  for (const auto& [name, content] : files) {
    const QString label = QString::fromStdU16String(name);
    EXPECT_EQ(Click(label), 1) << label.toStdString();
    EXPECT_EQ(Dumped(), content) << label.toStdString();
    EXPECT_TRUE(prompt().shown.empty()) << label.toStdString();
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
    EXPECT_EQ(tree->GetItemText(tree->GetSelectedItem()), label);
    const QStringList expected =
        label.endsWith(".gif") || label.endsWith(".swf") || label.endsWith(".mp3")
            ? QStringList{QStringLiteral("bkTmp.htm"), label}
            : QStringList{label};
    QStringList sorted = expected;
    sorted.sort();
    EXPECT_EQ(FolderNames(), sorted) << label.toStdString();
  }
  EXPECT_EQ(frame->OutputWnd()->Tabs()->currentIndex(), 1);
  EXPECT_TRUE(pane->WindowText().isEmpty());
  // The image page of the last picture the browser shows.
  Click("anim.gif");
  EXPECT_EQ(ReadAll(GetPreviewFolder() / "bkTmp.htm"),
            "<html><head></head><body><img src='" + (GetPreviewFolder() / "anim.gif").string() +
                "'/></body></html>" + std::string(1, '\0'));
}

TEST_F(PreviewTest, MailEmlIsMovedToItsHtmNameButMailEMLIsNot) {
  ShowFiles({{u"Mail.eml", "From: a\r\n\r\nhello"}, {u"Mail.EML", "From: b\r\n\r\nhello"}});
  Click("Mail.eml");
  EXPECT_EQ(FolderNames(), QStringList{"MAIL.HTM"});
  EXPECT_EQ(Dumped(), "From: a\r\n\r\nhello");
  Click("Mail.EML");
  EXPECT_EQ(FolderNames(), QStringList{"Mail.EML"});
  EXPECT_EQ(Dumped(), "From: b\r\n\r\nhello");
}

TEST_F(PreviewTest, AnEmptyFileLeavesThePaneEmpty) {
  ShowFiles({{u"data.bin", "data"}, {u"empty.txt", ""}});
  Click("data.bin");
  ASSERT_NE(pane->HexDump(), nullptr);
  Click("empty.txt");
  EXPECT_EQ(pane->ChildView(), nullptr);
  EXPECT_EQ(FolderNames(), QStringList{"empty.txt"});
  EXPECT_EQ(fs::file_size(GetPreviewFolder() / "empty.txt"), 0u);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
}

TEST_F(PreviewTest, TwentyMegabytesAndOneByteLessArePreviewedOneMoreIsRefused) {
  const std::string big = Content("0123456789abcdef", 22020095);
  ShowFiles({{u"big.bin", big}, {u"small.bin", "small"}});
  Click("big.bin");
  EXPECT_TRUE(prompt().shown.empty());
  EXPECT_EQ(Dumped(), big.substr(0, 1048576));
  EXPECT_EQ(fs::file_size(GetPreviewFolder() / "big.bin"), 22020095u);
  // One byte more: refused, the pane keeps what it showed.
  bkf* scanner = frame->Scanner();
  const int64_t index = tree->GetItemData(frame->FindChildItem(frame->CurrentFolderItem(), "small.bin")).index;
  scanner->m_files.Record(index).dataLength = 22020096;
  Click("small.bin");
  EXPECT_EQ(prompt().Texts(), QStringList{"The file size is more than 20MB, please save file to see preview ."});
  EXPECT_EQ(prompt().shown[0].caption, QStringLiteral("Corvane Quillon Repair v22.0"));
  EXPECT_EQ(prompt().shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(Dumped(), big.substr(0, 1048576));
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
}

TEST_F(PreviewTest, BusyFolderRowsAndRecordsWithoutDataChangeNothing) {
  ShowFiles({{u"data.bin", "data"}, {u"other.bin", "other"}});
  Click("data.bin");
  CHexDumpCtrl* shown = pane->HexDump();
  ASSERT_NE(shown, nullptr);
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(Click("other.bin"), 0);
  EXPECT_EQ(prompt().Texts(), QStringList{kWait});
  EXPECT_EQ(pane->HexDump(), shown);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 1);
  AppState().m_bProcessRunning.store(0);
  // A record without data: nothing happens.
  bkf* scanner = frame->Scanner();
  const int64_t index = tree->GetItemData(frame->FindChildItem(frame->CurrentFolderItem(), "other.bin")).index;
  scanner->m_files.Record(index).dataPosition = 0;
  Click("other.bin");
  EXPECT_TRUE(prompt().shown.empty());
  EXPECT_EQ(pane->HexDump(), shown);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  // A folder row.
  Pick(ItemByPath(*tree, {"Media 1", "SET 1 :Daily", "C:"}));
  Click("Sub");
  EXPECT_TRUE(prompt().shown.empty());
  EXPECT_EQ(pane->HexDump(), shown);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
}

TEST_F(PreviewTest, ContinuationAndSplitFilesAreRefusedWithTheirTexts) {
  testing_support::TempDir dir;
  fixture::SplitBackupWriter w;
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Data");
  w.Part().File(u"before.bin", fixture::BinaryContent(256 * 1024, 11));
  w.SplitFile(u"big.bin", fixture::BinaryContent(30000, 2), {10002});
  w.Part().File(u"after.txt", "after the split file\r\n");
  w.Part().Marker("ESET");
  const std::vector<fs::path> parts = w.WriteTo(dir.Path(), "split");
  struct Case {
    size_t part;
    const char* other;  // a file that is shown first
    const char* text;
  } cases[] = {{0, "before.bin", "Selected BKF file seems to be split.please save file to see preview."},
               {1, "after.txt", "File must have its beginning in a earlier file, please save file to see preview."}};
  for (const Case& c : cases) {
    Show(std::move(testing_support::ScanFile(parts[c.part])->scanner), {"Media 1", "SET 1 :Daily", "C:", "Data"});
    Click(c.other);
    ASSERT_NE(pane->HexDump(), nullptr);
    Click("big.bin");
    EXPECT_EQ(prompt().Texts(), QStringList{QString::fromLatin1(c.text)}) << c.part;
    EXPECT_EQ(pane->ChildView(), nullptr);
    EXPECT_EQ(FolderNames(), QStringList{"big.bin"});
    EXPECT_EQ(fs::file_size(GetPreviewFolder() / "big.bin"), 0u);
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  }
}

TEST_F(PreviewTest, TheExtractedFileStaysInsideThePreviewFolder) {
  ShowFiles({{u"../../escape.bin", "escape"}, {u"..", "dots"}, {u"a/b.txt", "slash"}});
  for (const char* name : {"../../escape.bin", "..", "a/b.txt"}) {
    Click(name);
    EXPECT_EQ(FolderNames().size(), 1) << name;
    EXPECT_NE(pane->HexDump(), nullptr) << name;
  }
  EXPECT_EQ(Dumped(), "slash");
  EXPECT_FALSE(fs::exists(UserTempDirectory().parent_path() / "escape.bin"));
  EXPECT_FALSE(fs::exists(UserTempDirectory() / "escape.bin"));
  EXPECT_EQ(FolderNames(), QStringList{"a_b.txt"});
}

TEST_F(PreviewTest, ThePreviewFolderIsPrivate) {
  ShowFiles({{u"data.bin", "data"}});
  // A folder of this user with access for others: made private.
  fs::create_directories(GetPreviewFolder());
  ::chmod(GetPreviewFolder().c_str(), 0777);
  EXPECT_TRUE(IsPrivateFolder(GetPreviewFolder()));
  struct stat st {};
  ASSERT_EQ(::lstat(GetPreviewFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  Click("data.bin");
  ASSERT_EQ(::lstat(GetPreviewFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(Dumped(), "data");

  // A link put in place of the folder is never followed: the user's own
  // folder is used instead.
  DeletePreviewFolder();
  const fs::path outside = PrivateRoot() / "elsewhere";
  fs::create_directories(outside);
  fs::create_directory_symlink(outside, GetPreviewFolder());
  const std::optional<fs::path> used = PreparePreviewFolder();
  ASSERT_TRUE(used);
  EXPECT_EQ(*used, FallbackPreviewFolder());
  EXPECT_TRUE(IsPrivateFolder(*used));
  EXPECT_TRUE(fs::is_empty(outside));
  DeletePreviewFolder();
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_FALSE(fs::exists(fs::symlink_status(GetPreviewFolder())));

  // A real folder of that name owned by someone else: left alone, the
  // preview goes to the user's own folder.
  fs::create_directories(GetPreviewFolder());
  if (::geteuid() != 0 || ::chown(GetPreviewFolder().c_str(), 65534, 65534) != 0)
    GTEST_SKIP() << "needs root to make a folder of another user";
  Click("data.bin");
  EXPECT_EQ(Dumped(), "data");
  EXPECT_TRUE(fs::exists(FallbackPreviewFolder() / "data.bin"));
  EXPECT_TRUE(fs::is_empty(GetPreviewFolder()));
  DeletePreviewFolder();
  EXPECT_TRUE(fs::exists(GetPreviewFolder()));
  fs::remove(GetPreviewFolder());
}

}  // namespace
