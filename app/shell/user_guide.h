#pragma once
// The product page: the user guide shipped with the program as a local HTML
// file, so that Help works without a network.

#include <QString>
#include <QUrl>

inline constexpr char kUserGuideFileName[] = "user-guide.html";

// The guide next to the program (docs/ beside it, or the installed share
// folder); when neither exists, the copy built into the program, written to
// the user's cache folder.
QString UserGuidePath();
// The guide's address.
QUrl ProductPageUrl();
