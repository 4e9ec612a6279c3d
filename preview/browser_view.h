#pragma once
// ShowInBrowser's work: the browser view for a file of the browser group or
// its wrapper page, with the wrapper page's player script where one is needed.

#include <QByteArray>
#include <QString>

class QWidget;
class SimpleBrowser;

// The name of the wrapper page in the preview folder.
inline constexpr char kWrapperPageName[] = "bkTmp.htm";

enum class WrapperPage { None, Media, Flash };

// Which player object a wrapper page holds.
WrapperPage ClassifyWrapperPage(const QByteArray& page);

// Makes the browser view over parent's client area and starts loading the
// file (path inside previewFolder). nullptr when the view cannot be made.
SimpleBrowser* OpenInBrowser(const QString& path, const QString& previewFolder, QWidget* parent);
