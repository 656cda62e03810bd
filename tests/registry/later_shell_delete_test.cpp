// Tree deletion through shlwapi's SHDeleteKeyA where the PC has it, and key by
// key where it has not (Windows 95 and NT 4 without Internet Explorer 4): the
// callers see the same results either way.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/later_shell.h"
#include "support/test_machine.h"

namespace {

const char kTree[] = "SOFTWARE\\Vantrel\\Tree";

struct ShellCase {
  const char* windows;
  bool laterShell;
};
void PrintTo(const ShellCase& c, std::ostream* os) {
  *os << c.windows << (c.laterShell ? " with" : " without") << " the later shell";
}

class LaterShellDeleteTest : public ::testing::TestWithParam<ShellCase> {
 protected:
  LaterShellDeleteTest() : tm(GetParam().windows) {
    tm.m.system.later_shell = GetParam().laterShell;
    sim::Registry& reg = tm.m.registry;
    reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Tree\\a\\b\\c", "x", "1");
    reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Tree\\a\\d", "x", "2");
    reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Tree\\e", "x", "3");
    reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Tree", "x", "4");
    reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Tree2", "x", "5");
  }
  bool Exists(const std::string& path) const {
    return tm.m.registry.Find("HKLM\\SOFTWARE\\Vantrel\\" + path) != nullptr;
  }

  TestMachine tm;
};

TEST_P(LaterShellDeleteTest, TakesTheWholeTreeAndNothingBeside) {
  EXPECT_EQ(LaterShellDeleteKey(HKEY_LOCAL_MACHINE, kTree), 0u);
  EXPECT_FALSE(Exists("Tree"));
  EXPECT_TRUE(Exists("Tree2"));
  EXPECT_EQ(LaterShellDeleteKey(HKEY_LOCAL_MACHINE, kTree), 2u);
}

TEST_P(LaterShellDeleteTest, AProtectedSubkeyRefusesWithAccessDenied) {
  // Windows 9x has no registry security.
  if (!tm.m.system.NtFamily()) GTEST_SKIP();
  // 5 sends the callers on to the protected-key deletion.
  ASSERT_TRUE(
      tm.m.registry.SetAccess("HKLM\\SOFTWARE\\Vantrel\\Tree\\a\\b", sim::KeyAccess::kProtected));
  EXPECT_EQ(LaterShellDeleteKey(HKEY_LOCAL_MACHINE, kTree), 5u);
  EXPECT_TRUE(Exists("Tree\\a\\b\\c"));
  EXPECT_TRUE(Exists("Tree"));
}

INSTANTIATE_TEST_SUITE_P(Versions, LaterShellDeleteTest,
                         ::testing::Values(ShellCase{"xp", true}, ShellCase{"98", true},
                                           ShellCase{"nt4", false}, ShellCase{"nt4", true},
                                           ShellCase{"95", false}),
                         [](const ::testing::TestParamInfo<ShellCase>& param_info) {
                           return std::string(param_info.param.windows) +
                                  (param_info.param.laterShell ? "_later_shell" : "_first_shell");
                         });

// Which of the two ways runs: a fault on SHDeleteKeyA reaches the caller only
// where shlwapi is there to be called.
TEST(LaterShellDeleteWay, ShlwapiWhereThePcHasIt) {
  for (bool laterShell : {true, false}) {
    TestMachine tm("nt4");
    tm.m.system.later_shell = laterShell;
    tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Tree\\a", "x", "1");
    tm.AddKeyFault("SHDeleteKeyA", 1010, "HKLM\\SOFTWARE\\Vantrel\\Tree");
    EXPECT_EQ(LaterShellDeleteKey(HKEY_LOCAL_MACHINE, kTree), laterShell ? 1010u : 0u)
        << "later shell " << laterShell;
  }
}

TEST(LaterShellSpecialFolder, MissingFunctionLeaves127) {
  TestMachine tm("95");
  char path[MAX_PATH] = "unchanged";
  SetLastError(0);
  EXPECT_EQ(LaterShellSpecialFolderPath(nullptr, path, 0x0010 /*desktop directory*/, FALSE), FALSE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  tm.m.system.later_shell = true;
  EXPECT_EQ(LaterShellSpecialFolderPath(nullptr, path, 0x0010, FALSE), TRUE);
  EXPECT_EQ(std::string(path), *tm.m.system.Directory("desktop"));
}

}  // namespace
