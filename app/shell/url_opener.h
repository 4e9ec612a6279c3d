#pragma once
// Opening a web page or mail address in the user's default program, without
// waiting for it. Tests install their own opener to see what was opened.

#include <QUrl>
#include <functional>

using UrlOpener = std::function<bool(const QUrl& url)>;

// Opens the address through the installed opener (by default the desktop's).
bool OpenUrlExternally(const QUrl& url);
// Installs an opener (none: the desktop's again).
void SetUrlOpener(UrlOpener opener);
