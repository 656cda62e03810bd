// Directory resolution: fixed directories per Windows version, OCR and
// device-ID directories, discovery, validation by name, the searches on disk
// and the hand-over into the list readers.
#include "discovery/directories.h"

#include "app/main_window.h"
#include "discovery/detection.h"
#include "discovery/find_default_dirs.h"
#include "discovery/install_dir_rules.h"
#include "discovery_test_support.h"

namespace {

class DirectoriesTest : public DiscoveryTest {
 protected:
  explicit DirectoriesTest(const std::string& windows = "xp") : DiscoveryTest(windows) {
    dlg.CreateView();
    dlg.m_aDeviceNames.assign(100, std::string());
    dlg.m_aInstallDirs.assign(100, std::string());
  }
  std::string Current() const { return tm.m.files.current_dir; }
  CCvScrubberDlg dlg;
};

class Win98DirectoriesTest : public DirectoriesTest {
 protected:
  Win98DirectoriesTest() : DirectoriesTest("98") {}
};
class Win2000DirectoriesTest : public DirectoriesTest {
 protected:
  Win2000DirectoriesTest() : DirectoriesTest("2000") {}
};

TEST_F(Win98DirectoriesTest, NineXHasNoCommonFoldersTheUsersStandIn) {
  CFindAiOinReg finder;
  char common[260], user[260], desktop[260];
  finder.GetStartupNameDir(common);
  finder.GetUserStartupDir(user);
  finder.GetDesktopDir(desktop);
  EXPECT_STREQ(common, user);
  EXPECT_EQ(std::string(user), *tm.m.system.Directory("programs"));
  EXPECT_EQ(std::string(desktop), *tm.m.system.Directory("desktop"));
  EXPECT_FALSE(IsNTFamily());
  EXPECT_EQ(Log(), "");
}

TEST_F(Win2000DirectoriesTest, NtUsesTheAllUsersFoldersAndCachesThem) {
  CFindAiOinReg finder;
  char common[260], desktop[260];
  finder.GetStartupNameDir(common);
  EXPECT_EQ(std::string(common), *tm.m.system.Directory("common_programs"));
  finder.GetDesktopDir(desktop);
  EXPECT_EQ(std::string(desktop), *tm.m.system.Directory("common_desktop"));
  // The second call answers from the cache; a new finder asks again.
  tm.AddFault("SHGetSpecialFolderPathA", 5);
  finder.GetDesktopDir(desktop);
  EXPECT_EQ(std::string(desktop), *tm.m.system.Directory("common_desktop"));
  CFindAiOinReg fresh;
  fresh.GetDesktopDir(desktop);
  EXPECT_STREQ(desktop, "");
  EXPECT_NE(Log().find(">>> Origin: CFindAiOinReg::GetDesktopDir() -- SHGetSpecialFolderPath()\n"
                       "\tSystem message: Access is denied."),
            std::string::npos);
  EXPECT_NE(Log().find(">>> Unable to determine the current user's Desktop folder."),
            std::string::npos);
}

TEST_F(DirectoriesTest, OcrDirectoryByModelWithDefaultsAndLogEntries) {
  g_sDefaultOCRDir = "C:\\Default OCR";
  CFindAiOinReg finder;
  char out[260] = "unchanged";
  finder.GetOCRDir(out, kModelCorvus8100);  // Photo Desk: no OCR
  EXPECT_STREQ(out, "unchanged");
  finder.GetOCRDir(out, kModelCorvusN);  // no key
  EXPECT_STREQ(out, "C:\\Default OCR");
  EXPECT_EQ(Log(), "");
  SetString("Software\\Vantrel\\VTAiO07\\Install", "DefaultFriendlyName", "VT Corvus N series");
  finder.GetOCRDir(out, kModelCorvusN);  // key without either value
  EXPECT_STREQ(out, "C:\\Default OCR");
  EXPECT_EQ(LogEntries(), 2);
  SetString("Software\\Vantrel\\VTAiO07\\Install", "< TBD... >", "C:\\TBD OCR");
  finder.GetOCRDir(out, kModelCorvusN);
  EXPECT_STREQ(out, "C:\\TBD OCR");
  SetString("Software\\Vantrel\\VTAiO07\\Install", "READIRISTARGETDIR", "C:\\Other");
  finder.GetOCRDir(out, kModelCorvusN);
  EXPECT_STREQ(out, "C:\\TBD OCR");  // cached
}

TEST_F(DirectoriesTest, DeviceIDIsTheFirstTenDigitSubkey) {
  const std::string instances = "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5100 series\\DeviceInstances";
  for (const char* name : {"12345", "0123456789", "9876543210"})
    tm.m.registry.Create("HKLM\\" + instances + "\\" + name);
  CFindAiOinReg finder;
  char dir[260], id[260];
  finder.GetDeviceIDDir(dir, id, kModelTRX5100);  // no install directory known
  EXPECT_STREQ(dir, "");
  EXPECT_NE(Log().find("if(sVTInstallDir == TEXT(\"\"))"), std::string::npos);

  SetString("Software\\Vantrel\\PhotoDesk", "InstallFolder", "C:\\Program Files\\Vantrel");
  finder.FindInstallDirectory(kModelTRX5100);
  finder.GetDeviceIDDir(dir, id, kModelTRX5100);
  EXPECT_STREQ(dir, "c:\\program files\\vantrel\\Photo Desk\\VT TRX 5100 series\\0123456789");
  EXPECT_STREQ(id, "0123456789");

  tm.m.registry.DeleteTree("HKLM\\" + instances);
  for (const char* name : {"01234567890", "012345678A",
                           "0123\xB2\xB3"
                           "4567"})
    tm.m.registry.Create("HKLM\\" + instances + "\\" + name);
  CFindAiOinReg fresh;
  fresh.FindInstallDirectory(kModelTRX5100);
  fresh.GetDeviceIDDir(dir, id, kModelTRX5100);
  EXPECT_STREQ(dir, "");
  EXPECT_STREQ(id, "");
  EXPECT_NE(Log().find("device ID in the registry"), std::string::npos);
  fresh.GetDeviceIDDir(dir, id, 17);
  EXPECT_STREQ(dir, "");
}

TEST_F(DirectoriesTest, DiscoveryOfASharedInstallHasNoDeviceID) {
  SetString("Software\\Vantrel\\VTAiO07\\Install", "DefaultFriendlyName", "VT Corvus N series");
  SetString("Software\\Vantrel\\VTAiO07\\Install", "READIRISTARGETDIR", "C:\\VT\\OCR");
  SetString("Software\\Vantrel\\VTAiO07", "ProgramDir", "C:\\VT\\VT Corvus N series");
  ASSERT_TRUE(DetectInstalledDevices(dlg));
  CFindAiOinReg finder;
  ASSERT_TRUE(finder.FindInstallDirectory(kModelCorvusN));
  DiscoverDirectories(dlg, finder, kModelCorvusN);
  EXPECT_EQ(dlg.DeviceDirectories[kDirInstall], "C:\\VT");
  EXPECT_EQ(g_szInstallDir, "C:\\VT");
  EXPECT_EQ(dlg.DeviceDirectories[kDirOCR], "C:\\VT\\OCR");
  EXPECT_EQ(g_szDeviceID, "");
  EXPECT_NE(Log().find("...ZI VeD device install data was found in the registry.\n\n"),
            std::string::npos);
}

TEST_F(DirectoriesTest, AnEmptyRegistryDirectoryFallsBackOnTheDefault) {
  SetString("Software\\Vantrel\\vt trx 420 series\\Install", "CompanyDirPath", "C:\\VT");
  SetString("Software\\Vantrel\\vt trx 420 series", "ProgramDir", "");
  tm.m.registry.Create("HKLM\\SOFTWARE\\Vantrel\\vt trx 420 series\\0420765432");
  ASSERT_TRUE(DetectInstalledDevices(dlg));
  EXPECT_EQ(dlg.m_aInstallDirs[0], "");
  g_sDefaultVTDir = "C:\\Program Files\\Vantrel";
  tm.AddDir("C:\\Program Files\\Vantrel");
  CFindAiOinReg finder;
  ASSERT_TRUE(finder.FindInstallDirectory(kModelTRX420));
  DiscoverDirectories(dlg, finder, kModelTRX420);
  EXPECT_EQ(g_szInstallDir, "C:\\Program Files\\Vantrel");
  EXPECT_EQ(dlg.DeviceDirectories[kDirDeviceID],
            "c:\\program files\\vantrel\\AiO\\VT TRX 420 series\\0420765432");
  ValidateDirectories("VT TRX 420 series");
  EXPECT_EQ(g_szInstallDir, "C:\\Program Files\\Vantrel");
}

TEST_F(DirectoriesTest, ValidationOfADetectedDeviceChecksOnlyTheDefaultsItFellBackOn) {
  // A Corvus N whose registry names its folder but no OCR values and no device ID.
  SetString("Software\\Vantrel\\VTAiO07\\Install", "DefaultFriendlyName", "VT Corvus N series");
  SetString("Software\\Vantrel\\VTAiO07", "ProgramDir", "C:\\VT\\VT Corvus N series");
  tm.AddDir("C:\\VT\\Logs");
  tm.AddDir("C:\\VT\\0815");
  ASSERT_TRUE(DetectInstalledDevices(dlg));
  g_sDefaultVTDir = "c:\\vt";  // the same directory, other case
  g_sDefaultOCRDir = "C:\\Missing OCR";
  CFindAiOinReg finder;
  ASSERT_TRUE(finder.FindInstallDirectory(kModelCorvusN));
  DiscoverDirectories(dlg, finder, kModelCorvusN);
  ASSERT_EQ(dlg.DeviceDirectories[kDirOCR], "C:\\Missing OCR");
  const std::string before = Current();
  ValidateDirectories("VT Corvus N series");
  EXPECT_EQ(Current(), before);
  EXPECT_EQ(g_szInstallDir, "c:\\vt");
  EXPECT_EQ(dlg.DeviceDirectories[kDirOCR], "");
  EXPECT_NE(Log().find("* Not Found: C:\\Missing OCR  ===> Windows code = 2 \n"),
            std::string::npos);
  EXPECT_EQ(dlg.DeviceDirectories[kDirDeviceID], "c:\\vt\\0815");
  EXPECT_EQ(g_szDeviceID, "0815");
  // A directory that differs from the default is kept as the registry gave it.
  g_szInstallDir = "C:\\VT\\Elsewhere";
  g_sDefaultVTDir = "C:\\Nowhere";
  ValidateDirectories("VT Corvus N series");
  EXPECT_EQ(g_szInstallDir, "C:\\VT\\Elsewhere");
  EXPECT_EQ(dlg.DeviceDirectories[kDirDeviceID], "c:\\vt\\0815");  // the ID is known: no search
}

TEST_F(DirectoriesTest, ValidationByNameSearchesTheDefaultsOnDisk) {
  g_sDefaultVTDir = "C:\\Program Files\\Vantrel";
  g_sDefaultOCRDir = "C:\\Missing OCR";
  g_RemovalData.DevIDname = "VT Corvus 7100 series";
  const std::string base = "C:\\Program Files\\Vantrel\\Photo Desk\\VT Corvus 7100 series";
  tm.AddFile(base + "\\1234");
  tm.AddDir(base + "\\0042");
  tm.AddDir(base + "\\Logs");
  const std::string before = Current();
  ValidateDirectories("VT Corvus 7100 series");
  EXPECT_EQ(Current(), before);
  const auto& lines = tm.m.user.Lines();
  std::vector<std::string> progress;
  for (const std::string& line : lines)
    if (line.rfind("[progress] ", 0) == 0) progress.push_back(line);
  EXPECT_EQ(progress, (std::vector<std::string>{"[progress] Searching for default directory 1.",
                                                "[progress] Searching for default directory 2.",
                                                "[progress] Searching for default directory 3."}));
  EXPECT_EQ(g_szInstallDir, "C:\\Program Files\\Vantrel");
  EXPECT_EQ(dlg.DeviceDirectories[kDirOCR], "");
  EXPECT_NE(Log().find("* Not Found: C:\\Missing OCR  ===> Windows code = 2 \n"),
            std::string::npos);
  EXPECT_TRUE(IsModelDetected(kModelCorvus7100));
  EXPECT_EQ(g_bPhotoDesk, 1);
  EXPECT_EQ(dlg.m_bOwnFamily, 1);
  EXPECT_EQ(dlg.DeviceDirectories[kDirDeviceID], base + "\\0042");
  EXPECT_EQ(g_szDeviceID, "0042");
}

TEST_F(DirectoriesTest, SearchesReturnToTheCurrentDirectoryOnEveryPath) {
  const std::string before = Current();
  tm.AddFile("C:\\AFile");
  CFindDefaultDirs seeker;
  std::string id = "old";
  EXPECT_FALSE(seeker.VTSeekDirectory(""));
  EXPECT_FALSE(seeker.VTSeekDirectory("C:\\Nowhere\\Deeper"));  // code 3
  EXPECT_FALSE(seeker.VTSeekDirectory("C:\\AFile"));            // a file: not a directory
  EXPECT_TRUE(seeker.VTSeekDirectory("C:\\WINDOWS"));
  EXPECT_EQ(seeker.SeekDeviceIDDir("C:\\WINDOWS", id), "");
  EXPECT_EQ(id, "");
  EXPECT_EQ(Current(), before);
  EXPECT_NE(Log().find("* Not Found: C:\\Nowhere\\Deeper  ===> Windows code = 3 \n"),
            std::string::npos);
  EXPECT_NE(Log().find(">>> Origin: CFindDefaultDirs::VTSeekDirectory -- SetCurrentDirectory()\n"
                       "\t>>> Unable to change to this directory:\n\t'C:\\AFile' \n\tError code = "
                       "267 \n"),
            std::string::npos);
}

TEST(InstallDirHandOverTest, EndingsAreCutAndStartupOnlyInItsCase) {
  EXPECT_EQ(HandOverInstallDir("C:\\X\\AIO\\SHARED\\BIN\\"), "C:\\X");
  EXPECT_EQ(HandOverInstallDir("C:\\X\\Shared\\Bin"), "C:\\X");
  EXPECT_EQ(HandOverInstallDir("C:\\X\\BINARY"), "C:\\X\\BINARY");
  EXPECT_EQ(HandOverInstallDir("C:\\Program Files\\Vantrel\\bin\\"), "C:\\PROGRAM FILES\\VANTREL");
  EXPECT_EQ(HandOverInstallDir(""), "");
  EXPECT_EQ(WithoutStartup("C:\\M\\Start Menu\\Programs\\Startup"), "C:\\M\\Start Menu\\Programs");
  EXPECT_EQ(WithoutStartup("C:\\M\\STARTUP"), "C:\\M\\STARTUP");
}

}  // namespace
