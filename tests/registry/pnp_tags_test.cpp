// Plug-and-Play tags in the registry list: the ID is found once, in the
// registry, and put where the tag stands; every refusal says why.
#include <gtest/gtest.h>

#include <string>

#include "registry/erase_reg_data.h"
#include "registry/eraser_test_support.h"

namespace {

const char kUsb[] = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB";

class PnPTagTest : public EraserTest {
 protected:
  explicit PnPTagTest(const std::string& windows = "xp") : EraserTest(windows) {}
  void SetIDs(const CStringArray& ids) { g_RemovalData.PnP = ids; }
};

TEST_F(PnPTagTest, PathWithoutTagIsLoweredAndNothingSearched) {
  SetIDs({"VID_1234"});
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\MixedCase", "x", "1");

  Erase({"HKLM\\SOFTWARE\\Vantrel\\MixedCase"});

  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\MixedCase"));
  EXPECT_EQ(g_szPnPtext, "");
  EXPECT_EQ(Log(), "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\mixedcase \n");
}

TEST_F(PnPTagTest, TagInsideAKeyNameKeepsTheTextAroundIt) {
  SetIDs({"1234&PID_0001"});
  tm.m.registry.SetString(std::string(kUsb) + "\\Vid_1234&Pid_0001\\5&1", "x", "1");
  tm.m.registry.SetString(std::string(kUsb) + "\\Vid_1234&Pid_0002\\5&1", "x", "1");

  Erase({std::string(kUsb) + "\\VID_$PNP$\\5&1"});

  EXPECT_FALSE(Exists(std::string(kUsb) + "\\Vid_1234&Pid_0001\\5&1"));
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\Vid_1234&Pid_0001"));
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\Vid_1234&Pid_0002\\5&1"));
  EXPECT_EQ(g_szPnPtext, "1234&PID_0001");
  EXPECT_EQ(Log(),
            "- Removed from registry: HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\enum\\usb\\"
            "vid_1234&PID_0001\\5&1 \n");
}

TEST_F(PnPTagTest, TagsThatCannotStandAreRefused) {
  SetIDs({"VID_1234"});
  tm.m.registry.SetString("HKLM\\Software$pnp$", "x", "1");

  Erase({"HKLM\\$pnp$\\Software", "HKLM\\Software$pnp$", "HKLM\\\\$pnp$"});

  EXPECT_TRUE(Exists("HKLM\\Software$pnp$"));
  EXPECT_EQ(g_szPnPtext, "");
  EXPECT_EQ(Log(),
            ">>> Origin: CEraseRegData::PnPKeyManipulation() -- cTagStart <= 0\n"
            "\t>>> A Plug-and-Play string must not be the first key after the root. \n"
            "\tKey = 'HKEY_LOCAL_MACHINE\\$pnp$\\software' \n \n\n"
            ">>> Origin: CEraseRegData::PnPKeyManipulation() -- iRevIdx <= 0\n"
            "\t>>> A Plug-and-Play string must not be the first key after the root. \n"
            "\tKey = 'HKEY_LOCAL_MACHINE\\software$pnp$' \n \n\n"
            ">>> Origin: CEraseRegData::PnPKeyManipulation() -- iRevIdx <= 0\n"
            "\t>>> A Plug-and-Play string must not be the first key after the root. \n"
            "\tKey = 'HKEY_LOCAL_MACHINE\\\\$pnp$' \n \n\n");
}

// A failed search leaves the text empty, so the next tag searches again.
TEST_F(PnPTagTest, FailedSearchIsReportedAndRepeated) {
  SetIDs({"VID_9999"});
  tm.m.registry.SetString(std::string(kUsb) + "\\Vid_1234", "x", "1");

  Erase({std::string(kUsb) + "\\$pnp$", "HKLM\\SOFTWARE\\Missing\\$pnp$"});

  EXPECT_TRUE(Exists(std::string(kUsb) + "\\Vid_1234"));
  EXPECT_EQ(Log(),
            ">>> Origin: CEraseRegData::PnPKeyManipulation() -- g_szPnPtext[0] == (TCHAR) 0\n"
            "\t>>> A search of subkeys failed to find a Plug-and-Play string in the registry. \n"
            "\tParent key = 'HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\enum\\usb' \n \n\n"
            ">>> Origin: CEraseRegData::SeekRegPnPIDtext() -- RegOpenKeyEx()\n"
            "\tSystem message: The system cannot find the file specified.\n \n"
            "\tAdditional Information: Key = 'HKEY_LOCAL_MACHINE\\software\\missing' \n\n\n"
            ">>> Origin: CEraseRegData::PnPKeyManipulation() -- g_szPnPtext[0] == (TCHAR) 0\n"
            "\t>>> A search of subkeys failed to find a Plug-and-Play string in the registry. \n"
            "\tParent key = 'HKEY_LOCAL_MACHINE\\software\\missing' \n \n\n");
}

// Once found, the ID serves every later tag without a search.
TEST_F(PnPTagTest, FoundIDIsKeptForTheRun) {
  SetIDs({"VID_1234"});
  tm.m.registry.SetString(std::string(kUsb) + "\\Vid_1234", "x", "1");
  tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\vid_1234", "x", "1");

  Erase({std::string(kUsb) + "\\$pnp$", "HKLM\\SOFTWARE\\Vantrel\\$pnp$",
         "HKLM\\SOFTWARE\\Nowhere\\$pnp$"});

  EXPECT_FALSE(Exists(std::string(kUsb) + "\\Vid_1234"));
  EXPECT_FALSE(Exists("HKLM\\SOFTWARE\\Vantrel\\vid_1234"));
  EXPECT_EQ(Log(),
            "- Removed from registry: HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\enum\\usb\\"
            "VID_1234 \n"
            "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\vantrel\\VID_1234 \n"
            "- Removed from registry: HKEY_LOCAL_MACHINE\\software\\nowhere\\VID_1234 \n");
  // A new uninstall searches afresh.
  CRemoveSoftware next;
  EXPECT_EQ(g_szPnPtext, "");
}

TEST_F(PnPTagTest, ValueNameThatIsAllTagBecomesTheID) {
  SetIDs({"PID_0001", "VID_1234"});
  const std::string key = "HKLM\\SOFTWARE\\Vantrel\\Devices";
  tm.m.registry.SetString(key, "Other", "1");
  tm.m.registry.SetString(key, "usb\\vid_1234", "1");
  tm.m.registry.SetString(key, "VID_1234", "1");

  Erase({key + "\\", "$PnP$"});

  EXPECT_FALSE(HasValue(key, "VID_1234"));
  EXPECT_TRUE(HasValue(key, "usb\\vid_1234"));
  EXPECT_TRUE(HasValue(key, "Other"));
  EXPECT_EQ(g_szPnPtext, "VID_1234");
  // The log names the value as the list wrote it.
  EXPECT_EQ(Log(), "- Removed from registry: " + std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\") +
                       "Vantrel\\Devices\\$PnP$ \n");
}

TEST_F(PnPTagTest, ValueTagWithoutIDIsRefused) {
  SetIDs({});
  const std::string key = "HKLM\\SOFTWARE\\Vantrel\\Devices";
  tm.m.registry.SetString(key, "vid_1234", "1");

  Erase({key + "\\", "x$pnp$"});

  EXPECT_TRUE(HasValue(key, "vid_1234"));
  EXPECT_EQ(Log(),
            ">>> Origin: CEraseRegData::PnPValueManipulation() -- g_szPnPtext[0] ==(TCHAR) 0\n"
            "\t>>> A search of subkeys failed to find a Plug-and-Play string in the registry. \n"
            "\tParent key = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\Devices\\' \n \n\n");
}

// A key path that grows past what a key path may hold is not cut (that
// could name a parent key): it is reported and nothing is deleted.
TEST_F(PnPTagTest, ExpandedPathTooLongIsSkippedWhole) {
  SetIDs({std::string(100, 'i')});
  const std::string parent = "HKLM\\SOFTWARE\\" + std::string(150, 'p');
  tm.m.registry.SetString(parent + "\\" + std::string(100, 'i'), "x", "1");

  Erase({parent + "\\$pnp$\\tail"});

  EXPECT_TRUE(Exists(parent + "\\" + std::string(100, 'i')));
  EXPECT_TRUE(
      LogHas(">>> Origin: CEraseRegData::DeleteRegKey() -- cSizeBufNeeded >= "
             "cKeyBufSize\n\t>>> (Internal error) A string buffer is too small"));
  EXPECT_FALSE(LogHas("Removed from registry"));
}

TEST_F(PnPTagTest, TextAroundTheTagBeyondItsBufferIsRefused) {
  SetIDs({"VID_1"});
  const std::string key = "HKLM\\SOFTWARE\\Vantrel";
  tm.m.registry.SetString(key, "vid_1", "1");
  tm.m.registry.SetString(key, "VID_1" + std::string(256, 'a'), "1");

  Erase({key + "\\", "$pnp$" + std::string(256, 'a')});

  EXPECT_TRUE(HasValue(key, "VID_1" + std::string(256, 'a')));
  EXPECT_TRUE(
      LogHas(">>> Origin: CEraseRegData::PnPValueManipulation() -- cSizeBufNeeded >= "
             "cKeyBufSize\n"));
}

// Windows 98 lists subkeys in creation order: the first name holding any
// ID decides, and within it the first ID of the list.
class PnPTag98Test : public PnPTagTest {
 protected:
  PnPTag98Test() : PnPTagTest("98") {}
};

TEST_F(PnPTag98Test, FirstSubkeyHoldingAnIDDecides) {
  SetIDs({"VID_1", "VID_2"});
  tm.m.registry.SetString(std::string(kUsb) + "\\vid_2&x", "x", "1");
  tm.m.registry.SetString(std::string(kUsb) + "\\vid_1&y", "x", "1");
  tm.m.registry.SetString(std::string(kUsb) + "\\VID_2", "x", "1");

  Erase({std::string(kUsb) + "\\$pnp$"}, 1);

  EXPECT_EQ(g_szPnPtext, "VID_2");
  EXPECT_FALSE(Exists(std::string(kUsb) + "\\VID_2"));
  EXPECT_TRUE(Exists(std::string(kUsb) + "\\vid_2&x"));
  EXPECT_EQ(Log(),
            "- Removed from registry: HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\enum\\usb\\"
            "VID_2 \n");
}

}  // namespace
