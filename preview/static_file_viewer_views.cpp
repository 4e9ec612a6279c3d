// The picture, text and browser views of the preview pane. Until they are
// built, each reports failure, so their files are shown as a hex dump.

#include "static_file_viewer.h"

bool CTarvelStaticFileViewer::ShowPicture(const std::filesystem::path&) { return false; }

bool CTarvelStaticFileViewer::ShowText(const std::filesystem::path&) { return false; }

bool CTarvelStaticFileViewer::ShowInBrowser(const std::filesystem::path&) { return false; }
