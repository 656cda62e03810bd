// Records of removed printers, drivers, services, ports, monitors, devices
// and packages: written before each goes, and nothing goes without one.
#include "journal/undo_journal.h"
#include "printing/printing_test_support.h"

namespace {

const char kRemoved[] = "C:\\WINDOWS\\TEMP\\VtUndo.001\\Removed.txt";

class JournalRecordsTest : public PrintingTest {
 protected:
  void TearDown() override { g_UndoJournal.Reset(); }
  int Run() {
    return VTDeletePnP("VT TRX 5100 series", "vt trx 5100 FAX", List({"vid_1234&pid_5678"}),
                       List({"Image", "printer"}), List({"VT Dot4 Monitor"}),
                       List({"VtScanSvc", "VtStatusMon"}), List({kProduct}), 240000, 0, 5);
  }
};

TEST_F(JournalRecordsTest, EachRemovedItemIsRecordedAndLogged) {
  AddDevice();
  AddProduct();
  ASSERT_TRUE(g_UndoJournal.Open());
  EXPECT_EQ(Run(), 1);
  std::string records = tm.ReadFile(kRemoved);
  // The package line carries its display name after the code.
  const std::string package = std::string("installer package\t") + kProduct + " ";
  ASSERT_EQ(records.rfind(package, 0), 0u) << records;
  records.erase(0, records.find("\r\n") + 2);
  EXPECT_EQ(records,
            "printer\tVT TRX 5100\r\n"
            "printer driver\tVT TRX 5100 series\r\n"
            "printer\tVT TRX 5100 Fax\r\n"
            "printer driver\tVT TRX 5100 Fax\r\n"
            "service\tVtScanSvc\r\n"
            "service\tVtStatusMon\r\n"
            "port\tDOT4_001\r\n"
            "port\tDOT4_002\r\n"
            "print monitor\tVT Dot4 Monitor\r\n"
            "device\tUSB\\VID_1234&PID_5678&REV_0100\r\n"
            "device\tDOT4\\VID_1234&PID_5678&PRINT\r\n");
  EXPECT_TRUE(LogHas("\tThe restore script cannot put back service 'VtScanSvc' \n"));
  EXPECT_EQ(Names("printers"), "Office Laser");
}

TEST_F(JournalRecordsTest, NothingIsRemovedWithoutItsRecord) {
  AddDevice();
  AddProduct();
  ASSERT_TRUE(g_UndoJournal.Open());
  tm.AddFault("CreateFileA", 5, kRemoved);
  Run();
  EXPECT_EQ(Names("printers"), "VT TRX 5100,Office Laser,VT TRX 5100 Fax");
  EXPECT_EQ(Names("printer_drivers"), "VT TRX 5100 series,Acme Laser 4,VT TRX 5100 Fax");
  EXPECT_EQ(Names("ports"), "LPT1:,DOT4_001,DOT4_002,USB001");
  EXPECT_EQ(Names("monitors"), "Local Port,VT Dot4 Monitor,Acme Net Port");
  EXPECT_EQ(Names("services"), "VtScanSvc,Spooler,VtStatusMon");
  EXPECT_EQ(DeviceCount(), 4u);
  EXPECT_NE(tm.m.registry.Find(kProductKey), nullptr);
  // Still running: not even stopped.
  EXPECT_EQ(tm.m.json["services"][0]["state"], "running");
  EXPECT_TRUE(LogHas(">>> Not removed: port 'DOT4_001' \n"));
  EXPECT_TRUE(LogHas(">>> Not removed: service 'VtScanSvc' \n"));
}

// Each step on its own too: the port and monitor steps get their lists from
// the control file, not from printers that went before.
TEST_F(JournalRecordsTest, PortAndMonitorStayWithoutTheirRecords) {
  AddDevice();
  // Nothing holds them: only the record keeps them.
  tm.m.json["printers"] = Json::array();
  tm.m.json["port_monitors"] = Json::object();
  ASSERT_TRUE(g_UndoJournal.Open());
  tm.AddFault("CreateFileA", 5, kRemoved);
  DeleteVTPort(List({"DOT4_001"}));
  VTDeleteMonitors(List({"VT Dot4 Monitor"}));
  EXPECT_EQ(Names("ports"), "LPT1:,DOT4_001,DOT4_002,USB001");
  EXPECT_EQ(Names("monitors"), "Local Port,VT Dot4 Monitor,Acme Net Port");
  EXPECT_TRUE(LogHas(">>> Not removed: print monitor 'VT Dot4 Monitor' \n"));
}

}  // namespace
