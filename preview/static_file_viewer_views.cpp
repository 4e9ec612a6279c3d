// The picture, text and browser views of the preview pane. Until they are
// built, the text and browser views report failure, so their files are shown
// as a hex dump.

#include <QFile>

#include "show_picture.h"
#include "static_file_viewer.h"

bool CTarvelStaticFileViewer::ShowPicture(const std::filesystem::path& path) {
  return ShowPictureIn(*this, QFile::decodeName(path.c_str()));
}

bool CTarvelStaticFileViewer::ShowText(const std::filesystem::path&) { return false; }

bool CTarvelStaticFileViewer::ShowInBrowser(const std::filesystem::path&) { return false; }
