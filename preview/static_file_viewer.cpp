#include "static_file_viewer.h"

#include "archive_listing_client.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "archive_list_view.h"
#include "archive_listing.h"
#include "hex_dump_ctrl.h"
#include "viewer_table.h"
#include "wrapper_page.h"

namespace {
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Reads at most `limit` bytes from the start of a regular file; false when
// it cannot be opened or read. Never waits on a FIFO or a device.
bool ReadHead(const std::filesystem::path& path, int64_t limit, std::vector<uint8_t>& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  const size_t want = size_t(std::clamp<int64_t>(st.st_size, 0, limit));
  out.assign(want, 0);
  size_t done = 0;
  while (done < want) {
    const ssize_t n = ::read(fd, out.data() + done, want - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  out.resize(done);
  ::close(fd);
  return true;
}
}  // namespace

CTarvelStaticFileViewer::CTarvelStaticFileViewer(QWidget* parent)
    : QWidget(parent), m_strWindowText(QString::fromLatin1(kFileViewerText)), m_archiveLibrary(kSevenZipLibrary) {
  setObjectName(QStringLiteral("fileViewer"));
  setProperty("controlId", IDC_TARVEL_BOTTOM_STATIC);
  setAccessibleName(QStringLiteral("File Viewer"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_textFont = QFont(QStringLiteral("Times New Roman"));
  m_textFont.setPixelSize(18);
  m_textFont.setWeight(QFont::Normal);
  m_headerFont = QFont(QStringLiteral("Arial"));
  m_headerFont.setPixelSize(16);
  m_headerFont.setWeight(QFont::Bold);
}

CTarvelStaticFileViewer::~CTarvelStaticFileViewer() = default;

void CTarvelStaticFileViewer::SetChildView(QWidget* view) {
  DestroyChildView();
  m_pChildView = view;
  if (!view) return;
  view->setParent(this);
  view->setGeometry(rect());
  view->show();
}

void CTarvelStaticFileViewer::DestroyChildView() {
  delete m_pChildView;
  m_pChildView = nullptr;
}

CHexDumpCtrl* CTarvelStaticFileViewer::HexDump() const { return qobject_cast<CHexDumpCtrl*>(m_pChildView); }

CArchiveListView* CTarvelStaticFileViewer::ArchiveList() const {
  return qobject_cast<CArchiveListView*>(m_pChildView);
}

void CTarvelStaticFileViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
}

void CTarvelStaticFileViewer::resizeEvent(QResizeEvent* event) {
  if (m_pChildView) m_pChildView->setGeometry(0, 0, event->size().width(), event->size().height());
}

void CTarvelStaticFileViewer::ShowFile(const std::filesystem::path& path, const QString& upperExtension,
                                       const std::filesystem::path& folder) {
  BusyCursor busy;
  const std::u16string ext = upperExtension.toStdU16String();
  switch (ViewerGroupOf(ext)) {
    case ViewerGroup::Picture:
      DestroyChildView();
      if (!ShowPicture(path)) ShowHexDump(path);
      return;
    case ViewerGroup::Mailbox:
      DestroyChildView();
      ShowHexDump(path);
      return;
    case ViewerGroup::Text:
      DestroyChildView();
      if (!ShowText(path)) ShowHexDump(path);
      return;
    case ViewerGroup::Browser: {
      DestroyChildView();
      std::filesystem::path target = path;
      if (const WrapperKind kind = WrapperKindOf(ext); kind != WrapperKind::None) {
        const std::optional<std::filesystem::path> page =
            WriteWrapperPage(folder, WrapperPageText(kind, path.u16string()));
        if (!page) return;  // nothing is shown
        target = *page;
      }
      if (!ShowInBrowser(target)) ShowHexDump(path);
      return;
    }
    case ViewerGroup::Archive:
      DestroyChildView();
      if (ShowArchive(path) == 0) ShowHexDump(path);
      return;
    case ViewerGroup::HexDump:
      ShowHexDump(path);
      return;
  }
}

bool CTarvelStaticFileViewer::ShowHexDump(const std::filesystem::path& path) {
  DestroyChildView();
  m_dumpBuffer.clear();
  m_dumpBuffer.shrink_to_fit();
  BusyCursor busy;
  auto* dump = new CHexDumpCtrl(this);
  dump->setProperty("controlId", kHexDumpId);
  SetChildView(dump);
  dump->SetDumpReadOnly();
  if (!ReadHead(path, kDumpLimit, m_dumpBuffer)) {
    DestroyChildView();
    return false;
  }
  dump->SetTooltipFormat(QString::fromLatin1(kDumpTooltipFormat), true);
  dump->SetDumpData(int64_t(m_dumpBuffer.size()), m_dumpBuffer.data());
  return true;
}

int CTarvelStaticFileViewer::ShowArchive(const std::filesystem::path& path) {
  BusyCursor busy;
  auto* list = new CArchiveListView(m_headerFont, this);
  SetChildView(list);
  const ArchiveListResult result = ListArchiveInHelper(path, m_archiveLibrary.c_str());
  if (!result.listing) {
    DestroyChildView();
    return 0;
  }
  try {
    list->Fill(*result.listing, m_pFileKinds);
  } catch (...) {
    DestroyChildView();
    return 0;
  }
  return 1;
}
