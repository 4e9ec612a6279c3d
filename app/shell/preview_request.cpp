#include "shell/preview_request.h"

#include <QTabWidget>
#include <QTreeWidgetItem>
#include <filesystem>
#include <system_error>

#include "dialogs/prompt.h"
#include "dialogs/wait_cursor.h"
#include "extractor.h"
#include "list/file_list_ctrl.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "save_paths.h"
#include "scanner.h"
#include "shell/main_frame.h"
#include "file_kind_source.h"
#include "static_file_viewer.h"
#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_items.h"

namespace fs = std::filesystem;

namespace {

// The preview gives up on a file that begins in an earlier part or runs on
// into the next part: both need the save job.
class PreviewPrompts : public IExtractPrompts {
 public:
  explicit PreviewPrompts(QWidget* owner) : m_owner(owner) {}
  bool ConfirmStartsEarlier(const FoundFileRecord&) override {
    ShowMessage(m_owner, QString::fromLatin1(kPreviewStartsEarlierText));
    return false;
  }
  NextPartAnswer RequestNextPart() override {
    ShowMessage(m_owner, QString::fromLatin1(kPreviewSplitText));
    return NextPartAnswer::GiveUp();
  }

 private:
  QWidget* m_owner;
};

// The main list's icons and type texts for the archive list.
class ShellFileKinds : public IFileKindSource {
 public:
  explicit ShellFileKinds(CShellFileInfo& info) : m_info(info) {}
  int FolderIconIndex() override { return m_info.GetFolderIconIndex(); }
  int FileIconIndex(QStringView name) override { return m_info.GetFileIconIndex(name); }
  QString FileTypeName(QStringView name) override { return m_info.GetFileTypeName(name); }
  QIcon Icon(int index) override { return m_info.ImageList().Icon(index); }

 private:
  CShellFileInfo& m_info;
};

// Clears the running flag when the request ends, whichever way.
class RunningFlagGuard {
 public:
  ~RunningFlagGuard() { AppState().m_bProcessRunning.store(0); }
};

QString ExtensionOf(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot + 1);
}

}  // namespace

QString MailPreviewName(const QString& fileName) {
  return fileName.toUpper().replace(QStringLiteral(".EML"), QStringLiteral(".HTM"));
}

intptr_t CPreviewRequest::Run(int row) {
  if (AppState().m_bProcessRunning.load() == 1) {
    ShowMessage(&m_frame, QString::fromLatin1(kWaitText));
    return 0;
  }
  RunningFlagGuard clearFlag;
  try {
    Preview(row);
  } catch (...) {
    // A read or write error of the extraction, or anything else, ends the
    // request silently; what was written stays.
  }
  return 1;
}

void CPreviewRequest::Preview(int row) {
  CTarvelRightViewListCtrl* list = m_frame.ListCtrl();
  CCheckTreeCtrl* tree = m_frame.TreeCtrl();
  if (!list || !tree) return;

  // The row's item: the child of the folder shown whose label is the row's
  // name, else the folder itself; it becomes the selected item.
  const QString name = list->GetItemText(row, 0);
  QTreeWidgetItem* folder = m_frame.CurrentFolderItem();
  QTreeWidgetItem* item = m_frame.FindChildItem(folder, name);
  if (!item) item = folder;
  if (item) tree->SelectItem(item);

  if (list->GetItemText(row, 1) == QLatin1String(kFolderTypeText)) return;

  const bkf* scanner = m_frame.Scanner();
  if (!item || !scanner) return;
  const TreeItemData data = tree->GetItemData(item);
  if (data.kind != kFileItemKind || !scanner->m_files.IsValid(data.index)) return;
  AppState().m_bProcessRunning.store(1);
  const FoundFileRecord record = scanner->m_files.Record(data.index);
  if (record.kind != kFileKind || record.dataPosition == 0) return;
  if (record.dataLength / 1048576 > kPreviewLimitMiB) {
    ShowMessage(&m_frame, QString::fromLatin1(kPreviewTooLargeText));
    return;
  }

  COutputWnd* output = m_frame.OutputWnd();
  CTarvelStaticFileViewer* pane = output->FileViewer();
  pane->DestroyChildView();
  output->ShowFileViewerTab();

  WaitCursor wait;
  DeletePreviewFolder();
  const std::optional<fs::path> previewFolder = PreparePreviewFolder();
  if (!previewFolder) return;

  // The recovered name as one safe file name inside the folder: a name such
  // as "../x" or one with "/" in it never leads out of it.
  const std::u16string safeName = quillon::SafeFlatName(scanner->m_files.Name(data.index));
  fs::path path = *previewFolder / quillon::FileSystemName(safeName);
  QString extension = ExtensionOf(QString::fromStdU16String(safeName));

  PreviewPrompts prompts(&m_frame);
  SegmentedReader reader;
  const ExtractOutcome outcome = ExtractFile(*scanner, record, path, prompts, reader);
  if (outcome != ExtractOutcome::Written) return;
  if (record.dataLength == 0) return;

  std::error_code ec;
  if (extension == QLatin1String("eml") && fs::exists(fs::symlink_status(path, ec))) {
    const fs::path moved =
        path.parent_path() / MailPreviewName(QString::fromStdString(path.filename().string())).toStdString();
    fs::rename(path, moved, ec);
    if (!ec) {
      path = moved;
      extension = QStringLiteral("HTM");
    }
  }
  pane->SetWindowText(QString());
  extension = extension.toUpper();
  if (fs::exists(fs::symlink_status(path, ec))) {
    ShellFileKinds kinds(m_frame.ShellFileInfo());
    pane->SetFileKindSource(&kinds);
    pane->ShowFile(path, extension, *previewFolder);
    pane->SetFileKindSource(nullptr);
  }
}
