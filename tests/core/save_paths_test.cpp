// Output paths of saved files: the cleaning of hierarchy paths, the
// 260-character limit, flat numbering, and names that try to leave the
// destination.
#include <gtest/gtest.h>

#include "save_paths.h"
#include "test_support.h"
#include "text.h"

using namespace testing_support;
using quillon::SaveDestination;

namespace {

TEST(SavePaths, CleaningTable) {
  struct Case {
    std::u16string in;
    std::u16string out;
  };
  const Case cases[] = {
      {u"Media 1\\SET 1 :Daily\\C:\\boot.ini", u"Media 1\\SET 1 _Daily\\C_\\boot.ini"},
      {u"a/b\\c", u"a_b\\c"},
      {u"a\\\\b", u"a\\b"},
      {u"a\\\\\\b", u"a\\b"},
      {u"a\\\\\\\\b", u"a\\b"},
      {u"a\\\\\\\\\\b", u"a\\\\b"},  // five: three become one, then the pairs of what is left
      {u"x:*?<>|\"y", u"x_______y"},
      {u"\u00e9t\u00e9 r\u00e9sum\u00e9.doc", u"\u00e9t\u00e9 r\u00e9sum\u00e9.doc"},
  };
  for (const Case& c : cases) EXPECT_EQ(quillon::CleanRelativePath(c.in), c.out) << ToUtf8(c.in);
}

TEST(SavePaths, HostileComponentsAreMadeHarmless) {
  using V = std::vector<std::u16string>;
  struct Case {
    std::u16string cleaned;
    V parts;
  };
  const Case cases[] = {
      {u"A\\B\\c.txt", V{u"A", u"B", u"c.txt"}},
      {u"\\A\\\\B\\c", V{u"A", u"B", u"c"}},
      {u"..\\..\\x", V{u"__", u"__", u"x"}},
      {u".\\x", V{u"_", u"x"}},
      {u"A\\..", V{u"A", u"__"}},
      {u"A\\", V{u"A", u"_"}},
      {u"..", V{u"__"}},
      {std::u16string(u"a\0b", 3), V{u"a_b"}},
      {u"...\\.x\\x.", V{u"...", u".x", u"x."}},
  };
  for (const Case& c : cases) EXPECT_EQ(quillon::SafeComponents(c.cleaned), c.parts) << ToUtf8(c.cleaned);

  EXPECT_EQ(quillon::SafeFlatName(u"../../etc/passwd"), u".._.._etc_passwd");
  EXPECT_EQ(quillon::SafeFlatName(u".."), u"__");
  EXPECT_EQ(quillon::SafeFlatName(u"."), u"_");
  EXPECT_EQ(quillon::SafeFlatName(u""), u"_");
  EXPECT_EQ(quillon::SafeFlatName(u"a\\b.txt"), u"a\\b.txt");  // a plain character here
}

TEST(SavePaths, LongNamesAreCutAtACharacter) {
  const std::u16string name(200, u'\u6587');  // three bytes each in UTF-8
  const std::string cut = quillon::FileSystemName(name);
  EXPECT_EQ(cut.size(), 255u);
  EXPECT_EQ(quillon::Utf8ToUtf16(cut), std::u16string(85, u'\u6587'));
  EXPECT_EQ(quillon::FileSystemName(u"short.txt"), "short.txt");
}

TEST(SavePaths, HierarchyUpTo260CharactersThenFlat) {
  TempDir dir;
  const std::u16string dest = quillon::PathToUtf16(dir.Path());
  const SaveDestination destination(dest);
  const size_t prefix = dest.size() + 1;
  ASSERT_LT(prefix + 20, 260u);
  // Folder "F", then a name that makes the whole path 260 or 261 characters.
  const std::u16string fits = u"F\\" + std::u16string(260 - prefix - 2, u'n');
  const std::u16string over = u"F\\" + std::u16string(261 - prefix - 2, u'n');
  const auto inHierarchy = destination.HierarchyPath(fits);
  ASSERT_TRUE(inHierarchy);
  EXPECT_EQ(quillon::PathToUtf16(*inHierarchy).size(), 260u);
  EXPECT_EQ(inHierarchy->parent_path(), dir.Path() / "F");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "F"));
  EXPECT_FALSE(destination.HierarchyPath(over));

  // Through OutputPath: the too-long path goes flat.
  CTarvelBKFTreeVectorClass tree;
  const int64_t folder = tree.AddNode(u"F", 0);
  FoundFileRecord record = NewFoundFileRecord();
  record.parent = folder;
  const std::u16string longName(261 - prefix - 2, u'n');
  EXPECT_EQ(destination.OutputPath(tree, record, longName, true), dir.Path() / quillon::PathFromUtf16(longName));
  EXPECT_EQ(destination.OutputPath(tree, record, u"x.txt", true), dir.Path() / "F" / "x.txt");
  EXPECT_EQ(destination.OutputPath(tree, record, u"x.txt", false), dir.Path() / "x.txt");
}

TEST(SavePaths, FlatNamesAreNumberedWhileTaken) {
  TempDir dir;
  const SaveDestination destination(quillon::PathToUtf16(dir.Path()) + u"/");
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) {
    const auto path = destination.FlatPath(u"a.txt");
    fixture::WriteFile(path, fixture::FromText("x"));
    names.push_back(path.filename().string());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "0a.txt", "1a.txt"}));
  // A link counts as taken, even a dangling one.
  std::filesystem::create_symlink(dir / "nowhere", dir / "b.txt");
  EXPECT_EQ(destination.FlatPath(u"b.txt").filename(), "0b.txt");
}

TEST(SavePaths, DestinationAsTyped) {
  TempDir dir;
  const std::u16string typed = quillon::PathToUtf16(dir.Path());
  const SaveDestination plain(u"  " + typed + u" ");
  const SaveDestination slash(typed + u"/");
  EXPECT_EQ(plain.LocationText(), typed);
  EXPECT_EQ(slash.LocationText(), typed + u"/");
  EXPECT_TRUE(plain.IsFolder());
  EXPECT_EQ(plain.FlatPath(u"a"), slash.FlatPath(u"a"));
  EXPECT_EQ(plain.FlatPath(u"a"), dir.Path() / "a");
  EXPECT_FALSE(SaveDestination(typed + u"/missing").IsFolder());
  EXPECT_FALSE(SaveDestination(u"  ").IsFolder());
}

// A folder of the hierarchy that cannot be made (a file has its name): the
// file goes flat into the destination.
TEST(SavePaths, FolderThatCannotBeCreatedGoesFlat) {
  TempDir dir;
  fixture::WriteFile(dir / "C_", fixture::FromText("a file"));
  const SaveDestination destination(quillon::PathToUtf16(dir.Path()));
  CTarvelBKFTreeVectorClass tree;
  const int64_t volume = tree.AddNode(u"C:", 0);
  FoundFileRecord record = NewFoundFileRecord();
  record.parent = volume;
  EXPECT_EQ(destination.OutputPath(tree, record, u"boot.ini", true), dir.Path() / "boot.ini");
}

TEST(SavePaths, HostileTreeStaysInsideTheDestination) {
  TempDir dir;
  const auto dest = dir.Path() / "inner" / "dest";
  std::filesystem::create_directories(dest);
  const SaveDestination destination(quillon::PathToUtf16(dest));
  CTarvelBKFTreeVectorClass tree;
  int64_t node = tree.AddNode(u"..", 0);
  node = tree.AddNode(u"", node);
  node = tree.AddNode(u".", node);
  node = tree.AddNode(u"..\\..\\..", node);
  FoundFileRecord record = NewFoundFileRecord();
  record.parent = node;
  for (const std::u16string name : {u"..", u"../../x", u"\\..\\..\\y", u".", u"/abs"}) {
    for (const bool hierarchy : {true, false}) {
      const auto path = destination.OutputPath(tree, record, name, hierarchy);
      fixture::WriteFile(path, fixture::FromText("x"));
      const auto canonical = std::filesystem::weakly_canonical(path);
      const auto rel = std::filesystem::relative(canonical, std::filesystem::weakly_canonical(dest));
      EXPECT_FALSE(rel.empty() || *rel.begin() == "..") << path;
    }
  }
  // Nothing beside the destination.
  std::vector<std::string> beside;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path() / "inner")) beside.push_back(e.path().filename());
  EXPECT_EQ(beside, std::vector<std::string>{"dest"});
}

}  // namespace
