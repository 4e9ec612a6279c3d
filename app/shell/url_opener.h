#pragma once
// Opening a web page or mail address in the user's default program, without
// waiting for it. Tests install their own opener to see what was opened.

#include <QUrl>
#include <functional>

class QObject;

using UrlOpener = std::function<bool(const QUrl& url)>;

// Opens the address through the installed opener (by default the desktop's).
bool OpenUrlExternally(const QUrl& url);
// The same, and `failed` runs (on this thread, perhaps later) when it could
// not be opened: no launcher, or the launcher found no program for it (the
// desktop's launcher reports that by its exit status, after a moment; the
// check ends with `context`).
void OpenUrlExternally(const QUrl& url, QObject* context, std::function<void()> failed);
// Installs an opener (none: the desktop's again).
void SetUrlOpener(UrlOpener opener);
