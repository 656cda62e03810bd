// Which paths the remover may touch, and how a batch entry's path is cut.
#include <gtest/gtest.h>

#include "files/batch_lines.h"
#include "files/removal_path_rules.h"

namespace {

TEST(RemovalPathRulesTest, OnlyNamesBelowARootOrShareAreSafe) {
  for (const char* safe : {"C:\\x.dll", "C:\\Fax", "c:/Fax/a b.txt", "D:\\WINDOWS\\TEMP\\\\Sub",
                           "\\\\srv\\share\\x", "C:\\Fax\\"}) {
    EXPECT_TRUE(IsSafeRemovalPath(safe)) << safe;
  }
  for (const char* unsafe :
       {"", "C:", "C:\\", "C:\\\\", "C:x", "\\x", "x", "x\\y", "\\\\srv\\share", "\\\\srv\\share\\",
        "\\\\srv", "C:\\..", "C:\\Fax\\..", "C:\\.\\", "C:\\...", "C:\\ . ", "\\\\?\\C:\\x",
        "\\\\.\\C:\\x", "1:\\x"}) {
    EXPECT_FALSE(IsSafeRemovalPath(unsafe)) << unsafe;
  }
}

TEST(BatchLinesTest, SplitsAtTheFirstAndLastBackslash) {
  BatchPathParts parts;
  ASSERT_TRUE(SplitBatchPath("C:\\Program Files\\Fax Tools\\x.dll", parts));
  EXPECT_EQ(parts.drive, "C:");
  EXPECT_EQ(parts.dir, "C:\\Program Files\\Fax Tools");
  EXPECT_EQ(parts.name, "x.dll");
  EXPECT_EQ(DirectoryToEnter(parts), "C:\\Program Files\\Fax Tools");

  // A file in the root: the bare drive would leave the current directory.
  ASSERT_TRUE(SplitBatchPath("C:\\x.dll", parts));
  EXPECT_EQ(parts.dir, "C:");
  EXPECT_EQ(DirectoryToEnter(parts), "C:\\");

  EXPECT_FALSE(SplitBatchPath("x.dll", parts));
  EXPECT_FALSE(SplitBatchPath("\\\\srv\\share\\x.dll", parts));
}

TEST(BatchLinesTest, PercentSignsAreDoubledInEveryForm) {
  EXPECT_EQ(DoublePercent("C:\\100%\\a%b%%"), "C:\\100%%\\a%%b%%%%");
  const BatchEntryLines nt = NtFileEntry("C:", "C:\\50%", "C:\\50%\\x%y.dll");
  EXPECT_EQ(nt.line[1], "CD \"C:\\50%%\"\n");
  EXPECT_EQ(nt.line[2], "DEL \"C:\\50%%\\x%%y.dll\"\n");
  EXPECT_EQ(NtDirectoryEntry("C:", "C:\\50%").line[2], "RD \"C:\\50%%\"\n");
  const BatchEntryLines s = ShortFileEntry("C:", "C:\\50%", "C:\\50%\\X%Y.DLL");
  EXPECT_EQ(s.line[1], "CD C:\\50%%\n");
  EXPECT_EQ(s.line[2], "DEL C:\\50%%\\X%%Y.DLL\n");
  EXPECT_EQ(ShortDirectoryEntry("C:", "C:\\50%").line[2], "RD C:\\50%%\n");
}

}  // namespace
