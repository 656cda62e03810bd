// The batch interpreter decides which files a line hits: each rule that
// changes the target, for cmd.exe (NT) and COMMAND.COM (9x). Every case
// checks what remains as well as what goes.
#include "sim/batch_interpreter.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sim/reboot.h"
#include "support/test_machine.h"

namespace {

// Runs `text` as a RunOnce batch starts: in the shell's directory.
std::string RunBatch(TestMachine& tm, const std::string& text) {
  EXPECT_TRUE(SetCurrentDirectoryA(sim::RunOnceStartDirectory(tm.m).c_str()));
  std::ostringstream out;
  sim::BatchInterpreter(tm.m, out).Run(text, {"C:\\WINDOWS\\TEMP\\EraseVtc.bat"});
  return out.str();
}

bool Has(const std::string& out, const std::string& text) {
  return out.find(text) != std::string::npos;
}

TEST(BatchNames, UnquotedBlankMakesTwoNamesOnCmdAndIsRefusedByCommandCom) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\Fax\\My");
    tm.AddFile("C:\\Fax\\Fax.tif");
    tm.AddFile("C:\\Fax\\My Fax.tif");
    const std::string out = RunBatch(tm, "C:\r\nCD \\Fax\r\nDEL My Fax.tif\r\n");
    const bool nt = std::string(version) == "xp";
    EXPECT_EQ(tm.Exists("C:\\Fax\\My"), !nt) << version;
    EXPECT_EQ(tm.Exists("C:\\Fax\\Fax.tif"), !nt) << version;
    EXPECT_TRUE(tm.Exists("C:\\Fax\\My Fax.tif")) << version;
    if (!nt) {
      EXPECT_TRUE(Has(out, "Too many parameters - Fax.tif")) << out;
    }
  }
}

TEST(BatchNames, QuotesGroupABlankInBothFamilies) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\Fax\\My");
    tm.AddFile("C:\\Fax\\My Fax.tif");
    RunBatch(tm, "CD C:\\Fax\r\nDEL \"My Fax.tif\"\r\n");
    EXPECT_FALSE(tm.Exists("C:\\Fax\\My Fax.tif")) << version;
    EXPECT_TRUE(tm.Exists("C:\\Fax\\My")) << version;
  }
}

TEST(BatchNames, PercentDoubledSurvivesSingleIsEatenEvenInQuotes) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\D\\50%.txt");
    tm.AddFile("C:\\D\\50.txt");
    tm.AddFile("C:\\D\\a%b.txt");
    tm.AddFile("C:\\D\\ab.txt");
    RunBatch(tm, "DEL \"C:\\D\\50%%.txt\"\nDEL \"C:\\D\\a%b.txt\"\n");
    EXPECT_FALSE(tm.Exists("C:\\D\\50%.txt")) << version;
    EXPECT_TRUE(tm.Exists("C:\\D\\50.txt")) << version;
    EXPECT_TRUE(tm.Exists("C:\\D\\a%b.txt")) << version;
    EXPECT_FALSE(tm.Exists("C:\\D\\ab.txt")) << version;
  }
}

TEST(BatchNames, AmpersandInAPathSplitsTheLineOnNtOnly) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    const std::string start = sim::RunOnceStartDirectory(tm.m);
    tm.AddFile("C:\\R&D\\x.dll");
    tm.AddFile(start + "\\x.dll");
    const std::string out = RunBatch(tm, "CD C:\\R&D\r\nDEL x.dll\r\n");
    const bool nt = std::string(version) == "xp";
    EXPECT_EQ(tm.Exists("C:\\R&D\\x.dll"), nt) << version;
    EXPECT_EQ(tm.Exists(start + "\\x.dll"), !nt) << version;
    if (nt) {
      EXPECT_TRUE(Has(out, "'D' is not recognized")) << out;
    }
  }
  TestMachine tm("xp");
  tm.AddFile("C:\\R&D\\x.dll");
  RunBatch(tm, "CD \"C:\\R&D\"\r\nDEL x.dll\r\n");
  EXPECT_FALSE(tm.Exists("C:\\R&D\\x.dll"));
}

TEST(BatchDirectories, FailedCdLeavesDelOnTheStartDirectory) {
  // cmd.exe: the folder is gone. COMMAND.COM: the unquoted long name is two words.
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    const std::string start = sim::RunOnceStartDirectory(tm.m);
    tm.AddFile(start + "\\x.dll");
    tm.AddFile("C:\\Program Files\\Fax\\y.dll");
    const bool nt = std::string(version) == "xp";
    const std::string out = RunBatch(tm, nt ? "CD C:\\Program Files\\Gone\r\nDEL x.dll\r\n"
                                            : "CD C:\\Program Files\\Fax\r\nDEL x.dll\r\n");
    EXPECT_FALSE(tm.Exists(start + "\\x.dll")) << version;
    EXPECT_TRUE(tm.Exists("C:\\Program Files\\Fax\\y.dll")) << version;
    EXPECT_TRUE(Has(out, nt ? "The system cannot find the path specified."
                            : "Too many parameters - Files\\Fax"))
        << out;
  }
}

TEST(BatchDirectories, EachDriveKeepsItsDirectory) {
  TestMachine tm("xp");
  tm.AddDrive('D');
  tm.AddFile("D:\\Data\\x.dll");
  tm.AddFile("C:\\WINDOWS\\system32\\x.dll");
  tm.AddFile("C:\\App\\x.dll");
  // CD to another drive sets that drive's directory only; the drive stays.
  RunBatch(tm, "CD D:\\Data\r\nDEL x.dll\r\n");
  EXPECT_FALSE(tm.Exists("C:\\WINDOWS\\system32\\x.dll"));
  EXPECT_TRUE(tm.Exists("D:\\Data\\x.dll"));
  // A drive change goes to that drive's own directory; a change back too.
  const std::string out = RunBatch(tm, "CD D:\\Data\r\nCD C:\\App\r\nD:\r\nDEL x.dll\r\nQ:\r\n");
  EXPECT_FALSE(tm.Exists("D:\\Data\\x.dll"));
  EXPECT_TRUE(tm.Exists("C:\\App\\x.dll"));
  EXPECT_TRUE(Has(out, "The system cannot find the drive specified.")) << out;
  tm.AddFile("D:\\Data\\y.dll");
  RunBatch(tm, "CD /D D:\\Data\r\nDEL y.dll\r\n");
  EXPECT_FALSE(tm.Exists("D:\\Data\\y.dll"));
}

TEST(BatchDelete, DirectoryNameEmptiesItAfterTheAnsweredQuestion) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\Fax\\a.tif");
    tm.AddFile("C:\\Fax\\b.tif");
    tm.AddFile("C:\\Fax\\Sub\\c.tif");
    const std::string out = RunBatch(tm, "DEL C:\\Fax\r\n");
    EXPECT_FALSE(tm.Exists("C:\\Fax\\a.tif")) << version;
    EXPECT_FALSE(tm.Exists("C:\\Fax\\b.tif")) << version;
    EXPECT_TRUE(tm.Exists("C:\\Fax\\Sub\\c.tif")) << version;
    EXPECT_TRUE(tm.IsDir("C:\\Fax")) << version;
    EXPECT_TRUE(Has(out, std::string(version) == "xp" ? "C:\\Fax\\*, Are you sure (Y/N)? Y"
                                                      : "All files in directory will be deleted!"))
        << out;
  }
}

TEST(BatchDelete, ReadOnlyMissingAndWildcards) {
  TestMachine tm("xp");
  tm.AddFile("C:\\A\\ro.dll");
  tm.SetReadOnly("C:\\A\\ro.dll");
  tm.AddFile("C:\\A\\one.log");
  tm.AddFile("C:\\A\\two.log");
  tm.AddFile("C:\\A\\keep.txt");
  const std::string out =
      RunBatch(tm, "CD C:\\A\r\nDEL ro.dll;*.log,gone.dll\r\nDEL C:\\NoDir\\x\r\n");
  EXPECT_TRUE(tm.Exists("C:\\A\\ro.dll"));
  EXPECT_FALSE(tm.Exists("C:\\A\\one.log"));
  EXPECT_FALSE(tm.Exists("C:\\A\\two.log"));
  EXPECT_TRUE(tm.Exists("C:\\A\\keep.txt"));
  EXPECT_TRUE(Has(out, "  -> C:\\A\\ro.dll\n  -> Access is denied.")) << out;
  EXPECT_TRUE(Has(out, "Could Not Find C:\\A\\gone.dll")) << out;
  EXPECT_TRUE(Has(out, "The system cannot find the path specified.")) << out;

  TestMachine old("98");
  old.AddFile("C:\\A\\ro.dll");
  old.SetReadOnly("C:\\A\\ro.dll");
  const std::string out98 = RunBatch(old, "CD C:\\A\r\nDEL ro.dll\r\nDEL gone.dll\r\n");
  EXPECT_TRUE(old.Exists("C:\\A\\ro.dll"));
  EXPECT_TRUE(Has(out98, "Access denied\n")) << out98;
  EXPECT_TRUE(Has(out98, "File not found")) << out98;
}

TEST(BatchRemoveDirectory, NonEmptyStaysMissingIsNamedEmptyGoes) {
  TestMachine tm("xp");
  tm.AddFile("C:\\Full\\x.dll");
  tm.AddDir("C:\\Empty");
  const std::string out = RunBatch(tm, "RD C:\\Full C:\\Gone \"C:\\Empty\"\r\n");
  EXPECT_TRUE(tm.Exists("C:\\Full\\x.dll"));
  EXPECT_FALSE(tm.Exists("C:\\Empty"));
  EXPECT_TRUE(Has(out, "The directory is not empty.")) << out;
  EXPECT_TRUE(Has(out, "The system cannot find the file specified.")) << out;

  TestMachine old("98");
  old.AddFile("C:\\Full\\x.dll");
  old.AddDir("C:\\Empty");
  const std::string out98 = RunBatch(old, "RD C:\\Full\r\nRD C:\\Empty C:\\Full\r\n");
  EXPECT_TRUE(old.Exists("C:\\Full\\x.dll"));
  EXPECT_TRUE(old.Exists("C:\\Empty"));  // refused whole: two names
  EXPECT_TRUE(Has(out98, "Invalid path, not directory,\n  -> or directory not empty")) << out98;
}

TEST(BatchNames, ShortNamesResolveInBothFamilies) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\Program Files\\Vantrel Fax\\Long name.dll");
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA("C:\\Program Files\\Vantrel Fax", shortPath, MAX_PATH), 0u);
    RunBatch(tm,
             std::string("CD ") + shortPath + "\r\nDEL Long name.dll\r\nDEL \"Long name.dll\"\r\n");
    EXPECT_FALSE(tm.Exists("C:\\Program Files\\Vantrel Fax\\Long name.dll")) << version;
  }
}

TEST(BatchLines, EchoRemAndUnknownCommands) {
  TestMachine tm("xp");
  tm.AddFile("C:\\WINDOWS\\system32\\x.dll");
  const std::string out = RunBatch(tm,
                                   "@ECHO OFF\r\nREM DEL x.dll & DEL x.dll\r\nECHO.\r\nECHO  "
                                   "hi\r\nECHO\r\n:label\r\nfoo.exe a\r\n");
  EXPECT_TRUE(tm.Exists("C:\\WINDOWS\\system32\\x.dll"));  // REM keeps its & too
  EXPECT_TRUE(Has(out, "> @ECHO OFF    (not echoed)")) << out;
  EXPECT_TRUE(Has(out, "> ECHO.    (not echoed)\n  -> \n")) << out;
  EXPECT_TRUE(Has(out, "\n  ->  hi\n")) << out;
  EXPECT_TRUE(Has(out, "\n  -> ECHO is off.\n")) << out;
  EXPECT_FALSE(Has(out, "label")) << out;
  EXPECT_TRUE(Has(out, "'foo.exe' is not recognized as an internal or external command,")) << out;

  TestMachine old("98");
  const std::string out98 = RunBatch(old, "foo.exe\r\nECHO\r\n");
  EXPECT_TRUE(Has(out98, "\n  -> Bad command or file name\n")) << out98;
  EXPECT_TRUE(Has(out98, "\n  -> ECHO is on\n")) << out98;
}

TEST(BatchLines, CaretEscapesAndContinuesOnNt) {
  TestMachine tm("xp");
  tm.AddFile("C:\\R&D\\x.dll");
  tm.AddFile("C:\\WINDOWS\\system32\\y.dll");
  RunBatch(tm, "DEL C:\\R^&D\\x.dll\r\nDEL ^\r\ny.dll\r\n");
  EXPECT_FALSE(tm.Exists("C:\\R&D\\x.dll"));
  EXPECT_FALSE(tm.Exists("C:\\WINDOWS\\system32\\y.dll"));
}

}  // namespace
