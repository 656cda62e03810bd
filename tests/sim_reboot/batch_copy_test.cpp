// COPY, MD/MKDIR and ATTRIB of the batch interpreter, as a restore script
// uses them, on cmd.exe (XP) and COMMAND.COM (98): what each makes, what it
// refuses, and what it prints.
#include <gtest/gtest.h>

#include <sstream>

#include "sim/batch_interpreter.h"
#include "support/test_machine.h"

namespace {

std::string RunBatch(TestMachine& tm, const std::string& text) {
  std::ostringstream out;
  sim::BatchInterpreter(tm.m, out).Run(text, {"C:\\J\\Restore.bat"});
  return out.str();
}

bool Has(const std::string& out, const std::string& text) {
  return out.find(text) != std::string::npos;
}

class BatchCopyTest : public ::testing::TestWithParam<const char*> {
 protected:
  BatchCopyTest() : tm(GetParam()) {}
  bool Nt() const { return std::string(GetParam()) == "xp"; }
  TestMachine tm;
};

TEST_P(BatchCopyTest, CopyReplacesAnExistingTargetWithoutAsking) {
  tm.AddFile("C:\\J\\F1", "new");
  tm.AddFile("C:\\Program Files\\VT\\a b.dll", "old");
  const std::string out = RunBatch(tm, "copy \"C:\\J\\F1\" \"C:\\Program Files\\VT\\a b.dll\"\r\n");
  EXPECT_EQ(tm.ReadFile("C:\\Program Files\\VT\\a b.dll"), "new");
  EXPECT_EQ(tm.ReadFile("C:\\J\\F1"), "new");
  EXPECT_TRUE(
      Has(out, Nt() ? "  ->         1 file(s) copied.\n" : "  ->         1 file(s) copied\n"))
      << out;
}

TEST_P(BatchCopyTest, CopyIntoAFolderKeepsTheName) {
  tm.AddFile("C:\\J\\F1", "x");
  tm.AddDir("C:\\VT");
  RunBatch(tm, "copy C:\\J\\F1 C:\\VT\r\n");
  EXPECT_EQ(tm.ReadFile("C:\\VT\\F1"), "x");
}

TEST_P(BatchCopyTest, MissingSourceOrReadOnlyTargetCopiesNothing) {
  tm.AddFile("C:\\J\\F1", "new");
  tm.AddFile("C:\\VT\\ro.dll", "old");
  tm.SetReadOnly("C:\\VT\\ro.dll");
  const std::string out =
      RunBatch(tm, "copy C:\\J\\F9 C:\\VT\\x.dll\r\ncopy C:\\J\\F1 C:\\VT\\ro.dll\r\n");
  EXPECT_FALSE(tm.Exists("C:\\VT\\x.dll"));
  EXPECT_EQ(tm.ReadFile("C:\\VT\\ro.dll"), "old");
  if (Nt()) {
    EXPECT_TRUE(Has(out,
                    "The system cannot find the file specified.\n  ->         0 file(s) "
                    "copied.\n"))
        << out;
    EXPECT_TRUE(Has(out, "Access is denied.\n  ->         0 file(s) copied.\n")) << out;
  } else {
    EXPECT_TRUE(Has(out, "File not found - C:\\J\\F9\n  ->         0 file(s) copied\n")) << out;
    EXPECT_TRUE(Has(out, "Access denied\n  ->         0 file(s) copied\n")) << out;
  }
}

TEST_P(BatchCopyTest, MdMakesMissingParentsOnlyOnCmd) {
  const std::string out =
      RunBatch(tm, "md \"C:\\Program Files\\VT\\Sub\"\r\nmd C:\\Top\r\nmd C:\\Top\r\n");
  EXPECT_EQ(tm.IsDir("C:\\Program Files\\VT\\Sub"), Nt());
  EXPECT_TRUE(tm.IsDir("C:\\Top"));
  EXPECT_TRUE(Has(
      out, Nt() ? "A subdirectory or file C:\\Top already exists." : "Unable to create directory"))
      << out;
}

TEST_P(BatchCopyTest, AttribSetsReadOnlyAndArchive) {
  tm.AddFile("C:\\VT\\a.dll", "a");
  tm.AddFile("C:\\VT\\b.dll", "b");
  tm.SetReadOnly("C:\\VT\\b.dll");
  const std::string out = RunBatch(tm,
                                   "attrib +R -A -S -H \"C:\\VT\\a.dll\"\r\nattrib -R +A "
                                   "C:\\VT\\b.dll\r\nattrib +R C:\\VT\\c\r\n");
  EXPECT_EQ(GetFileAttributesA("C:\\VT\\a.dll"), DWORD(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA("C:\\VT\\b.dll"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_TRUE(Has(out, "File not found - C:\\VT\\c")) << out;
  // The simulated PC keeps no system or hidden flag: said, not pretended.
  EXPECT_TRUE(Has(RunBatch(tm, "attrib +H C:\\VT\\a.dll\r\n"), "not carried out")) << out;
}

INSTANTIATE_TEST_SUITE_P(Interpreters, BatchCopyTest, ::testing::Values("xp", "98"));

// COMMAND.COM reads 127 bytes of a batch line: a longer copy line loses the
// end of its target.
TEST(BatchLineLimit, CommandComCutsLongLinesCmdDoesNot) {
  const std::string target = "C:\\" + std::string(60, 'd') + "\\" + std::string(60, 'f') + ".txt";
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\J\\F1", "x");
    tm.AddDir("C:\\" + std::string(60, 'd'));
    RunBatch(tm, "copy C:\\J\\F1 \"" + target + "\"\r\n");
    const bool nt = std::string(version) == "xp";
    EXPECT_EQ(tm.Exists(target), nt) << version;
    // "copy C:\J\F1 "" is 14 bytes: 113 of the target are left.
    EXPECT_EQ(tm.Exists(target.substr(0, 113)), !nt) << version;
  }
}

}  // namespace
