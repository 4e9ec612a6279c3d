// The real NTBackup backup: one file, boot.ini, and a catalog full of false tags.
#include <gtest/gtest.h>

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
