// Where Help finds the user guide: beside the program in the build tree, in
// the documentation folder of the prefix once installed, nowhere else.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "install_layout.h"
#include "shell/user_guide.h"

namespace {

bool WriteFile(const QString& path) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("<html></html>") > 0;
}

TEST(UserGuideTest, FoundInTheBuildTreeOrTheInstalledDocumentationFolder) {
  struct Case {
    const char* name;
    QString programDir;   // relative to the scratch folder
    QStringList files;    // guide files made there
    QStringList folders;  // folders made there
    QString expected;     // the guide found, relative; empty for none
  };
  // The documentation folder of a prefix, seen from its bin folder.
  auto guideOf = [](const char* prefix) {
    return QDir::cleanPath(QString::fromLatin1(prefix) + QStringLiteral("/bin/") +
                           QString::fromLatin1(kInstalledDocDir) + QStringLiteral("/user-guide.html"));
  };
  const QString installed = guideOf("usr");
  const Case cases[] = {
      {"build tree", QStringLiteral("build/app"), {QStringLiteral("build/app/docs/user-guide.html")}, {},
       QStringLiteral("build/app/docs/user-guide.html")},
      {"installed", QStringLiteral("usr/bin"), {installed}, {QStringLiteral("usr/bin")}, installed},
      {"installed under /usr/local", QStringLiteral("usr/local/bin"),
       {guideOf("usr/local")}, {QStringLiteral("usr/local/bin")}, guideOf("usr/local")},
      {"another prefix's guide is not taken", QStringLiteral("opt/other/bin"), {installed},
       {QStringLiteral("opt/other/bin")}, {}},
      {"documentation left out", QStringLiteral("usr/bin"), {}, {QStringLiteral("usr/bin")}, {}},
      {"a folder of that name is no guide", QStringLiteral("usr/bin"), {},
       {QStringLiteral("usr/bin"), QStringLiteral("usr/bin/docs/user-guide.html")}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QDir root(scratch.path());
    for (const QString& folder : c.folders) ASSERT_TRUE(root.mkpath(folder));
    for (const QString& file : c.files) ASSERT_TRUE(WriteFile(root.filePath(file)));
    const QString found = InstalledOrBuiltGuide(root.filePath(c.programDir));
    if (c.expected.isEmpty()) {
      EXPECT_TRUE(found.isEmpty()) << found.toStdString();
    } else {
      EXPECT_EQ(found, QFileInfo(root.filePath(c.expected)).canonicalFilePath());
    }
  }
}

}  // namespace
