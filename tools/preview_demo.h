#pragma once
#include "bkf_writer.h"

namespace fixture {
// A backup of files for the preview's views: RTF (also under a .txt name),
// a UTF-16 .reg export, a web page, a mail, a GIF, an mp3, a wma and a Flash
// movie, all in the folder "Preview".
BkfWriter PreviewDemoBackup();
// One second of silent MPEG-1 Layer III frames.
std::string SilentMp3();
}  // namespace fixture
