// Pictures inside a scanned backup, previewed from the file list: shown as
// pictures whatever their name says, and a damaged or hostile picture gives
// the hex dump while the window goes on.

#include <QBuffer>
#include <QImageWriter>
#include <filesystem>

#include "gui_test_support.h"
#include "list/file_list_ctrl.h"
#include "list/file_list_view.h"
#include "log/output_pane.h"
#include "picture_decoding.h"
#include "picture_view.h"
#include "picture_writer.h"
#include "preview_folder.h"
#include "scanner.h"
#include "shell/main_frame.h"
#include "shell/preview_request.h"
#include "static_file_viewer.h"
#include "test_support.h"
#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_pane.h"
#include "tree_test_support.h"

using namespace gui_testing;

namespace {

std::string AsText(const fixture::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string PngOf(const fixture::Picture& p) {
  QImage image(p.width, p.height, QImage::Format_RGB32);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) image.setPixel(x, y, 0xFF000000u | p.At(x, y));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "png").write(image);
  return data.toStdString();
}

class PicturePreviewTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    tree = frame->FileView()->Tree();
    list = frame->View()->FileList();
    pane = frame->OutputWnd()->FileViewer();
    pane->resize(900, 300);
    helper::Limits generous;
    generous.time = std::chrono::seconds(60);
    SetDecodeLimits(generous);
  }
  void TearDown() override {
    SetDecodeLimits({});
    SetDecodeHelperPath(QString());
    DeletePreviewFolder();
    FrameTest::TearDown();
  }
  void ShowFiles(const std::vector<std::pair<std::u16string, std::string>>& files) {
    fixture::BkfWriter w;
    w.Tape(u"Media 1");
    w.Sset(1, u"Daily");
    w.Volb(u"C:");
    w.Dirb(u"");
    for (const auto& [name, content] : files) w.File(name, content);
    w.Marker("ESET");
    frame->ClearScanResult();
    LoadResult(*frame, std::move(testing_support::ScanBytes(w.Data())->scanner));
    QStringList path;
    for (const QString label : {"Media 1", "SET 1 :Daily", "C:"}) {
      path << label;
      QTreeWidgetItem* item = ItemByPath(*tree, path);
      ASSERT_NE(item, nullptr);
      tree->SelectItem(item);
      ASSERT_EQ(frame->OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(item)), 1);
    }
  }
  void Click(const QString& name) {
    for (int r = 0; r < list->GetItemCount(); ++r)
      if (list->GetItemText(r, 0) == name) {
        frame->WindowProc(UM_SHOW_PREVIEW, uintptr_t(r), 0);
        return;
      }
    ADD_FAILURE() << "no row " << name.toStdString();
  }
  QSize PictureSize() const {
    auto* view = qobject_cast<CPictureView*>(pane->ChildView());
    return view ? view->Image().size() : QSize();
  }

  CCheckTreeCtrl* tree = nullptr;
  CTarvelRightViewListCtrl* list = nullptr;
  CTarvelStaticFileViewer* pane = nullptr;
};

TEST_F(PicturePreviewTest, PicturesInABackupAreShownAndBadOnesDumped) {
  const fixture::Picture colour = fixture::QuadrantPicture(13, 9), stripes = fixture::StripePicture(21, 7);
  ShowFiles({{u"photo.jpg", PngOf(colour)},
             {u"scan.PCX", AsText(fixture::PcxFile(colour, 8))},
             {u"sprite.ska", AsText(fixture::SkaFile(colour))},
             {u"sun.ras", AsText(fixture::SunRasterFile(colour, 32, false))},
             {u"test.pgx", AsText(fixture::PgxFile(colour, 8, false, true))},
             {u"fax.jbg", AsText(fixture::JbigFile(stripes))},
             {u"photo.jp2", AsText(fixture::Jpeg2000File(colour, true))},
             {u"drawing.wmf", AsText(fixture::WmfFile(40, 30))},
             {u"camera.cr2", AsText(fixture::DngFile(fixture::QuadrantPicture(64, 48)))},
             {u"broken.png", "\x89PNG\r\n\x1a\n but nothing after"},
             {u"evil.bmp", "QUILLON-TEST crash"}});
  const std::vector<std::pair<QString, QSize>> shown = {
      {"photo.jpg", {13, 9}}, {"scan.PCX", {13, 9}},   {"sprite.ska", {13, 9}}, {"sun.ras", {13, 9}},
      {"test.pgx", {13, 9}},  {"fax.jbg", {21, 7}},    {"photo.jp2", {13, 9}},  {"drawing.wmf", {40, 30}},
      {"camera.cr2", {64, 48}}};
  for (const auto& [name, size] : shown) {
    Click(name);
    EXPECT_EQ(PictureSize(), size) << name.toStdString();
    EXPECT_EQ(pane->ChildView()->geometry(), pane->rect()) << name.toStdString();
  }
  Click("broken.png");
  ASSERT_NE(pane->HexDump(), nullptr);
  EXPECT_EQ(pane->DumpBuffer().size(), std::string("\x89PNG\r\n\x1a\n but nothing after").size());

  // A helper that crashes on the file: the hex dump, and the window goes on.
  SetDecodeHelperPath(QStringLiteral(QUILLON_MISBEHAVING_HELPER));
  Click("evil.bmp");
  ASSERT_NE(pane->HexDump(), nullptr);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  Click("photo.jpg");
  EXPECT_EQ(PictureSize(), QSize(13, 9));
  EXPECT_TRUE(frame->isVisible());
}

}  // namespace
