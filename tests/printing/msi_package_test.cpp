// Installer packages: the command line to the byte, the wait's time-out, a
// planted installer, and the installer's own exit code.
#include "printing/printing_test_support.h"

namespace {

const std::string kBanner = "))) Remove ZI VeD MSI packages, if present. \n";
const std::string kCommand =
    "msiexec /x{5A1B2C3D-0000-4000-8000-00000000AA01} /qb! REBOOT=\"ReallySuppress\"";
constexpr char kOther[] = "{5A1B2C3D-0000-4000-8000-00000000BB02}";
constexpr char kOtherKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5A1B2C3D-0000-4000-8000-"
    "00000000BB02}";

class MsiTest : public PrintingTest {
 protected:
  // Transcript lines of started programs.
  std::vector<std::string> Processes() const {
    std::vector<std::string> lines;
    for (const std::string& l : tm.m.user.Lines()) {
      if (l.rfind("[process] ", 0) == 0) lines.push_back(l);
    }
    return lines;
  }
  void AddOther(int seconds) {
    tm.m.registry.Create(kOtherKey);
    tm.m.json["installer_products"].push_back({{"code", kOther}, {"seconds", seconds}});
  }
};

TEST_F(MsiTest, InstalledPackageIsRemovedWithTheExactCommandLine) {
  AddProduct();
  EXPECT_EQ(MsiPackageDelete(List({kProduct}), 240000), 1);
  EXPECT_EQ(Log(), kBanner + "\tRemoved VT MSI package '" + kProduct + "' \n");
  ASSERT_EQ(Processes().size(), 1u);
  EXPECT_EQ(Processes()[0], "[process] " + kCommand + " -> 0");
  EXPECT_EQ(tm.m.registry.Find(kProductKey), nullptr);
}

TEST_F(MsiTest, MissingUninstallKeyIsSilentAndEmptyListDoesNothing) {
  AddProduct();
  EXPECT_EQ(MsiPackageDelete(List({kOther}), 240000), 1);
  EXPECT_EQ(MsiPackageDelete(List({""}), 240000), 1);
  EXPECT_EQ(MsiPackageDelete(CStringArray(), 240000), 1);
  EXPECT_EQ(Log(), kBanner);
  EXPECT_TRUE(Processes().empty());
}

TEST_F(MsiTest, TimedOutInstallerIsLeftRunningAndTheNextStartsAtOnce) {
  AddProduct(300);
  AddOther(5);
  EXPECT_EQ(MsiPackageDelete(List({kProduct, kOther}), 60000), 1);
  EXPECT_EQ(Log(),
            kBanner +
                ErrorEntry("HandlePnP - MsiPackageDelete(): WaitForSingleObject()",
                           ">>> MSI installer (launched to remove MSI packages) timed out.\n", 0) +
                ErrorEntry("HandlePnP - MsiPackageDelete(): GetExitCodeProcess()",
                           ">>> MSI installer (launched to remove MSI packages) did not "
                           "remove the package. \n\tPackage to remove = '" +
                               std::string(kOther) + "' \n",
                           1618));
  // The first still runs, so the second installer refuses at once.
  ASSERT_EQ(Processes().size(), 2u);
  EXPECT_EQ(Processes()[0], "[process] " + kCommand + " -> timeout");
  EXPECT_NE(tm.m.registry.Find(kProductKey), nullptr);
  EXPECT_NE(tm.m.registry.Find(kOtherKey), nullptr);
}

TEST_F(MsiTest, RebootCodesCountAsRemovedOtherCodesAreReported) {
  AddProduct(20, 3010);
  AddOther(5);
  tm.m.json["installer_products"][1]["exit_code"] = 1603;
  tm.m.registry.SetString(kOtherKey, kOther, "VT Scan Tools");
  EXPECT_EQ(MsiPackageDelete(List({kProduct, kOther}), 240000), 1);
  EXPECT_EQ(Log(), kBanner + "\tRemoved VT MSI package '" + kProduct + "' \n" +
                       ErrorEntry("HandlePnP - MsiPackageDelete(): GetExitCodeProcess()",
                                  ">>> MSI installer (launched to remove MSI packages) did not "
                                  "remove the package. \n\tPackage to remove = 'VT Scan Tools' \n",
                                  1603));
  EXPECT_NE(tm.m.registry.Find(kOtherKey), nullptr);
}

TEST_F(MsiTest, InstallerOfTheSystemDirectoryIsNamedSoAPlantedOneNeverRuns) {
  AddProduct();
  tm.AddFile("C:\\Scrubber\\msiexec.exe", "planted");
  // A bare "msiexec" would be looked up along the search path.
  tm.AddFault("CreateProcessA", 5, "msiexec");
  EXPECT_EQ(MsiPackageDelete(List({kProduct}), 240000), 1);
  EXPECT_EQ(Log(), kBanner + "\tRemoved VT MSI package '" + kProduct + "' \n");
}

TEST_F(MsiTest, InstallerThatCannotStartIsReportedWithItsDisplayText) {
  AddProduct();
  tm.m.registry.SetString(kProductKey, kProduct, "VT Photo Desk");
  AddOther(5);
  tm.AddFault("CreateProcessA", 2, "C:\\WINDOWS\\system32\\msiexec.exe", 1);
  EXPECT_EQ(MsiPackageDelete(List({kProduct, kOther}), 240000), 1);
  EXPECT_EQ(Log(), kBanner +
                       ErrorEntry("HandlePnP - MsiPackageDelete(): CreateProcess()",
                                  ">>> Failed to launch MSI installer to remove MSI packages. "
                                  "\n\tCommand Line = '" +
                                      kCommand + "' \n\tPackage to remove = 'VT Photo Desk' \n",
                                  2) +
                       "\tRemoved VT MSI package '" + kOther + "' \n");
}

TEST_F(MsiTest, UnknownSystemDirectoryStartsNoInstallerAtAll) {
  AddProduct();
  tm.SetDirectoryNull("system");
  EXPECT_EQ(MsiPackageDelete(List({kProduct}), 240000), 1);
  EXPECT_EQ(Log(), kBanner + ErrorEntry("HandlePnP - MsiPackageDelete(): GetSystemDirectory()",
                                        ">>> Failed to launch MSI installer to remove MSI "
                                        "packages. \n\tCommand Line = '" +
                                            kCommand + "' \n\tPackage to remove = '" +
                                            std::string(kProduct) + "' \n",
                                        2));
  EXPECT_TRUE(Processes().empty());
}

TEST_F(MsiTest, UnreadableExitCodeIsReported) {
  AddProduct();
  tm.AddFault("GetExitCodeProcess", 6);
  EXPECT_EQ(MsiPackageDelete(List({kProduct}), 240000), 1);
  EXPECT_EQ(Log(), kBanner + ErrorEntry("HandlePnP - MsiPackageDelete(): GetExitCodeProcess()",
                                        ">>> MSI installer (launched to remove MSI packages) did "
                                        "not remove the package. \n\tPackage to remove = '" +
                                            std::string(kProduct) + "' \n",
                                        6));
}

}  // namespace
