// Wildcard matching of names, and the search pattern made from what was typed.
#include <gtest/gtest.h>

#include "match_pattern.h"
#include "test_support.h"

using namespace testing_support;

TEST(MatchPattern, Table) {
  struct Case {
    std::u16string name;
    std::u16string pattern;
    bool match;
  };
  const Case cases[] = {
      {u"report.doc", u"*report*", true},
      {u"myreport.txt", u"*report*", true},
      {u"Report.doc", u"*report*", false},
      {u"a.doc", u"*.doc", true},
      {u"a.docx", u"*.doc", false},
      {u"a.doc", u"?.doc", true},
      {u"ab.doc", u"?.doc", false},
      {u"notes.txt", u"*.*", true},
      {u"README", u"*.*", false},
      {u"", u"", true},
      {u"a", u"", false},
      {u"", u"*", true},
      {u"", u"?", false},
      {u"", u"**", true},
      {u"anything", u"*", true},
      {u"aab", u"*ab", true},
      {u"abab", u"*ab*ab", true},
      {u"abcab", u"*ab", true},
      {u"abac", u"*ab", false},
      {u"axxbyyc", u"a*b*c", true},
      {u"axxbyy", u"a*b*c", false},
      {u"abc", u"abc*", true},
      {u"abc", u"ab", false},
      {u"ab", u"abc", false},
      {u"mississippi", u"*sip*", true},
      {u"mississippi", u"m*iss*ppi", true},
      {u"a*b", u"a?b", true},
      {u"\u00e9t\u00e9.txt", u"?t?.txt", true},  // one unit each
      {u"\u00c9T\u00c9", u"\u00e9t\u00e9", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(quillon::MatchPattern(c.name, c.pattern), c.match) << ToUtf8(c.name) << " ~ " << ToUtf8(c.pattern);
}

TEST(MatchPattern, SearchPatternFromTypedText) {
  EXPECT_EQ(quillon::SearchPattern(u"report"), u"*report*");
  EXPECT_EQ(quillon::SearchPattern(u"  report \t"), u"*report*");
  EXPECT_EQ(quillon::SearchPattern(u"*.doc"), u"*.doc");
  EXPECT_EQ(quillon::SearchPattern(u"?.doc"), u"*?.doc*");
  EXPECT_EQ(quillon::SearchPattern(u"   "), u"");
}
