// vtlint reads the control data as the program does: DAT lines through the
// 259-character buffer in text mode, profile keys with their lines, and the
// lists found beside the control file without regard to case.
#include <gtest/gtest.h>

#include "control_lint.h"
#include "dat_lines.h"
#include "file_source.h"
#include "sim/profile_file.h"

using vtlint::DatLine;
using vtlint::ReadDatLines;

TEST(VtlintDatLines, LinesPastTheBufferArriveInPiecesOf258) {
  const std::string exact(258, 'a');
  const std::string longer = std::string(258, 'b') + "cd";
  const std::vector<DatLine> lines = ReadDatLines(exact + "\r\n" + longer + "\r\nlast");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, exact);
  EXPECT_FALSE(lines[0].piece);
  EXPECT_EQ(lines[1].text, std::string(258, 'b'));
  EXPECT_EQ(lines[2].text, "cd");
  EXPECT_TRUE(lines[2].piece);
  EXPECT_EQ(lines[2].line, 2);
  EXPECT_EQ(lines[2].full_size, 260u);
  EXPECT_EQ(lines[3].line, 3);
  EXPECT_EQ(lines[3].text, "last");
}

TEST(VtlintDatLines, TextModeKeepsALoneCarriageReturnAndEndsAtCtrlZ) {
  const std::vector<DatLine> lines = ReadDatLines(
      "a\rb\r\nc\n\x1A"
      "d\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "a\rb");
  EXPECT_EQ(lines[1].text, "c");
  EXPECT_EQ(vtlint::FirstTextLine("; Version 2.03\r\n[x]\r\n"), "; Version 2.03");
}

TEST(VtlintProfileLines, KeysAndHeadersKnowTheirLineWhateverTheLineEnds) {
  const sim::ProfileFile f = sim::ProfileFile::Parse("; c\r\n[A]\r\n\r\nk=1\rm=2\n[B]\nn=3");
  ASSERT_EQ(f.sections.size(), 3u);
  EXPECT_EQ(f.sections[1].line, 2);
  ASSERT_EQ(f.sections[1].keys.size(), 2u);
  EXPECT_EQ(f.sections[1].keys[0].line, 4);
  EXPECT_EQ(f.sections[1].keys[1].line, 5);
  EXPECT_EQ(f.sections[2].line, 6);
  EXPECT_EQ(f.sections[2].keys[0].line, 7);
}

TEST(VtlintFileSource, ListsAreFoundBesideTheControlFileInAnyCase) {
  vtlint::MemorySource files;
  files.Add("Sub\\List.dat", "x");
  std::string bytes, shown;
  EXPECT_TRUE(files.Read("sub\\LIST.DAT", &bytes, &shown));
  EXPECT_EQ(bytes, "x");
  EXPECT_FALSE(files.Read("C:\\Sub\\List.dat", &bytes, &shown));
  EXPECT_TRUE(vtlint::UnusableRelativeName("\\List.dat"));
  EXPECT_TRUE(vtlint::UnusableRelativeName("*.dat"));
  EXPECT_FALSE(vtlint::UnusableRelativeName("Sub\\List.dat"));
}

namespace {

// Lints a one-device control file (XP only) whose lists are given.
vtlint::Findings LintOne(const std::string& common, const std::string& reg,
                         const std::string& filesList = "C:\\x.log\n") {
  vtlint::MemorySource files;
  files.Add("R.dat", reg);
  files.Add("F.dat", filesList);
  const std::string ini =
      "; Version 2.03\n[D -- XP Files]\nFilesPath=F.dat\nRegPath=R.dat\nDefaultVTDir=C:\\V\n"
      "DefaultOCRDir=\n[D -- Common]\n" +
      common;
  return vtlint::LintControlData("ini", ini, files, {5});
}

const char kCommon[] =
    "numSWvers=0\nOCRVal=x\nTestKey=SOFTWARE\\V\nDevIDname=D\nDevIDfax=\nnumPnPIDs=1\n"
    "PnP1=VID_1\nKnownClasses=\nMonitors=\nServices=\nNumMSIs=0\nnumMagicKeys=0\n";

std::vector<std::string> Rules(const vtlint::Findings& findings) {
  std::vector<std::string> rules;
  for (const vtlint::Finding& f : findings) rules.push_back(f.rule + ":" + std::to_string(f.line));
  std::sort(rules.begin(), rules.end());
  return rules;
}

}  // namespace

TEST(VtlintRegistryWalk, PairsTakeTheNextEntryAsTheEraserDoes) {
  // A clean list: a value pair, a counter pair, a variable-key pair, a key.
  EXPECT_EQ(Rules(LintOne(kCommon,
                          "HKLM\\SOFTWARE\\V\\\nName\n"
                          "-HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\\\n"
                          "$\\a.dll\n*HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{G}\n"
                          "DriverDesc = VT \n; comment\n  HKCU\\Software\\V\n")),
            std::vector<std::string>{});
  // A dropped "|" line makes the pair take the key entry after it.
  EXPECT_EQ(Rules(LintOne(kCommon, "HKLM\\SOFTWARE\\V\\\n|\\x.lnk\nHKLM\\SOFTWARE\\V\\K\n")),
            (std::vector<std::string>{"VT013:3", "VT018:2"}));
  // "=" with blanks only after it is no data.
  EXPECT_EQ(Rules(LintOne(kCommon, "*HKLM\\SOFTWARE\\V\nName=  \n")),
            std::vector<std::string>{"VT014:2"});
  // The walk stops at a cut-off counter pair: nothing after it is looked at.
  EXPECT_EQ(Rules(LintOne(kCommon, "HKLM\\SOFTWARE\\V\\K\n-HKLM\\SOFTWARE\\S\\\n")),
            std::vector<std::string>{"VT012:2"});
  // Hive codes compare without case; the code must be one of the seven.
  EXPECT_EQ(Rules(LintOne(kCommon, "hkcu\\Software\\V\nHKCU \\Software\\V\n")),
            std::vector<std::string>{"VT011:2"});
}

TEST(VtlintControlFile, CountsMatchTheNumberedKeysAsTheReaderReadsThem) {
  // A count of 65536 is missing; "-1" reads as 0 and is no plain number.
  std::string common = kCommon;
  common.replace(common.find("NumMSIs=0"), 9, "NumMSIs=65536");
  common.replace(common.find("numSWvers=0"), 11, "numSWvers=-1");
  EXPECT_EQ(Rules(LintOne(common, "HKCU\\Software\\V\n")),
            (std::vector<std::string>{"VT004:18", "VT008:8"}));
  // NotFound in any case is a missing value; quotes are stripped first.
  common = kCommon;
  common.replace(common.find("DevIDname=D"), 11, "DevIDname=\"notfound\"");
  EXPECT_EQ(Rules(LintOne(common, "HKCU\\Software\\V\n")), std::vector<std::string>{"VT004:7"});
  // The count is read through 63 characters: 63 zeros and a 2 read as 0.
  common = kCommon;
  common.replace(common.find("numSWvers=0"), 11,
                 "numSWvers=" + std::string(63, '0') + "2\nSWverText1=a\nSWverText2=b");
  EXPECT_EQ(Rules(LintOne(common, "HKCU\\Software\\V\n")),
            (std::vector<std::string>{"VT007:10", "VT007:9", "VT008:8"}));
  // Ten numbered keys: PnP10 follows PnP9.
  common = kCommon;
  std::string pnp = "numPnPIDs=10\n";
  for (int i = 1; i <= 10; ++i) pnp += "PnP" + std::to_string(i) + "=V" + std::to_string(i) + "\n";
  common.replace(common.find("numPnPIDs=1\nPnP1=VID_1\n"), 23, pnp);
  EXPECT_EQ(Rules(LintOne(common, "HKCU\\Software\\V\n")), std::vector<std::string>{});
}
