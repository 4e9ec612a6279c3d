#pragma once
// The product page: the user guide shipped with the program as a local HTML
// file, so that Help works without a network.

#include <QString>
#include <QUrl>

inline constexpr char kUserGuideFileName[] = "user-guide.html";

// The guide of a program in programDir: docs/ beside it (the build tree), or
// the documentation folder of the prefix it is installed in; empty when
// neither exists.
QString InstalledOrBuiltGuide(const QString& programDir);
// The guide of this program; when it has none on disk (documentation left out
// of the installation), the copy built into the program, written to the
// user's cache folder.
QString UserGuidePath();
// The guide's address.
QUrl ProductPageUrl();
