// The recovery tree's links, lookups and paths.
#include <gtest/gtest.h>

#include "recovery_tree.h"

TEST(RecoveryTree, StartsWithTheRootOnly) {
  CTarvelBKFTreeVectorClass t;
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t.Name(0), u"ROOT");
  EXPECT_EQ(int64_t(t.Node(0).parent), -1);
  EXPECT_EQ(int64_t(t.Node(0).firstChild), -1);
  EXPECT_EQ(int64_t(t.Node(0).firstFile), -1);
  EXPECT_EQ(t.GetNodePath(0), u"");
  EXPECT_STREQ(CTarvelBKFTreeVectorClass::ClassName(), "CTarvelBKFTreeVectorClass");
}

TEST(RecoveryTree, ChildrenAreChainedNewestFirst) {
  CTarvelBKFTreeVectorClass t;
  const int64_t a = t.AddNode(u"A", 0), b = t.AddNode(u"B", 0), c = t.AddNode(u"C", 0);
  EXPECT_EQ(t.FirstChild(0), c);
  EXPECT_EQ(int64_t(t.Node(c).nextSibling), b);
  EXPECT_EQ(int64_t(t.Node(b).nextSibling), a);
  EXPECT_EQ(int64_t(t.Node(a).nextSibling), -1);
  EXPECT_EQ(t.NextSibling(a), kNotFound);
  EXPECT_EQ(t.FirstChild(a), kNotFound);
  EXPECT_EQ(int64_t(t.Node(b).index), b);
  EXPECT_EQ(int64_t(t.Node(b).parent), 0);
}

TEST(RecoveryTree, AddNodeRefusesParentsOutsideTheList) {
  CTarvelBKFTreeVectorClass t;
  EXPECT_EQ(t.AddNode(u"x", -1), kNotFound);
  EXPECT_EQ(t.AddNode(u"x", 1), kNotFound);
  EXPECT_EQ(t.Count(), 1);
  EXPECT_EQ(t.FirstChild(7), kNotFound);
}

TEST(RecoveryTree, FindNodeDepthDecidesWhetherTheStartNodeMatches) {
  CTarvelBKFTreeVectorClass t;
  const int64_t a = t.AddNode(u"A", 0);
  t.AddNode(u"B", 0);
  t.AddNode(u"C", 0);
  const int64_t deep = t.AddNode(u"Deep", a);
  EXPECT_EQ(t.FindNode(u"Deep", 0, 0), deep);  // a grandchild, from the root
  EXPECT_EQ(t.FindNode(u"A", 0, 0), a);         // the oldest child is searched too
  EXPECT_EQ(t.FindNode(u"ROOT", 0, 0), kNotFound);
  EXPECT_EQ(t.FindNode(u"ROOT", 0, 1), 0);      // found at 0: callers treat it as not found
  EXPECT_EQ(t.FindNode(u"A", a, 0), kNotFound);
  EXPECT_EQ(t.FindNode(u"A", a, 1), a);
  EXPECT_EQ(t.FindNode(u"deep", 0, 0), kNotFound);  // case matters
  EXPECT_EQ(t.FindNode(u"A", -1, 1), kNotFound);
}

TEST(RecoveryTree, FindNodeSearchesEachSubtreeBeforeTheNextSibling) {
  CTarvelBKFTreeVectorClass t;
  const int64_t older = t.AddNode(u"Older", 0);
  const int64_t inOlder = t.AddNode(u"X", older);
  const int64_t newer = t.AddNode(u"Newer", 0);
  const int64_t inNewer = t.AddNode(u"Sub", newer);
  const int64_t deepInNewer = t.AddNode(u"X", inNewer);
  EXPECT_EQ(t.FindNode(u"X", 0, 0), deepInNewer);  // newest child first, its whole subtree first
  EXPECT_NE(inOlder, deepInNewer);
}

TEST(RecoveryTree, AVeryDeepTreeIsSearchedWithoutRecursion) {
  CTarvelBKFTreeVectorClass t;
  int64_t n = 0;
  for (int i = 0; i < 200000; ++i) n = t.AddNode(u"d", n);
  EXPECT_EQ(t.FindNode(u"missing", 0, 0), kNotFound);
  EXPECT_EQ(t.GetNodePath(3), u"d\\d\\d\\");
}

TEST(RecoveryTree, PathsEndInABackslashAndRenamesShowInThem) {
  CTarvelBKFTreeVectorClass t;
  const int64_t media = t.AddNode(u"Media 1", 0);
  const int64_t set = t.AddNode(u"SET 1 :Daily", media);
  const int64_t vol = t.AddNode(u"C:", set);
  const int64_t win = t.AddNode(u"Windows", vol);
  EXPECT_EQ(t.GetNodePath(win), u"Media 1\\SET 1 :Daily\\C:\\Windows\\");
  t.RenameNode(win, u"WINNT");
  EXPECT_EQ(t.GetNodePath(win), u"Media 1\\SET 1 :Daily\\C:\\WINNT\\");
}

TEST(RecoveryTree, ChildChainIsNewestFirstAndEndsOnADamagedLink) {
  CTarvelBKFTreeVectorClass t;
  const int64_t a = t.AddNode(u"A", 0), b = t.AddNode(u"B", 0), c = t.AddNode(u"C", 0);
  EXPECT_EQ(t.ChildChain(0), (std::vector<int64_t>{c, b, a}));
  EXPECT_TRUE(t.ChildChain(a).empty());
  EXPECT_TRUE(t.ChildChain(99).empty());
  // A link back to a newer sibling (a loop) or outside the list ends the chain.
  t.Node(a).nextSibling = c;
  EXPECT_EQ(t.ChildChain(0), (std::vector<int64_t>{c, b, a}));
  t.Node(b).nextSibling = b;
  EXPECT_EQ(t.ChildChain(0), (std::vector<int64_t>{c, b}));
  t.Node(c).nextSibling = 1000;
  EXPECT_EQ(t.ChildChain(0), (std::vector<int64_t>{c}));
  t.Node(0).firstChild = 0;  // the root is never a child
  EXPECT_TRUE(t.ChildChain(0).empty());
}
