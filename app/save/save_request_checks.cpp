#include "save/save_request_checks.h"

#include "dialogs/prompt.h"
#include "save/save_recovered_dlg.h"
#include "save_log.h"
#include "save_paths.h"

bool CheckSaveRequest(QWidget* host, size_t fileCount, const QString& destination, bool hierarchy) {
  if (fileCount == 0) {
    ShowMessage(host, QString::fromStdU16String(quillon::kNoFileToSave));
    return false;
  }
  if (!quillon::SaveDestination(destination.toStdU16String()).IsFolder()) {
    ShowMessage(host, QString::fromStdU16String(quillon::kInvalidDestination));
    return false;
  }
  if (hierarchy) ShowMessage(host, QString::fromLatin1(kLongNameNotice));
  return true;
}
