// The registry list eraser on a simulated PC: each kind of entry, what goes
// and what stays, and the exact lines of the run log.
#include <gtest/gtest.h>

#include <string>

#include "registry/erase_reg_data.h"
#include "registry/eraser_test_support.h"

namespace {

const char kShared[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kSharedEntry[] = "-HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\\";
const char kOurDll[] = "C:\\WINDOWS\\system32\\vtscan.dll";
const char kOtherDll[] = "C:\\WINDOWS\\system32\\other.dll";

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

using EraseRegListTest = EraserTest;

TEST_F(EraseRegListTest, EmptyListDoesNothing) {
  EXPECT_EQ(Erase({}), 0);
  EXPECT_EQ(Log(), "");
}

TEST_F(EraseRegListTest, KeyEntryDeletesTheTreeAndLeavesSiblings) {
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan\\Sub\\Deep", "x", "1");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\ScanPlus", "x", "1");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel", "Keep", "1");

  EXPECT_EQ(Erase({"  HKLM\\SOFTWARE\\Vantrel\\Scan", "HKLM\\SOFTWARE\\Vantrel\\Gone"}), 1);

  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\Scan"));
  EXPECT_TRUE(Exists("HKLM\\SOFTWARE\\Vantrel\\ScanPlus"));
  EXPECT_TRUE(HasValue("HKLM\\SOFTWARE\\Vantrel", "Keep"));
  // Paths are lowered; an absent key counts as removed.
  EXPECT_EQ(Log(),
            "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\scan \n"
            "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\gone \n");
}

TEST_F(EraseRegListTest, ValuePairDeletesOneValueAndReportsWhatIsMissing) {
  tm.m.registry.SetString("HKCU\\Software\\Vantrel", "Path", "C:\\VT");
  tm.m.registry.SetString("HKCU\\Software\\Vantrel", "PathX", "C:\\VT");

  Erase({"hkcu\\Software\\Vantrel\\", "  Path", "HKCU\\Software\\Vantrel\\", "Absent",
         "HKCU\\Software\\Nowhere\\", "Path"});

  EXPECT_FALSE(HasValue("HKCU\\Software\\Vantrel", "Path"));
  EXPECT_TRUE(HasValue("HKCU\\Software\\Vantrel", "PathX"));
  EXPECT_EQ(Log(),
            "- Removed from registry: HKEY_CURRENT_USER\\Software\\Vantrel\\Path \n"
            "* Shared value not found: HKEY_CURRENT_USER\\Software\\Vantrel\\ ... value = absent "
            "\n\t\tWindows code = 2 \n"
            "* Shared Not Found: HKEY_CURRENT_USER\\Software\\Nowhere\\ \n\t\tWindows code = 2 \n");
}

TEST_F(EraseRegListTest, CounterAtOneIsDeletedOthersStay) {
  tm.m.registry.SetDword(kShared, kOurDll, 1);
  tm.m.registry.SetDword(kShared, kOtherDll, 1);

  Erase({kSharedEntry, kOurDll});

  EXPECT_FALSE(HasValue(kShared, kOurDll));
  EXPECT_EQ(Data(kShared, kOtherDll), Bytes({1, 0, 0, 0}));
  EXPECT_TRUE(g_aSaveFiles.empty());
  EXPECT_EQ(Log(), std::string("- Removed from registry: HKEY_LOCAL_MACHINE\\") +
                       (kSharedEntry + 6) + kOurDll + " \n");
}

TEST_F(EraseRegListTest, CounterStillInUseIsDecrementedAndTheFileKept) {
  tm.m.registry.SetDword(kShared, kOurDll, 3);
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan", "x", "1");

  Erase({kSharedEntry, kOurDll, "HKLM\\SOFTWARE\\Vantrel\\Scan"});

  EXPECT_EQ(Data(kShared, kOurDll), Bytes({2, 0, 0, 0}));
  EXPECT_EQ(tm.m.registry.GetValue(kShared, kOurDll)->type, REG_DWORD);
  EXPECT_EQ(g_aSaveFiles, CStringArray{kOurDll});
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\Scan"));
  EXPECT_EQ(Log(), "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\scan \n");
}

TEST_F(EraseRegListTest, CounterFailures) {
  // Too long to read in 4 bytes; already at 0; not a count type; missing.
  tm.m.registry.SetValue(kShared, "C:\\long.dll", REG_BINARY, Bytes({1, 0, 0, 0, 0}));
  tm.m.registry.SetDword(kShared, "C:\\zero.dll", 0);
  tm.m.registry.SetString(kShared, "C:\\text.dll", "1");

  Erase({kSharedEntry, "C:\\long.dll", kSharedEntry, "C:\\zero.dll", kSharedEntry, "C:\\text.dll",
         kSharedEntry, "C:\\absent.dll", "-HKXX\\Software\\", "C:\\x.dll"});

  EXPECT_EQ(Data(kShared, "C:\\long.dll"), Bytes({1, 0, 0, 0, 0}));
  EXPECT_EQ(Data(kShared, "C:\\zero.dll"), Bytes({0, 0, 0, 0}));
  EXPECT_EQ(Data(kShared, "C:\\text.dll"), std::string("1", 2));
  // -1 from a count of 0 records the file, and so does a count that could not
  // be read (234); a missing counter (2) does not: that file is not shared.
  EXPECT_EQ(g_aSaveFiles, (CStringArray{"C:\\long.dll", "C:\\zero.dll", "C:\\text.dll"}));
  const std::string path = kSharedEntry + 6;
  EXPECT_EQ(Log(),
            "* Not found: HKEY_LOCAL_MACHINE\\" + path +
                "C:\\long.dll \n\t\tWindows code = 234 \n"
                "* Not found: HKEY_LOCAL_MACHINE\\" +
                path +
                "C:\\absent.dll \n\t\tWindows code = 2 \n"
                ">>> Origin: CEraseRegData::DecrementRegCounter() -- "
                "GetMainRegKeyHandle(sKeyCode)\n"
                "\tData error: unrecognized abbreviation for Registry hive.  sKeyCode = 'HKXX'  "
                "\n \n\n");
}

// A counter that cannot be opened or read leaves the count unknown: the file
// is kept (other software may use it); the value and the log are as before.
TEST_F(EraseRegListTest, CounterThatCannotBeReadKeepsTheFile) {
  tm.m.registry.SetDword(kShared, kOurDll, 1);
  tm.m.registry.SetDword(kShared, kOtherDll, 1);
  tm.AddKeyFault("RegOpenKeyExA", ERROR_ACCESS_DENIED, kShared, 1);
  tm.AddKeyFault("RegQueryValueExA", ERROR_SHARING_VIOLATION, kShared, 1);

  Erase({kSharedEntry, kOurDll, kSharedEntry, kOtherDll});

  EXPECT_EQ(Data(kShared, kOurDll), Bytes({1, 0, 0, 0}));
  EXPECT_EQ(Data(kShared, kOtherDll), Bytes({1, 0, 0, 0}));
  EXPECT_EQ(g_aSaveFiles, (CStringArray{kOurDll, kOtherDll}));
  const std::string path = kSharedEntry + 6;
  EXPECT_EQ(Log(), "* Not found: HKEY_LOCAL_MACHINE\\" + path + kOurDll +
                       " \n\t\tWindows code = 5 \n"
                       "* Not found: HKEY_LOCAL_MACHINE\\" +
                       path + kOtherDll + " \n\t\tWindows code = 32 \n");
}

// A count that cannot be written back still decides: the file is kept.
TEST_F(EraseRegListTest, CounterWriteFailureIsReportedAndTheFileKept) {
  tm.m.registry.SetDword(kShared, kOurDll, 3);
  tm.AddKeyFault("RegSetValueExA", ERROR_ACCESS_DENIED, kShared);

  Erase({kSharedEntry, kOurDll});

  EXPECT_EQ(Data(kShared, kOurDll), Bytes({3, 0, 0, 0}));
  EXPECT_EQ(g_aSaveFiles, CStringArray{kOurDll});
  EXPECT_EQ(Log(), std::string(">>> Origin: CEraseRegData::DecrementRegCounter() -- "
                               "RegSetValueEx()\n\tSystem message: Access is denied.\n \n"
                               "\tAdditional Information: sKey = HKEY_LOCAL_MACHINE") +
                       (kSharedEntry + 6) + kOurDll + " = 2\n\n");
}

// A counter at zero deletes only its value, also when its key path lacks the
// closing backslash (it used to be read as a key entry: the whole key went).
TEST_F(EraseRegListTest, CounterAtZeroWithoutClosingBackslashDeletesOnlyItsValue) {
  tm.m.registry.SetDword(kShared, kOurDll, 1);
  tm.m.registry.SetDword(kShared, kOtherDll, 4);
  std::string entry = kSharedEntry;
  entry.pop_back();

  Erase({entry, kOurDll});

  EXPECT_FALSE(HasValue(kShared, kOurDll));
  EXPECT_EQ(Data(kShared, kOtherDll), Bytes({4, 0, 0, 0}));
}

// The whole little-endian count decides, not its lowest byte, and it is
// written back with the length it had.
TEST_F(EraseRegListTest, CountsAbove255UseEveryByte) {
  tm.m.registry.SetDword(kShared, kOurDll, 256);
  tm.m.registry.SetValue(kShared, kOtherDll, REG_BINARY, Bytes({0x00, 0x01}));

  Erase({kSharedEntry, kOurDll, kSharedEntry, kOtherDll});

  EXPECT_EQ(Data(kShared, kOurDll), Bytes({0xFF, 0, 0, 0}));
  EXPECT_EQ(Data(kShared, kOtherDll), Bytes({0xFF, 0x00}));
  EXPECT_EQ(g_aSaveFiles, (CStringArray{kOurDll, kOtherDll}));
  EXPECT_EQ(Log(), "");
}

TEST_F(EraseRegListTest, ShortEntriesAreBadLinesWithTheirPosition) {
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan", "x", "1");

  Erase({"HKLM", "", "HKLM\\", "HKLM\\SOFTWARE\\Vantrel\\Scan"});

  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\Scan"));
  EXPECT_EQ(Log(),
            ">>> Bad line from registry DAT file: \n\t'HKLM'  \n\tData line number: 0\n\n"
            ">>> Bad line from registry DAT file: \n\t'HKLM\\'  \n\tData line number: 2\n\n"
            "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\scan \n");
}

// An unknown hive code is an error; nothing is called on the null hive.
TEST_F(EraseRegListTest, UnknownHiveCodeIsAnError) {
  // Were the deletion called, this answer would log the key as removed.
  tm.AddFault("SHDeleteKeyA", ERROR_FILE_NOT_FOUND);

  Erase({"HKXX\\Software\\Vantrel"});

  EXPECT_EQ(Log(),
            ">>> Origin: CEraseRegData::DeleteRegKey() -- ...DeleteKey()\n"
            "\tSystem message: The handle is invalid.\n \n"
            "\tAdditional Information: Unable to remove key '\\Software\\Vantrel' from the "
            "registry. \n\n\n");
}

const char kClass[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd1fc6}";

TEST_F(EraseRegListTest, VariableKeyDeletesTheLastMatchingSubkeyOnly) {
  for (const char* sub : {"0000", "0001", "0002"}) {
    tm.m.registry.SetString(std::string(kClass) + "\\" + sub + "\\Settings", "x", "1");
  }
  tm.m.registry.SetString(std::string(kClass) + "\\0000", "DriverDesc", "VT Scanner");
  tm.m.registry.SetString(std::string(kClass) + "\\0001", "DriverDesc", "Other");
  tm.m.registry.SetString(std::string(kClass) + "\\0002", "DriverDesc", "vt SCANNER");

  const std::string entry = std::string("*") + kClass;
  EXPECT_EQ(Erase({entry, "DriverDesc=  VT Scanner  "}), 1);

  EXPECT_TRUE(Exists(std::string(kClass) + "\\0000"));
  EXPECT_TRUE(Exists(std::string(kClass) + "\\0001"));
  EXPECT_FALSE(Exists(std::string(kClass) + "\\0002"));
  EXPECT_EQ(Log(),
            "- Removed from registry: HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\control\\"
            "class\\{6bdd1fc6}\\0002 \n");
}

TEST_F(EraseRegListTest, VariableKeyPairsThatCannotMatchSkipTwoEntries) {
  tm.m.registry.SetString(std::string(kClass) + "\\0000", "DriverDesc", "VT Scanner");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan", "x", "1");
  const std::string entry = std::string("*") + kClass;

  // No "=", empty data, no match: each pair is skipped whole.
  EXPECT_EQ(Erase({entry, "DriverDesc", entry, "DriverDesc=  ", entry, "DriverDesc=Nothing",
                   "HKLM\\SOFTWARE\\Vantrel\\Scan"}),
            0);

  EXPECT_TRUE(Exists(std::string(kClass) + "\\0000"));
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\Scan"));
  EXPECT_EQ(Log(), "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\scan \n");
}

TEST_F(EraseRegListTest, VariableKeyWithMissingParentIsReported) {
  Erase({"*HKLM\\SOFTWARE\\Nowhere", "a=b"});
  EXPECT_EQ(Log(),
            ">>> Origin: CEraseRegData::FindVariableKey() -- RegOpenKeyEx()\n"
            "\tSystem message: The system cannot find the file specified.\n \n"
            "\tAdditional Information: Key = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Nowhere' \n\n\n");
}

// A subkey whose whole path is too long is not examined (a cut path would
// name another key); the next matching one is found instead.
TEST_F(EraseRegListTest, VariableKeyPathsTooLongAreSkipped) {
  const std::string parent = "HKLM\\SOFTWARE\\" + std::string(200, 'p');
  const std::string longSub = parent + "\\z" + std::string(60, 'z');
  tm.m.registry.SetString(longSub, "Name", "vt");
  tm.m.registry.SetString(parent + "\\a", "Name", "vt");
  // A value filling the whole read buffer is not taken as text.
  tm.m.registry.SetValue(parent + "\\b", "Name", REG_BINARY, std::string(260, 'v'));

  Erase({"*" + parent, "Name=vt"});

  EXPECT_TRUE(Exists(longSub));
  EXPECT_FALSE(Exists(parent + "\\a"));
  EXPECT_TRUE(Exists(parent + "\\b"));
  EXPECT_TRUE(
      LogHas(">>> Origin: CEraseRegData::FindVariableKey() -- cSizeBufNeeded >= "
             "cKeyBufSize\n"));
}

TEST_F(EraseRegListTest, KeyThatCannotBeDeletedIsAnErrorAndTheWalkGoesOn) {
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan", "x", "1");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Fax", "x", "1");
  tm.AddKeyFault("SHDeleteKeyA", 87, "HKLM\\SOFTWARE\\Vantrel\\Scan");

  Erase({"HKLM\\SOFTWARE\\Vantrel\\Scan", "HKLM\\SOFTWARE\\Vantrel\\Fax"});

  EXPECT_TRUE(Exists("HKLM\\SOFTWARE\\Vantrel\\Scan"));
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\Fax"));
  EXPECT_EQ(Log(),
            ">>> Origin: CEraseRegData::DeleteRegKey() -- ...DeleteKey()\n"
            "\tSystem message: The parameter is incorrect.\n \n"
            "\tAdditional Information: Unable to remove key "
            "'HKEY_LOCAL_MACHINE\\software\\vantrel\\scan' from the registry. \n\n\n"
            "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\fax \n");
}

// On XP a protected key goes to the protected deletion; Windows 98 deletes
// the same key directly.
TEST_F(EraseRegListTest, ProtectedKeyIsHandedOverOnXp) {
  const std::string dev = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234";
  tm.m.registry.SetString(dev + "\\5&1", "Driver", "x");
  ASSERT_TRUE(tm.m.registry.SetAccess(dev, sim::KeyAccess::kProtected));

  Erase({dev});

  EXPECT_FALSE(Exists(dev));
  EXPECT_TRUE(LogHas("... Registry key is protected by Windows."));
  EXPECT_TRUE(
      LogHas("- Removed from registry: HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\"
             "enum\\usb\\vid_1234 \n"));
}

class EraseRegList98Test : public EraserTest {
 protected:
  EraseRegList98Test() : EraserTest("98") {}
};

TEST_F(EraseRegList98Test, KeyTreeIsDeletedWithoutHandOver) {
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan\\Sub", "x", "1");
  Erase({"HKLM\\SOFTWARE\\Vantrel\\Scan"}, 1);
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\Scan"));
  EXPECT_EQ(Log(), "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\scan \n");
}

}  // namespace
