// The restore point: the calls made to System Restore and the log lines, on
// their own (RestorePointTest) and around a whole scrub of the XP sample PC
// (RestorePointRunTest).
#include "journal/restore_point.h"

#include <gtest/gtest.h>

#include <functional>
#include <streambuf>
#include <string>

#include "app/sample_run.h"
#include "log/run_log.h"
#include "sim/image.h"
#include "support/test_machine.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

const char kLogPath[] = "C:\\WINDOWS\\TEMP\\VtCvScrubber.log";
const char kDevice[] = "VT TRX 5100 series, Photo Desk 1.10";

// Resets the log and fixes its folder on the current PC, as the start-up does.
void StartLog() {
  ResetRunLogState();
  SetLogSwitch(nullptr);
  char dir[260];
  GetRunLogDir(dir);
}

unsigned CallsOf(const sim::Machine& m, const char* call) {
  auto it = m.faults.seen.find(call);
  return it == m.faults.seen.end() ? 0 : it->second.count;
}

class RestorePointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartLog();
    g_RestorePoint.Reset();
  }
  void TearDown() override {
    g_RestorePoint.Reset();
    ResetRunLogState();
  }
  std::string Log() const { return tm.ReadFile(kLogPath); }
  const Json& Points() { return tm.m.json["system_restore"]["points"]; }

  TestMachine tm;
};

TEST_F(RestorePointTest, BeginsOnePointAndEndsIt) {
  ASSERT_TRUE(g_RestorePoint.Begin(kDevice, 5));
  EXPECT_TRUE(g_RestorePoint.IsBegun());
  ASSERT_EQ(Points().size(), 1u);
  EXPECT_EQ(Points()[0]["sequence"], 1);
  EXPECT_EQ(Points()[0]["description"], std::string("Removed ") + kDevice);
  EXPECT_EQ(Points()[0]["type"], 1);  // APPLICATION_UNINSTALL
  EXPECT_EQ(Points()[0]["state"], "begun");
  g_RestorePoint.End();
  g_RestorePoint.End();       // once only
  g_RestorePoint.EndEarly();  // nothing left to end
  EXPECT_EQ(Points()[0]["state"], "ended");
  EXPECT_EQ(CallsOf(tm.m, "SRSetRestorePointA"), 2u);
  EXPECT_EQ(Log(),
            "Restore point 1 set before the removal: Removed VT TRX 5100 series, Photo Desk 1.10 "
            "\r\nRestore point 1 ended: the removal is complete. \r\n");
}

TEST_F(RestorePointTest, EndedEarlyThePointStaysAndNumbersGoOn) {
  tm.m.json["system_restore"] = {
      {"points", {{{"sequence", 17}, {"description", "Windows Update"}, {"state", "ended"}}}}};
  ASSERT_TRUE(g_RestorePoint.Begin(kDevice, 5));
  EXPECT_EQ(g_RestorePoint.Sequence(), 18);
  g_RestorePoint.EndEarly();
  g_RestorePoint.End();            // once only
  ASSERT_EQ(Points().size(), 2u);  // the earlier point stays, and so does this one
  EXPECT_EQ(Points()[1]["sequence"], 18);
  EXPECT_EQ(Points()[1]["state"], "ended");
  EXPECT_EQ(tm.m.json["system_restore"]["next_sequence"], 19);
  EXPECT_EQ(CallsOf(tm.m, "SRSetRestorePointA"), 2u);
  EXPECT_EQ(Log(),
            "Restore point 18 set before the removal: Removed VT TRX 5100 series, Photo Desk 1.10 "
            "\r\nRestore point 18 ended early: the removal stopped, and System Restore can put "
            "back what it had removed. \r\n");
}

TEST_F(RestorePointTest, WindowsMeHasOneToo) {
  TestMachine me("me");
  ASSERT_TRUE(g_RestorePoint.Begin("VT Corvus W series", 2));
  EXPECT_EQ(me.m.json["system_restore"]["points"][0]["description"], "Removed VT Corvus W series");
}

TEST_F(RestorePointTest, DescriptionIsCutToItsField) {
  const std::string name(80, 'x');
  EXPECT_EQ(RestorePointDescription(name), "Removed " + std::string(55, 'x'));
  ASSERT_TRUE(g_RestorePoint.Begin(name, 5));
  EXPECT_EQ(Points()[0]["description"], "Removed " + std::string(55, 'x'));
}

TEST_F(RestorePointTest, FailedBeginIsLoggedWithItsStatusAndNeverEnded) {
  tm.m.json["system_restore"] = {{"enabled", false}};
  EXPECT_FALSE(g_RestorePoint.Begin(kDevice, 5));
  EXPECT_FALSE(g_RestorePoint.IsBegun());
  g_RestorePoint.End();
  g_RestorePoint.EndEarly();
  EXPECT_EQ(CallsOf(tm.m, "SRSetRestorePointA"), 1u);
  EXPECT_EQ(Log(),
            ">>> No restore point was set: SRSetRestorePointA returned FALSE. Status = "
            "1058 \r\n");
}

TEST_F(RestorePointTest, FaultedBeginIsLoggedAsFailed) {
  tm.AddFault("SRSetRestorePointA", 112, "", 1);
  EXPECT_FALSE(g_RestorePoint.Begin(kDevice, 5));
  EXPECT_EQ(Log(),
            ">>> No restore point was set: SRSetRestorePointA returned FALSE. Status = "
            "112 \r\n");
  EXPECT_FALSE(tm.m.json.contains("system_restore"));
}

TEST_F(RestorePointTest, FailedEndIsLoggedAsFailed) {
  ASSERT_TRUE(g_RestorePoint.Begin(kDevice, 5));
  // System Restore dropped the point meanwhile (out of disk space, say).
  tm.m.json["system_restore"]["points"] = Json::array();
  g_RestorePoint.End();
  EXPECT_NE(Log().find(">>> Unable to end restore point 1: SRSetRestorePointA returned FALSE. "
                       "Status = 13 \r\n"),
            std::string::npos);
  EXPECT_EQ(Log().find("ended:"), std::string::npos);
}

TEST_F(RestorePointTest, NoneOnVersionsWithoutSystemRestore) {
  for (const char* version : {"95", "98", "nt4", "2000"}) {
    SCOPED_TRACE(version);
    TestMachine other(version);
    StartLog();
    const int code = std::string(version) == "95"    ? 0
                     : std::string(version) == "98"  ? 1
                     : std::string(version) == "nt4" ? 3
                                                     : 4;
    EXPECT_FALSE(g_RestorePoint.Begin(kDevice, code));
    EXPECT_EQ(other.ReadFile(version[0] == '9' ? kLogPath : "C:\\WINNT\\TEMP\\VtCvScrubber.log"),
              "No restore point can be made: this version of Windows has no System Restore. "
              "\r\n");
    EXPECT_EQ(CallsOf(other.m, "LoadLibraryA"), 0u);
    g_RestorePoint.EndEarly();
    EXPECT_EQ(CallsOf(other.m, "SRSetRestorePointA"), 0u);
  }
}

TEST_F(RestorePointTest, NoneWithoutTheLibraryOrTheFunction) {
  tm.m.json["system_restore"] = {{"present", false}};
  EXPECT_FALSE(g_RestorePoint.Begin(kDevice, 5));
  EXPECT_EQ(Log(),
            "No restore point can be made: srclient.dll could not be loaded. Error code = "
            "126 \r\n");
  tm.Remove(kLogPath);
  tm.m.json.erase("system_restore");
  tm.AddFault("GetProcAddress", 127);
  EXPECT_FALSE(g_RestorePoint.Begin(kDevice, 5));
  EXPECT_EQ(Log(),
            "No restore point can be made: SRSetRestorePointA is missing from "
            "srclient.dll. Error code = 127 \r\n");
  EXPECT_EQ(CallsOf(tm.m, "SRSetRestorePointA"), 0u);
}

// machine.json "system_restore" as vtsim check and the loader take it.
std::string RestoreImageError(const std::string& systemRestore) {
  TestMachine host;
  const fs::path dir = fs::path(host.ImageDir()) / "img";
  fs::create_directories(dir / "drives/C/Scrubber");
  std::ofstream(dir / "registry.reg", std::ios::binary) << "REGEDIT4\r\n\r\n";
  std::ofstream(dir / "machine.json", std::ios::binary)
      << R"({"windows": "xp", "directories": {"current": "C:\\Scrubber", "temp": "C:\\",
            "windows": "C:\\", "system": "C:\\"}, "system_restore": )"
      << systemRestore << "}";
  sim::Machine m;
  std::string error;
  return sim::LoadImage(dir.string(), m, &error) ? "ok" : error;
}

TEST(RestorePointImageTest, PointsAreCheckedWhenTheImageLoads) {
  EXPECT_EQ(RestoreImageError(R"({"enabled": true, "next_sequence": 5, "points": [
      {"sequence": 3, "description": "a", "type": 0, "state": "ended"},
      {"sequence": 4, "state": "begun"}]})"),
            "ok");
  EXPECT_NE(RestoreImageError(R"({"points": [{"sequence": 3}, {"sequence": 3}]})")
                .find("system_restore.points[1].sequence: a sequence number an earlier restore "
                      "point already has"),
            std::string::npos);
  EXPECT_NE(RestoreImageError(R"({"points": [{"sequence": 3, "state": "cancelled"}]})"), "ok");
  EXPECT_NE(RestoreImageError(R"({"points": [{"description": "no number"}]})"), "ok");
  EXPECT_NE(RestoreImageError(R"({"enabeld": false})"), "ok");
}

// Whole scrubs of the XP sample PC with the control file's switch on or off.
class RestorePointRunTest : public SampleRun {
 protected:
  fs::path CopyWithSwitch(bool on) {
    const fs::path work = Copy("xp");
    if (on) {
      Replace(work / "drives/C/Scrubber/VtCvScrubber.ini", "[VT TRX 5100 series -- Common]\r\n",
              "[VT TRX 5100 series -- Common]\r\nRestorePoint=1\r\n");
    }
    return work;
  }
  // The states of point `n` when each transcript line was written.
  std::string StateOfPoint(size_t n) {
    auto s = m.json.find("system_restore");
    if (s == m.json.end() || !s->contains("points") || (*s)["points"].size() <= n) return "none";
    return (*s)["points"][n].value("state", "");
  }
  Json PointsAfter() {
    auto s = m.json.find("system_restore");
    return s == m.json.end() ? Json::array() : s->value("points", Json::array());
  }
};

const char kFullRun[] = "press Yes\npress OK\npress Cancel\n";

TEST_F(RestorePointRunTest, SwitchOffMakesNoCallAndNoLogLine) {
  Start(CopyWithSwitch(false), kFullRun);
  dlg.UninstallSelectedDevice();
  EXPECT_EQ(CallsOf(m, "SRSetRestorePointA"), 0u);
  for (const auto& subjects : m.faults.seen["LoadLibraryA"].distinct)
    EXPECT_NE(subjects[0], "srclient.dll");
  EXPECT_EQ(LogOnDisk().find("estore point"), std::string::npos);
  EXPECT_FALSE(m.json.contains("system_restore"));
}

TEST_F(RestorePointRunTest, OnePointBracketsTheWholeRemoval) {
  Start(CopyWithSwitch(true), kFullRun);
  std::string atInstaller, atReboot;
  // The first removal step starts the installer; the reboot dialog comes after the last.
  struct Tap : std::streambuf {
    std::function<void(const std::string&)> seen;
    std::string line;
    int overflow(int c) override {
      if (c == '\n') {
        seen(line);
        line.clear();
      } else if (c != traits_type::eof()) {
        line += static_cast<char>(c);
      }
      return c == traits_type::eof() ? 0 : c;
    }
  } tap;
  tap.seen = [&](const std::string& line) {
    if (line.rfind("[process] msiexec", 0) == 0 && atInstaller.empty())
      atInstaller = StateOfPoint(0);
    if (line.find("- Reboot") != std::string::npos && atReboot.empty()) atReboot = StateOfPoint(0);
  };
  std::ostream stream(&tap);
  m.user.SetTranscriptStream(&stream);
  dlg.UninstallSelectedDevice();
  m.user.SetTranscriptStream(nullptr);
  EXPECT_EQ(atInstaller, "begun");
  EXPECT_EQ(atReboot, "ended");
  EXPECT_EQ(PointsAfter().size(), 1u);
  EXPECT_EQ(CallsOf(m, "SRSetRestorePointA"), 2u);
  const std::string log = LogOnDisk();
  EXPECT_EQ(Count(log, "Restore point 1 set before the removal: Removed " + std::string(kDevice)),
            1);
  EXPECT_EQ(Count(log, "Restore point 1 ended"), 1);
}

// A run that stops after removal steps keeps its point: System Restore can
// still put back what those steps removed (a cancelled point would be gone).
TEST_F(RestorePointRunTest, EarlyExitEndsThePointSoItStaysUsable) {
  const fs::path work = CopyWithSwitch(true);
  std::ofstream(work / "drives/C/Scrubber/Trx5100RegNT.dat", std::ios::trunc) << "; none\r\n";
  Start(work, "press Yes\npress OK\npress OK\n");
  dlg.UninstallSelectedDevice();
  ASSERT_EQ(PointsAfter().size(), 1u);
  EXPECT_EQ(PointsAfter()[0]["state"], "ended");
  EXPECT_EQ(CallsOf(m, "SRSetRestorePointA"), 2u);
  const std::string log = LogOnDisk();
  EXPECT_EQ(Count(log, "Restore point 1 ended early"), 1);
  EXPECT_EQ(Count(log, "cancelled"), 0);
  // Ended before the footer: the line belongs to the run.
  EXPECT_LT(log.find("Restore point 1 ended early"), log.find("End of VtCvScrubber.Log"));
}

TEST_F(RestorePointRunTest, ProcessEndEndsThePoint) {
  Start(CopyWithSwitch(true), "press Yes\npress OK\npress OK\n");
  m.json["setupapi"] = {{"missing", {"SetupDiCallClassInstaller"}}};
  EXPECT_THROW(dlg.UninstallSelectedDevice(), sim::ProcessExit);
  ASSERT_EQ(PointsAfter().size(), 1u);
  EXPECT_EQ(PointsAfter()[0]["state"], "ended");
  EXPECT_EQ(Count(LogOnDisk(), "Restore point 1 ended early"), 1);
}

TEST_F(RestorePointRunTest, FailedBeginLetsTheRunGoOnWithoutEnd) {
  Start(CopyWithSwitch(true), kFullRun);
  m.json["system_restore"] = {{"enabled", false}};
  dlg.UninstallSelectedDevice();
  EXPECT_EQ(CallsOf(m, "SRSetRestorePointA"), 1u);
  const std::string log = LogOnDisk();
  EXPECT_EQ(Count(log, ">>> No restore point was set"), 1);
  EXPECT_EQ(Count(log, "Restore point "), 0);
  EXPECT_EQ(Count(log, "End of VtCvScrubber.Log"), 1);  // the run reached its end
}

}  // namespace
