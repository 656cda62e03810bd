// Device classes: which devices go, and the library loaded at run time
// (missing library, missing function, no device list).
#include "printing/printing_test_support.h"
#include "sim/machine.h"

namespace {

const std::string kBanner = "))) Remove ZI VeD classes from Windows. \n";
const CStringArray kIds = List({"vid_1234&PID_5678", "NoSuchId"});

using ClassTest = PrintingTest;

TEST_F(ClassTest, FirstHardwareIdDecidesWithoutCase) {
  AddDevice();
  EXPECT_EQ(DeletePnPClasses(List({"IMAGE", "Modem"}), kIds), 1);
  // A class with no matching device still gets its line.
  EXPECT_EQ(Log(), kBanner +
                       "\tUnregistered VT class 'IMAGE' \n"
                       "\tUnregistered VT class 'Modem' \n"
                       "\n");
  ASSERT_EQ(DeviceCount(), 3u);
  EXPECT_EQ(tm.m.json["devices"][0]["hardware_ids"][1], "VID_1234&PID_5678");
  EXPECT_EQ(tm.m.json["devices"][1]["class"], "Printer");
}

TEST_F(ClassTest, DeviceMatchingTwoIdsIsRemovedOnceAndAnEmptyIdMatchesNothing) {
  AddDevice();
  EXPECT_EQ(DeletePnPClass("Printer", List({""})), 1);
  EXPECT_EQ(DeviceCount(), 4u);
  EXPECT_EQ(DeletePnPClass("Image", List({"VID_1234", "PID_5678"})), 1);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(DeviceCount(), 3u);
}

TEST_F(ClassTest, RefusedRemovalIsReportedAndTheNextDeviceFollows) {
  AddDevice();
  tm.m.json["devices"].push_back(
      {{"class", "Image"}, {"hardware_ids", {"USB\\VID_1234&PID_5678&MI_01"}}});
  AddNameFault("SetupDiCallClassInstaller", 5, "USB\\VID_1234&PID_5678&REV_0100");
  EXPECT_EQ(DeletePnPClass("Image", kIds), 1);
  EXPECT_EQ(Log(), ErrorEntry("DeletePnPClass() -- SetupDiCallClassInstaller()",
                              ">>> Error occurred while attempting to unregister the VT device "
                              "from class 'Image'.\n",
                              5));
  EXPECT_EQ(DeviceCount(), 4u);
  EXPECT_EQ(tm.m.json["devices"][0]["hardware_ids"][0], "USB\\VID_1234&PID_5678&REV_0100");
}

TEST_F(ClassTest, UnreadableDevicesOrPropertiesRemoveNothingAndTheStepGoesOn) {
  AddDevice();
  tm.AddFault("SetupDiEnumDeviceInfo", 259, "", 1);
  tm.AddFault("SetupDiGetDeviceRegistryPropertyA", 13);
  EXPECT_EQ(DeletePnPClasses(List({"Image", "Printer"}), kIds), 1);
  EXPECT_EQ(Log(),
            kBanner + "\tUnregistered VT class 'Image' \n\tUnregistered VT class 'Printer' \n\n");
  EXPECT_EQ(DeviceCount(), 4u);
}

TEST_F(ClassTest, NoDeviceListEndsTheClassStep) {
  AddDevice();
  tm.AddFault("SetupDiGetClassDevsA", 5);
  EXPECT_EQ(DeletePnPClasses(List({"Image", "Printer"}), kIds), 0);
  EXPECT_EQ(Log(), kBanner + ErrorEntry("DeletePnPClass() -- SetupDiGetClassDevs()",
                                        "Unable to obtain a Device Info List from Windows during "
                                        "VT Plug and Play adjustment. \n",
                                        5));
  EXPECT_EQ(DeviceCount(), 4u);
}

TEST_F(ClassTest, MissingLibraryShowsTheBoxAndEndsTheClassStep) {
  AddDevice();
  tm.AddFault("LoadLibraryA", 126, "SetupApi.dll");
  EXPECT_EQ(DeletePnPClasses(List({"Image", "Printer"}), kIds), 0);
  EXPECT_EQ(Log(), kBanner +
                       ">>> Origin: DeletePnPClass() -- LoadLibrary()\n"
                       "\tError loading Windows library 'SetupApi.dll' \n \n\n");
  EXPECT_EQ(tm.m.user.Lines().back(),
            "[box] CvScrubber.exe | Error loading Windows library 'SetupApi.dll' \\n\\nUninstall "
            "is INCOMPLETE. | OK | warning -> OK");
  EXPECT_EQ(DeviceCount(), 4u);
}

TEST_F(ClassTest, MissingFunctionEndsTheProgramWithMinusOne) {
  AddDevice();
  tm.m.json["setupapi"] = {{"missing", {"SetupDiCallClassInstaller"}}};
  try {
    DeletePnPClasses(List({"Image"}), kIds);
    FAIL() << "the program went on";
  } catch (const sim::ProcessExit& e) {
    EXPECT_EQ(e.code, 0xFFFFFFFFu);
  }
  EXPECT_EQ(Log(), kBanner +
                       ">>> Origin: DeletePnPClass() -- GetProcAddress()\n"
                       "\tUnable to obtain a pointer to function 'SetupDiCallClassInstaller' in "
                       "library 'SetupApi.dll' \n \n\n");
  EXPECT_EQ(DeviceCount(), 4u);
  // An ANSI function is named without its "A".
  tm.m.json["setupapi"] = {{"missing", {"SetupDiGetDeviceRegistryPropertyA"}}};
  EXPECT_THROW(DeletePnPClass("Image", kIds), sim::ProcessExit);
  EXPECT_TRUE(LogHas("function 'SetupDiGetDeviceRegistryProperty' in"));
}

}  // namespace
