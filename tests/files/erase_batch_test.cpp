// The deferred erase batch on a simulated PC: the exact bytes of each form,
// the temporary directory and its free space, the run-once registration,
// and every failure the log must show.
#include <string>

#include "files/batch_erase_files.h"
#include "files/files_test_support.h"

namespace {

const char kToolsDir[] = "C:\\Program Files\\Fax Tools";
const char kToolsDll[] = "C:\\Program Files\\Fax Tools\\x.dll";

class EraseBatchTest : public FilesTest {
 protected:
  explicit EraseBatchTest(const std::string& windows = "xp") : FilesTest(windows) {
    tm.AddFile(kToolsDll, "x");
  }
  // A batch made, given one file and one directory, and closed.
  std::string FileAndDirectory(int code) {
    CBatchEraseFiles batch;
    EXPECT_EQ(batch.CreateEraseBatch(code), 1);
    EXPECT_EQ(batch.AddToEraseBatch(kToolsDll, code), 1);
    EXPECT_EQ(batch.AddToEraseBatch(std::string("+") + kToolsDir, code), 1);
    EXPECT_EQ(batch.CloseEraseBatch(code), 1);
    return Batch();
  }
};

class EraseBatch98Test : public EraseBatchTest {
 protected:
  EraseBatch98Test() : EraseBatchTest("98") {}
};
class EraseBatchMeTest : public EraseBatchTest {
 protected:
  EraseBatchMeTest() : EraseBatchTest("me") {}
};
class EraseBatch2000Test : public EraseBatchTest {
 protected:
  EraseBatch2000Test() : EraseBatchTest("2000") {}
};
class EraseBatchNt4Test : public EraseBatchTest {
 protected:
  EraseBatchNt4Test() : EraseBatchTest("nt4") {}
};
class EraseBatch95Test : public EraseBatchTest {
 protected:
  EraseBatch95Test() : EraseBatchTest("95") {}
};

const char kNtLines[] =
    "C:\r\nCD \"C:\\Program Files\\Fax Tools\"\r\nDEL \"C:\\Program Files\\Fax Tools\\x.dll\"\r\n"
    "C:\r\nCD \\ \r\nRD \"C:\\Program Files\\Fax Tools\"\r\n";
const char kShortLines[] =
    "C:\r\nCD C:\\PROGRA~1\\FAXTOO~1\r\nDEL C:\\PROGRA~1\\FAXTOO~1\\x.dll\r\n"
    "C:\r\nCD \\ \r\nRD C:\\PROGRA~1\\FAXTOO~1\r\n";

TEST_F(EraseBatchTest, XpWritesQuotedLongPathsAndNoClosingBlock) {
  EXPECT_EQ(FileAndDirectory(5), BatchHeader() + kNtLines);
  EXPECT_EQ(RunOnceData(), "C:\\WINDOWS\\TEMP\\EraseVtc.bat");
  EXPECT_EQ(Log(), "\n *** Batch file created in directory 'C:\\WINDOWS\\TEMP\\' \n\n");
}

TEST_F(EraseBatch2000Test, TwoThousandWritesTheNtForms) {
  EXPECT_EQ(FileAndDirectory(4), BatchHeader() + kNtLines);
  EXPECT_EQ(RunOnceData(), "C:\\WINNT\\TEMP\\EraseVtc.bat");
}

TEST_F(EraseBatchNt4Test, NtFourIsOfTheNtFamily) {
  EXPECT_EQ(FileAndDirectory(3), BatchHeader() + kNtLines);
}

TEST_F(EraseBatch98Test, NinetyEightWritesShortPathsAndTheClosingBlock) {
  EXPECT_EQ(FileAndDirectory(1), BatchHeader() + kShortLines + BatchClosing());
  EXPECT_EQ(RunOnceData(), "C:\\WINDOWS\\TEMP\\EraseVtc.bat");
}

TEST_F(EraseBatchMeTest, MeAndUnknownVersionsWriteThe9xForms) {
  EXPECT_EQ(FileAndDirectory(2), BatchHeader() + kShortLines + BatchClosing());
}

TEST_F(EraseBatchTest, AnUnknownVersionGetsThe9xFormsEvenOnNt) {
  EXPECT_EQ(FileAndDirectory(-1), BatchHeader() + kShortLines + BatchClosing());
}

TEST_F(EraseBatchTest, EachEntryWritesItsOwnDriveAndCdLines) {
  tm.AddFile("C:\\Program Files\\Fax Tools\\y z.dll");
  tm.AddFile("C:\\root.dll");
  CBatchEraseFiles batch;
  batch.CreateEraseBatch(5);
  EXPECT_EQ(batch.AddToEraseBatch(kToolsDll, 5), 1);
  EXPECT_EQ(batch.AddToEraseBatch("C:\\Program Files\\Fax Tools\\y z.dll", 5), 1);
  // A file in the root changes to the root, not to the bare drive.
  EXPECT_EQ(batch.AddToEraseBatch("C:\\root.dll", 5), 1);
  batch.CloseEraseBatch(5);
  EXPECT_EQ(Batch(), BatchHeader() +
                         "C:\r\nCD \"C:\\Program Files\\Fax Tools\"\r\n"
                         "DEL \"C:\\Program Files\\Fax Tools\\x.dll\"\r\n"
                         "C:\r\nCD \"C:\\Program Files\\Fax Tools\"\r\n"
                         "DEL \"C:\\Program Files\\Fax Tools\\y z.dll\"\r\n"
                         "C:\r\nCD \"C:\\\"\r\nDEL \"C:\\root.dll\"\r\n");
}

TEST_F(EraseBatchTest, EntriesThatCannotBeWrittenSafelyAreLeftOut) {
  tm.AddDir("C:\\Program Files\\Fax Tools\\Sub");
  CBatchEraseFiles batch;
  batch.CreateEraseBatch(5);
  EXPECT_EQ(batch.AddToEraseBatch("x.dll", 5), 0);                   // no backslash
  EXPECT_EQ(batch.AddToEraseBatch("\\\\srv\\share\\x.dll", 5), 0);   // no drive part
  EXPECT_EQ(batch.AddToEraseBatch("C:\\Program Files\\*.*", 5), 0);  // not one file
  EXPECT_EQ(batch.AddToEraseBatch("C:\\", 5), 0);
  EXPECT_EQ(batch.AddToEraseBatch("+C:\\", 5), 0);
  // DEL of a directory would empty it.
  EXPECT_EQ(batch.AddToEraseBatch("C:\\Program Files\\Fax Tools\\Sub", 5), 0);
  batch.CloseEraseBatch(5);
  EXPECT_EQ(Batch(), BatchHeader());
  EXPECT_TRUE(
      LogHas(">>> Not scheduled for deletion on reboot: "
             "'C:\\Program Files\\Fax Tools\\Sub'\n\tIt is a directory, not a file. \n"));
  EXPECT_TRUE(LogHas(">>> Skipped unsafe path 'C:\\' \n"));
  EXPECT_EQ(LogCount(">>> Not scheduled"), 2u);
}

TEST_F(EraseBatch98Test, AMissingShortFormSkipsTheWholeEntry) {
  tm.AddFile("C:\\Program Files\\Fax Tools\\y.dll");
  tm.AddFault("GetShortPathNameA", 5, kToolsDir, 1);
  tm.AddFault("GetShortPathNameA", 5, kToolsDll, 1);
  CBatchEraseFiles batch;
  batch.CreateEraseBatch(1);
  // The directory's short form fails: no DEL in whatever directory is current.
  EXPECT_EQ(batch.AddToEraseBatch("C:\\Program Files\\Fax Tools\\y.dll", 1), 0);
  // The file's own short form fails: no guess is written.
  EXPECT_EQ(batch.AddToEraseBatch(kToolsDll, 1), 0);
  EXPECT_EQ(batch.AddToEraseBatch("+C:\\Nowhere", 1), 0);
  batch.CloseEraseBatch(1);
  EXPECT_EQ(Batch(), BatchHeader() + BatchClosing());
  EXPECT_EQ(LogCount(">>> Origin: CBatchEraseFiles::AddToEraseBatch -- GetShortPathName()\n"
                     "\tSystem message: "),
            3u);
  EXPECT_TRUE(LogHas("\tLong path = 'C:\\Nowhere'\n\tShort path = ''\n\n"));
  EXPECT_TRUE(
      LogHas(">>> Not scheduled for deletion on reboot: 'C:\\Nowhere'\n"
             "\tIts short (8.3) path could not be found. \n"));
  EXPECT_EQ(LogCount("Its short (8.3) path could not be found."), 3u);
}

TEST_F(EraseBatchTest, NetworkTempDirectoryGivesNoBatch) {
  tm.SetDirectory("temp", "\\\\server\\temp\\");
  CBatchEraseFiles batch;
  EXPECT_EQ(batch.CreateEraseBatch(5), 0);
  EXPECT_EQ(batch.GetState(), 0);
  EXPECT_EQ(Log(),
            ">>> Origin: CBatchEraseFiles::GetWinTempDirectory() -- GetDriveType()\n"
            "\tProblem involving the Window's temporary directory.\n\tDrive \\:\\ was not found. "
            "Perhaps it is a disconnected network drive.\n\tThis application cannot proceed "
            "without a valid Windows TEMP or TMP directory. \n\n"
            "==> Error creating batch file EraseVtc.bat in the default Windows Temp directory. "
            "\n");
}

TEST_F(EraseBatchTest, CdRomTempDirectoryGivesNoBatchAndALaterCallAsksAgain) {
  tm.AddDrive('E', DRIVE_CDROM);
  tm.SetDirectory("temp", "E:\\TEMP\\");
  CBatchEraseFiles batch;
  EXPECT_EQ(batch.CreateEraseBatch(5), 0);
  EXPECT_TRUE(LogHas("\tDrive E:\\ is a CD-ROM (or similar) drive.\n"));
  tm.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(batch.CreateEraseBatch(5), 1);
  EXPECT_EQ(Batch(), BatchHeader());
}

TEST_F(EraseBatchTest, SixteenKilobytesFreeAreEnoughOneByteLessIsNot) {
  tm.AddDrive('D', DRIVE_FIXED, 16384);
  tm.AddDrive('E', DRIVE_FIXED, 16383);
  tm.AddDir("D:\\T");
  tm.AddDir("E:\\T");
  tm.SetDirectory("temp", "D:\\T\\");
  {
    CBatchEraseFiles batch;
    EXPECT_EQ(batch.CreateEraseBatch(5), 1);
  }
  tm.SetDirectory("temp", "E:\\T\\");
  CBatchEraseFiles batch;
  EXPECT_EQ(batch.CreateEraseBatch(5), -111);
  EXPECT_EQ(batch.GetState(), -111);
  EXPECT_FALSE(tm.Exists("E:\\T\\EraseVtc.bat"));
  EXPECT_TRUE(LogHas(
      "\n *** Batch file created in directory 'E:\\T\\' \n\n"
      ">>> Origin: CBatchEraseFiles::CreateEraseBatch() -- GetTempDriveSpace()\n"
      "\tThere does not appear to be enough space on drive E:\\T\\ for a temp file.\n\tThe temp "
      "file needs about 16384 bytes free, but only 16383 bytes are available. \n"));
}

TEST_F(EraseBatch95Test, FirstWindows95WithoutTheQueryCountsAsEnoughSpace) {
  tm.m.system.version.build = 950;
  tm.AddDrive('D', DRIVE_FIXED, 100);
  tm.AddDir("D:\\T");
  tm.SetDirectory("temp", "D:\\T\\");
  CBatchEraseFiles batch;
  EXPECT_EQ(batch.GetTempDriveSpace(0), 4294967295ULL);
  EXPECT_EQ(batch.CreateEraseBatch(0), 1);
}

TEST_F(EraseBatchTest, FreeSpaceQueryFailuresAreLoggedWithTheirOrigin) {
  CBatchEraseFiles batch;
  // Off Windows 95 a missing function is the query's own failure.
  tm.AddFault("GetProcAddress", 127, "", 1);
  EXPECT_EQ(batch.GetTempDriveSpace(5), 0u);
  tm.AddFault("GetModuleHandleA", 126, "Kernel32.dll", 1);
  EXPECT_EQ(batch.GetTempDriveSpace(0), 0u);
  tm.AddFault("GetDiskFreeSpaceExA", 21, "", 1);
  EXPECT_EQ(batch.GetTempDriveSpace(5), 0u);
  const std::string space = "CBatchEraseFiles::GetTempDriveSpace() -- ";
  const std::string log = Log();
  const size_t a = log.find(">>> Origin: " + space + "GetDiskFreeSpaceEx()\n\tSystem message: ");
  const size_t b = log.find(">>> Origin: " + space + "GetModuleHandle('Kernel32.dll')\n");
  const size_t c = log.find(">>> Origin: " + space + "GetDiskFreeSpaceEx()", b);
  EXPECT_NE(a, std::string::npos);
  EXPECT_NE(b, std::string::npos);
  EXPECT_NE(c, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_EQ(LogCount("Additional Information: \n"), 3u);
}

TEST_F(EraseBatchTest, TempPathFailureIsLogged) {
  tm.AddFault("GetTempPathA", 8, "", 1);
  CBatchEraseFiles batch;
  EXPECT_EQ(batch.GetWinTempDirectory(), "");
  EXPECT_TRUE(
      LogHas(">>> Origin: CBatchEraseFiles::GetWinTempDirectory() -- GetTempPath()\n"
             "\tSystem message: "));
  EXPECT_TRUE(LogHas("Additional Information: szDirBuff = ''\n\n"));
}

TEST_F(EraseBatchTest, BatchThatCannotBeCreatedOrStartedFailsForGood) {
  tm.AddFault("CreateFileA", 5, BatchPath(), 1);
  CBatchEraseFiles batch;
  EXPECT_EQ(batch.CreateEraseBatch(5), -111);
  EXPECT_TRUE(
      LogHas(">>> Origin: CBatchEraseFiles::CreateEraseBatch() -- m_File.Open\n"
             "\tUnable to create file C:\\WINDOWS\\TEMP\\EraseVtc.bat.Access to "
             "C:\\WINDOWS\\TEMP\\EraseVtc.bat was denied. \n"));

  tm.AddFault("WriteFile", 112, BatchPath(), 1);
  CBatchEraseFiles second;
  EXPECT_EQ(second.CreateEraseBatch(5), -111);
  EXPECT_TRUE(
      LogHas(">>> Origin: CBatchEraseFiles::CreateEraseBatch() -- m_File.WriteString\n"
             "\tUnable to write to file C:\\WINDOWS\\TEMP\\EraseVtc.bat.Disk full while "
             "accessing C:\\WINDOWS\\TEMP\\EraseVtc.bat. \n"));
}

TEST_F(EraseBatchTest, AFailedEntryWriteClosesTheBatchWhichIsStillRegistered) {
  tm.AddFile("C:\\a.dll");
  CBatchEraseFiles batch;
  batch.CreateEraseBatch(5);
  // A fault with no calls left does not apply yet.
  tm.AddFault("WriteFile", 39, BatchPath(), 0);
  EXPECT_EQ(batch.AddToEraseBatch("C:\\a.dll", 5), 1);
  tm.m.faults.list.back().times = -1;
  EXPECT_EQ(batch.AddToEraseBatch(kToolsDll, 5), 0);
  EXPECT_TRUE(
      LogHas(">>> Origin: CBatchEraseFiles::AddToEraseBatch() -- m_File.WriteString 1\n"
             "\tDisk full while accessing C:\\WINDOWS\\TEMP\\EraseVtc.bat. \n"));
  EXPECT_EQ(batch.GetState(), 1);
  // Closed: nothing more is written, nothing more is logged.
  const std::string logBefore = Log();
  EXPECT_EQ(batch.AddToEraseBatch(kToolsDll, 5), 0);
  EXPECT_EQ(Log(), logBefore);
  EXPECT_EQ(batch.CloseEraseBatch(5), 1);
  EXPECT_EQ(Batch(), BatchHeader() + "C:\r\nCD \"C:\\\"\r\nDEL \"C:\\a.dll\"\r\n");
  EXPECT_EQ(RunOnceData(), BatchPath());
}

TEST_F(EraseBatchTest, RegistrationFailuresSetTheStateBack) {
  CBatchEraseFiles batch;
  batch.CreateEraseBatch(5);
  tm.AddKeyFault("RegSetValueExA", 5, kRunOncePath, 1);
  EXPECT_EQ(batch.CloseEraseBatch(5), 0);
  EXPECT_EQ(batch.GetState(), 0);
  EXPECT_TRUE(
      LogHas(">>> Origin: CBatchEraseFiles::WriteToRegRunOnce() -- RegSetValueEx()\n"
             "\tSystem message: Access is denied.\n \n\tAdditional Information: "
             "sKey = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
             "RunOnce'\t sValue = 'EraseVtc'\n\n"));
  EXPECT_EQ(RunOnceData(), "<none>");

  tm.m.registry.DeleteTree(kRunOncePath);
  EXPECT_EQ(batch.WriteToRegRunOnce("C:\\T"), 0);
  EXPECT_TRUE(LogHas(">>> Origin: CBatchEraseFiles::WriteToRegRunOnce() -- RegOpenKeyEx()\n"));
  tm.m.registry.Create(kRunOncePath);
  // The backslash is added only when missing.
  EXPECT_EQ(batch.WriteToRegRunOnce("C:\\T"), 1);
  EXPECT_EQ(RunOnceData(), "C:\\T\\EraseVtc.bat");
  EXPECT_EQ(batch.WriteToRegRunOnce("C:\\T\\"), 1);
  EXPECT_EQ(RunOnceData(), "C:\\T\\EraseVtc.bat");
}

TEST_F(EraseBatch98Test, ASecondRunGoesOnWithTheBatchStillRegistered) {
  tm.AddFile("C:\\a.dll");
  {
    CBatchEraseFiles first;
    first.CreateEraseBatch(1);
    first.AddToEraseBatch("C:\\a.dll", 1);
    first.CloseEraseBatch(1);
  }
  const std::string firstRun = Batch();
  {
    CBatchEraseFiles second;
    EXPECT_EQ(second.CreateEraseBatch(1), 1);
    second.AddToEraseBatch(kToolsDll, 1);
    second.CloseEraseBatch(1);
  }
  EXPECT_EQ(Batch(),
            firstRun + "C:\r\nCD C:\\PROGRA~1\\FAXTOO~1\r\nDEL C:\\PROGRA~1\\FAXTOO~1\\x.dll\r\n" +
                BatchClosing());
  EXPECT_EQ(LogCount("\n *** Batch file created in directory 'C:\\WINDOWS\\TEMP\\' \n\n"), 2u);

  // Once Windows has run it (the value is gone) a new batch starts afresh.
  tm.m.registry.DeleteTree(kRunOncePath);
  tm.m.registry.Create(kRunOncePath);
  CBatchEraseFiles third;
  third.CreateEraseBatch(1);
  third.CloseEraseBatch(1);
  EXPECT_EQ(Batch(), BatchHeader() + BatchClosing());
}

}  // namespace
