// Installed-device detection from registries written the way each model's
// installer writes them, the Photo Desk version check and the install
// directory rules.
#include "discovery/detection.h"

#include <functional>
#include <vector>

#include "app/main_window.h"
#include "discovery/install_dir_rules.h"
#include "discovery_test_support.h"

namespace {

const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct InstalledModel {
  int code;
  std::string key;        // the model's own key, with its probe value
  std::string probeName;  // the value the probe reads
  std::string probeValue;
  std::string dirKey;  // where the installer wrote the program folder
  std::string dirName;
  std::string dirValue;
  std::string productCode;  // Photo Desk: own uninstall entry
  std::string expectedName;
  std::string expectedDir;
  int family;  // 0 Env, 1 shared, 2 own
  int versionCode;
};

const char kPD[] = "SOFTWARE\\Vantrel\\PhotoDesk";
const char kShared[] = "Software\\Vantrel\\VTAiO07";

InstalledModel PhotoDesk(int code, const std::string& keyName, const std::string& product) {
  return {code,
          std::string(kPD) + "\\" + keyName,
          "BaselineDataFileName",
          "Baseline.dat",
          kPD,
          "InstallFolder",
          "C:\\Program Files\\Vantrel\\Shared\\Bin",
          product,
          ModelDisplayName(code),
          "C:\\Program Files\\Vantrel\\",
          2,
          2};
}

std::vector<InstalledModel> EveryModel() {
  std::vector<InstalledModel> models = {
      {kModelCorvus380, "Software\\Vantrel\\Corvus 380 Series\\Env", "RootDir",
       "C:\\Program Files\\Vantrel\\Corvus 380\\Bin", "", "", "", "", "VT Corvus 380 series",
       "C:\\Program Files\\Vantrel\\Corvus 380\\", 0, -1},
      {kModelCorvusR, "Software\\Vantrel\\Corvus R Series\\Env", "RootDir",
       "C:\\Program Files\\Vantrel\\Corvus R\\Bin", "", "", "", "", "VT Corvus R series",
       "C:\\Program Files\\Vantrel\\Corvus R\\", 0, -1},
      {kModelCorvusM, std::string(kShared) + "\\Install", "DefaultFriendlyName",
       "VT Corvus M series", kShared, "ProgramDir",
       "C:\\Program Files\\Vantrel\\VT Corvus M series\\", "", "vt corvus m series",
       "C:\\Program Files\\Vantrel", 1, -1},
      {kModelCorvusMOwn, "Software\\Vantrel\\vt corvus m series\\Install", "CompanyDirPath",
       "C:\\Program Files\\Vantrel\\VT Corvus M series", "", "", "", "", "vt corvus m series",
       "C:\\Program Files\\Vantrel\\VT Corvus M series", 1, -1},
      {kModelCorvusN, std::string(kShared) + "\\Install", "DefaultFriendlyName",
       "VT Corvus N series", kShared, "ProgramDir",
       "C:\\Program Files\\Vantrel\\VT Corvus N series\\", "", "VT Corvus N series",
       "C:\\Program Files\\Vantrel", 1, -1},
      {kModelCorvusP, std::string(kShared) + "\\Install", "DefaultFriendlyName",
       "vt corvus p SERIES", kShared, "ProgramDir", "D:\\VT\\VT Corvus P series", "",
       "VT Corvus P series", "D:\\VT", 1, -1},
      {kModelTRX380, std::string(kShared) + "\\Install", "DefaultFriendlyName", "VT TRX 380 series",
       kShared, "ProgramDir", "C:\\VT\\", "", "VT TRX 380 series", "C:\\VT\\", 1, -1},
      {kModelTRX420, "Software\\Vantrel\\vt trx 420 series\\Install", "CompanyDirPath",
       "C:\\Program Files\\Vantrel", "Software\\Vantrel\\vt trx 420 series", "ProgramDir",
       "C:\\Program Files\\Vantrel\\AiO\\VT TRX 420 series\\Bin", "", "VT TRX 420 series",
       "C:\\PROGRAM FILES\\VANTREL", 2, -1},
      {kModelCorvusW, "Software\\Vantrel\\vt corvus w series\\Install", "CompanyDirPath",
       "C:\\Program Files\\Vantrel", "Software\\Vantrel\\vt corvus w series", "ProgramDir",
       "C:\\Program Files\\Vantrel\\Corvus W\\Bin\\", "", "VT Corvus W series",
       "C:\\Program Files\\Vantrel\\Corvus W\\", 2, -1},
      PhotoDesk(kModelTRX5100, "vt trx 5100 series", "{28ABC70E-91EF-A4C9-C665-284CB0F07586}"),
      PhotoDesk(kModelTRX5150, "vt trx 5150 series", "{926F223D-39FC-EC50-0401-863FAE3B3141}"),
      PhotoDesk(kModelTRX5170, "vt trx 5170 series", "{340EE74D-7CAF-35F7-B606-ECDD74316C01}"),
      PhotoDesk(kModelTRX5200, "vt trx 5200 series", "{C0EECB0A-BA9A-BFEF-34D1-FD6322B23974}"),
      PhotoDesk(kModelCorvus8100, "VT Corvus 8100 Series",
                "{5856A143-AF6F-E397-E005-F15B89428AB3}"),
      PhotoDesk(kModelCorvus7100, "VT Corvus 7100 Series",
                "{15113725-9ADF-6342-C785-996483B5C617}"),
      PhotoDesk(kModelCorvus7105, "VT Corvus 7105 Series",
                "{92C3331B-820A-CB23-53AA-7A603A1547B4}"),
      PhotoDesk(kModelTRX3100, "vt trx 3100 series", "{F4EC9CAF-811B-FE27-1322-CA029B73D87E}"),
      PhotoDesk(kModelTRX3200, "vt trx 3200 series", "{3A333976-2A9A-C12A-4312-8679B7706AB6}"),
  };
  // The TRX 5200 keeps its name in the folder: the name cut applies.
  for (InstalledModel& m : models) {
    if (m.code == kModelTRX5200) {
      m.dirValue = "C:\\Program Files\\Vantrel\\VT TRX 5200 series\\bin";
      m.expectedDir = "C:\\Program Files\\Vantrel";
    }
  }
  return models;
}

class DetectionTest : public DiscoveryTest {
 protected:
  DetectionTest() {
    dlg.CreateView();
    dlg.m_aDeviceNames.assign(100, std::string());
    dlg.m_aInstallDirs.assign(100, std::string());
  }
  void Install(const InstalledModel& m) {
    SetString(m.key, m.probeName, m.probeValue);
    if (!m.dirKey.empty()) SetString(m.dirKey, m.dirName, m.dirValue);
    if (!m.productCode.empty()) {
      SetString(kUninstall + m.productCode, "DisplayVersion", "1.10.0052");
    }
  }
  CCvScrubberDlg dlg;
};

TEST_F(DetectionTest, EveryModelIsDetectedFromItsInstallersKeys) {
  for (const InstalledModel& m : EveryModel()) {
    SCOPED_TRACE(m.expectedName + " code " + std::to_string(m.code));
    tm.m.registry.Clear();
    ResetDetectionState();
    dlg.m_nDevices = 0;
    dlg.m_bEnvFamily = dlg.m_bSharedFamily = dlg.m_bOwnFamily = 0;
    Install(m);
    ASSERT_TRUE(DetectInstalledDevices(dlg));
    ASSERT_EQ(dlg.m_nDevices, 1);
    EXPECT_EQ(dlg.m_aDeviceNames[0], m.expectedName);
    EXPECT_EQ(dlg.m_aInstallDirs[0], m.expectedDir);
    EXPECT_TRUE(IsModelDetected(m.code));
    EXPECT_EQ(dlg.m_bEnvFamily, m.family == 0 ? 1 : 0);
    EXPECT_EQ(dlg.m_bSharedFamily, m.family == 1 ? 1 : 0);
    EXPECT_EQ(dlg.m_bOwnFamily, m.family == 2 ? 1 : 0);
    EXPECT_EQ(g_nVersionCode, m.versionCode);
    EXPECT_EQ(g_bPhotoDesk, m.versionCode >= 0 ? 1 : 0);
    EXPECT_EQ(g_bSeveralDevices, 0);
  }
  EXPECT_EQ(Log(), "");
}

TEST_F(DetectionTest, APcWithoutTheKeysDetectsNothingAndLogsNothing) {
  EXPECT_FALSE(DetectInstalledDevices(dlg));
  EXPECT_EQ(dlg.m_nDevices, 0);
  EXPECT_FALSE(AnyModelDetected());
  EXPECT_EQ(g_nVersionCode, -1);
  EXPECT_EQ(g_bPhotoDesk, 0);
  EXPECT_EQ(dlg.m_bEnvFamily + dlg.m_bSharedFamily + dlg.m_bOwnFamily, 0);
  EXPECT_EQ(Log(), "");
  // The fixed directories are found all the same (XP: the common desktop).
  EXPECT_EQ(dlg.DeviceDirectories[kDirSystem], "C:\\WINDOWS\\system32");
  EXPECT_EQ(dlg.DeviceDirectories[kDirWindows], "C:\\WINDOWS");
  EXPECT_EQ(dlg.DeviceDirectories[kDirDesktop], *tm.m.system.Directory("common_desktop"));
  EXPECT_EQ(dlg.DeviceDirectories[kDirCommonPrograms], *tm.m.system.Directory("common_programs"));
  EXPECT_EQ(dlg.DeviceDirectories[kDirUserPrograms], *tm.m.system.Directory("programs"));
}

TEST_F(DetectionTest, PhotoDeskVersionDecidesAndTheCacheKeepsTheDirectory) {
  const InstalledModel trx5100 = EveryModel()[9];
  Install(trx5100);
  SetString(kUninstall + trx5100.productCode, "DisplayVersion", "1.10.0");
  ASSERT_TRUE(DetectInstalledDevices(dlg));
  EXPECT_EQ(g_nVersionCode, 2);
  EXPECT_EQ(dlg.m_bOwnFamily, 1);

  ResetDetectionState();
  dlg.m_nDevices = 0;
  SetString(kUninstall + trx5100.productCode, "DisplayVersion", "2.00");
  EXPECT_FALSE(DetectInstalledDevices(dlg));
  EXPECT_EQ(g_nVersionCode, -1);
  EXPECT_EQ(g_bPhotoDesk, 0);
  EXPECT_STREQ(InstallDirCache(), "C:\\Program Files\\Vantrel\\");

  for (const char* version : {"1.00.123", "1.0", "1.20", "1.1"}) {
    SetString(kUninstall + trx5100.productCode, "DisplayVersion", version);
    CFindAiOinReg finder;
    const std::string key = kUninstall + trx5100.productCode;
    const char* keys[] = {key.c_str()};
    const char* names[] = {"DisplayVersion"};
    EXPECT_EQ(CheckUninstallVersion(finder, keys, names, 1),
              std::string(version) == "1.00.123" ? 1 : -1)
        << version;
  }
}

TEST_F(DetectionTest, TheSharedUninstallEntryServesOnlyTheTrx5000Family) {
  SetString(std::string(kUninstall) + "TRX 5000 Series", "DisplayName", "anything");
  for (const InstalledModel& m : EveryModel()) {
    if (m.productCode.empty()) continue;
    SetString(m.key, m.probeName, m.probeValue);  // no own uninstall entry
  }
  SetString(kPD, "InstallFolder", "C:\\PD\\BIN");
  ASSERT_TRUE(DetectInstalledDevices(dlg));
  ASSERT_EQ(dlg.m_nDevices, 5);
  EXPECT_EQ(dlg.m_aDeviceNames[0], "VT TRX 5100 series");
  EXPECT_EQ(dlg.m_aDeviceNames[4], "VT Corvus 8100 series");
  EXPECT_EQ(g_nVersionCode, -1);  // the last check, the TRX 3200's, found nothing
  EXPECT_EQ(g_bSeveralDevices, 1);
  for (int code : {kModelCorvus7100, kModelCorvus7105, kModelTRX3100, kModelTRX3200})
    EXPECT_FALSE(IsModelDetected(code)) << code;
  // Each Photo Desk model looks its own directory up.
  EXPECT_EQ(dlg.m_aInstallDirs[0], "C:\\PD\\");
  EXPECT_EQ(dlg.m_aInstallDirs[3], "C:\\PD\\BIN");  // the TRX 5200's name cut finds no name
}

TEST_F(DetectionTest, OlderModelsReuseTheFirstDirectoryFound) {
  SetString("Software\\Vantrel\\Corvus R Series\\Env", "RootDir", "C:\\R\\Bin");
  SetString("Software\\Vantrel\\vt corvus w series\\Install", "CompanyDirPath", "C:\\VT");
  SetString("Software\\Vantrel\\vt corvus w series", "ProgramDir", "C:\\W\\Bin");
  SetString(std::string(kShared) + "\\Install", "DefaultFriendlyName", "VT Corvus N series 2");
  ASSERT_TRUE(DetectInstalledDevices(dlg));
  ASSERT_EQ(dlg.m_nDevices, 2);  // "VT Corvus N series 2" is not the Corvus N
  EXPECT_EQ(dlg.m_aInstallDirs[0], "C:\\R\\");
  EXPECT_EQ(dlg.m_aInstallDirs[1], "C:\\R\\");
  EXPECT_EQ(dlg.m_bEnvFamily + dlg.m_bOwnFamily, 2);
}

TEST_F(DetectionTest, ProbeValuesTooLongForTheirBufferAreLoggedWithTheSpaceNeeded) {
  SetString("Software\\Vantrel\\vt trx 420 series\\Install", "CompanyDirPath",
            std::string(1099, 'x'));
  EXPECT_FALSE(DetectInstalledDevices(dlg));
  EXPECT_EQ(LogEntries(), 1);
  EXPECT_NE(Log().find("CFindAiOinReg::IsInstalled() -- RegQueryValueEx()"), std::string::npos);
  EXPECT_NE(Log().find("ValueName = 'CompanyDirPath'\n\tSpace Needed = 1100\n\tSpace Available = "
                       "1024"),
            std::string::npos);
  // Access refused to a probe key is logged; the rest of detection goes on.
  SetString("Software\\Vantrel\\Corvus R Series\\Env", "RootDir", "C:\\R");
  tm.AddKeyFault("RegOpenKeyExA", 5, "HKLM\\Software\\Vantrel\\Corvus 380 Series\\Env");
  ResetDetectionState();
  dlg.m_nDevices = 0;
  EXPECT_TRUE(DetectInstalledDevices(dlg));
  EXPECT_NE(Log().find("Key = 'HKEY_LOCAL_MACHINE\\Software\\Vantrel\\Corvus 380 Series\\Env'"),
            std::string::npos);
}

TEST_F(DetectionTest, FindInstallDirectoryRejectsNonModelsAndFallsBackOnTheDefault) {
  CFindAiOinReg finder;
  for (int code : {17, -1, 19}) EXPECT_FALSE(finder.FindInstallDirectory(code));
  EXPECT_EQ(LogEntries(), 3);
  EXPECT_NE(Log().find(">>> Origin: CFindAiOinReg::FindInstallDirectory() -- nDeviceModel = 17\n"
                       "\tFindInstallDirectory() received an invalid AiO model code\ncode = 17."),
            std::string::npos);
  g_sDefaultVTDir = "C:\\Default VT";
  EXPECT_TRUE(finder.FindInstallDirectory(kModelTRX5100));
  EXPECT_STREQ(InstallDirCache(), "C:\\Default VT");
  SetString(kPD, "Version", "1.10");  // the key without "InstallFolder"
  EXPECT_TRUE(finder.FindInstallDirectory(kModelTRX5100));
  EXPECT_STREQ(InstallDirCache(), "C:\\Default VT");
}

TEST_F(DetectionTest, SuffixRulesAndNameCut) {
  EXPECT_EQ(InstallDirSuffixRules("D:\\VT\\SHARED\\BIN\\", 9), "D:\\VT\\");
  EXPECT_EQ(InstallDirSuffixRules("D:\\VT\\BIN", 9), "D:\\VT\\");
  EXPECT_EQ(InstallDirSuffixRules("D:\\VT\\binary\\", 9), "D:\\VT\\binary\\");
  EXPECT_EQ(InstallDirSuffixRules("\\AIO\\SHARED\\BIN\\", 6), "\\AIO\\VT TRX 420 series\\");
  EXPECT_EQ(InstallDirSuffixRules("\\AIO\\SHARED\\BIN\\", 9), "\\AIO\\");
  EXPECT_EQ(InstallDirSuffixRules("C:\\Program Files\\Vantrel\\AiO\\vt trx 420 series\\bin", 6),
            "C:\\PROGRAM FILES\\VANTREL");
  EXPECT_EQ(
      InstallDirNameCut("C:\\Program Files\\Vantrel\\VT Corvus N series\\", "VT Corvus N series"),
      "C:\\Program Files\\Vantrel");
  EXPECT_EQ(InstallDirNameCut("vt corvus n series\\x", "VT Corvus N series"), "");
  EXPECT_EQ(InstallDirNameCut("C:\\VTN", "VT Corvus N series"), "C:\\VTN");
}

}  // namespace
