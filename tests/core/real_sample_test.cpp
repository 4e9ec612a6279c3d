// The real NTBackup backup: one file, boot.ini, and a catalog full of false tags.
#include <gtest/gtest.h>

#include "extract_support.h"
#include "test_support.h"

using namespace testing_support;

TEST(RealSample, StandardScanFindsBootIni) {
  auto scan = ScanFile(TestData("ntbackup-boot-ini.bkf"));
  ASSERT_EQ(scan->result, 1);
  const bkf& s = *scan->scanner;
  ASSERT_EQ(s.m_files.Count(), 1);
  EXPECT_EQ(s.m_files.Name(0), u"boot.ini");
  EXPECT_EQ(uint64_t(s.m_files.Record(0).dataLength), 210u);
  const auto content = RecordContent(s, 0);
  EXPECT_EQ(std::string(content.begin(), content.begin() + 13), "[boot loader]");
}

TEST(RealSample, BootIniIsExtractedByteExact) {
  auto scan = ScanFile(TestData("ntbackup-boot-ini.bkf"));
  ASSERT_EQ(scan->scanner->m_files.Count(), 1);
  ScriptedPrompts prompts;
  const Extracted e = ExtractRecord(*scan->scanner, 0, prompts);
  EXPECT_EQ(e.outcome, ExtractOutcome::Written);
  EXPECT_EQ(e.bytes.size(), 210u);
  EXPECT_TRUE(e.bytes == RecordContent(*scan->scanner, 0));
  EXPECT_EQ(prompts.confirmAsked + prompts.nextPartAsked, 0);
}
