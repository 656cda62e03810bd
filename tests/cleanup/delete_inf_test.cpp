// DeleteINF on a simulated PC: which OEM INF files are searched, what is
// removed and what stays, the run log lines and the current directory.
#include <string>

#include "app/main_window.h"
#include "cleanup/inf_seek_and_destroy.h"
#include "cleanup/search_inf_text.h"
#include "cleanup_test_support.h"

namespace {

const std::string kInfDir = "C:\\WINDOWS\\INF";
const char kText[] = "VT TRX 5100 series";
const std::string kNotFound = "\tVT INF file was not found. \n\n";

std::string Inf(const std::string& name) { return kInfDir + "\\" + name; }

std::string Removed(const std::string& path) { return "\tRemoved file " + path + " \n"; }

std::string Wide(const std::string& text) {
  std::string wide = "\xFF\xFE";
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

// An INF file of the device and one of another maker.
const std::string kDeviceInf =
    "[Version]\r\nClass=Printer\r\n[Strings]\r\nModel=\"VT TRX 5100 series\"\r\n";
const std::string kOtherInf = "[Version]\r\nClass=Modem\r\n[Strings]\r\nModel=\"Acme 56K\"\r\n";

class DeleteInfTest : public CleanupTest {
 protected:
  DeleteInfTest() {
    tm.AddDir(kInfDir);
    tm.SetCurrentDir("C:\\Scrubber");
  }
  int DeleteINF(const std::string& text = kText, int index = 0, const std::string& dir = kInfDir) {
    CInfSeekAndDestroy inf;
    return inf.DeleteINF(dir, text, index);
  }
  std::string Current() const { return tm.m.files.current_dir; }
};

TEST_F(DeleteInfTest, RemovesTheMatchingInfAndItsPnfAndNothingElse) {
  tm.AddFile(Inf("OEM2.INF"), kOtherInf);
  tm.AddFile(Inf("OEM2.PNF"), "pnf");
  tm.AddFile(Inf("OEM3.INF"), kDeviceInf);
  tm.AddFile(Inf("OEM3.PNF"), "pnf");
  tm.AddFile(Inf("OEM4.INF"), kDeviceInf);
  tm.AddFile(Inf("OEM4.PNF"), "pnf");
  tm.AddFile(Inf("MDMGEN.INF"), kDeviceInf);
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(), Removed(Inf("OEM3.INF")) + Removed(Inf("OEM3.PNF")) + "\n");
  EXPECT_FALSE(tm.Exists(Inf("OEM3.INF")));
  EXPECT_FALSE(tm.Exists(Inf("OEM3.PNF")));
  // Only the first match goes; other files stay.
  for (const char* name : {"OEM2.INF", "OEM2.PNF", "OEM4.INF", "OEM4.PNF", "MDMGEN.INF"})
    EXPECT_TRUE(tm.Exists(Inf(name))) << name;
  EXPECT_EQ(Current(), "C:\\Scrubber");

  // The next search text starts a new listing and finds the next file.
  EXPECT_EQ(DeleteINF(kText, 1), 1);
  EXPECT_FALSE(tm.Exists(Inf("OEM4.INF")));
  EXPECT_FALSE(tm.Exists(Inf("OEM4.PNF")));
  EXPECT_TRUE(tm.Exists(Inf("OEM2.PNF")));
}

TEST_F(DeleteInfTest, SixteenBitInfMatchesTheEightBitText) {
  tm.AddFile(Inf("OEM1.INF"), kOtherInf);
  tm.AddFile(Inf("OEM12.INF"), Wide(kDeviceInf));
  tm.AddFile(Inf("OEM12.PNF"), "pnf");
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(), Removed(Inf("OEM12.INF")) + Removed(Inf("OEM12.PNF")) + "\n");
  EXPECT_TRUE(tm.Exists(Inf("OEM1.INF")));
}

TEST_F(DeleteInfTest, OnlyNamesWithADigitFourthAreSearched) {
  // Each holds the text: had it been searched, it would have gone.
  tm.AddFile(Inf("OEMX.INF"), kDeviceInf);
  tm.AddFile(Inf("OEM.INF"), kDeviceInf);
  tm.AddDir(Inf("OEM5.INF"));
  tm.AddFile(Inf("OEM7ABC.INF"), kDeviceInf);
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(), Removed(Inf("OEM7ABC.INF")) + "Unable to remove PNF file " + Inf("OEM7ABC.PNF") +
                       " \n\n");
  EXPECT_TRUE(tm.Exists(Inf("OEMX.INF")));
  EXPECT_TRUE(tm.Exists(Inf("OEM.INF")));
  EXPECT_TRUE(tm.IsDir(Inf("OEM5.INF")));
}

TEST_F(DeleteInfTest, NoMatchLeavesEverythingAndSaysSo) {
  tm.AddFile(Inf("OEM0.INF"), kOtherInf);
  tm.AddFile(Inf("OEM0.PNF"), "pnf");
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(), kNotFound);
  EXPECT_TRUE(tm.Exists(Inf("OEM0.INF")));
  EXPECT_TRUE(tm.Exists(Inf("OEM0.PNF")));
  EXPECT_EQ(Current(), "C:\\Scrubber");
}

TEST_F(DeleteInfTest, SizeLimits) {
  // 65536 bytes and an empty file are skipped with a note; 65535 is searched.
  const std::string origin = "CInfSeekAndDestroy::DeleteINF() -- dwLen >= 65536 || dwLen == 0";
  tm.AddFile(Inf("OEM1.INF"), std::string(65536 - 18, 'x') + kText);
  tm.AddFile(Inf("OEM2.INF"), "");
  tm.AddFile(Inf("OEM3.INF"), std::string(65535 - 18, 'x') + kText);
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(
      Log(),
      NoteEntry(origin, "File too big or empty \nFile " + Inf("OEM1.INF") + " is 65536 bytes") +
          NoteEntry(origin, "File too big or empty \nFile " + Inf("OEM2.INF") + " is 0 bytes") +
          Removed(Inf("OEM3.INF")) + "Unable to remove PNF file " + Inf("OEM3.PNF") + " \n\n");
  EXPECT_TRUE(tm.Exists(Inf("OEM1.INF")));
  EXPECT_TRUE(tm.Exists(Inf("OEM2.INF")));
}

TEST_F(DeleteInfTest, UnreadableFilesAreReportedAndTheSearchGoesOn) {
  tm.AddFile(Inf("OEM1.INF"), kDeviceInf);
  tm.SetInUse(Inf("OEM1.INF"));
  tm.AddFile(Inf("OEM2.INF"), kDeviceInf);
  tm.AddFault("ReadFile", 23, Inf("OEM2.INF"));
  tm.AddFile(Inf("OEM3.INF"), kDeviceInf);
  tm.AddFile(Inf("OEM3.PNF"), "pnf");
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(),
            ErrorEntry("CInfSeekAndDestroy::DeleteINF() -- OEMfile.Open()",
                       "Unable to open file '" + Inf("OEM1.INF") + "'.", 32) +
                NoteEntry("CInfSeekAndDestroy::DeleteINF() -- OEMfile.Read",
                          "File '" + Inf("OEM2.INF") + "' read operation failed \nBytes read = 0") +
                Removed(Inf("OEM3.INF")) + Removed(Inf("OEM3.PNF")) + "\n");
  EXPECT_TRUE(tm.Exists(Inf("OEM1.INF")));
  EXPECT_TRUE(tm.Exists(Inf("OEM2.INF")));
  // Every file was closed: none is left open.
  EXPECT_EQ(tm.m.handles.Count(), 0u);
}

TEST_F(DeleteInfTest, FailedDeletionsAreLoggedAndThePnfIsStillTried) {
  tm.AddFile(Inf("OEM3.INF"), kDeviceInf);
  tm.SetReadOnly(Inf("OEM3.INF"));
  tm.AddFile(Inf("OEM3.PNF"), "pnf");
  tm.AddFile(Inf("OEM4.INF"), kDeviceInf);
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(), "Unable to remove INF file " + Inf("OEM3.INF") + " \n" +
                       Removed(Inf("OEM3.PNF")) + "\n" + "\n");
  EXPECT_TRUE(tm.Exists(Inf("OEM3.INF")));
  EXPECT_FALSE(tm.Exists(Inf("OEM3.PNF")));
  // The listing stops all the same.
  EXPECT_TRUE(tm.Exists(Inf("OEM4.INF")));

  tm.AddFile(Inf("OEM3.PNF"), "pnf");
  tm.SetReadOnly(Inf("OEM3.PNF"));
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log().substr(Log().rfind("Unable to remove INF")),
            "Unable to remove INF file " + Inf("OEM3.INF") + " \nUnable to remove PNF file " +
                Inf("OEM3.PNF") + " \n\n");
}

TEST_F(DeleteInfTest, PnfTwinKeepsTheCaseOfTheListing) {
  tm.AddFile(Inf("oem3.inf"), kDeviceInf);
  tm.AddFile(Inf("oem3.pnf"), "pnf");
  EXPECT_EQ(DeleteINF(), 1);
  EXPECT_EQ(Log(), Removed(Inf("oem3.inf")) + Removed(Inf("oem3.Pnf")) + "\n");
  EXPECT_FALSE(tm.Exists(Inf("oem3.pnf")));
}

TEST_F(DeleteInfTest, DirectoryTroublesEndTheSearchAndKeepTheCurrentDirectory) {
  tm.Remove(kInfDir);
  EXPECT_EQ(DeleteINF(), 0);
  EXPECT_EQ(Log(),
            ">>> Unable to change to this directory:\n\t'" + kInfDir + "' \n\tError code = 2 \n");
  EXPECT_EQ(Current(), "C:\\Scrubber");

  tm.AddDir(kInfDir);
  tm.AddFile(Inf("OEM1.INF"), kDeviceInf);
  tm.AddFault("GetCurrentDirectoryA", 8, "", 1);
  EXPECT_EQ(DeleteINF(), 0);
  EXPECT_EQ(Log().substr(Log().find(">>> Origin")),
            ErrorEntry("CInfSeekAndDestroy::DeleteINF() -- GetCurrentDirectory()", "", 8));
  EXPECT_TRUE(tm.Exists(Inf("OEM1.INF")));
  EXPECT_EQ(Current(), "C:\\Scrubber");
}

class InfProgressTest : public DeleteInfTest {
 protected:
  InfProgressTest() { dlg.CreateView(); }
  CCvScrubberDlg dlg;
};

TEST_F(InfProgressTest, EachFileShowsItsNameAndTheSearchItsPosition) {
  tm.AddFile(Inf("OEM1.INF"), std::string(120, 'x'));
  tm.AddFile(Inf("OEM2.INF"), std::string(30, 'x') + kText);
  EXPECT_EQ(DeleteINF(kText, 3), 1);
  EXPECT_EQ(TranscriptLines("[progress] "),
            (std::vector<std::string>{"[progress] (Loop: 3) Reading file OEM1.INF, character 0",
                                      "[progress] (Loop: 3) Reading file OEM1.INF, character 50",
                                      "[progress] (Loop: 3) Reading file OEM1.INF, character 100",
                                      "[progress] (Loop: 3) Reading file OEM2.INF, character 0",
                                      "[progress] (Loop: 3) Reading file OEM2.INF, character 48"}));
  // The name is run-wide state, emptied with the rest of it.
  EXPECT_EQ(g_sInfFileBeingSearched, "OEM2.INF");
  ResetAllRunState();
  EXPECT_EQ(g_sInfFileBeingSearched, "");
}

}  // namespace
