// The judgements behind the safety rules, and how rules are selected.
#include <gtest/gtest.h>

#include "key_paths.h"
#include "options.h"
#include "report.h"

using vtlint::IsRootOrSystemPath;
using vtlint::IsTopLevelKey;
using vtlint::PathDepth;

TEST(VtlintKeyPaths, HiveRootsAndSharedKeysAreTopLevel) {
  EXPECT_TRUE(IsTopLevelKey("HKLM", ""));
  EXPECT_TRUE(IsTopLevelKey("HKLM", "SOFTWARE"));
  EXPECT_TRUE(IsTopLevelKey("hkcu", "\\Software\\"));  // empty parts are skipped
  EXPECT_TRUE(IsTopLevelKey("HKLM", "System\\CurrentControlSet\\Services"));
  EXPECT_TRUE(IsTopLevelKey("HKLM", "SYSTEM\\ControlSet001\\Enum\\USB"));
  EXPECT_TRUE(IsTopLevelKey("HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"));
  EXPECT_TRUE(IsTopLevelKey("HKCR", "CLSID"));
  // The software's own keys.
  EXPECT_FALSE(IsTopLevelKey("HKCR", ".vpa"));
  EXPECT_FALSE(IsTopLevelKey("HKLM", "SOFTWARE\\Vantrel\\PhotoDesk"));
  EXPECT_FALSE(IsTopLevelKey("HKLM", "SYSTEM\\CurrentControlSet\\Services\\VtDot4Svc"));
  EXPECT_FALSE(IsTopLevelKey("HKLM", "SYSTEM\\CurrentControlSet\\Enum\\USB\\$pnp$"));
}

TEST(VtlintKeyPaths, SweepTargetsClimbAsWindowsResolvesThem) {
  EXPECT_EQ(PathDepth(""), 0);
  EXPECT_EQ(PathDepth("\\.\\"), 0);
  EXPECT_EQ(PathDepth("\\ ..."), 0);  // trailing dots and blanks dropped
  EXPECT_EQ(PathDepth("\\.."), -1);
  EXPECT_EQ(PathDepth("\\Photo Desk"), 1);
  EXPECT_EQ(PathDepth("\\a\\..\\b"), 1);
  EXPECT_TRUE(IsRootOrSystemPath("C:"));
  EXPECT_TRUE(IsRootOrSystemPath("D:\\"));
  EXPECT_TRUE(IsRootOrSystemPath("\\"));
  EXPECT_TRUE(IsRootOrSystemPath("C:\\winnt\\System32"));
  EXPECT_FALSE(IsRootOrSystemPath("C:\\WINDOWS\\TEMP\\VtPdInst"));
  EXPECT_FALSE(IsRootOrSystemPath("Folder"));
}

namespace {
vtlint::Findings Sample() {
  return {{"b.dat", 3, "VT020", "dup"},
          {"a.ini", 9, "VT016", "top"},
          {"a.ini", 2, "VT005", "missing"},
          {"a.ini", 9, "VT016", "top"}};
}
vtlint::Options Parsed(const std::vector<std::string>& args) {
  vtlint::Options o;
  std::string error;
  EXPECT_TRUE(vtlint::ParseOptions(args, &o, &error)) << error;
  return o;
}
}  // namespace

TEST(VtlintSelection, FindingsAreSortedOnceAndFilteredByRule) {
  const vtlint::Findings all = vtlint::Selected(Sample(), Parsed({"x.ini"}));
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].line, 2);
  EXPECT_EQ(all[1].rule, "VT016");
  EXPECT_EQ(all[2].file, "b.dat");
  EXPECT_EQ(vtlint::Selected(Sample(), Parsed({"x.ini", "--enable", "vt020,VT005"})).size(), 2u);
  const vtlint::Findings some = vtlint::Selected(
      Sample(), Parsed({"x.ini", "--enable", "VT020,VT005", "--disable", "VT020"}));
  ASSERT_EQ(some.size(), 1u);
  EXPECT_EQ(some[0].rule, "VT005");
}

TEST(VtlintSelection, ErrorsFailTheRunWarningsOnlyWithWerror) {
  const vtlint::Options plain = Parsed({"x.ini", "--disable", "VT016"});
  EXPECT_EQ(vtlint::ExitStatus(vtlint::Selected(Sample(), plain), plain), 0);
  const vtlint::Options strict = Parsed({"x.ini", "--disable", "VT016", "--Werror"});
  EXPECT_EQ(vtlint::ExitStatus(vtlint::Selected(Sample(), strict), strict), 1);
  const vtlint::Options all = Parsed({"x.ini"});
  EXPECT_EQ(vtlint::ExitStatus(vtlint::Selected(Sample(), all), all), 1);
}

TEST(VtlintSelection, UsageErrorsAreRefused) {
  const auto refused = [](const std::vector<std::string>& args) {
    vtlint::Options o;
    std::string error;
    return !vtlint::ParseOptions(args, &o, &error) && !error.empty();
  };
  EXPECT_TRUE(refused({"x.ini", "--enable", "VT999"}));
  EXPECT_TRUE(refused({"x.ini", "--windows", "vista"}));
  EXPECT_TRUE(refused({"x.ini", "--disable"}));
  EXPECT_TRUE(refused({"x.ini", "--bogus"}));
  EXPECT_TRUE(refused({}));
  EXPECT_TRUE(refused({"a.ini", "b.ini"}));
  EXPECT_FALSE(refused({"--list-rules"}));
  vtlint::Options xp = Parsed({"x.ini", "--windows", "XP"});
  EXPECT_EQ(xp.versions, std::vector<int>{5});
}
