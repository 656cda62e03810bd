// The parts of vtsim preview that read text: what the restart tried to
// delete, the run log's refusals, and the OEM INF file names.
#include <gtest/gtest.h>

#include "tools/vtsim/preview_changes.h"
#include "tools/vtsim/preview_refusals.h"

namespace {

using vtsim::RestartTargets;
using Paths = std::vector<std::string>;

TEST(RestartTargets, BatchLinesAndPendingDeletesOfBothFamilies) {
  const std::string steps =
      "[reboot] Windows XP starts\n"
      "[pending] delete C:\\WINDOWS\\system32\\VtA.dll -> done\n"
      "[pending] rename C:\\x.tmp -> C:\\x.dll -> done\n"
      "[batch] C:\\WINDOWS\\TEMP\\EraseVtc.bat runs in cmd.exe\n"
      "C:\\WINDOWS\\system32> DEL \"C:\\WINDOWS\\system32\\VtPdMon.exe\"\n"
      "  -> deleted C:\\WINDOWS\\system32\\VtPdMon.exe\n"
      "C:\\> RD \"C:\\Program Files\\Vantrel\\Photo Desk\"\n"
      "C:\\WINDOWS\\SYSTEM> DEL C:\\WINDOWS\\SYSTEM\\VtCwMon.exe\n"
      "C:\\WINDOWS> del /q c:\\a\\b.dll\n"
      "C:\\> rmdir C:\\Old\n"
      "C:\\> CD \"C:\\Program Files\"\n"
      "C:\\> ECHO DEL C:\\not\\this.dll\n";
  EXPECT_EQ(RestartTargets(steps),
            (Paths{"C:\\WINDOWS\\system32\\VtA.dll", "C:\\WINDOWS\\system32\\VtPdMon.exe",
                   "C:\\Program Files\\Vantrel\\Photo Desk", "C:\\WINDOWS\\SYSTEM\\VtCwMon.exe",
                   "c:\\a\\b.dll", "C:\\Old"}));
}

TEST(RestartTargets, SkipsPatternsRelativeNamesAndOutcomeLines) {
  const std::string steps =
      "C:\\TEMP> DEL *.tmp\n"
      "C:\\TEMP> DEL C:\\TEMP\\*.*\n"
      "C:\\TEMP> DEL VtPd.dll\n"
      "  -> C:\\> DEL C:\\x.dll\n"
      "[runonce] EraseVtc: C:\\WINDOWS\\TEMP\\EraseVtc.bat\n";
  EXPECT_EQ(RestartTargets(steps), Paths{});
}

TEST(RestartTargets, SplitsArgumentsAsTheInterpreterDoes) {
  // Comma, semicolon and equals separate arguments outside quotes; inside
  // quotes they belong to the name.
  const std::string steps =
      "C:\\> DEL C:\\a.dll,C:\\b.dll;C:\\c.dll=C:\\d.dll\n"
      "C:\\> DEL \"C:\\x,y.dll\" \"C:\\Program Files\\z.dll\"\n";
  EXPECT_EQ(RestartTargets(steps), (Paths{"C:\\a.dll", "C:\\b.dll", "C:\\c.dll", "C:\\d.dll",
                                          "C:\\x,y.dll", "C:\\Program Files\\z.dll"}));
}

TEST(RunLogRefusals, OnlyRefusalsOfThisRunWithTheirContinuationLines) {
  const std::string earlier = ">>> Skipped unsafe path 'D:\\' \r\n";
  const std::string log = earlier +
                          "==> Deleted file C:\\a.dll \r\n"
                          ">>> Skipped unsafe path 'C:\\' \r\n"
                          ">>> Bad line from registry DAT file: \r\n"
                          "\t'HKLM\\SOFTWARE\\cut'  \r\n"
                          "\tData line number: 7\r\n"
                          "\r\n"
                          "\tnot part of it\r\n"
                          ">>> Unable to remove port 'LPT9:' \r\n"
                          "\tstill not a refusal\r\n"
                          ">>> Not scheduled for deletion on reboot: 'C:\\A B\\x.dll'\r\n"
                          "\tIts short (8.3) path holds a blank. \r\n";
  EXPECT_EQ(vtsim::RefusalsAddedToRunLog(earlier, log),
            (Paths{">>> Skipped unsafe path 'C:\\'",
                   ">>> Bad line from registry DAT file: 'HKLM\\SOFTWARE\\cut' Data line "
                   "number: 7",
                   ">>> Not scheduled for deletion on reboot: 'C:\\A B\\x.dll' Its short (8.3) "
                   "path holds a blank."}));
  EXPECT_EQ(vtsim::RefusalsAddedToRunLog(log, log), Paths{});
  // A log started anew is read whole, however long the old one was.
  const std::string anew = ">>> Skipped unsafe path 'E:\\' \r\n";
  EXPECT_EQ(vtsim::RefusalsAddedToRunLog(log, anew), Paths{">>> Skipped unsafe path 'E:\\'"});
}

TEST(OemInfPath, InfAndPnfOfTheInfFolderOnly) {
  EXPECT_TRUE(vtsim::IsOemInfPath("C:\\WINDOWS\\inf\\oem3.inf"));
  EXPECT_TRUE(vtsim::IsOemInfPath("C:\\WINNT\\INF\\OEM12.PNF"));
  EXPECT_FALSE(vtsim::IsOemInfPath("C:\\WINDOWS\\inf\\usb.inf"));
  EXPECT_FALSE(vtsim::IsOemInfPath("C:\\WINDOWS\\inf\\oem3.ini"));
  EXPECT_FALSE(vtsim::IsOemInfPath("C:\\WINDOWS\\myinf\\oem3.inf"));
  EXPECT_FALSE(vtsim::IsOemInfPath("C:\\WINDOWS\\inf\\"));
  EXPECT_FALSE(vtsim::IsOemInfPath("oem3.inf"));
}

}  // namespace
