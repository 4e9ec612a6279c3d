#pragma once
// The "File Viewer" tab of the bottom pane: a plain white window that hosts
// at most one child view, created for the file being previewed and destroyed
// before the next one. ShowFile picks the view by the file's extension; every
// view that fails falls back to the hex dump.

#include <QFont>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <vector>

class CArchiveListView;
class CHexDumpCtrl;
class IFileKindSource;

inline constexpr int IDC_TARVEL_BOTTOM_STATIC = 282;
inline constexpr int kHexDumpId = 317;
inline constexpr char kFileViewerText[] = "Select file to see preview.....";
// The preview's tooltip over the dump.
inline constexpr char kDumpTooltipFormat[] = "Address : %RH Hex : %2H";
// The dump shows at most this much of a file.
inline constexpr int64_t kDumpLimit = 1048576;

class CTarvelStaticFileViewer : public QWidget {
  Q_OBJECT
 public:
  explicit CTarvelStaticFileViewer(QWidget* parent = nullptr);
  ~CTarvelStaticFileViewer() override;

  // The window text (kept, not drawn).
  const QString& WindowText() const { return m_strWindowText; }
  void SetWindowText(const QString& text) { m_strWindowText = text; }

  // The current child view, or none.
  QWidget* ChildView() const { return m_pChildView; }
  // Makes view the child view (the previous one is destroyed first).
  void SetChildView(QWidget* view);
  // Destroys the current child view and forgets it.
  void DestroyChildView();

  // Shows a file in the view its upper-case extension calls for. folder: the
  // preview folder (where a wrapper page goes).
  void ShowFile(const std::filesystem::path& path, const QString& upperExtension, const std::filesystem::path& folder);

  // The views; each returns whether it shows the file.
  bool ShowHexDump(const std::filesystem::path& path);
  // 1 shown, 0 fall back to the hex dump, -1 the list cannot be made.
  int ShowArchive(const std::filesystem::path& path);
  bool ShowPicture(const std::filesystem::path& path);
  bool ShowText(const std::filesystem::path& path);
  bool ShowInBrowser(const std::filesystem::path& path);

  // The shown dump or archive list, when the child view is one.
  CHexDumpCtrl* HexDump() const;
  CArchiveListView* ArchiveList() const;
  // The bytes of the last dump (kept until the next one).
  const std::vector<uint8_t>& DumpBuffer() const { return m_dumpBuffer; }

  // Icons and type texts for the archive list (not owned; may be none).
  void SetFileKindSource(IFileKindSource* source) { m_pFileKinds = source; }
  // The library the archive list is made with (tests point it elsewhere).
  void SetArchiveLibrary(std::string library) { m_archiveLibrary = std::move(library); }

  const QFont& TextFont() const { return m_textFont; }
  const QFont& HeaderFont() const { return m_headerFont; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString m_strWindowText;
  QWidget* m_pChildView = nullptr;
  std::vector<uint8_t> m_dumpBuffer;
  QFont m_textFont;
  QFont m_headerFont;
  IFileKindSource* m_pFileKinds = nullptr;
  std::string m_archiveLibrary;
};
