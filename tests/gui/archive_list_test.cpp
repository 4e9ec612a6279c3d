// The archive list of the preview: archives made in the test (zip, 7z and tar
// by p7zip, an ISO image written here byte by byte) listed through the 7-Zip
// library, folders as rows, case of the extension, passwords, damage, a
// missing library, long paths, and a zip inside a backup clicked in the list.

#include <QHeaderView>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "archive_list_view.h"
#include "archive_listing.h"
#include "file_kind_source.h"
#include "gui_test_support.h"
#include "hex_dump_ctrl.h"
#include "list/file_list_ctrl.h"
#include "list/file_list_view.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "scanner.h"
#include "shell/main_frame.h"
#include "static_file_viewer.h"
#include "test_support.h"
#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_pane.h"
#include "tree_test_support.h"

using namespace gui_testing;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs p7zip's 7z in folder `from`: 7z a [options] archive items...
void SevenZip(const fs::path& from, const std::string& arguments) {
  const std::string command = "cd '" + from.string() + "' && 7z a -bso0 -bsp0 -bse0 " + arguments;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// An ISO 9660 image: a root folder with HELLO.TXT and a folder DOCS holding A.TXT.
std::string IsoImage() {
  constexpr size_t kSector = 2048;
  std::string image(24 * kSector, '\0');
  auto put = [&](size_t at, const std::string& bytes) { image.replace(at, bytes.size(), bytes); };
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  auto both32 = [&](uint32_t v) { return le32(v) + be32(v); };
  auto both16 = [](uint16_t v) { return std::string{char(v), char(v >> 8), char(v >> 8), char(v)}; };
  auto record = [&](uint32_t extent, uint32_t length, bool folder, const std::string& id) {
    const size_t size = 33 + id.size() + (id.size() % 2 == 0 ? 1 : 0);
    std::string r(size, '\0');
    r[0] = char(size);
    r.replace(2, 8, both32(extent));
    r.replace(10, 8, both32(length));
    r.replace(18, 7, std::string{char(126), 1, 1, 0, 0, 0, 0});
    r[25] = folder ? 2 : 0;
    r.replace(28, 4, both16(1));
    r[32] = char(id.size());
    r.replace(33, id.size(), id);
    return r;
  };
  const std::string hello = "hello from the image\n", a = "a\n";
  // Primary volume descriptor and terminator.
  size_t pvd = 16 * kSector;
  put(pvd, std::string{1} + "CD001" + std::string{1});
  put(pvd + 8, std::string(32, ' '));
  put(pvd + 40, "TESTIMAGE" + std::string(23, ' '));
  put(pvd + 80, both32(24));
  put(pvd + 120, both16(1));
  put(pvd + 124, both16(1));
  put(pvd + 128, both16(2048));
  put(pvd + 132, both32(10));
  put(pvd + 140, le32(18));
  put(pvd + 148, be32(19));
  put(pvd + 156, record(20, kSector, true, std::string(1, '\0')));
  image[pvd + 881] = 1;
  put(17 * kSector, std::string{char(255)} + "CD001" + std::string{1});
  // Path tables (the root only).
  put(18 * kSector, std::string{1, 0} + le32(20) + std::string{1, 0, 0, 0});
  put(19 * kSector, std::string{1, 0} + be32(20) + std::string{0, 1, 0, 0});
  // The root folder and DOCS.
  std::string root = record(20, kSector, true, std::string(1, '\0')) + record(20, kSector, true, std::string(1, '\1')) +
                     record(21, kSector, true, "DOCS") + record(22, uint32_t(hello.size()), false, "HELLO.TXT;1");
  put(20 * kSector, root);
  std::string docs = record(21, kSector, true, std::string(1, '\0')) + record(20, kSector, true, std::string(1, '\1')) +
                     record(23, uint32_t(a.size()), false, "A.TXT;1");
  put(21 * kSector, docs);
  put(22 * kSector, hello);
  put(23 * kSector, a);
  return image;
}

// Icons and types of the test: every name gets "type of <name>".
class FakeKinds : public IFileKindSource {
 public:
  int FolderIconIndex() override { return 1; }
  int FileIconIndex(QStringView) override { return 2; }
  QString FileTypeName(QStringView name) override { return "type of " + name.toString(); }
  QIcon Icon(int index) override {
    QPixmap p(16, 16);
    p.fill(index == 1 ? Qt::yellow : Qt::blue);
    return QIcon(p);
  }
};

class ArchiveListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecorders();
    src = dir.Path() / "src";
    Write(src / "docs" / "a.txt", "hi\n");
    Write(src / "docs" / "deeper" / "b.txt", "b\n");
    Write(src / "top.bin", "top");
    pane.resize(800, 300);
    pane.SetFileKindSource(&kinds);
  }
  QStringList Rows() const {
    QStringList rows;
    const CArchiveListView* list = pane.ArchiveList();
    if (!list) return {"<no list>"};
    for (int r = 0; r < list->rowCount(); ++r) rows << list->item(r, 0)->text() + " | " + list->item(r, 1)->text();
    rows.sort();
    return rows;
  }

  testing_support::TempDir dir;
  fs::path src;
  FakeKinds kinds;
  CTarvelStaticFileViewer pane;
};

TEST_F(ArchiveListTest, ZipSevenZipTarAndIsoListTheirEntries) {
  SevenZip(src, "../t.zip docs top.bin");
  SevenZip(src, "../t.7z docs top.bin");
  SevenZip(src, "../t.tar docs top.bin");
  const QStringList expected = {"docs | Folder", "docs/a.txt | type of a.txt", "docs/deeper | Folder",
                                "docs/deeper/b.txt | type of b.txt", "top.bin | type of top.bin"};
  for (const char* name : {"t.zip", "t.7z", "t.tar"}) {
    pane.ShowFile(dir.Path() / name, QString::fromLatin1(name).section('.', -1).toUpper(), dir.Path());
    EXPECT_EQ(Rows(), expected) << name;
  }
  // The list's make-up.
  CArchiveListView* list = pane.ArchiveList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->property("controlId").toInt(), 315);
  EXPECT_EQ(list->geometry(), pane.rect());
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("File Name"));
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("File Type"));
  EXPECT_EQ(list->columnWidth(0), 200);
  EXPECT_EQ(list->columnWidth(1), 200);
  EXPECT_EQ(list->horizontalHeader()->font().pixelSize(), 16);
  EXPECT_EQ(list->horizontalHeader()->font().weight(), QFont::Bold);
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  for (int r = 0; r < list->rowCount(); ++r)
    EXPECT_FALSE(list->item(r, 0)->icon().isNull()) << r;

  // An ISO image written here.
  Write(dir.Path() / "disc.iso", IsoImage());
  pane.ShowFile(dir.Path() / "disc.iso", "ISO", dir.Path());
  EXPECT_EQ(Rows(), (QStringList{"DOCS | Folder", "DOCS/A.TXT | type of A.TXT", "HELLO.TXT | type of HELLO.TXT"}));
}

TEST_F(ArchiveListTest, TheExtensionChoosesTheFormatWithoutRegardToCase) {
  SevenZip(src, "-tzip ../data.ZIP top.bin");
  ASSERT_TRUE(ArchiveFormatForPath("x/data.ZIP"));
  EXPECT_TRUE(*ArchiveFormatForPath("x/data.ZIP") == sevenzip::FormatClassId(0x01));
  EXPECT_TRUE(*ArchiveFormatForPath("x/a.CaB") == sevenzip::FormatClassId(0x08));
  EXPECT_TRUE(*ArchiveFormatForPath("x/a.7z") == sevenzip::FormatClassId(0x07));
  EXPECT_FALSE(ArchiveFormatForPath("x/a.tgz"));
  EXPECT_FALSE(ArchiveFormatForPath("x/a.gz"));
  EXPECT_FALSE(ArchiveFormatForPath("x/zip"));
  pane.ShowFile(dir.Path() / "data.ZIP", "ZIP", dir.Path());
  EXPECT_EQ(Rows(), QStringList{"top.bin | type of top.bin"});
  // A zip named .7z is not a 7z archive: the hex dump shows its bytes.
  fs::copy_file(dir.Path() / "data.ZIP", dir.Path() / "wrong.7z");
  pane.ShowFile(dir.Path() / "wrong.7z", "7Z", dir.Path());
  ASSERT_NE(pane.HexDump(), nullptr);
  EXPECT_EQ(std::string(pane.DumpBuffer().begin(), pane.DumpBuffer().end()), ReadAll(dir.Path() / "wrong.7z"));
}

TEST_F(ArchiveListTest, PasswordsDamageAndAMissingLibraryFallBackToTheHexDump) {
  // Names encrypted: the listing needs the password.
  SevenZip(src, "-psecret -mhe=on ../names.7z docs");
  pane.ShowFile(dir.Path() / "names.7z", "7Z", dir.Path());
  EXPECT_NE(pane.HexDump(), nullptr);
  EXPECT_EQ(pane.DumpBuffer().size(), fs::file_size(dir.Path() / "names.7z"));
  // Only the data encrypted: listed.
  SevenZip(src, "-psecret ../data.zip docs");
  pane.ShowFile(dir.Path() / "data.zip", "ZIP", dir.Path());
  EXPECT_EQ(Rows().size(), 4);
  // A damaged archive of 20 MB: the first 1 MiB as a hex dump.
  std::string damaged = ReadAll(dir.Path() / "data.zip");
  for (size_t i = 0; i < damaged.size(); i += 3) damaged[i] = char(0x5A);
  damaged.resize(20 * 1024 * 1024, '\x11');
  Write(dir.Path() / "damaged.zip", damaged);
  pane.ShowFile(dir.Path() / "damaged.zip", "ZIP", dir.Path());
  ASSERT_NE(pane.HexDump(), nullptr);
  EXPECT_EQ(pane.DumpBuffer().size(), 1048576u);
  // An empty archive file, and no library at all.
  Write(dir.Path() / "empty.zip", "");
  pane.ShowFile(dir.Path() / "empty.zip", "ZIP", dir.Path());
  EXPECT_NE(pane.HexDump(), nullptr);
  pane.SetArchiveLibrary((dir.Path() / "no-such-7z.so").string());
  pane.ShowFile(dir.Path() / "data.zip", "ZIP", dir.Path());
  EXPECT_NE(pane.HexDump(), nullptr);
  EXPECT_FALSE(ListArchive(dir.Path() / "data.zip", (dir.Path() / "no-such-7z.so").c_str()).listing);
}

TEST_F(ArchiveListTest, AnArchiveWithoutEntriesShowsOnlyItsHeaders) {
  // A zip of nothing but its end record.
  Write(dir.Path() / "none.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  pane.ShowFile(dir.Path() / "none.zip", "ZIP", dir.Path());
  ASSERT_NE(pane.ArchiveList(), nullptr);
  EXPECT_EQ(pane.ArchiveList()->rowCount(), 0);
}

TEST_F(ArchiveListTest, LongPathsAreShortenedNotRefused) {
  // Deep enough for a path of more than 1023 characters.
  fs::path deep = src / "long";
  std::string relative = "long";
  for (int i = 0; i < 5; ++i) {
    const std::string part(230, char('a' + i));
    deep /= part;
    relative += "/" + part;
  }
  Write(deep / "end.txt", "end");
  relative += "/end.txt";
  ASSERT_GT(relative.size(), 1023u);
  SevenZip(src, "../long.tar long");
  const ArchiveListResult result = ListArchive(dir.Path() / "long.tar");
  ASSERT_TRUE(result.listing) << result.error;
  bool found = false;
  for (const ArchiveEntryRecord& r : result.listing->records) {
    EXPECT_LE(r.path.size(), kMaxEntryPath);
    if (r.folderFlag == u"-") {
      found = true;
      const std::u16string full = QString::fromStdString(relative).toStdU16String();
      EXPECT_EQ(r.path, ShortenEntryPath(full));
      EXPECT_EQ(r.path.substr(0, 500), full.substr(0, 500));
      EXPECT_EQ(r.path.substr(500, 3), u"...");
      EXPECT_EQ(r.path.substr(503), full.substr(full.size() - 520));
    }
  }
  EXPECT_TRUE(found);
  // Shortening never splits a surrogate pair.
  std::u16string pairs;
  for (int i = 0; i < 600; ++i) pairs += u"\U0001F600";
  const std::u16string shortened = ShortenEntryPath(pairs);
  EXPECT_LE(shortened.size(), kMaxEntryPath);
  EXPECT_EQ(QString::fromStdU16String(shortened).toStdU16String(), shortened);
  for (size_t i = 0; i + 1 < shortened.size(); ++i) {
    const bool high = shortened[i] >= 0xD800 && shortened[i] <= 0xDBFF;
    const bool lowNext = shortened[i + 1] >= 0xDC00 && shortened[i + 1] <= 0xDFFF;
    EXPECT_TRUE(!high || lowNext) << i;
  }
}

TEST(ArchivePropertyText, ValueTypes) {
  using namespace sevenzip;
  PROPVARIANT v{};
  EXPECT_EQ(PropertyText(v), std::u16string());
  v.vt = VT_BOOL;
  v.boolVal = -1;
  EXPECT_EQ(PropertyText(v), u"+");
  v.boolVal = 0;
  EXPECT_EQ(PropertyText(v), u"-");
  v.vt = VT_UI4;
  v.ulVal = 4000000000u;
  EXPECT_EQ(PropertyText(v), u"4000000000");
  v.vt = VT_I8;
  v.hVal = -42;
  EXPECT_EQ(PropertyText(v), u"-42");
  wchar_t text[] = L"d\u00e9j\u00e0/\U0001F600";
  v.vt = VT_BSTR;
  v.bstrVal = text;
  EXPECT_EQ(PropertyText(v), u"d\u00e9j\u00e0/\U0001F600");
  v.vt = 64;  // a FILETIME has no text form here
  EXPECT_FALSE(PropertyText(v));
}

// A zip inside a backup, clicked in the file list.
class ArchiveInBackupTest : public FrameTest {};

TEST_F(ArchiveInBackupTest, AZipInABackupShowsItsEntries) {
  testing_support::TempDir dir;
  Write(dir.Path() / "src" / "inner" / "x.txt", "x");
  SevenZip(dir.Path() / "src", "../bundle.zip inner");
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"");
  w.File(u"bundle.zip", ReadAll(dir.Path() / "bundle.zip"));
  w.Marker("ESET");
  LoadResult(*frame, w);
  CCheckTreeCtrl* tree = frame->FileView()->Tree();
  QStringList path;
  for (const char* label : {"Media 1", "SET 1 :Daily", "C:"}) {
    path << label;
    QTreeWidgetItem* item = ItemByPath(*tree, path);
    tree->SelectItem(item);
    ASSERT_EQ(frame->OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(item)), 1);
  }
  EXPECT_EQ(frame->WindowProc(UM_SHOW_PREVIEW, 0, 0), 1);
  CTarvelStaticFileViewer* viewer = frame->OutputWnd()->FileViewer();
  CArchiveListView* list = viewer->ArchiveList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->rowCount(), 2);
  QStringList rows = {list->item(0, 0)->text() + " | " + list->item(0, 1)->text(),
                      list->item(1, 0)->text() + " | " + list->item(1, 1)->text()};
  rows.sort();
  EXPECT_EQ(rows, (QStringList{"inner | Folder",
                               "inner/x.txt | " + frame->ShellFileInfo().GetFileTypeName(u"x.txt")}));
  EXPECT_FALSE(list->item(0, 0)->icon().isNull());
  DeletePreviewFolder();
}

}  // namespace
