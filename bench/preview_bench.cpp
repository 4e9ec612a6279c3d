// The preview in the real main window (offscreen unless a display is asked
// for): a click on a 21 MB file until its hex dump is on screen, one full
// repaint of a 1 MiB dump at 1600 x 400, 1 000 wheel steps over it, and the
// listing of an archive of 10 000 entries, through the library alone and
// into the list.

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "archive_listing.h"
#include "bench_support.h"
#include "bkf_writer.h"
#include "gui_bench_support.h"
#include "hex_dump_ctrl.h"
#include "list/file_list_ctrl.h"
#include "log/output_pane.h"
#include "notify.h"
#include "preview_folder.h"
#include "scanner.h"
#include "shell/app_settings.h"
#include "shell/main_frame.h"
#include "static_file_viewer.h"
#include "tree/check_tree_ctrl.h"

namespace {

constexpr size_t kBigFile = 21 * 1000 * 1000;
constexpr int kEntries = 10000;

// A tar archive of `count` empty files in 100 folders.
std::string TarOf(int count) {
  std::string tar;
  for (int i = 0; i < count; ++i) {
    std::string header(512, '\0');
    // Each field overwritten in place, the header keeps its 512 bytes.
    const auto put = [&](size_t at, const std::string& text) { header.replace(at, text.size(), text); };
    put(0, "folder" + std::to_string(i / 100) + "/entry-" + std::to_string(i) + ".txt");
    put(100, "0000644");
    put(108, "0000000");
    put(116, "0000000");
    put(124, "00000000000");
    put(136, "00000000000");
    put(156, "0");
    put(257, std::string("ustar\0", 6));
    put(263, "00");
    put(148, "        ");
    unsigned sum = 0;
    for (unsigned char c : header) sum += c;
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%06o", sum);
    put(148, std::string(checksum, 6) + '\0');
    tar += header;
  }
  tar.append(1024, '\0');
  return tar;
}

std::vector<uint8_t> BigContent() {
  std::vector<uint8_t> bytes(kBigFile);
  uint32_t x = 12345;
  for (uint8_t& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = uint8_t(x >> 24);
  }
  return bytes;
}

QTreeWidgetItem* Child(CCheckTreeCtrl* tree, QTreeWidgetItem* parent, const QString& label) {
  for (int i = 0; i < parent->childCount(); ++i)
    if (tree->GetItemText(parent->child(i)) == label) return parent->child(i);
  return nullptr;
}

int RowOf(CMainFrame& frame, const QString& name) {
  for (int r = 0; r < frame.ListCtrl()->GetItemCount(); ++r)
    if (frame.ListCtrl()->GetItemText(r, 0) == name) return r;
  return -1;
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
  if (!bench::ShowMainFrame(frame, QSize(1600, 900))) return 1;

  // A backup with a 21 MB file and a tar archive of 10 000 entries.
  const std::filesystem::path backup = std::filesystem::path(home.path().toStdString()) / "preview.bkf";
  const std::string tar = TarOf(kEntries);
  {
    fixture::BkfWriter w;
    w.Tape(u"Media 1");
    w.Sset(1, u"Daily");
    w.Volb(u"C:");
    w.Dirb(u"");
    const std::vector<uint8_t> big = BigContent();
    w.File(u"big.bin", big);
    w.File(u"entries.tar", tar);
    w.Marker("ESET");
    w.WriteTo(backup);
  }
  bench::CountingNotify notify;
  auto scanner = std::make_unique<bkf>();
  scanner->m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  scanner->Scan(backup);
  AppState().m_bProcessRunning.store(0);
  scanner->m_hNotifyWnd = &frame;
  frame.SetScanner(std::move(scanner));
  frame.FillFirstTreeLevel();
  CCheckTreeCtrl* tree = frame.TreeCtrl();
  QTreeWidgetItem* at = tree->topLevelItem(0);
  for (const char* label : {"SET 1 :Daily", "C:", ""}) {
    tree->SelectItem(at);
    frame.OnTreeSelect(0, reinterpret_cast<intptr_t>(at));
    QApplication::processEvents();
    if (*label) at = Child(tree, at, QString::fromLatin1(label));
  }
  const int bigRow = RowOf(frame, QStringLiteral("big.bin"));
  if (bigRow < 0) return 1;
  CTarvelStaticFileViewer* pane = frame.OutputWnd()->FileViewer();

  std::printf("Preview in the main window (1600 x 900)\n");
  std::vector<double> clicks;
  for (int i = 0; i < 5; ++i) {
    clicks.push_back(bench::Seconds([&] {
      frame.WindowProc(UM_SHOW_PREVIEW, uintptr_t(bigRow), 0);
      if (CHexDumpCtrl* dump = pane->HexDump()) dump->repaint();
      QApplication::processEvents();
    }));
  }
  const double click = bench::Median(clicks);
  std::printf("  click on a 21 MB file to its dump on screen: %7.3f s (median of 5)\n", click);

  // The dump alone at 1600 x 400.
  std::vector<uint8_t> mib(1048576);
  for (size_t i = 0; i < mib.size(); ++i) mib[i] = uint8_t(i * 131 + 7);
  CHexDumpCtrl dump;
  dump.resize(1600, 400);
  dump.show();
  dump.SetDumpReadOnly();
  dump.SetTooltipFormat(QString::fromLatin1(kDumpTooltipFormat), true);
  dump.SetDumpData(int64_t(mib.size()), mib.data());
  QApplication::processEvents();
  QPixmap picture;
  dump.Render(picture);
  constexpr int kPaints = 200;
  const double paints = bench::Seconds([&] {
    for (int i = 0; i < kPaints; ++i) dump.Render(picture);
  });
  const double paintMs = paints * 1000 / kPaints;
  std::printf("  one full repaint, 1 MiB dump at 1600 x 400:  %7.3f ms (%d cells per row, %lld per page)\n",
              paintMs, dump.CellsPerRow(), static_cast<long long>(dump.CellsPerPage()));
  // Where the time goes: the same repaint without the panel, and with no grid.
  for (const auto& [label, remove] : {std::pair{"without the value panel", hexdump::kPanelMask},
                                       std::pair{"without any column", hexdump::kShowMask | hexdump::kPanelMask}}) {
    dump.ModifyDumpStyle(remove, 0);
    const double seconds = bench::Seconds([&] {
      for (int i = 0; i < kPaints; ++i) dump.Render(picture);
    });
    std::printf("    (repaint %-24s %7.3f ms)\n", label, seconds * 1000 / kPaints);
    dump.ModifyDumpStyle(0, hexdump::kDefaultStyle);
  }
  const double wheel = bench::Seconds([&] {
    for (int i = 0; i < 1000; ++i) {
      QWheelEvent step(QPointF(100, 100), dump.mapToGlobal(QPointF(100, 100)), {}, QPoint(0, -120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(&dump, &step);
      dump.repaint();
    }
  });
  std::printf("  1 000 wheel steps, each drawn:              %7.3f s (%.3f ms a step)\n", wheel, wheel);

  // The archive of 10 000 entries.
  const std::filesystem::path tarPath = std::filesystem::path(home.path().toStdString()) / "entries.tar";
  std::ofstream(tarPath, std::ios::binary) << tar;
  size_t listed = 0;
  const double library = bench::Seconds([&] {
    const ArchiveListResult result = ListArchive(tarPath);
    listed = result.listing ? result.listing->Count() : 0;
    if (!result.listing) std::fprintf(stderr, "no listing: %s\n", result.error.c_str());
  });
  std::printf("  archive listing by the library alone:        %7.3f s (%zu entries)\n", library, listed);
  const int tarRow = RowOf(frame, QStringLiteral("entries.tar"));
  const double listClick = bench::Seconds([&] {
    frame.WindowProc(UM_SHOW_PREVIEW, uintptr_t(tarRow), 0);
    QApplication::processEvents();
  });
  std::printf("  click on the archive to its list on screen:  %7.3f s\n", listClick);

  bench::PrintGoal("preview of a 21 MB file, click to dump (s)", click, "<", 0.3);
  bench::PrintGoal("full repaint of a 1 MiB dump at 1600x400 (ms)", paintMs, "<", 5.0);
  bench::PrintGoal("archive of 10 000 entries listed and shown (s)", listClick, "<", 1.0);
  std::fflush(stdout);
  DeletePreviewFolder();
  SetAppState(nullptr);
  return 0;
}
