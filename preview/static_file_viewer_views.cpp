// The picture, text and browser views of the preview pane.

#include <QFile>
#include <QString>

#include "browser_view.h"
#include "show_picture.h"
#include "simple_browser.h"
#include "static_file_viewer.h"
#include "text_view.h"

namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

bool CTarvelStaticFileViewer::ShowPicture(const std::filesystem::path& path) {
  return ShowPictureIn(*this, QFile::decodeName(path.c_str()));
}

bool CTarvelStaticFileViewer::ShowText(const std::filesystem::path& path) {
  auto* view = new CTextPreviewView(m_textFont);
  if (!view->ShowFile(Q(path))) {
    delete view;
    return false;
  }
  SetChildView(view);
  return true;
}

bool CTarvelStaticFileViewer::ShowInBrowser(const std::filesystem::path& path) {
  // The page may load what lies beside it in the preview folder, nothing else.
  SimpleBrowser* browser = OpenInBrowser(Q(path), Q(path.parent_path()), this);
  if (!browser) return false;
  SetChildView(browser);
  return true;
}
