// The Windows 9x default-printer cleanup and the uninstall-entry removal on
// a simulated PC: what is cleared or deleted, what stays, the run log.
#include "cleanup/legacy_cleanup.h"

#include <string>

#include "app/main_window.h"
#include "cleanup_test_support.h"
#include "discovery/directories.h"

namespace {

const std::string kPrintersKey =
    "Config\\0001\\System\\CurrentControlSet\\Control\\Print\\Printers";
const std::string kPrinters = "HKLM\\" + kPrintersKey;
const char kPrinter[] = "VT TRX 5100";
const std::string kQueryOrigin = "C9xCleanup::RemoveDefaultPrinter9x() -- RegQueryValueEx()";

class DefaultPrinterTest : public CleanupTest {
 protected:
  DefaultPrinterTest() : CleanupTest("98") {}
  void SetDefault(const std::string& data, DWORD type = REG_SZ) {
    tm.m.registry.SetValue(kPrinters, "Default", type, data);
  }
  std::string Default() const {
    const sim::RegValue* v = tm.m.registry.GetValue(kPrinters, "Default");
    return v ? std::string(v->data()) : "<none>";
  }
  void Remove(const std::string& name = kPrinter) {
    C9xCleanup cleanup;
    cleanup.RemoveDefaultPrinter9x(name);
    // The key is closed on every way out.
    EXPECT_EQ(tm.m.registry.OpenHandleCount(), 0u);
  }
};

TEST_F(DefaultPrinterTest, TheDevicesPrinterInAnyCaseIsCleared) {
  SetDefault(std::string("vt trx 5100\0", 12));
  Remove();
  EXPECT_EQ(Default(), std::string(1, '\0'));
  EXPECT_EQ(tm.m.registry.GetValue(kPrinters, "Default")->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Log(), "");
}

TEST_F(DefaultPrinterTest, ClearingKeepsTheTypeRead) {
  SetDefault(std::string("VT TRX 5100\0", 12), REG_EXPAND_SZ);
  Remove();
  EXPECT_EQ(Default(), std::string(1, '\0'));
  EXPECT_EQ(tm.m.registry.GetValue(kPrinters, "Default")->type, static_cast<DWORD>(REG_EXPAND_SZ));
}

TEST_F(DefaultPrinterTest, OtherPrintersAreLeftAlone) {
  for (const char* other : {"VT TRX 5100 Fax", "VT TRX 510", "Office Laser", ""}) {
    SetDefault(std::string(other) + '\0');
    Remove();
    EXPECT_EQ(Default(), std::string(other) + '\0') << other;
  }
  // Nothing to clear is not logged.
  EXPECT_EQ(Log(), "");
  // An empty name does not clear an empty default either.
  SetDefault(std::string(1, '\0'));
  Remove("");
  EXPECT_EQ(Log(), "");
}

TEST_F(DefaultPrinterTest, ADefaultLongerThanTheBufferIsReportedAndKept) {
  const std::string longName(512, 'A');
  SetDefault(longName + '\0');  // 513 bytes
  Remove(longName);
  EXPECT_EQ(Default(), longName + '\0');
  EXPECT_EQ(Log(),
            ErrorEntry(kQueryOrigin,
                       "ValueName = 'Default'\n\tSpace Needed = 513\n\tSpace Available = 512",
                       ERROR_MORE_DATA));
}

TEST_F(DefaultPrinterTest, ADefaultThatFillsTheBufferWithoutAZeroIsReadAsATerminatedText) {
  const std::string fullName(512, 'A');
  SetDefault(fullName);  // 512 bytes, no zero
  Remove(fullName);
  EXPECT_EQ(Default(), std::string(1, '\0'));
  EXPECT_EQ(Log(), "");
}

TEST_F(DefaultPrinterTest, FailuresAreLogged) {
  // No key.
  Remove();
  EXPECT_EQ(Log(), ErrorEntry("C9xCleanup::RemoveDefaultPrinter9x() -- RegOpenKeyEx()",
                              "Key = 'HKEY_LOCAL_MACHINE\\" + kPrintersKey + "'", 2));
  // No value.
  tm.m.registry.Create(kPrinters);
  const size_t before = Log().size();
  Remove();
  EXPECT_EQ(Log().substr(before), ErrorEntry(kQueryOrigin, "ValueName = 'Default'", 2));
  // A refused write.
  SetDefault(std::string(kPrinter) + '\0');
  tm.AddKeyFault("RegSetValueExA", 5, kPrinters);
  const size_t beforeWrite = Log().size();
  Remove();
  EXPECT_EQ(Log().substr(beforeWrite),
            ErrorEntry(kQueryOrigin,
                       ">>> Unable to write to 'Default' value in registry key: "
                       "'HKEY_LOCAL_MACHINE\\" +
                           kPrintersKey + "' \n",
                       5));
  EXPECT_EQ(Default(), std::string(kPrinter) + '\0');
}

const std::string kUninstall = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kEntry = kUninstall + "VT TRX 5100 series 0412345678";
const std::string kEntryOrigin = "CLecternCleanup::RemoveUninstallEntry() -- ...DeleteKey()";

class UninstallEntryTest : public CleanupTest {
 protected:
  explicit UninstallEntryTest(const std::string& windows = "xp") : CleanupTest(windows) {
    g_RemovalData.DevIDname = "VT TRX 5100 series";
    g_szDeviceID = "0412345678";
    tm.m.registry.Create(kEntry + "\\Devices\\USB");
    tm.m.registry.SetString(kEntry, "DisplayName", "VT TRX 5100 series");
    // Entries of other devices and of the shared software stay.
    tm.m.registry.Create(kUninstall + "VT TRX 5100 series 0499999999");
    tm.m.registry.Create(kUninstall + "VT TRX 5100 series");
  }
  void Remove() {
    CCvScrubberDlg dlg;
    CLecternCleanup cleanup;
    cleanup.RemoveUninstallEntry(dlg);
  }
  bool Has(const std::string& key) const { return tm.m.registry.Find(key) != nullptr; }
  void ExpectOthersKept() const {
    EXPECT_TRUE(Has(kUninstall + "VT TRX 5100 series 0499999999"));
    EXPECT_TRUE(Has(kUninstall + "VT TRX 5100 series"));
  }
};

TEST_F(UninstallEntryTest, FailuresBeyondTheSilentCodesAreLogged) {
  tm.AddKeyFault("SHDeleteKeyA", 5, kEntry, 1);
  Remove();
  EXPECT_EQ(Log(), ErrorEntry(kEntryOrigin,
                              "Unable to remove key 'HKEY_LOCAL_MACHINE\\" + kEntry.substr(5) +
                                  "' from the registry. \n",
                              5));
  EXPECT_TRUE(Has(kEntry));
  for (DWORD silent : {2u, 1010u, 1011u}) {
    tm.AddKeyFault("SHDeleteKeyA", silent, kEntry, 1);
    const size_t before = Log().size();
    Remove();
    EXPECT_EQ(Log().size(), before) << silent;
  }
  // A key Windows protects refuses the deletion.
  tm.m.registry.SetAccess(kEntry, sim::KeyAccess::kProtected);
  const size_t before = Log().size();
  Remove();
  EXPECT_NE(Log().find("System message: " + SystemText(5), before), std::string::npos);
  EXPECT_TRUE(Has(kEntry));
}

TEST_F(UninstallEntryTest, AnEmptyDeviceIdNamesTheKeyEndingInTheBlank) {
  g_szDeviceID.clear();
  tm.m.registry.Create(kUninstall + "VT TRX 5100 series \\Sub");
  Remove();
  EXPECT_FALSE(Has(kUninstall + "VT TRX 5100 series "));
  EXPECT_TRUE(Has(kEntry));
  ExpectOthersKept();
  // Missing: not logged.
  Remove();
  EXPECT_EQ(Log(), "");
}

// Per Windows version: the call the 9x family uses (RegDeleteKeyA, which
// takes the subkeys along there) or the shell's SHDeleteKeyA. The other call
// is made to refuse: had it been used, the entry would stay and be logged.
// NT 4 without Internet Explorer 4's shell has no shlwapi.dll: there the
// tree goes key by key, the entry itself last through RegDeleteKeyA.
struct VersionCall {
  const char* windows;
  const char* used;
  const char* unused;
  bool firstShell = false;
};

void PrintTo(const VersionCall& c, std::ostream* os) { *os << c.windows << ": " << c.used; }

std::string VersionName(const ::testing::TestParamInfo<VersionCall>& p) {
  return std::string("Windows") + p.param.windows + (p.param.firstShell ? "FirstShell" : "");
}

class UninstallEntryCallTest : public UninstallEntryTest,
                               public ::testing::WithParamInterface<VersionCall> {
 protected:
  UninstallEntryCallTest() : UninstallEntryTest(GetParam().windows) {
    if (std::string(GetParam().windows) == "nt4") tm.m.system.later_shell = !GetParam().firstShell;
  }
};

TEST_P(UninstallEntryCallTest, TheVersionsCallRemovesTheEntryWithItsSubkeys) {
  tm.AddKeyFault(GetParam().unused, 5, kEntry);
  Remove();
  EXPECT_FALSE(Has(kEntry));
  ExpectOthersKept();
  EXPECT_EQ(Log(), "");

  tm.m.registry.Create(kEntry);
  tm.AddKeyFault(GetParam().used, 1009, kEntry, 1);
  Remove();
  EXPECT_EQ(Log(), ErrorEntry(kEntryOrigin,
                              "Unable to remove key 'HKEY_LOCAL_MACHINE\\" + kEntry.substr(5) +
                                  "' from the registry. \n",
                              1009));
}

INSTANTIATE_TEST_SUITE_P(Versions, UninstallEntryCallTest,
                         ::testing::Values(VersionCall{"95", "RegDeleteKeyA", "SHDeleteKeyA"},
                                           VersionCall{"98", "RegDeleteKeyA", "SHDeleteKeyA"},
                                           VersionCall{"me", "RegDeleteKeyA", "SHDeleteKeyA"},
                                           VersionCall{"nt4", "SHDeleteKeyA", "RegDeleteKeyA"},
                                           VersionCall{"nt4", "RegDeleteKeyA", "SHDeleteKeyA",
                                                       true},
                                           VersionCall{"2000", "SHDeleteKeyA", "RegDeleteKeyA"},
                                           VersionCall{"xp", "SHDeleteKeyA", "RegDeleteKeyA"}),
                         VersionName);

}  // namespace
