// The control file reader: version check, DAT paths, value conventions and
// the device tree.
#include "config/ini_reader.h"

#include "config/version_word.h"
#include "config_test_support.h"

namespace {

using Strings = std::vector<std::string>;

const char kVersionLine[] = "; Version 2.03\r\n";
const char kUnregister[] = "CGetDataFromINI::GetUnregisterData() -- GetPrivateProfileString()";

// Only positions 0-127 of the first line are examined, 127 characters copied.
TEST(VersionWord, ExaminesTheFirst128Characters) {
  const std::string late = "Version" + std::string(119, ' ') + "2.03";
  ASSERT_EQ(late[126], '2');
  EXPECT_EQ(ReadVersionNumber(late, FindVersionWord(late)), "2.");
  EXPECT_EQ(ReadVersionNumber(std::string(200, '7'), 0), std::string(127, '7'));
}

class VersionCheck : public ConfigTest {
 protected:
  bool Check(const std::string& firstLine) {
    tm.AddFile(kIni, firstLine + "\r\n[D -- XP Files]\r\nFilesPath=f.dat\r\n");
    return CGetDataFromINI().CheckINIVersion();
  }
  static std::string VersionError(const std::string& found) {
    return ErrorBox("Version error found in INI file, VtCvScrubber.ini \nVersion found: '" + found +
                    "' \nVersion expected: '2.03'");
  }
};

TEST_F(VersionCheck, FirstLinesThatPass) {
  for (const char* line : {"Version 2.03", "; Version 2.03", "Ver 2.03", "VERSION=2.03"}) {
    EXPECT_TRUE(Check(line)) << line;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(VersionCheck, FirstLinesThatFailWithTheirBoxes) {
  EXPECT_FALSE(Check("Version 2.030"));
  EXPECT_FALSE(Check("Version two"));
  EXPECT_FALSE(Check("Release 2.03"));
  EXPECT_FALSE(Check("Devices 5-8, Version 2.03"));
  EXPECT_EQ(Boxes(),
            (Strings{VersionError("2.030"), VersionError(""),
                     ErrorBox("Unable to find the version string in INI file, VtCvScrubber.ini"),
                     VersionError("5")}));
}

TEST_F(VersionCheck, UnopenableAndUnreadableFile) {
  EXPECT_FALSE(CGetDataFromINI().CheckINIVersion());  // no file at all
  tm.AddFile(kIni, "Version 2.03\r\n");
  tm.AddFault("ReadFile", 33, "", 1);
  EXPECT_FALSE(CGetDataFromINI().CheckINIVersion());
  const Strings boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0],
            ErrorBox(SystemMessageText(2) + "\n\n>>> Unable to open INI file, VtCvScrubber.ini"));
  EXPECT_EQ(boxes[1], ErrorBox(SystemMessageText(33) +
                               "\n\nUnable to read line from the INI file, VtCvScrubber.ini"));
}

TEST_F(ConfigTest, DatPathsAndTheirReports) {
  tm.AddFile(kIni, std::string(kVersionLine) +
                       "[A, B -- XP Files]\r\nFilesPath=files.dat\r\nRegPath=gone.dat\r\n"
                       "[A, B -- 98 Files]\r\nFilesPath=nf.dat\r\n");
  tm.AddFile("C:\\Scrubber\\files.dat");
  CGetDataFromINI ini;
  EXPECT_EQ(ini.GetINIPath(), kIni);
  EXPECT_EQ(ini.PathToUninstallFile("A, B", 5, "FilesPath"), "C:\\Scrubber\\files.dat");
  EXPECT_EQ(ini.PathToUninstallFile("A, B", 5, "RegPath"), "");
  EXPECT_EQ(ini.PathToUninstallFile("A, B", -1, "FilesPath"), "");
  // Once passed, the version check does not read the file again.
  tm.AddFile(kIni, std::string("Version 9\r\n[A, B -- 2000 Files]\r\nFilesPath=files.dat\r\n"));
  EXPECT_EQ(ini.PathToUninstallFile("A, B", 4, "FilesPath"), "C:\\Scrubber\\files.dat");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Log(),
            ">>> Origin: CGetDataFromINI::FindAFile() -- _tfindfirst()\n\tUnable to find file at "
            "\"C:\\Scrubber\\gone.dat\".\nError: File specification could not be matched (meaning, "
            "File Not Found). \n\n" +
                MissingNote("CGetDataFromINI::PathToUninstallFile() -- GetPrivateProfileString()",
                            "A, B -- ", "FilesPath"));
}

TEST_F(ConfigTest, MissingControlFileAndDriveRoot) {
  CGetDataFromINI missing;
  EXPECT_EQ(missing.PathToUninstallFile("D", 5, "FilesPath"), "");
  EXPECT_EQ(Log(),
            ">>> Origin: CGetDataFromINI::FindAFile() -- _tfindfirst()\n\tUnable to find file at "
            "\"C:\\Scrubber\\VtCvScrubber.ini\".\nError: File specification could not be matched "
            "(meaning, File Not Found). \n\n"
            ">>> Origin: CGetDataFromINI::PathToUninstallFile() -- FindAFile()\n\tUnable to find "
            "file \"C:\\Scrubber\\VtCvScrubber.ini\". \n\n");

  tm.SetCurrentDir("C:\\");
  tm.AddFile("C:\\VtCvScrubber.ini",
             std::string(kVersionLine) + "[D -- XP Files]\r\nRegPath=r.dat\r\n");
  tm.AddFile("C:\\r.dat");
  CGetDataFromINI root;
  EXPECT_EQ(root.GetINIPath(), "C:\\VtCvScrubber.ini");
  EXPECT_EQ(root.PathToUninstallFile("D", 5, "RegPath"), "C:\\r.dat");
}

TEST_F(ConfigTest, CommonValuesNumberedKeysAndNotFound) {
  std::string ini = std::string(kVersionLine) + "[A -- Common]\r\nnumSWvers=12\r\n";
  for (int i = 1; i <= 12; ++i) {
    ini += "SWverText" + std::to_string(i) + "=" + (i == 4 ? "" : "v" + std::to_string(i)) + "\r\n";
  }
  ini += "OCRVal=\r\n[E -- Common]\r\nnumSWvers=1\r\nSWverText1=nOtFoUnD\r\nOCRVal=x\r\n";
  tm.AddFile(kIni, ini);

  CGetDataFromINI reader;
  EXPECT_TRUE(reader.GetCommonINIvalues("A, B"));
  EXPECT_EQ(reader.SWVersions(),
            (Strings{"v1", "v2", "v3", "v5", "v6", "v7", "v8", "v9", "v10", "v11", "v12"}));
  EXPECT_EQ(reader.OCRVal(), "");  // present and empty is found

  CGetDataFromINI other;
  EXPECT_FALSE(other.GetCommonINIvalues("E"));
  EXPECT_FALSE(other.GetCommonINIvalues("Nope, X"));
  EXPECT_EQ(Log(),
            MissingNote("CGetDataFromINI::GetCommonINIvalues() -- GetPrivateProfileString()",
                        "E -- Common", "SWverText1") +
                MissingNote("CGetDataFromINI::GetCommonINIvalues() -- GetPrivateProfileString()",
                            "Nope -- Common", "numSWvers"));
}

TEST_F(ConfigTest, UnregisterDataListsAndCounts) {
  tm.AddFile(kIni, std::string(kVersionLine) +
                       "[A -- Common]\r\nDevIDname=VT A series\r\nDevIDfax=\r\nnumPnPIDs=0\r\n"
                       "KnownClasses=Image\r\nMonitors=x, y\r\nServices=a,,b,\r\nNumMSIs=0\r\n"
                       "numMagicKeys=2\r\nMagicKey1=k1\r\nMagicKey2=k2\r\n");
  CGetDataFromINI ini;
  EXPECT_TRUE(ini.GetUnregisterData("A, B"));
  EXPECT_EQ(ini.DevIDname(), "VT A series");
  EXPECT_EQ(ini.DevIDfax(), "");
  EXPECT_TRUE(ini.PnPIDs().empty());
  EXPECT_EQ(ini.KnownClasses(), Strings{"Image"});
  EXPECT_EQ(ini.Monitors(), (Strings{"x", " y"}));
  EXPECT_EQ(ini.Services(), (Strings{"a", "b"}));
  EXPECT_TRUE(ini.MsiPacks().empty());
  EXPECT_EQ(ini.Timeout(), 100000u);
  EXPECT_EQ(ini.MagicKeys(), (Strings{"k1", "k2"}));
  EXPECT_EQ(Log(), "");
}

// A count of -1 is no entries and no report, although Windows' integer call
// gives 4294967295 for it; other counts as that call reads them.
TEST_F(ConfigTest, NegativeCountReadsAsNoEntries) {
  tm.AddFile(kIni,
             std::string(kVersionLine) +
                 "[A -- Common]\r\nDevIDname=n\r\nDevIDfax=f\r\nnumPnPIDs= -1\r\nKnownClasses=\r\n"
                 "Monitors=\r\nServices=\r\nNumMSIs=-1\r\nnumMagicKeys=0x2\r\n"
                 "MagicKey1=k1\r\nMagicKey2=k2\r\nMagicKey3=k3\r\n"
                 "[B -- Common]\r\nnumSWvers=-1\r\nSWverText1=v1\r\nOCRVal=o\r\n");
  CGetDataFromINI ini;
  EXPECT_TRUE(ini.GetUnregisterData("A"));
  EXPECT_TRUE(ini.PnPIDs().empty());
  EXPECT_TRUE(ini.MsiPacks().empty());
  EXPECT_EQ(ini.MagicKeys(), (Strings{"k1", "k2"}));
  CGetDataFromINI b;
  EXPECT_TRUE(b.GetCommonINIvalues("B"));
  EXPECT_TRUE(b.SWVersions().empty());
  EXPECT_EQ(Log(), "");
}

// An empty count is missing, as GetPrivateProfileIntA gives its default then.
TEST_F(ConfigTest, EmptyCountIsReportedAsMissing) {
  tm.AddFile(kIni, std::string(kVersionLine) + "[B -- Common]\r\nnumSWvers=\r\nOCRVal=o\r\n");
  CGetDataFromINI b;
  EXPECT_FALSE(b.GetCommonINIvalues("B"));
  EXPECT_EQ(Log(), MissingNote("CGetDataFromINI::GetCommonINIvalues() -- GetPrivateProfileString()",
                               "B -- Common", "numSWvers"));
}

TEST_F(ConfigTest, UnregisterDataStopsAtTheFirstMissingKey) {
  tm.AddFile(kIni,
             std::string(kVersionLine) +
                 "[A -- Common]\r\nDevIDname=n\r\nDevIDfax=f\r\nnumPnPIDs=3\r\nPnP1=p1\r\n"
                 "PnP3=p3\r\nKnownClasses=Image\r\n"
                 "[B -- Common]\r\nDevIDname=n\r\nDevIDfax=f\r\nnumPnPIDs=0\r\nKnownClasses=\r\n"
                 "Monitors=\r\nServices=\r\nNumMSIs=65536\r\n"
                 "[C -- Common]\r\nDevIDname=n\r\nDevIDfax=f\r\nnumPnPIDs=0\r\nKnownClasses=\r\n"
                 "Monitors=\r\nServices=\r\n");
  CGetDataFromINI a;
  EXPECT_FALSE(a.GetUnregisterData("A"));
  EXPECT_EQ(a.PnPIDs(), Strings{"p1"});
  EXPECT_TRUE(a.KnownClasses().empty());
  CGetDataFromINI b;
  EXPECT_FALSE(b.GetUnregisterData("B"));
  CGetDataFromINI c;
  EXPECT_FALSE(c.GetUnregisterData("C"));
  EXPECT_EQ(Log(), MissingNote(kUnregister, "A -- Common", "PnP2") +
                       MissingNote(kUnregister, "B -- Common", "NumMSIs") +
                       MissingNote(kUnregister, "C -- Common", "NumMSIs"));
}

TEST_F(ConfigTest, SectionsSetByEarlierCallsAndDefaultDirs) {
  tm.AddFile(kIni, std::string(kVersionLine) +
                       "[A, B -- XP Files]\r\nFilesPath=f.dat\r\nDefaultVTDir=C:\\VT\r\n"
                       "[A -- Common]\r\nnumSWvers=0\r\nOCRVal=o\r\nTestKey=SOFTWARE\\Vantrel\r\n");
  tm.AddFile("C:\\Scrubber\\f.dat");
  CGetDataFromINI ini;
  // Nothing stored yet: no report.
  EXPECT_FALSE(ini.GetDefaultDirs());
  EXPECT_EQ(ini.GetTestRegEntry(), "");
  EXPECT_EQ(Log(), "");

  ASSERT_NE(ini.PathToUninstallFile("A, B", 5, "FilesPath"), "");
  EXPECT_FALSE(ini.GetDefaultDirs());
  EXPECT_EQ(ini.DefaultVTDir(), "C:\\VT");
  EXPECT_TRUE(ini.GetCommonINIvalues("A, B"));
  EXPECT_EQ(ini.GetTestRegEntry(), "SOFTWARE\\Vantrel");
  EXPECT_EQ(Log(), MissingNote("CGetDataFromINI::GetDefaultDirs() -- GetPrivateProfileString()",
                               "A, B -- XP Files", "DefaultOCRdir"));
}

TEST_F(ConfigTest, DeviceTreeGrouping) {
  tm.AddFile(kIni,
             "; Version 2.03\r\n"
             "[A, B -- 95 Files]\r\n[A, B -- 98 Files]\r\nkey=[X -- Y]\r\n[A, C -- 95 Files]\r\n"
             "  [D -- XP Files]  \r\n[D -- Common]\r\n[A -- Common]\r\n;[Z -- XP Files]\r\n"
             "[E, F -- XP Files]\r\n[NoDashes]\r\n");
  RecordingTree tree;
  EXPECT_TRUE(CGetDataFromINI().LoadDeviceTree("VtCvScrubber.ini", tree));
  EXPECT_EQ(tree.entries, (Strings{"A", "  B", "  C", "D", "E", "  F"}));

  // A member separated from its other headers is listed again; a stand-alone
  // header starts a new group even for the same group name.
  tm.AddFile(kIni,
             "[A, B -- 95 Files]\r\n[A, C -- 95 Files]\r\n[a, b -- 98 Files]\r\n"
             "[D -- XP Files]\r\n[A, B -- XP Files]\r\n");
  RecordingTree again;
  EXPECT_TRUE(CGetDataFromINI().LoadDeviceTree("VtCvScrubber.ini", again));
  EXPECT_EQ(again.entries, (Strings{"A", "  B", "  C", "  b", "D", "A", "  B"}));
}

TEST_F(ConfigTest, DeviceTreeWithoutControlFile) {
  RecordingTree tree;
  EXPECT_FALSE(CGetDataFromINI().LoadDeviceTree("VtCvScrubber.ini", tree));
  EXPECT_TRUE(tree.entries.empty());
  EXPECT_EQ(Boxes(), Strings{ErrorBox(SystemMessageText(2) + "\n\nVtCvScrubber.ini")});
}

}  // namespace
