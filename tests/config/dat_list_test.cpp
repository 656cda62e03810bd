// DAT list files: line syntax, prefixes, long lines and the directory check.
#include "config/dat_list.h"

#include "config_test_support.h"

namespace {

using Strings = std::vector<std::string>;

class DatListTest : public ConfigTest {
 protected:
  Strings Read(CListFromFile& reader, const std::string& content, int* count = nullptr) {
    tm.AddFile("C:\\Scrubber\\list.dat", content);
    Strings list{"stale"};
    const int n = reader.ListFromFile("C:\\Scrubber\\list.dat", list);
    if (count != nullptr) *count = n;
    EXPECT_EQ(n, static_cast<int>(list.size()));
    return list;
  }
  // A reader of the files list with every directory but those cleared.
  static void FillAll(CListFromFile& r) {
    r.SetVTInstallDir("C:\\Program Files\\VT");
    r.SetSystemDir("C:\\WINDOWS\\system32");
    r.SetWindowsDir("C:\\WINDOWS");
    r.SetDesktopDir("C:\\Desk");
    r.SetOCRDir("C:\\OCR");
    r.SetCommonProgramsDir("C:\\Common");
    r.SetUserProgramsDir("C:\\User\\Programs\\");
    r.SetDeviceIDDir("C:\\DevID");
    r.SetTempDir();
  }
};

TEST_F(DatListTest, CommentsWhiteSpaceAndEmptyFiles) {
  CListFromFile empty;
  int n = -2;
  EXPECT_EQ(Read(empty, "", &n), Strings{});
  EXPECT_EQ(n, 0);
  CListFromFile comments;
  EXPECT_EQ(Read(comments, ";#\\BIN\\a.dll\r\n   ; comment\r\n \t \r\n\r\n"), Strings{});
  CListFromFile plain;
  FillAll(plain);
  EXPECT_EQ(Read(plain, "   \t#\\x  \r\n>x\r\n> #\\y\r\nHKLM\\SOFTWARE\\VT \t\r\n>\r\n"),
            (Strings{"C:\\Program Files\\VT\\x", ">x", "> #\\y", "HKLM\\SOFTWARE\\VT", ">"}));
  EXPECT_EQ(plain.GetCount(), 5);
}

TEST_F(DatListTest, EveryPrefixWithItsDirectory) {
  CListFromFile r;
  FillAll(r);
  EXPECT_EQ(Read(r,
                 "#\\BIN\\a.dll\n$\\s.dll\n^\\w.ini\n|\\d.lnk\n+\\o.exe\n!\\c.lnk\n~\\Start.lnk\n"
                 "?\\id.txt\n@\\t.tmp\n>~\\Start.lnk\n>#\\dir\n>$\n"),
            (Strings{"C:\\Program Files\\VT\\BIN\\a.dll", "C:\\WINDOWS\\system32\\s.dll",
                     "C:\\WINDOWS\\w.ini", "C:\\Desk\\d.lnk", "C:\\OCR\\o.exe", "C:\\Common\\c.lnk",
                     "C:\\User\\Programs\\Start.lnk", "C:\\DevID\\id.txt",
                     "C:\\WINDOWS\\TEMP\\\\t.tmp", ">C:\\User\\Programs\\\\Start.lnk",
                     ">C:\\Program Files\\VT\\dir", ">C:\\WINDOWS\\system32"}));
}

TEST_F(DatListTest, EmptyDirectoriesDropOrKeepLines) {
  CListFromFile r;  // nothing set: the registry reader before discovery
  EXPECT_EQ(Read(r,
                 "#\\a\n|\\b\n+\\c\n!\\d\n@\\e\n?\\file.txt\n~\\f\n>?\\x\n>~\\y\n>#\\z\n"
                 ">|\\q\nHKCU\\x\n"),
            (Strings{"?\\file.txt", "~\\f", "HKCU\\x"}));
}

TEST_F(DatListTest, EmptySystemOrWindowsDirectoryDropsTheLine) {
  // Taken unchanged, "$\x.dll" would name \x.dll and ">$" the root of the
  // current drive: such lines go like those of every other empty variable.
  CListFromFile r;
  r.SetVTInstallDir("C:\\VT");
  EXPECT_EQ(Read(r, "$\\x.dll\n^\\win.ini\n>$\n>^\\Temp\n#\\kept\n"), Strings{"C:\\VT\\kept"});
  EXPECT_EQ(r.GetCount(), 1);
}

TEST_F(DatListTest, LongLinesComeInPiecesOf258) {
  CListFromFile r;
  const std::string line = std::string(258, 'a') + std::string(42, 'b');
  EXPECT_EQ(Read(r, line + "\r\n" + std::string(258, 'c') + "\r\nlast"),
            (Strings{std::string(258, 'a'), std::string(42, 'b'), std::string(258, 'c'), "last"}));
}

TEST_F(DatListTest, UnreadableFileAndDirectoryCheck) {
  CListFromFile missing;
  Strings list{"stale"};
  EXPECT_EQ(missing.ListFromFile("C:\\Scrubber\\none.dat", list), -1);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(Log(),
            ">>> Origin: CListFromFile::ListFromFile() -- _tfopen(sFileListName)\n\tUnable to find "
            "file \"C:\\Scrubber\\none.dat\". \n\n");

  // The first read of the run makes no check; later reads log the first
  // empty one of the install, desktop, OCR and common programs directories.
  const std::string before = Log();
  CListFromFile first;
  Read(first, "x\n");
  EXPECT_EQ(Log(), before);
  CListFromFile noDesktop;
  noDesktop.SetVTInstallDir("C:\\VT");
  Read(noDesktop, "x\n");
  CListFromFile noCommon;
  FillAll(noCommon);
  noCommon.SetCommonProgramsDir("");
  Read(noCommon, "x\n");
  CListFromFile full;
  FillAll(full);
  Read(full, "x\n");
  EXPECT_EQ(Log(),
            before +
                ">>> Unable to erase file from the 'Desktop' directory.\n\tAttempting to use "
                "a default directory. \n"
                ">>> May be unable to erase files from the 'User's Startup Directory' "
                "directory.\n\tUsing default directory. \n");
}

TEST_F(DatListTest, ReadErrorMakesTheListUnreadable) {
  // A read error must not pass for the end of the list.
  tm.AddFile("C:\\Scrubber\\bad.dat", "#\\a\n");
  tm.AddFault("ReadFile", 23, "C:\\Scrubber\\bad.dat", 1);
  CListFromFile r;
  Strings list{"stale"};
  EXPECT_EQ(r.ListFromFile("C:\\Scrubber\\bad.dat", list), -1);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(Log(), ">>> Origin: CListFromFile::ListFromFile() -- _fgetts()\n\tSystem message: " +
                       SystemMessageText(23) +
                       " \n\tAdditional Information: A hardware I/O error was reported while "
                       "accessing C:\\Scrubber\\bad.dat.\n\n");
}

TEST_F(DatListTest, TempDirectoryFailure) {
  tm.SetDirectoryNull("temp");
  CListFromFile r;
  r.SetTempDir();
  EXPECT_EQ(Read(r, "@\\x\n"), Strings{});
  const std::string log = Log();
  EXPECT_EQ(
      log.rfind(">>> Origin: CListFromFile::SetTempDir() -- GetTempPath()\n\tSystem message: ", 0),
      0u)
      << log;
  EXPECT_NE(log.find("\tAdditional Information: szDirBuff = ''\n\n"), std::string::npos);
}

}  // namespace
