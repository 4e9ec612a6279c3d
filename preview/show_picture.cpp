#include "show_picture.h"

#include <QApplication>
#include <QCursor>

#include "picture_decoding.h"
#include "picture_view.h"
#include "static_file_viewer.h"

bool ShowPictureIn(CTarvelStaticFileViewer& pane, const QString& path) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  PictureDecode decoded = DecodePictureFile(path);
  if (decoded.image.isNull()) {
    QApplication::restoreOverrideCursor();
    return false;
  }
  auto* view = new CPictureView;
  view->SetImage(std::move(decoded.image));
  pane.SetChildView(view);
  QApplication::restoreOverrideCursor();
  return true;
}
