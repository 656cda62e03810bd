// Protected key deletion on a simulated PC: keys whose access lists refuse
// deletion are taken over (owner, access list) and deleted bottom-up.
#include "registry/secure_reg_delete.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/run_state.h"
#include "log/run_log.h"
#include "support/test_machine.h"

namespace {

const char kUsb[] = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB";
const char kDevice[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234";

class SecureDeleteTest : public ::testing::Test {
 protected:
  explicit SecureDeleteTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);
  }

  // A protected device key with two levels of protected subkeys, an
  // unprotected sibling, and a sibling whose name starts the same way.
  void AddDeviceTree() {
    sim::Registry& reg = tm.m.registry;
    const std::string dev = std::string(kUsb) + "\\VID_1234";
    reg.SetString(dev + "\\5&1\\Device Parameters", "SymbolicName", "x");
    reg.SetString(dev + "\\5&1\\LogConf", "", "");
    reg.SetString(dev + "\\5&2", "Driver", "{guid}\\0001");
    reg.SetString(dev, "Class", "Image");
    reg.SetString(std::string(kUsb) + "\\VID_12345\\7&1", "Driver", "y");
    reg.SetString(std::string(kUsb) + "\\VID_9999", "Driver", "z");
    ASSERT_TRUE(reg.SetAccess(dev, sim::KeyAccess::kProtected));
  }
  bool Exists(const std::string& path) const { return tm.m.registry.Find(path) != nullptr; }
  std::string Log() const {
    std::string log = tm.ReadFile(*tm.m.system.Directory("temp") + "VtCvScrubber.log");
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
  }
  size_t Handles(sim::HandleKind kind) const {
    size_t n = 0;
    for (const auto& entry : tm.m.handles.All()) n += entry.second->Kind() == kind;
    return n;
  }

  TestMachine tm;
  CSecureRegDelete secure;
};

const char kProtectedNote[] =
    "... Registry key is protected by Windows.  Asking Windows for access rights. \n"
    "\tKey = 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234' \n";

TEST_F(SecureDeleteTest, ProtectedTreeIsTakenOverAndDeletedCompletely) {
  AddDeviceTree();
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kDevice) + "\\5&2").c_str()),
            ERROR_ACCESS_DENIED);

  EXPECT_EQ(secure.DeleteSecureKey("HKLM", kDevice), ERROR_SUCCESS);

  EXPECT_FALSE(Exists(std::string(kUsb) + "\\VID_1234"));
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\VID_12345\\7&1"));
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\VID_9999"));
  EXPECT_EQ(Log(), kProtectedNote);
  // Every key handle closed; the process handle too (the token stays for the run).
  EXPECT_EQ(tm.m.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(Handles(sim::HandleKind::Process), 0u);
  EXPECT_EQ(Handles(sim::HandleKind::Token), 1u);
  EXPECT_EQ(tm.m.system.enabled_privileges.count("SeTakeOwnershipPrivilege"), 1u);
}

TEST_F(SecureDeleteTest, SecondKeyIsAnnouncedAgainButNotPreparedAgain) {
  AddDeviceTree();
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Classes\\Vt\\Sub", "", "");
  ASSERT_TRUE(tm.m.registry.SetAccess("HKLM\\SOFTWARE\\Classes\\Vt", sim::KeyAccess::kProtected));
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", kDevice), ERROR_SUCCESS);
  // The identity of the first preparation still serves (through the HKCR view).
  EXPECT_EQ(secure.DeleteSecureKey("HKCR", "Vt"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Classes\\Vt"));
  const std::string log = Log();
  EXPECT_EQ(Count(log, "Registry key is protected by Windows"), 2);
  EXPECT_NE(log.find("\tKey = 'HKCR\\Vt' \n"), std::string::npos);
  EXPECT_EQ(Handles(sim::HandleKind::Token), 1u);  // one token: prepared once
}

TEST_F(SecureDeleteTest, FailedPreparationIsReportedOnceAndNotRetried) {
  AddDeviceTree();
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vt\\Sub", "", "");
  ASSERT_TRUE(tm.m.registry.SetAccess("HKLM\\SOFTWARE\\Vt", sim::KeyAccess::kProtected));
  tm.AddFault("AllocateAndInitializeSid", ERROR_NOT_ENOUGH_MEMORY);

  EXPECT_EQ(secure.DeleteSecureKey("HKLM", kDevice), ERROR_ACCESS_DENIED);
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", "SOFTWARE\\Vt"), ERROR_ACCESS_DENIED);

  const std::string log = Log();
  EXPECT_EQ(Count(log, ">>> Origin: "), 1);
  EXPECT_NE(log.find(">>> Origin: CSecureRegDelete::Init() -- AllocateAndInitializeSid()\n"
                     "\tSystem message: Not enough storage is available to process this "
                     "command.\n \n\tAdditional Information: >>> Unable to get access rights "
                     "from Windows to delete a secure registry key. \n\tKey = "
                     "'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234' \n\n"),
            std::string::npos)
      << log;
  // No token work after the identity failed; nothing of either tree went.
  EXPECT_EQ(tm.m.handles.Count(), 0u);
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\VID_1234\\5&1\\Device Parameters"));
  EXPECT_TRUE(Exists("HKLM\\SOFTWARE\\Vt\\Sub"));
}

TEST_F(SecureDeleteTest, HkcuIsNotTakenOver) {
  tm.m.registry.SetString("HKCU\\Software\\Vt\\Dev\\Sub", "", "");
  ASSERT_TRUE(tm.m.registry.SetAccess("HKCU\\Software\\Vt\\Dev", sim::KeyAccess::kProtected));
  EXPECT_EQ(secure.DeleteSecureKey("HKCU", "Software\\Vt\\Dev"), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(Exists("HKCU\\Software\\Vt\\Dev\\Sub"));
  EXPECT_NE(Log().find("\tKey = 'HKCU\\Software\\Vt\\Dev' \n"), std::string::npos);
}

TEST_F(SecureDeleteTest, VanishedKeyGives2) {
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", "SOFTWARE\\Gone"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Count(Log(), ">>> Origin: "), 0);
}

TEST_F(SecureDeleteTest, PrivilegeNotHeldLeavesTheTreeAndGivesItsCode) {
  AddDeviceTree();
  tm.m.system.privileges = {"SeShutdownPrivilege"};
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", kDevice), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\VID_1234\\5&1\\Device Parameters"));
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\VID_1234\\5&2"));
  // AdjustTokenPrivileges succeeded (with 1300): nothing to report.
  EXPECT_EQ(Log(), kProtectedNote);
}

TEST_F(SecureDeleteTest, TokenFailuresAreReportedWithTheirOrigins) {
  AddDeviceTree();
  tm.AddFault("OpenProcess", ERROR_ACCESS_DENIED);
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", kDevice), ERROR_ACCESS_DENIED);
  const std::string log = Log();
  // Without a token the privilege step fails on the null handle and reports too.
  const size_t open = log.find(">>> Origin: CSecureRegDelete::GetTokenHandle() -- OpenProcess()\n");
  const size_t adjust =
      log.find(">>> Origin: CSecureRegDelete::AssertTakeOwnership() -- AdjustTokenPrivileges()\n");
  ASSERT_NE(open, std::string::npos) << log;
  ASSERT_NE(adjust, std::string::npos) << log;
  EXPECT_LT(open, adjust);
  EXPECT_EQ(Count(log, "\tSystem message: Access is denied.\n"), 1);
  EXPECT_EQ(Count(log, "\tSystem message: The handle is invalid.\n"), 1);
  EXPECT_EQ(Count(log, "Unable to get access rights from Windows"), 2);
}

TEST_F(SecureDeleteTest, LookupAndTokenOpenFailuresNameTheirCalls) {
  AddDeviceTree();
  tm.AddFault("OpenProcessToken", ERROR_ACCESS_DENIED);
  tm.AddFault("LookupPrivilegeValueA", ERROR_NO_SUCH_PRIVILEGE);
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", kDevice), ERROR_ACCESS_DENIED);
  const std::string log = Log();
  EXPECT_EQ(Count(log, ">>> Origin: "), 2) << log;
  EXPECT_NE(log.find("CSecureRegDelete::GetTokenHandle() -- OpenProcessToken()\n"),
            std::string::npos);
  EXPECT_NE(log.find("CSecureRegDelete::AssertTakeOwnership() -- LookupPrivilegeValue()\n"),
            std::string::npos);
  EXPECT_EQ(tm.m.handles.Count(), 0u);  // the process handle is closed
}

TEST_F(SecureDeleteTest, SubkeyThatCannotBeDeletedStopsTheWalk) {
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vt\\A", "", "");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vt\\B\\Deep", "", "");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vt\\C", "", "");
  ASSERT_TRUE(tm.m.registry.SetAccess("HKLM\\SOFTWARE\\Vt", sim::KeyAccess::kProtected));
  tm.AddKeyFault("RegDeleteKeyA", ERROR_KEY_DELETED, "HKLM\\SOFTWARE\\Vt\\B");
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", "SOFTWARE\\Vt"), ERROR_KEY_DELETED);
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vt\\A"));
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vt\\B\\Deep"));  // below the failing key: gone
  EXPECT_TRUE(Exists("HKLM\\SOFTWARE\\Vt\\B"));
  EXPECT_TRUE(Exists("HKLM\\SOFTWARE\\Vt\\C"));
  EXPECT_EQ(tm.m.registry.OpenHandleCount(), 0u);
}

TEST_F(SecureDeleteTest, ReportQuotesAtMost259CharactersButTheWholeKeyGoes) {
  const std::string part(100, 'k');
  const std::string path = "SOFTWARE\\" + part + "\\" + part + "\\" + part;
  tm.m.registry.SetString("HKLM\\" + path + "\\Leaf", "", "");
  ASSERT_TRUE(tm.m.registry.SetAccess("HKLM\\" + path, sim::KeyAccess::kProtected));
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", path.c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("HKLM\\" + path));
  EXPECT_TRUE(Exists("HKLM\\SOFTWARE\\" + part + "\\" + part));
  EXPECT_EQ(CurrentSecureKey(), ("HKLM\\" + path).substr(0, 259));
  EXPECT_NE(Log().find("'" + CurrentSecureKey() + "' \n"), std::string::npos);
}

TEST(SecureHiveNames, OnlyTheTwoCodesAndTheFullNamesAreUnderstood) {
  TestMachine tm;
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("hklm"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HKEY_Local_Machine"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HkCr"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("hkey_current_user"), HKEY_CURRENT_USER);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HKEY_USERS"), HKEY_USERS);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HKEY_PERFORMANCE_DATA"), HKEY_PERFORMANCE_DATA);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
  EXPECT_EQ(CSecureRegDelete::GetHiveByName("HKEY_DYN_DATA"), HKEY_DYN_DATA);
  for (const char* other : {"HKCU", "HKCC", "HKUS", "HKU", "HKPD", "HKDD", "HKLM ", "", "HKLMX"})
    EXPECT_EQ(CSecureRegDelete::GetHiveByName(other), nullptr) << other;
}

class SecureDelete98Test : public SecureDeleteTest {
 protected:
  SecureDelete98Test() : SecureDeleteTest("98") {}
};

TEST_F(SecureDelete98Test, NoSecurityOn9xTheTreeStillGoes) {
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vt\\Sub", "", "");
  EXPECT_EQ(secure.DeleteSecureKey("HKLM", "SOFTWARE\\Vt"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vt"));
  const std::string log = Log();
  EXPECT_EQ(Count(log, ">>> Origin: "), 1);
  EXPECT_NE(log.find("CSecureRegDelete::Init() -- AllocateAndInitializeSid()"), std::string::npos);
}

}  // namespace
