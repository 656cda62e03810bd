// The whole printing-system and device removal: order, what goes and what
// stays, the early ends (no local printer, safe flag) and the 9x family.
#include "printing/printing_test_support.h"

namespace {

constexpr int kXp = 5;
constexpr int k98 = 1;
// The stage's first line and the package step's (the package is not installed).
const std::string kStart =
    "))) Unregister VT printer\n))) Remove ZI VeD MSI packages, if present. \n";

class VTDeletePnPTest : public PrintingTest {
 protected:
  explicit VTDeletePnPTest(const std::string& windows = "xp") : PrintingTest(windows) {}
  int Run(int safeFlag = 0, int versionCode = kXp) {
    return VTDeletePnP("VT TRX 5100 series", "vt trx 5100 FAX", List({"vid_1234&pid_5678"}),
                       List({"Image", "printer"}), List({"VT Dot4 Monitor", "No Such Monitor"}),
                       List({"VtScanSvc", "VtStatusMon", "NoSuchSvc"}), List({kProduct}), 240000,
                       safeFlag, versionCode);
  }
};

TEST_F(VTDeletePnPTest, RemovesTheDeviceInOrderAndLeavesOtherMakersAlone) {
  AddDevice();
  AddProduct();
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Log(),
            "))) Unregister VT printer\n"
            "))) Remove ZI VeD MSI packages, if present. \n"
            "\tRemoved VT MSI package '{5A1B2C3D-0000-4000-8000-00000000AA01}' \n"
            "\tRemoved VT driver 'VT TRX 5100 series' \n"
            "\tRemoved VT driver 'VT TRX 5100 Fax' \n"
            "\n"
            "))) Remove ZI VeD printer services from Windows.\n"
            "\tRemoved service: 'VtScanSvc' \n"
            "\tRemoved service: 'VtStatusMon' \n"
            "\n"
            "))) Delete VT port 'DOT4_001' \n\n"
            "))) Delete VT port 'DOT4_002' \n\n"
            "))) Remove ZI VeD printer monitors from Windows.\n"
            "\tRemoved VT monitor 'VT Dot4 Monitor' "
            "))) Remove ZI VeD classes from Windows. \n"
            "\tUnregistered VT class 'Image' \n"
            "\tUnregistered VT class 'printer' \n"
            "\n"
            "\n");
  EXPECT_EQ(Names("printers"), "Office Laser");
  EXPECT_EQ(Names("printer_drivers"), "Acme Laser 4");
  EXPECT_EQ(Names("ports"), "LPT1:,USB001");
  EXPECT_EQ(Names("monitors"), "Local Port,Acme Net Port");
  EXPECT_EQ(Names("services"), "Spooler");
  EXPECT_FALSE(tm.m.registry.Find(kProductKey) != nullptr);
  // The device whose ID stands only second, and the other maker's, stay.
  ASSERT_EQ(DeviceCount(), 2u);
  EXPECT_EQ(tm.m.json["devices"][0]["hardware_ids"][0], "USB\\VID_9999&PID_0001");
  EXPECT_EQ(tm.m.json["devices"][1]["hardware_ids"][0], "LPTENUM\\ACMELASER4");
}

TEST_F(VTDeletePnPTest, NoLocalPrinterEndsTheStageAfterThePackages) {
  AddDevice();
  AddProduct();
  tm.m.json["printers"] = Json::array();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Log(),
            "))) Unregister VT printer\n"
            "))) Remove ZI VeD MSI packages, if present. \n"
            "\tRemoved VT MSI package '{5A1B2C3D-0000-4000-8000-00000000AA01}' \n"
            "))) No local windows printers found.  There are no ZI VeD printers to unregister. "
            "\n\n");
  EXPECT_EQ(Names("printer_drivers"), "VT TRX 5100 series,Acme Laser 4,VT TRX 5100 Fax");
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
  EXPECT_EQ(Names("monitors"), "Local Port,VT Dot4 Monitor,Acme Net Port");
  EXPECT_EQ(DeviceCount(), 4u);
}

TEST_F(VTDeletePnPTest, FailedPrinterEnumerationTakesTheNoPrinterPath) {
  AddDevice();
  tm.AddFault("EnumPrintersA", 1722);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(LogHas("))) No local windows printers found."));
  EXPECT_EQ(Names("printers"), "VT TRX 5100,Office Laser,VT TRX 5100 Fax");
}

TEST_F(VTDeletePnPTest, SafeFlagStopsAfterPrintersAndDrivers) {
  AddDevice();
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(Log(),
            "))) Unregister VT printer\n"
            "))) Remove ZI VeD MSI packages, if present. \n"
            "\tRemoved VT driver 'VT TRX 5100 series' \n"
            "\tRemoved VT driver 'VT TRX 5100 Fax' \n"
            "\n");
  EXPECT_EQ(Names("printers"), "Office Laser");
  EXPECT_EQ(Names("ports"), "LPT1:,DOT4_001,DOT4_002,USB001");
  EXPECT_EQ(Names("monitors"), "Local Port,VT Dot4 Monitor,Acme Net Port");
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
  EXPECT_EQ(DeviceCount(), 4u);
}

class VTDeletePnP98Test : public VTDeletePnPTest {
 protected:
  VTDeletePnP98Test() : VTDeletePnPTest("98") {}
};

TEST_F(VTDeletePnP98Test, ServicesAreNeverTouched) {
  AddDevice("Windows 4.0");
  EXPECT_EQ(Run(0, k98), 1);
  EXPECT_FALSE(LogHas("printer services"));
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
  EXPECT_TRUE(LogHas("\tRemoved VT driver 'VT TRX 5100 series' \n"));
  EXPECT_TRUE(LogHas("))) Delete VT port 'DOT4_001' \n\n"));
  EXPECT_EQ(Names("printers"), "Office Laser");
}

TEST_F(VTDeletePnPTest, PrinterThatCannotBeOpenedIsSkippedSilentlyButItsPortIsTried) {
  AddDevice();
  tm.m.json["port_monitors"] = Json::object();
  AddNameFault("OpenPrinterA", 5, "VT TRX 5100");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Names("printers"), "VT TRX 5100,Office Laser");
  EXPECT_FALSE(LogHas("Removed VT driver 'VT TRX 5100 series'"));
  // Its port is still in use: that failure ends the port step.
  EXPECT_TRUE(LogHas(ErrorEntry("DeleteVTPort() in HandlePnP -- DeletePort()",
                                ">>> Unable to remove port 'DOT4_001' \n", 170)));
  EXPECT_FALSE(LogHas("Delete VT port 'DOT4_002'"));
  EXPECT_EQ(Names("ports"), "LPT1:,DOT4_001,DOT4_002,USB001");
}

TEST_F(VTDeletePnPTest, DriverReadFailureIsReportedExceptForUnknownDriver) {
  AddDevice();
  AddNameFault("GetPrinterDriverA", 5, "VT TRX 5100 series");
  AddNameFault("GetPrinterDriverA", 1797, "VT TRX 5100 Fax");
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(Log(), kStart +
                       ErrorEntry("VTDeletePnP() -- GetPrinterDriver()",
                                  "Failed to get printer driver information for VT TRX 5100", 5) +
                       "\n");
  // The printers went; their drivers were not read and so stay.
  EXPECT_EQ(Names("printers"), "Office Laser");
  EXPECT_EQ(Names("printer_drivers"), "VT TRX 5100 series,Acme Laser 4,VT TRX 5100 Fax");
}

TEST_F(VTDeletePnPTest, PrinterThatCannotBeDeletedIsReportedAndItsDriverStillTried) {
  AddDevice();
  AddNameFault("DeletePrinter", 5, "VT TRX 5100 Fax");
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(Log(),
            kStart + "\tRemoved VT driver 'VT TRX 5100 series' \n" +
                ErrorEntry("VTDeletePnP() -- DeletePrinter()",
                           "Unable to unregister printer 'VT TRX 5100 Fax' from windows.", 5) +
                "\n");
  // Still used by its printer: the driver's deletion fails without a line.
  EXPECT_EQ(Names("printer_drivers"), "Acme Laser 4,VT TRX 5100 Fax");
}

TEST_F(VTDeletePnPTest, FailedDriverDeletionIsSilent) {
  AddDevice();
  tm.AddFault("DeletePrinterDriverA", 5);
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(Log(), kStart + "\n");
  EXPECT_EQ(Names("printers"), "Office Laser");
}

TEST_F(VTDeletePnPTest, PrinterAndFaxOnOnePortDeleteItOnceThenEndThePortStep) {
  AddDevice();
  tm.m.json["printers"][2]["port"] = "DOT4_001";
  EXPECT_EQ(Run(), 1);
  const std::string log = Log();
  EXPECT_NE(log.find("))) Delete VT port 'DOT4_001' \n\n" +
                     ErrorEntry("DeleteVTPort() in HandlePnP -- DeletePort()",
                                ">>> Unable to remove port 'DOT4_001' \n", 1796) +
                     "))) Remove ZI VeD printer monitors"),
            std::string::npos)
      << log;
  EXPECT_EQ(Names("ports"), "LPT1:,DOT4_002,USB001");
}

TEST_F(VTDeletePnPTest, ComputerNameOfFifteenCharactersIsReadWhole) {
  AddDevice();
  tm.m.system.computer_name = "WORKSTATION-015";
  EXPECT_EQ(Run(), 1);
  EXPECT_TRUE(LogHas("\tRemoved service: 'VtScanSvc' \n"));
  EXPECT_EQ(Names("services"), "Spooler");
  // The name the service manager was given shows when it cannot be reached.
  tm.AddFault("OpenSCManagerA", 1722);
  Run();
  EXPECT_TRUE(LogHas("with computer name '\\\\WORKSTATION-015' \n"));
}

TEST_F(VTDeletePnPTest, UnreadableComputerNameMeansThisPc) {
  AddDevice();
  tm.AddFault("GetComputerNameA", 5);
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(LogHas("OpenSCManager"));
  EXPECT_EQ(Names("services"), "Spooler");
}

}  // namespace
