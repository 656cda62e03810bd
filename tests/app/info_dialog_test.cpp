// The information dialog's text: the information file streamed in, the
// missing-file and open-failure branches, and Copy to the clipboard with
// each of its steps failing.
#include "app/info_dialog.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/dialog_ids.h"
#include "app/run_state.h"
#include "discovery/detection.h"
#include "log/run_log.h"
#include "resources/string_table.h"
#include "support/test_machine.h"

namespace {

const char kLogPath[] = "C:\\WINDOWS\\TEMP\\VtCvScrubber.log";
const char kInfo2[] = "C:\\Scrubber\\VtCvScrubber2.RTF";
const char kRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
    "\\uc1\\pard\\f0\\fs18{\\b Vantrel} devices\\par\r\n"
    "Unplug the cable.\\tab Then press Yes.\\par\r\n}";
const char kText[] = "Vantrel devices\r\nUnplug the cable.\tThen press Yes.";

class InfoDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllRunState();
    SetLogSwitch(&logOn_);
    char dir[MAX_PATH];
    GetRunLogDir(dir);  // the log goes to the temporary directory, as in a run
  }
  void TearDown() override { SetLogSwitch(nullptr); }

  // Runs the dialog with file 2 in `mode` and returns its result.
  int Run(const std::string& script, int mode = 3) {
    tm.m.user.SetScript(script);
    CInfoDlg info;
    info.m_szChosenDevice = "VT TRX 5100 series";
    info.SetInfoFile(IDS_INFO_FILE_2);
    info.SetInfoMode(mode);
    return info.DoModal();
  }
  bool HasLine(const std::string& line) const {
    for (const std::string& l : tm.m.user.Lines()) {
      if (l == line) return true;
    }
    return false;
  }
  int CountTagged(const std::string& tag) const {
    int n = 0;
    for (const std::string& l : tm.m.user.Lines()) n += l.compare(0, tag.size(), tag) == 0;
    return n;
  }

  TestMachine tm;

 private:
  int logOn_ = 1;
};

TEST_F(InfoDialogTest, TheInformationTextIsShownLineByLineBeforeTheFoundDevices) {
  SetModelDetected(kModelTRX5100, true);
  tm.AddFile(kInfo2, kRtf);
  EXPECT_EQ(Run("press Yes\n"), 1);
  const std::vector<std::string> expected = {
      "[window] VT Corvus/TRX Software Uninstaller - Confirmation",
      "[list] 1026: VT TRX 5100 series",
      "[text] 1017: Vantrel devices",
      "[text] 1017: Unplug the cable.\\tThen press Yes.",
      "[list] 1025: VT TRX 5100 series",
      "[action] press Yes",
      "[closed] VT Corvus/TRX Software Uninstaller - Confirmation -> 1"};
  EXPECT_EQ(tm.m.user.Lines(), expected);
  EXPECT_FALSE(tm.Exists(kLogPath));  // nothing went wrong
}

TEST_F(InfoDialogTest, ALongFileArrivesWholeAcrossTheControlsChunks) {
  std::string rtf = "{\\rtf1\\ansi ";
  std::string text;
  for (int i = 0; i < 400; ++i) {
    const std::string line = "Line " + std::to_string(i) + " of the information text";
    rtf += line + "\\par\r\n";
    text += line + (i < 399 ? "\r\n" : "");
  }
  rtf += "}";
  ASSERT_GT(rtf.size(), 3u * 4096u);
  tm.AddFile(kInfo2, rtf);
  EXPECT_EQ(Run("copy\npress No\n"), 2);
  EXPECT_EQ(CountTagged("[text] 1017: "), 400);
  EXPECT_TRUE(HasLine("[text] 1017: Line 399 of the information text"));
  EXPECT_EQ(tm.m.clipboard.Text(tm.m), text);
}

TEST_F(InfoDialogTest, MissingFileIsLoggedAndBoxedThenTheQuestionIsAsked) {
  tm.AddFile(kInfo2, kRtf);
  tm.SetCurrentDir("C:\\Elsewhere");
  EXPECT_EQ(Run("press No\n"), 2);
  const std::string path = "C:\\\\Elsewhere\\\\VtCvScrubber2.RTF";
  EXPECT_TRUE(HasLine(
      "[box] Vantrel AiO Uninstall Utility | Unable to find an information file to display in the "
      "window. \\nMissing file is '" +
      path +
      "' \\nAlthough this file is missing, this application should be able to continue running "
      "normally. | OK | information -> OK"));
  EXPECT_EQ(CountTagged("[text]"), 0);
  EXPECT_EQ(tm.m.user.Lines().back(),
            "[closed] VT Corvus/TRX Software Uninstaller - Confirmation -> 2");
  EXPECT_NE(tm.ReadFile(kLogPath).find(
                ">>> Origin: CInfoDlg::ReadRichEditFile() -- _tfindfirst()\r\n"
                "\tUnable to find file at \"C:\\Elsewhere\\VtCvScrubber2.RTF\".\r\nError: File "
                "specification could not be matched (meaning, File Not Found). \r\n\r\n"),
            std::string::npos);
}

TEST_F(InfoDialogTest, TheRootDirectoryGetsNoSecondBackslash) {
  tm.SetCurrentDir("C:\\");
  Run("press No\n");
  EXPECT_EQ(CountTagged("[box] Vantrel AiO Uninstall Utility | Unable to find an information file "
                        "to display in the window. \\nMissing file is 'C:\\\\VtCvScrubber2.RTF' "),
            1);
  tm.AddFile("C:\\VtCvScrubber2.RTF", kRtf);
  Run("press No\n");
  EXPECT_TRUE(HasLine("[text] 1017: Vantrel devices"));
}

TEST_F(InfoDialogTest, APathLongerThanItsBufferCountsAsMissingAndIsShownCut) {
  // 3 + 100 + 1 + 100 + 1 + 50 = 255 characters of directory: with the file
  // name the path needs 273.
  const std::string dir =
      "C:\\" + std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\" + std::string(50, 'c');
  tm.AddFile(dir + "\\VtCvScrubber2.RTF", kRtf);  // there, but beyond the buffer
  tm.SetCurrentDir(dir);
  EXPECT_EQ(Run("press No\n"), 2);
  EXPECT_EQ(CountTagged("[text]"), 0);
  EXPECT_EQ(CountTagged("[box] Vantrel AiO Uninstall Utility | Unable to find"), 1);
  const std::string cut = (dir + "\\VtCvScrubber2.RTF").substr(0, 259);
  EXPECT_NE(tm.ReadFile(kLogPath).find("Unable to find file at \"" + cut + "\"."),
            std::string::npos);
}

TEST_F(InfoDialogTest, AFileThatCannotBeOpenedIsLoggedWithoutABox) {
  tm.AddFile(kInfo2, kRtf);
  tm.AddFault("CreateFileA", 32, kInfo2);
  EXPECT_EQ(Run("press No\n"), 2);
  EXPECT_EQ(CountTagged("[box]"), 0);
  EXPECT_EQ(CountTagged("[text]"), 0);
  EXPECT_NE(tm.ReadFile(kLogPath).find(
                ">>> Origin: CInfoDlg::ReadRichEditFile() -- CFile constructor\r\n"
                "\t>>> Unable to open information RTF file, 'C:\\Scrubber\\VtCvScrubber2.RTF' "
                "\r\n\r\n \r\n\r\n"),
            std::string::npos);
}

TEST_F(InfoDialogTest, WithoutAnInformationFileNothingIsLookedFor) {
  CInfoDlg info;
  EXPECT_EQ(info.ReadRichEditFile(), 1);
  tm.m.user.SetScript("copy\npress No\n");
  EXPECT_EQ(info.DoModal(), 2);
  EXPECT_EQ(CountTagged("[box]"), 0);
  EXPECT_EQ(CountTagged("[clipboard]"), 0);  // an empty text is not copied
  EXPECT_FALSE(tm.m.clipboard.open);
}

TEST_F(InfoDialogTest, CopyWithNothingSelectedPutsTheWholePlainTextOnTheClipboard) {
  tm.AddFile(kInfo2, kRtf);
  EXPECT_EQ(Run("copy\ncopy\npress No\n"), 2);
  const std::string line =
      std::string("[clipboard] ") + "Vantrel devices\\r\\nUnplug the cable.\\tThen press Yes.";
  EXPECT_EQ(CountTagged("[clipboard]"), 2);
  EXPECT_TRUE(HasLine(line));
  EXPECT_EQ(tm.m.clipboard.Text(tm.m), kText);
  EXPECT_FALSE(tm.m.clipboard.open);
  EXPECT_EQ(tm.m.global_memory.Count(), 1u);  // the clipboard's one block; the first was freed
  EXPECT_TRUE(tm.m.user.Leftover().empty());
}

struct CopyFault {
  const char* call;
  bool oldTextStays;  // the clipboard was not emptied
};
void PrintTo(const CopyFault& fault, std::ostream* os) { *os << fault.call; }

class CopyFaultTest : public InfoDialogTest, public ::testing::WithParamInterface<CopyFault> {};

// Whatever step fails, the clipboard is closed again and no memory is left
// behind that nobody owns.
TEST_P(CopyFaultTest, AFailedStepClosesTheClipboardAndFreesTheMemory) {
  tm.m.json["clipboard"] = {{"text", "earlier"}};
  tm.AddFile(kInfo2, kRtf);
  tm.AddFault(GetParam().call, 8);
  EXPECT_EQ(Run("copy\npress No\n"), 2);
  EXPECT_EQ(CountTagged("[clipboard]"), 0);
  EXPECT_FALSE(tm.m.clipboard.open);
  EXPECT_EQ(tm.m.clipboard.Text(tm.m), GetParam().oldTextStays ? "earlier" : "");
  EXPECT_EQ(tm.m.global_memory.Count(), GetParam().oldTextStays ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, CopyFaultTest,
    ::testing::Values(CopyFault{"OpenClipboard", true}, CopyFault{"EmptyClipboard", true},
                      CopyFault{"GlobalAlloc", false}, CopyFault{"GlobalLock", false},
                      CopyFault{"SetClipboardData", false}),
    [](const ::testing::TestParamInfo<CopyFault>& step) { return std::string(step.param.call); });

TEST_F(InfoDialogTest, AClipboardHeldByAnotherProgramIsLeftAlone) {
  tm.m.json["clipboard"] = {{"text", "theirs"}, {"open_elsewhere", true}};
  tm.AddFile(kInfo2, kRtf);
  Run("copy\npress No\n");
  EXPECT_EQ(CountTagged("[clipboard]"), 0);
  EXPECT_EQ(tm.m.clipboard.Text(tm.m), "theirs");
}

TEST_F(InfoDialogTest, ContextHelpOnTheTextFollowsTheMode) {
  const unsigned expected[] = {11, 35, 14, 11};
  for (int mode = 0; mode < 4; ++mode) {
    Run("help 1017\npress No\n", mode);
    EXPECT_TRUE(
        HasLine("[help] VtCvScrubber.hlp HELP_CONTEXTPOPUP " + std::to_string(expected[mode])))
        << "mode " << mode;
  }
}

TEST_F(InfoDialogTest, APersonSeesTheTextAndTheFourToolTips) {
  tm.AddFile(kInfo2, kRtf);
  std::istringstream in("press No\n");
  std::ostringstream prompts;
  tm.m.user.SetTerminal(in, prompts);
  CInfoDlg info;
  info.SetInfoFile(IDS_INFO_FILE_2);
  EXPECT_EQ(info.DoModal(), 2);
  const std::string shown = prompts.str();
  EXPECT_NE(shown.find("  | Vantrel devices\n  | Unplug the cable.\tThen press Yes.\n"),
            std::string::npos)
      << shown;
  for (const char* tip : {"Tip on Yes: Proceed with uninstalling the VT device listed above",
                          "Tip on No: Exit the application",
                          "Tip on control 1025: VT Corvus / TRX devices discovered in the registry",
                          "Tip on control 1026: The VT Corvus or TRX device selected for removal"})
    EXPECT_NE(shown.find(tip), std::string::npos) << tip;
}

}  // namespace
