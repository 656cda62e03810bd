// The restart: CReboot's privilege procedure and shutdown call on each Windows
// family, and the restart dialog that runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "app/dialog_ids.h"
#include "app/reboot_dialog.h"
#include "app/run_state.h"
#include "log/run_log.h"
#include "support/test_machine.h"

namespace {

const char kManualBox[] =
    "[box] VT Corvus/TRX Software Uninstaller - Message | Please manually reboot this PC to "
    "complete the uninstall process. | OK | none -> OK";
const char kRestartLine[] = "[restart] Windows restarts: the program ends";

class RebootTest : public ::testing::Test {
 protected:
  explicit RebootTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);  // the run log's folder, found once per run
  }

  std::string Log() const {
    std::string log = tm.ReadFile(*tm.m.system.Directory("temp") + "VtCvScrubber.log");
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
  }
  size_t Tokens() const {
    size_t n = 0;
    for (const auto& entry : tm.m.handles.All())
      n += entry.second->Kind() == sim::HandleKind::Token;
    return n;
  }
  nlohmann::ordered_json Restart() const {
    auto it = tm.m.json.find("restart");
    return it == tm.m.json.end() ? nlohmann::ordered_json() : *it;
  }
  bool HasLine(const std::string& line) const {
    const auto& lines = tm.m.user.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  void WithoutShutdownPrivilege() { tm.m.system.privileges = {"SeTakeOwnershipPrivilege"}; }
  // One privilege failure: its log entry, then Reboot Now asks for a manual restart.
  void ExpectManualRestartAfter(const std::string& origin, const std::string& message) {
    CReboot reboot;
    EXPECT_FALSE(reboot.CanReboot());
    const std::string log = Log();
    EXPECT_EQ(Count(log, ">>> Origin: "), 1u) << log;
    EXPECT_NE(log.find(">>> Origin: CReboot::CReboot() -- " + origin +
                       "()\n\tSystem message: " + message + "\n \n\tAdditional Information: \n\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(reboot.RestartWindows(), IDOK);
    EXPECT_TRUE(HasLine(kManualBox));
    EXPECT_TRUE(Restart().is_null());
  }

  TestMachine tm;
};

class Reboot98Test : public RebootTest {
 protected:
  Reboot98Test() : RebootTest("98") {}
};

TEST_F(Reboot98Test, RestartsThroughExitWindowsExWithoutPrivilegeCallsOrLog) {
  CReboot reboot;
  EXPECT_TRUE(reboot.CanReboot());
  EXPECT_EQ(reboot.RestartWindows(), TRUE);
  EXPECT_EQ(Restart(), nlohmann::ordered_json({{"call", "ExitWindowsEx"}, {"flags", 2}}));
  // Windows 9x answers every privilege call with 120: one made would be logged.
  EXPECT_EQ(Log(), "");
}

TEST_F(RebootTest, VersionOutsideTheTableTakesThe9xPath) {
  // Windows Server 2003 (NT 5.2) is code -1: no privilege procedure, so the
  // reboot request lacks the privilege and fails without a word.
  tm.m.system.version = {VER_PLATFORM_WIN32_NT, 5, 2, 3790, ""};
  CReboot reboot;
  EXPECT_TRUE(reboot.CanReboot());
  EXPECT_EQ(Tokens(), 0u);
  SetLastError(0);
  EXPECT_EQ(reboot.RestartWindows(), FALSE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD));  // ExitWindowsEx's
  EXPECT_TRUE(Restart().is_null());
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(tm.m.user.Lines().empty());
}

TEST_F(RebootTest, XpWithThePrivilegeRestartsThroughInitiateSystemShutdown) {
  {
    CReboot reboot;
    EXPECT_TRUE(reboot.CanReboot());
    EXPECT_EQ(Tokens(), 1u);
    EXPECT_EQ(reboot.RestartWindows(), TRUE);
  }
  EXPECT_EQ(Restart(),
            nlohmann::ordered_json({{"call", "InitiateSystemShutdownA"},
                                    {"message", "The PC needs to reboot to finish uninstall."},
                                    {"timeout", 0},
                                    {"force", true},
                                    {"reboot", true}}));
  EXPECT_EQ(Tokens(), 0u);  // the token is closed with its CReboot
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(tm.m.user.Lines().empty());  // no box
}

TEST_F(RebootTest, PrivilegeNotHeldIsLoggedWith1300AndAsksForAManualRestart) {
  // AdjustTokenPrivileges succeeds, but its last error says the privilege
  // stayed disabled: the shutdown would fail.
  WithoutShutdownPrivilege();
  ExpectManualRestartAfter("AdjustTokenPrivileges",
                           "Not all privileges referenced are assigned to the caller.");
  EXPECT_EQ(Tokens(), 0u);
}

TEST_F(RebootTest, EachFailedPrivilegeCallIsLoggedUnderItsOwnName) {
  tm.AddFault("OpenProcessToken", 5, "", 1);
  ExpectManualRestartAfter("OpenProcessToken", "Access is denied.");
}

TEST_F(RebootTest, FailedLookupIsLogged) {
  tm.AddFault("LookupPrivilegeValueA", 1313, "", 1);
  ExpectManualRestartAfter("LookupPrivilegeValue", "A specified privilege does not exist.");
  EXPECT_EQ(Tokens(), 0u);
}

TEST_F(RebootTest, FailedAdjustmentIsLogged) {
  tm.AddFault("AdjustTokenPrivileges", 5, "", 1);
  ExpectManualRestartAfter("AdjustTokenPrivileges", "Access is denied.");
}

TEST_F(RebootTest, FailedShutdownCallIsNeitherShownNorLogged) {
  tm.AddFault("InitiateSystemShutdownA", 5, "", 1);
  CReboot reboot;
  EXPECT_EQ(reboot.RestartWindows(), FALSE);
  EXPECT_TRUE(Restart().is_null());
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(tm.m.user.Lines().empty());
}

// The dialog

TEST_F(RebootTest, TypedRRestartsAndTheProgramEndsAtItsNextWait) {
  tm.m.user.SetScript("key r\nkey c\n");
  CRebootDlg dlg;
  try {
    dlg.DoModal();
    FAIL() << "the dialog returned";
  } catch (const sim::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  EXPECT_EQ(Restart()["call"], "InitiateSystemShutdownA");
  const std::vector<std::string> expected = {"[window] VT Corvus/TRX Software Uninstaller - Reboot",
                                             "[action] key r", kRestartLine};
  EXPECT_EQ(tm.m.user.Lines(), expected);
  ASSERT_EQ(tm.m.user.Leftover().size(), 1u);  // "key c" never reached the dialog
}

TEST_F(RebootTest, EachPressRepeatsThePrivilegeProcedureAndTheDialogStaysOpen) {
  WithoutShutdownPrivilege();
  tm.m.user.SetScript("press Reboot Now\nkey R\nkey C\n");
  CRebootDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  const std::vector<std::string> expected = {
      "[window] VT Corvus/TRX Software Uninstaller - Reboot",
      "[action] press Reboot Now",
      "[action] auto OK",
      kManualBox,
      "[action] key R",
      "[action] auto OK",
      kManualBox,
      "[action] key C",
      "[closed] VT Corvus/TRX Software Uninstaller - Reboot -> 2"};
  EXPECT_EQ(tm.m.user.Lines(), expected);
  EXPECT_EQ(Count(Log(), ">>> Origin: CReboot::CReboot() -- AdjustTokenPrivileges()"), 2u);
}

TEST_F(RebootTest, EscapeCloseAndCancelEndTheDialogWithoutARestart) {
  tm.m.user.SetScript("key Escape\nclose\npress Cancel\nkey c\n");
  CRebootDlg dlg;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(Restart().is_null());
  EXPECT_EQ(Log(), "");
}

TEST_F(RebootTest, TheTerminalShowsTheTextsAndToolTips) {
  std::istringstream input("press Cancel\n");
  std::ostringstream shown;
  tm.m.user.SetTerminal(input, shown);
  CRebootDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_NE(shown.str().find("Window \"VT Corvus/TRX Software Uninstaller - Reboot\"\n"
                             "  To complete the removal of the VT software, the PC needs to "
                             "reboot.\n"
                             "  A DOS or Command  window may appears during the next reboot.\n"
                             "Buttons: Reboot Now, Cancel\n"
                             "  Tip on Reboot Now: Reboot the PC now\n"
                             "  Tip on Cancel: Exit the application\n"),
            std::string::npos)
      << shown.str();
}

TEST_F(RebootTest, AWaitingMessageBoxEndsTheProgramToo) {
  CReboot reboot;
  ASSERT_EQ(reboot.RestartWindows(), TRUE);
  try {
    MessageBoxA(nullptr, "Still here?", "Cap", MB_YESNO);
    FAIL() << "the box was answered";
  } catch (const sim::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  EXPECT_TRUE(HasLine(kRestartLine));
  EXPECT_FALSE(HasLine("[box] Cap | Still here? | Yes/No | none -> Yes"));
}

}  // namespace
