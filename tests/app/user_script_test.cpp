// The simulated user: script lines, message box answers, transcript escapes.
#include <gtest/gtest.h>

#include <fstream>
#include <utility>

#include "platform/win32.h"
#include "support/test_machine.h"

namespace {

TEST(Transcript, EscapesAsTheProgramQuotesTexts) {
  EXPECT_EQ(sim::EscapeText("a\\b\n\t\r\"q\""), "a\\\\b\\n\\t\\r\"q\"");
  EXPECT_EQ(sim::EscapeText(std::string("\x01\x7F\xE9", 3)), "\\x01\\x7F\\xE9");
}

TEST(Script, SkipsBlankAndCommentLinesAndKeepsLineNumbers) {
  sim::Script s = sim::Script::FromText("# intro\n\n  press Yes  \r\n#x\nclose", "s.txt");
  const std::vector<sim::ScriptLine> lines = s.Remaining();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "press Yes");
  EXPECT_EQ(lines[0].number, 3);
  EXPECT_EQ(lines[1].text, "close");
  EXPECT_EQ(lines[1].number, 5);
}

TEST(Script, FileWithByteOrderMarkAndFolderRefused) {
  TestMachine tm;
  const std::string file = tm.ImageDir() + "/bom.txt";
  {
    std::ofstream out(file, std::ios::binary);
    out << "\xEF\xBB\xBFpress Yes\r\n";
  }
  std::string error;
  ASSERT_TRUE(tm.m.user.LoadScriptFile(file, &error)) << error;
  ASSERT_EQ(tm.m.user.Leftover().size(), 1u);
  EXPECT_EQ(tm.m.user.Leftover()[0].text, "press Yes");
  // A folder is no script: the run must not start with an empty one.
  EXPECT_FALSE(tm.m.user.LoadScriptFile(tm.ImageDir(), &error));
  EXPECT_EQ(error, tm.ImageDir() + ": cannot read the script file");
}

TEST(ScriptLanguage, VerbsAndKeyNamesIgnoreCaseAndExtraBlanks) {
  sim::ScriptAction a;
  std::string problem;
  ASSERT_TRUE(sim::ParseScriptAction("PRESS \t  Reboot Now", &a, &problem));
  EXPECT_EQ(a.verb, sim::ScriptVerb::kPress);
  EXPECT_EQ(a.arg, "Reboot Now");
  ASSERT_TRUE(sim::ParseScriptAction("Select VT TRX 5100 series, Photo Desk 1.00", &a, &problem));
  EXPECT_EQ(a.verb, sim::ScriptVerb::kSelect);
  EXPECT_EQ(a.arg, "VT TRX 5100 series, Photo Desk 1.00");
  ASSERT_TRUE(sim::ParseScriptAction("key escape", &a, &problem));
  EXPECT_EQ(a.key, sim::ScriptKey::kEscape);
  ASSERT_TRUE(sim::ParseScriptAction("KEY f1", &a, &problem));
  EXPECT_EQ(a.key, sim::ScriptKey::kF1);
  // One character is typed as it is, even a letter that starts a key name.
  ASSERT_TRUE(sim::ParseScriptAction("key e", &a, &problem));
  EXPECT_EQ(a.key, sim::ScriptKey::kTyped);
  EXPECT_EQ(a.typed, 'e');
  ASSERT_TRUE(sim::ParseScriptAction("help 65535", &a, &problem));
  EXPECT_EQ(a.controlId, 65535);
  ASSERT_TRUE(sim::ParseScriptAction("Copy", &a, &problem));
  EXPECT_EQ(a.verb, sim::ScriptVerb::kCopy);
  ASSERT_TRUE(sim::ParseScriptAction("close", &a, &problem));
  EXPECT_EQ(a.verb, sim::ScriptVerb::kClose);
}

TEST(ScriptLanguage, MalformedLinesAreNamed) {
  const std::pair<const char*, const char*> cases[] = {
      {"pres Yes", "unknown verb"},
      {"selectVT", "unknown verb"},
      {"press", "press needs a button label"},
      {"select", "select needs a tree entry"},
      {"menu", "menu needs a menu entry"},
      {"key", "key needs a typed character, Enter, Escape or F1"},
      {"key Tab", "key needs a typed character, Enter, Escape or F1"},
      {"key \xE9", "key needs a typed character, Enter, Escape or F1"},
      {"help x", "help needs a control id (0 to 65535)"},
      {"help 12a", "help needs a control id (0 to 65535)"},
      {"help -1", "help needs a control id (0 to 65535)"},
      {"help 65536", "help needs a control id (0 to 65535)"},
      {"copy x", "copy takes nothing after it"},
      {"close now", "close takes nothing after it"},
  };
  for (const auto& c : cases) {
    sim::ScriptAction a;
    std::string problem;
    EXPECT_FALSE(sim::ParseScriptAction(c.first, &a, &problem)) << c.first;
    EXPECT_EQ(problem, c.second) << c.first;
  }
  EXPECT_EQ(sim::ScriptVerbList(), "select, press, key, menu, help, copy, close");
}

TEST(Script, AMalformedLineRefusesTheWholeScript) {
  const sim::Script s = sim::Script::FromText("press Yes\n# fine\n  pres No \npress OK\n", "a.txt");
  EXPECT_EQ(s.error(),
            "a.txt line 3: unknown verb: \"pres No\" (verbs: select, press, key, menu, help, copy, "
            "close)");
  EXPECT_TRUE(s.Remaining().empty());  // nothing of it runs

  // A huge line is quoted in part.
  const std::string huge = "copy " + std::string(100000, 'x');
  const sim::Script big = sim::Script::FromText(huge, "b.txt");
  EXPECT_EQ(big.error().compare(0, 43, "b.txt line 1: copy takes nothing after it: "), 0);
  EXPECT_NE(big.error().find(" ... (100005 bytes)"), std::string::npos);
  EXPECT_LT(big.error().size(), 400u);

  TestMachine tm;
  std::string error;
  EXPECT_FALSE(tm.m.user.SetScript("close\nkey Tab\n", "c.txt", &error));
  EXPECT_EQ(error.compare(0, 14, "c.txt line 2: "), 0) << error;
  EXPECT_TRUE(tm.m.user.Leftover().empty());
  EXPECT_TRUE(tm.m.user.SetScript("CLOSE\nKey Enter\n", "d.txt", &error));
  EXPECT_EQ(tm.m.user.Leftover().size(), 2u);

  // Loading a file checks it the same way, naming the file.
  const std::string file = tm.ImageDir() + "/bad.txt";
  {
    std::ofstream out(file, std::ios::binary);
    out << "press Yes\r\nhelp About\r\n";
  }
  EXPECT_FALSE(tm.m.user.LoadScriptFile(file, &error));
  EXPECT_EQ(error,
            "bad.txt line 2: help needs a control id (0 to 65535): \"help About\" (verbs: select, "
            "press, key, menu, help, copy, close)");
}

TEST(MessageBox, OkOnlyBoxTakesOnlyPressOk) {
  TestMachine tm;
  tm.m.user.SetScript("press Yes\n");
  EXPECT_EQ(MessageBoxA(nullptr, "Text\n2", "Cap", MB_OK | MB_ICONERROR), IDOK);
  // The line stays for the next window.
  ASSERT_EQ(tm.m.user.Leftover().size(), 1u);
  const std::vector<std::string>& lines = tm.m.user.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[action] auto OK");
  EXPECT_EQ(lines[1], "[box] Cap | Text\\n2 | OK | error -> OK");

  tm.m.user.SetScript("press ok\n");
  EXPECT_EQ(MessageBoxA(nullptr, "T", "C", MB_OK), IDOK);
  EXPECT_TRUE(tm.m.user.Leftover().empty());
  EXPECT_EQ(tm.m.user.Lines().back(), "[box] C | T | OK | none -> OK");

  // The verb matches without case and with any blanks; other OK answers stay.
  tm.m.user.SetScript("PRESS   OK \nkey Enter\n");
  EXPECT_EQ(MessageBoxA(nullptr, "T", "C", MB_OK), IDOK);
  EXPECT_EQ(tm.m.user.Lines()[tm.m.user.Lines().size() - 2], "[action] PRESS   OK");
  EXPECT_EQ(MessageBoxA(nullptr, "T", "C", MB_OK), IDOK);
  EXPECT_EQ(tm.m.user.Leftover().size(), 1u);
}

TEST(MessageBox, AnswersByLabelCloseAndKeys) {
  TestMachine tm;
  tm.m.user.SetScript("press no\nclose\nkey Escape\nkey Enter\n");
  EXPECT_EQ(MessageBoxA(nullptr, "Q", "C", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(tm.m.user.Lines().back(), "[box] C | Q | Yes/No | question -> No");
  EXPECT_EQ(MessageBoxA(nullptr, "Q", "C", MB_OKCANCEL | MB_ICONINFORMATION), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "Q", "C", MB_OKCANCEL | MB_ICONWARNING), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "Q", "C", MB_YESNO), IDYES);
  EXPECT_EQ(tm.m.user.Lines()[tm.m.user.Lines().size() - 2], "[action] key Enter");
}

TEST(MessageBox, ALineTheBoxCannotTakeOrAnEndedScriptAborts) {
  TestMachine tm;
  tm.m.user.SetScript("\n\npress Maybe\n", "answers.txt");
  try {
    MessageBoxA(nullptr, "Q", "Question", MB_YESNO);
    FAIL() << "no abort";
  } catch (const sim::ScriptAbort& abort) {
    EXPECT_EQ(abort.message, "answers.txt line 3: window \"Question\" cannot take \"press Maybe\"");
  }
  tm.m.user.SetScript("close\n");  // a Yes/No box has no close box answer
  EXPECT_THROW(MessageBoxA(nullptr, "Q", "C", MB_YESNO), sim::ScriptAbort);
  tm.m.user.SetScript("");
  EXPECT_THROW(MessageBoxA(nullptr, "Q", "Waiting box", MB_OKCANCEL), sim::ScriptAbort);
  // An OK-only box never waits.
  EXPECT_EQ(MessageBoxA(nullptr, "Q", "C", MB_OK), IDOK);
}

TEST(SingleInstanceWindows, FoundByClassAndTitleAndActedOn) {
  TestMachine tm;
  EXPECT_EQ(FindWindowA("#32770", "Vantrel AiO Uninstall Utility"), nullptr);
  tm.m.json["open_windows"] = nlohmann::ordered_json::parse(
      R"([{"class":"Other","title":"Vantrel AiO Uninstall Utility"},
          {"class":"#32770","title":"Vantrel AiO Uninstall Utility","minimised":true}])");
  HWND h = FindWindowA("#32770", "vantrel aio uninstall utility");
  ASSERT_NE(h, nullptr);
  WINDOWPLACEMENT wp{};
  ASSERT_TRUE(GetWindowPlacement(h, &wp));
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  ShowWindow(h, SW_RESTORE);
  SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  const std::vector<std::string>& lines = tm.m.user.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[front] Vantrel AiO Uninstall Utility restored");
  EXPECT_EQ(lines[1], "[front] Vantrel AiO Uninstall Utility topmost");
}

TEST(WinHelp, WritesFileCommandAndData) {
  TestMachine tm;
  WinHelpA(nullptr, "VtCvScrubber.hlp", HELP_CONTEXTPOPUP, 22);
  EXPECT_EQ(tm.m.user.Lines().back(), "[help] VtCvScrubber.hlp HELP_CONTEXTPOPUP 22");
}

}  // namespace
