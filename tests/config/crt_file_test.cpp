// Text-mode files and the first-match search over the simulated PC's files.
#include "platform/crt_file.h"

#include <gtest/gtest.h>

#include "support/test_machine.h"

namespace {

TEST(CrtFile, TextModeReadingInFixedPieces) {
  TestMachine tm;
  tm.AddFile("C:\\t\\a.txt", std::string("ab\r\ncd\rx\r\n") + std::string(10, 'z') + "\n\x1Atail");
  CCrtFile file;
  ASSERT_TRUE(file.OpenRead("C:\\t\\a.txt", FILE_SHARE_READ));
  char buf[6];
  ASSERT_TRUE(file.ReadLine(buf, sizeof(buf)));
  EXPECT_STREQ(buf, "ab\n");  // CR LF arrives as LF
  ASSERT_TRUE(file.ReadLine(buf, sizeof(buf)));
  EXPECT_STREQ(buf, "cd\rx\n");  // a lone CR stays
  ASSERT_TRUE(file.ReadLine(buf, sizeof(buf)));
  EXPECT_STREQ(buf, "zzzzz");  // a long line comes in pieces
  ASSERT_TRUE(file.ReadLine(buf, sizeof(buf)));
  EXPECT_STREQ(buf, "zzzzz");
  ASSERT_TRUE(file.ReadLine(buf, sizeof(buf)));
  EXPECT_STREQ(buf, "\n");
  EXPECT_FALSE(file.ReadLine(buf, sizeof(buf)));  // Ctrl-Z ends the text
  EXPECT_FALSE(file.ReadFailed());
}

TEST(CrtFile, CrLfSplitAcrossReadBuffer) {
  TestMachine tm;
  // The CR is the last byte of the first 4096-byte block, its LF the first of the next.
  std::string content(4095, 'a');
  content += "\r\nb";
  tm.AddFile("C:\\t\\b.txt", content);
  CCrtFile file;
  ASSERT_TRUE(file.OpenRead("C:\\t\\b.txt", 0));
  std::string line;
  ASSERT_TRUE(file.ReadWholeLine(line));
  EXPECT_EQ(line, std::string(4095, 'a'));
  ASSERT_TRUE(file.ReadWholeLine(line));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(file.ReadWholeLine(line));
}

TEST(CrtFile, AppendCreatesConvertsAndNeverTruncates) {
  TestMachine tm;
  CCrtFile file;
  ASSERT_TRUE(file.OpenAppend("C:\\t2.log", 0));
  EXPECT_TRUE(file.AppendText("a\nb"));
  file.Close();
  ASSERT_TRUE(file.OpenAppend("C:\\t2.log", 0));
  EXPECT_TRUE(file.AppendText("\n"));
  file.Close();
  EXPECT_EQ(tm.ReadFile("C:\\t2.log"), "a\r\nb\r\n");

  // Opened without sharing: a second opener is refused.
  ASSERT_TRUE(file.OpenAppend("C:\\t2.log", 0));
  CCrtFile other;
  EXPECT_FALSE(other.OpenRead("C:\\t2.log", FILE_SHARE_READ | FILE_SHARE_WRITE));
  EXPECT_EQ(other.LastError(), 32u);
  file.Close();

  EXPECT_FALSE(other.OpenRead("C:\\missing\\x.txt", 0));
  EXPECT_EQ(other.LastError(), 3u);
}

TEST(CrtFile, FindFirstErrnoMapping) {
  TestMachine tm;
  tm.AddFile("C:\\d\\one.dat");
  EXPECT_EQ(CrtFindFirst("C:\\d\\one.dat"), 0);
  EXPECT_EQ(CrtFindFirst("C:\\d\\*.dat"), 0);
  EXPECT_EQ(CrtFindFirst("C:\\d\\two.dat"), kErrnoNoEntry);     // 2
  EXPECT_EQ(CrtFindFirst("C:\\nope\\two.dat"), kErrnoNoEntry);  // 3
  tm.AddFault("FindFirstFileA", 18, "C:\\d\\three.dat");
  EXPECT_EQ(CrtFindFirst("C:\\d\\three.dat"), kErrnoNoEntry);
  tm.AddFault("FindFirstFileA", 123, "C:\\d\\four.dat");
  EXPECT_EQ(CrtFindFirst("C:\\d\\four.dat"), kErrnoInvalid);
  tm.AddFault("FindFirstFileA", 5, "C:\\d\\five.dat");
  EXPECT_EQ(CrtFindFirst("C:\\d\\five.dat"), kErrnoInvalid);
}

}  // namespace
