// The port, monitor and service steps on their own: matching rules, reports
// and what each failure leaves.
#include "printing/printing_test_support.h"

namespace {

using PortTest = PrintingTest;

TEST_F(PortTest, OnlyDot4PortsWithThatCaseAreDeleted) {
  AddDevice();
  tm.m.json["printers"] = Json::array();
  tm.m.json["ports"] = Json::parse(R"(["LPT1:", "dot4_003", "USB001", "DOT4_002"])");
  EXPECT_EQ(DeleteVTPort(List({"LPT1:", "dot4_003", "USB001", "DOT4_002"})), 1);
  EXPECT_EQ(Log(), "))) Delete VT port 'DOT4_002' \n\n");
  EXPECT_EQ(Names("ports"), "LPT1:,dot4_003,USB001");
}

TEST_F(PortTest, FirstFailureEndsTheStep) {
  tm.m.json["ports"] = Json::parse(R"(["DOT4_001", "DOT4_002"])");
  AddNameFault("DeletePortA", 5, "DOT4_001");
  EXPECT_EQ(DeleteVTPort(List({"DOT4_001", "DOT4_002"})), 0);
  EXPECT_EQ(Log(), ErrorEntry("DeleteVTPort() in HandlePnP -- DeletePort()",
                              ">>> Unable to remove port 'DOT4_001' \n", 5));
  EXPECT_EQ(Names("ports"), "DOT4_001,DOT4_002");
}

using MonitorTest = PrintingTest;

TEST_F(MonitorTest, ListNamesMatchInstalledOnesWithoutCase) {
  AddDevice();
  tm.m.json["port_monitors"] = Json::object();
  EXPECT_EQ(VTDeleteMonitors(List({"vt dot4 MONITOR", "Nowhere Monitor"})), 1);
  // The list's spelling is logged; a name nobody installed leaves no line.
  EXPECT_EQ(Log(),
            "))) Remove ZI VeD printer monitors from Windows.\n"
            "\tRemoved VT monitor 'vt dot4 MONITOR' ");
  EXPECT_EQ(Names("monitors"), "Local Port,Acme Net Port");
}

TEST_F(MonitorTest, EmptyListIsANoteAndCountsAsDone) {
  AddDevice();
  EXPECT_EQ(VTDeleteMonitors(CStringArray()), 1);
  EXPECT_EQ(Log(),
            "))) Remove ZI VeD printer monitors from Windows.\n"
            ">>> Origin: HandlePnP -- VTDeleteMonitors(): Size == 0\n"
            "\t*** Monitor list is empty \n\n \n\n");
}

TEST_F(MonitorTest, FailedDeletionIsReportedAndTheNextNameFollows) {
  AddDevice();
  tm.m.json["monitors"] = Json::parse(R"(["Local Port", "VT Dot4 Monitor", "VT Fax Monitor"])");
  // The monitor still controls a port in use.
  EXPECT_EQ(VTDeleteMonitors(List({"VT Dot4 Monitor", "VT Fax Monitor"})), 1);
  EXPECT_EQ(Log(),
            "))) Remove ZI VeD printer monitors from Windows.\n" +
                ErrorEntry("HandlePnP -- VTDeleteMonitors(): DeleteMonitor()",
                           ">>> Error: Unable to remove monitor 'VT Dot4 Monitor' \n", 3008) +
                "\tRemoved VT monitor 'VT Fax Monitor' ");
  EXPECT_EQ(Names("monitors"), "Local Port,VT Dot4 Monitor");
}

TEST_F(MonitorTest, NoInstalledMonitorsEndsTheStep) {
  AddDevice();
  tm.AddFault("EnumMonitorsA", 1722);
  EXPECT_EQ(VTDeleteMonitors(List({"VT Dot4 Monitor"})), 0);
  EXPECT_EQ(Log(),
            "))) Remove ZI VeD printer monitors from Windows.\n" +
                ErrorEntry("HandlePnP -- VTDeleteMonitors(): EnumMonitors()",
                           ">>> Error: Unable to remove monitor 'EnumMonitors() = 0' \n", 1722));
}

using ServiceTest = PrintingTest;

const std::string kBanner = "))) Remove ZI VeD printer services from Windows.\n";

std::string NotRemoved(const std::string& call, const std::string& name, DWORD code) {
  return ErrorEntry("DeleteServices() in HandlePnP -- " + call,
                    ">>> Unable to remove service '" + name + "' \n", code);
}

TEST_F(ServiceTest, RunningServiceIsStoppedAndDeletedOthersStay) {
  AddDevice();
  DeleteServices(List({"VtScanSvc", "NoSuchSvc"}), "SHOP-PC");
  EXPECT_EQ(Log(), kBanner + "\tRemoved service: 'VtScanSvc' \n\n");
  EXPECT_EQ(Names("services"), "Spooler,VtStatusMon");
}

TEST_F(ServiceTest, ServiceAlreadyMarkedIsLoggedForTheNextReboot) {
  // It ignores the stop control, so the first deletion only marks it.
  tm.m.json["services"] = Json::parse(R"([{"name": "VtScanSvc", "accepts_stop": false}])");
  DeleteServices(List({"VtScanSvc"}), "SHOP-PC");
  DeleteServices(List({"VtScanSvc"}), "SHOP-PC");
  const std::string refused = NotRemoved("ControlService()", "VtScanSvc", 1052);
  EXPECT_EQ(Log(), kBanner + refused + "\tRemoved service: 'VtScanSvc' \n\n" + kBanner + refused +
                       "\tAt next reboot, remove service 'VtScanSvc' \n\n");
  EXPECT_EQ(Names("services"), "VtScanSvc");
}

TEST_F(ServiceTest, ConfigurationSizeFailureSkipsToTheNextService) {
  AddDevice();
  tm.AddFault("QueryServiceConfigA", 6, "", 1);
  DeleteServices(List({"VtStatusMon", "VtScanSvc"}), "SHOP-PC");
  EXPECT_EQ(Log(), kBanner + NotRemoved("QueryServiceConfig() 1", "VtStatusMon", 6) +
                       "\tRemoved service: 'VtScanSvc' \n\n");
  EXPECT_EQ(Names("services"), "Spooler,VtStatusMon");
}

TEST_F(ServiceTest, ConfigurationReadFailureSkipsTheService) {
  AddDevice();
  // The size query fails with 122 as it should; the read itself then fails.
  tm.AddFault("QueryServiceConfigA", 122, "", 1);
  tm.AddFault("QueryServiceConfigA", 6, "", 1);
  DeleteServices(List({"VtStatusMon"}), "SHOP-PC");
  EXPECT_EQ(Log(), kBanner + NotRemoved("QueryServiceConfig() 2", "VtStatusMon", 6) + "\n");
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
}

TEST_F(ServiceTest, UnknownStatusIsReportedAndTheServiceStillDeleted) {
  AddDevice();
  tm.AddFault("QueryServiceStatus", 6);
  DeleteServices(List({"VtStatusMon"}), "SHOP-PC");
  EXPECT_EQ(Log(), kBanner + NotRemoved("QueryServiceConfig() 3", "VtStatusMon", 6) +
                       "\tRemoved service: 'VtStatusMon' \n\n");
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler");
}

TEST_F(ServiceTest, RefusedDeletionIsReported) {
  AddDevice();
  tm.AddFault("DeleteService", 5);
  DeleteServices(List({"VtStatusMon"}), "SHOP-PC");
  EXPECT_EQ(Log(), kBanner + NotRemoved("DeleteService()", "VtStatusMon", 5) + "\n");
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
}

TEST_F(ServiceTest, EmptyListIsANote) {
  DeleteServices(CStringArray(), "SHOP-PC");
  EXPECT_EQ(Log(), kBanner +
                       ">>> Origin: HandlePnP -- DeleteServices(): Size == 0\n"
                       "\t*** Services list is empty \n\n \n\n");
}

TEST_F(ServiceTest, MachineNameGetsTwoBackslashesUnlessItHasThem) {
  AddDevice();
  tm.AddFault("OpenSCManagerA", 1722);
  DeleteServices(List({"VtScanSvc"}), "SHOP-PC");
  DeleteServices(List({"VtScanSvc"}), "\\\\SHOP-PC");
  DeleteServices(List({"VtScanSvc"}), "X\\Y");
  const std::string origin = "DeleteServices() in HandlePnP -- OpenSCManager()";
  const std::string detail = ">>> Unable to contact Windows System Manager with computer name '";
  EXPECT_EQ(Log(), kBanner + ErrorEntry(origin, detail + "\\\\SHOP-PC' \n", 1722) + kBanner +
                       ErrorEntry(origin, detail + "\\\\SHOP-PC' \n", 1722) + kBanner +
                       ErrorEntry(origin, detail + "X\\Y' \n", 1722));
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
}

TEST_F(ServiceTest, AnotherPcsNameReachesNoServiceManager) {
  AddDevice();
  DeleteServices(List({"VtScanSvc"}), "OTHER-PC");
  EXPECT_TRUE(LogHas("computer name '\\\\OTHER-PC' \n"));
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
}

}  // namespace
