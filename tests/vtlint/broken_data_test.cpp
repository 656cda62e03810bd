// vtlint on control data built to be broken: each folder under broken/ plants
// faults and expected.txt lists exactly the findings ("FILE LINE RULE"); and
// on every sample's control data, which must be clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "control_lint.h"
#include "file_source.h"
#include "rules.h"

namespace fs = std::filesystem;

namespace {

fs::path SourceDir() {
  const char* dir = std::getenv("CVS_SOURCE_DIR");
  return dir ? fs::path(dir) : fs::path(".");
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

vtlint::Findings LintFolder(const fs::path& folder, const std::vector<int>& codes) {
  vtlint::HostFolderSource beside(folder.string());
  return vtlint::LintControlData((folder / "VtCvScrubber.ini").string(),
                                 ReadAll(folder / "VtCvScrubber.ini"), beside, codes);
}

// "FILE LINE RULE" of each finding, FILE without its folder, sorted.
std::vector<std::string> Summary(const vtlint::Findings& findings) {
  std::vector<std::string> lines;
  for (const vtlint::Finding& f : findings)
    lines.push_back(fs::path(f.file).filename().string() + " " + std::to_string(f.line) + " " +
                    f.rule);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> Expected(const fs::path& file) {
  std::vector<std::string> lines;
  std::istringstream in(ReadAll(file));
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<fs::path> BrokenCases() {
  std::vector<fs::path> cases;
  for (const auto& e : fs::directory_iterator(SourceDir() / "tests/vtlint/broken"))
    if (e.is_directory()) cases.push_back(e.path());
  std::sort(cases.begin(), cases.end());
  return cases;
}

}  // namespace

TEST(VtlintBrokenData, EachCaseGivesExactlyItsExpectedFindings) {
  const std::vector<fs::path> cases = BrokenCases();
  ASSERT_GE(cases.size(), 2u);
  for (const fs::path& c : cases) {
    SCOPED_TRACE(c.string());
    const vtlint::Findings findings = LintFolder(c, vtlint::AllVersionCodes());
    EXPECT_EQ(Summary(findings), Expected(c / "expected.txt"));
    for (const vtlint::Finding& f : findings) {
      EXPECT_NE(vtlint::FindRule(f.rule), nullptr) << f.rule;
      EXPECT_FALSE(f.message.empty());
    }
  }
}

TEST(VtlintBrokenData, TheCasesTogetherCoverEveryRule) {
  std::set<std::string> fired;
  for (const fs::path& c : BrokenCases())
    for (const std::string& line : Expected(c / "expected.txt"))
      fired.insert(line.substr(line.rfind(' ') + 1));
  for (const vtlint::Rule& r : vtlint::AllRules()) EXPECT_EQ(fired.count(r.id), 1u) << r.id;
}

TEST(VtlintBrokenData, NarrowedToOneWindowsVersionOnlyItsSectionsAreMissing) {
  const fs::path c = SourceDir() / "tests/vtlint/broken/control";
  // XP (code 5): Dev A lacks its XP section; Dev B has one.
  std::vector<std::string> missing;
  for (const vtlint::Finding& f : LintFolder(c, {5}))
    if (f.rule == "VT002") missing.push_back(f.message);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].find("[Dev A -- XP Files]"), std::string::npos);
  // 95 (code 0): the other way round, and Missing.dat (98 only) is not looked at.
  bool missingDat = false;
  missing.clear();
  for (const vtlint::Finding& f : LintFolder(c, {0})) {
    if (f.rule == "VT002") missing.push_back(f.message);
    if (f.rule == "VT019") missingDat = true;
  }
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].find("[Dev B -- 95 Files]"), std::string::npos);
  EXPECT_FALSE(missingDat);
}

TEST(VtlintSamples, EverySamplesControlDataIsClean) {
  int checked = 0;
  for (const auto& e : fs::directory_iterator(SourceDir() / "samples")) {
    const fs::path folder = e.path() / "drives/C/Scrubber";
    if (!fs::exists(folder / "VtCvScrubber.ini")) continue;
    SCOPED_TRACE(folder.string());
    EXPECT_EQ(Summary(LintFolder(folder, vtlint::AllVersionCodes())), std::vector<std::string>{});
    ++checked;
  }
  EXPECT_GE(checked, 8);
}
