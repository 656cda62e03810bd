// The next start of Windows: in-use flags, pending renames, RunOnce order and
// its "!" rule; and the % expansion every batch line goes through first.
#include "sim/reboot.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sim/batch_words.h"
#include "support/test_machine.h"

namespace {

const char kRunOnce[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kSessionManager[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// Records, whenever a batch starts, which RunOnce values are still there.
class RunOnceSpy : public std::stringbuf {
 public:
  RunOnceSpy(sim::Machine& m, std::vector<std::string> names) : m_(m), names_(std::move(names)) {}
  std::vector<std::string> seen;  // "NAME there" / "NAME gone" at each batch start

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (std::string(s, static_cast<size_t>(n)).find(" runs in ") != std::string::npos)
      for (const std::string& name : names_)
        seen.push_back(name + (m_.registry.GetValue(kRunOnce, name) ? " there" : " gone"));
    return std::stringbuf::xsputn(s, n);
  }

 private:
  sim::Machine& m_;
  std::vector<std::string> names_;
};

std::string Reboot(TestMachine& tm) {
  std::ostringstream out;
  sim::Reboot(tm.m, out);
  return out.str();
}

TEST(RebootRunOnce, ValuesRunInOrderDeletedBeforeUnlessBang) {
  TestMachine tm("xp");
  tm.AddFile("C:\\WINDOWS\\TEMP\\First.bat", "DEL C:\\a.txt\r\n");
  tm.AddFile("C:\\WINDOWS\\TEMP\\Second.bat", "ECHO second\r\n");
  tm.AddFile("C:\\a.txt");
  tm.m.registry.SetString(kRunOnce, "Zed", "C:\\WINDOWS\\TEMP\\First.bat");
  tm.m.registry.SetString(kRunOnce, "!Alpha", "\"C:\\WINDOWS\\TEMP\\Second.bat\" arg");
  tm.m.registry.SetString(kRunOnce, "Prog", "C:\\WINDOWS\\notepad.exe");
  RunOnceSpy spy(tm.m, {"Zed", "!Alpha"});
  std::ostream out(&spy);
  sim::Reboot(tm.m, out);
  const std::string text = spy.str();
  // Creation order, not name order; Zed gone before its batch, !Alpha still there during its own.
  EXPECT_LT(text.find("First.bat runs"), text.find("Second.bat runs")) << text;
  EXPECT_EQ(spy.seen,
            (std::vector<std::string>{"Zed gone", "!Alpha there", "Zed gone", "!Alpha there"}));
  EXPECT_FALSE(tm.Exists("C:\\a.txt"));
  EXPECT_NE(text.find("not run: the simulated PC runs only batch files"), std::string::npos);
  EXPECT_TRUE(tm.m.registry.Find(kRunOnce)->values.empty());  // all three gone
}

TEST(RebootRunOnce, StartDirectoryAndCmdFilesPerFamily) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    const bool nt = std::string(version) == "xp";
    tm.AddFile(nt ? "C:\\WINDOWS\\system32\\x.dll" : "C:\\WINDOWS\\x.dll");
    tm.AddFile("C:\\WINDOWS\\SYSTEM\\x.dll");  // 9x's system directory: not the start
    tm.AddFile("C:\\Scrubber\\x.dll");
    tm.AddFile("C:\\WINDOWS\\TEMP\\e.bat", "DEL x.dll\r\n");
    tm.AddFile("C:\\WINDOWS\\TEMP\\e.cmd", "DEL C:\\Scrubber\\x.dll\r\n");
    tm.m.registry.SetString(kRunOnce, "Bat", "C:\\WINDOWS\\TEMP\\e.bat");
    tm.m.registry.SetString(kRunOnce, "Cmd", "C:\\WINDOWS\\TEMP\\e.cmd");
    Reboot(tm);
    EXPECT_FALSE(tm.Exists(nt ? "C:\\WINDOWS\\system32\\x.dll" : "C:\\WINDOWS\\x.dll")) << version;
    EXPECT_TRUE(tm.Exists("C:\\WINDOWS\\SYSTEM\\x.dll")) << version;
    EXPECT_EQ(tm.Exists("C:\\Scrubber\\x.dll"), !nt) << version;  // .cmd runs on NT only
  }
}

TEST(RebootRunOnce, HklmWaitsForAnAdministratorOnNt) {
  TestMachine tm("xp");
  tm.m.system.administrator = false;
  tm.AddFile("C:\\WINDOWS\\TEMP\\e.bat", "DEL C:\\a.txt\r\n");
  tm.AddFile("C:\\a.txt");
  tm.m.registry.SetString(kRunOnce, "EraseVtc", "C:\\WINDOWS\\TEMP\\e.bat");
  Reboot(tm);
  EXPECT_TRUE(tm.Exists("C:\\a.txt"));
  EXPECT_NE(tm.m.registry.GetValue(kRunOnce, "EraseVtc"), nullptr);
}

TEST(Reboot, InUseClearedAndFaultsOff) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\busy.dll");
  tm.SetInUse("C:\\App\\busy.dll");
  tm.AddFile("C:\\App\\other.dll");
  tm.SetInUse("C:\\App\\other.dll");
  tm.AddFault("DeleteFileA", 5);
  tm.AddFile("C:\\WINDOWS\\TEMP\\e.bat", "DEL C:\\App\\busy.dll\r\n");
  tm.m.registry.SetString(kRunOnce, "EraseVtc", "C:\\WINDOWS\\TEMP\\e.bat");
  Reboot(tm);
  EXPECT_FALSE(tm.Exists("C:\\App\\busy.dll"));
  EXPECT_TRUE(tm.Exists("C:\\App\\other.dll"));
  EXPECT_FALSE(tm.m.files.Flags("C:\\App\\other.dll").in_use);
}

// The strings as REG_MULTI_SZ data: each ends in a zero, one more zero closes.
void SetPending(TestMachine& tm, const std::vector<std::string>& strings) {
  std::string data;
  for (const std::string& s : strings) data += s + '\0';
  tm.m.registry.SetValue(kSessionManager, "PendingFileRenameOperations", REG_MULTI_SZ, data + '\0');
}

TEST(RebootPendingRenames, DeleteMoveAndReplaceThenTheValueGoes) {
  TestMachine tm("xp");
  tm.AddFile("C:\\A\\del.dll", "d");
  tm.AddFile("C:\\A\\new.dll", "new");
  tm.AddFile("C:\\A\\old.dll", "old");
  tm.AddFile("C:\\A\\mv.dll", "mv");
  tm.AddFile("C:\\A\\blocked.dll", "b");
  tm.AddFile("C:\\A\\taken.dll", "t");
  tm.AddDir("C:\\A\\EmptyDir");
  SetPending(tm, {"\\??\\C:\\A\\del.dll", "", "\\??\\C:\\A\\new.dll", "!\\??\\C:\\A\\old.dll",
                  "\\??\\C:\\A\\mv.dll", "\\??\\C:\\A\\Moved.dll", "\\??\\C:\\A\\blocked.dll",
                  "\\??\\C:\\A\\taken.dll", "\\??\\C:\\A\\EmptyDir", ""});
  const std::string out = Reboot(tm);
  EXPECT_FALSE(tm.Exists("C:\\A\\del.dll"));
  EXPECT_FALSE(tm.Exists("C:\\A\\new.dll"));
  EXPECT_EQ(tm.ReadFile("C:\\A\\old.dll"), "new");
  EXPECT_FALSE(tm.Exists("C:\\A\\mv.dll"));
  EXPECT_EQ(tm.ReadFile("C:\\A\\Moved.dll"), "mv");
  EXPECT_EQ(tm.ReadFile("C:\\A\\blocked.dll"), "b");  // no "!": the target stays
  EXPECT_EQ(tm.ReadFile("C:\\A\\taken.dll"), "t");
  EXPECT_FALSE(tm.Exists("C:\\A\\EmptyDir"));
  EXPECT_EQ(tm.m.registry.GetValue(kSessionManager, "PendingFileRenameOperations"), nullptr);
  EXPECT_NE(out.find("blocked.dll to C:\\A\\taken.dll -> failed"), std::string::npos) << out;
}

TEST(RebootPendingRenames, RunBeforeRunOnceAndOnlyOnNt) {
  for (const char* version : {"xp", "98"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\A\\x.dll", "x");
    SetPending(tm, {"\\??\\C:\\A\\x.dll", "\\??\\C:\\A\\y.dll"});
    tm.AddFile("C:\\WINDOWS\\TEMP\\e.bat", "DEL C:\\A\\y.dll\r\n");
    tm.m.registry.SetString(kRunOnce, "EraseVtc", "C:\\WINDOWS\\TEMP\\e.bat");
    Reboot(tm);
    const bool nt = std::string(version) == "xp";
    EXPECT_FALSE(tm.Exists("C:\\A\\y.dll")) << version;
    EXPECT_EQ(tm.Exists("C:\\A\\x.dll"), !nt) << version;
  }
}

sim::PercentContext Context(bool nt, const sim::BatchEnvironment& env) {
  sim::PercentContext c;
  c.environment = &env;
  c.arguments = {"C:\\T\\e.bat", "one"};
  c.nt = nt;
  return c;
}

TEST(PercentExpansion, BatchRules) {
  const sim::BatchEnvironment env = {{"TEMP", "C:\\WINDOWS\\TEMP"}, {"windir", "C:\\WINDOWS"}};
  const sim::PercentContext nt = Context(true, env);
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"DEL \"%TEMP%\\a.tmp\"", "DEL \"C:\\WINDOWS\\TEMP\\a.tmp\""},
      {"%WINDIR%\\x %temp%", "C:\\WINDOWS\\x C:\\WINDOWS\\TEMP"},  // names without case
      {"50%% %0 %1 %2.", "50% C:\\T\\e.bat one ."},
      {"a%b", "ab"},                // a lone % goes
      {"a%UNDEFINED%b", "ab"},      // undefined names expand to nothing
      {"%windir:~0,2%\\", "C:\\"},  // cmd.exe modifiers
      {"%windir:WINDOWS=WINNT%", "C:\\WINNT"},
      {"%nope:x=y% C:\\", "x=y\\"},  // undefined: "%nope:" goes, then "% C:" likewise
  };
  for (const Case& c : cases) EXPECT_EQ(sim::ExpandPercent(c.in, nt), c.out) << c.in;
  // COMMAND.COM has no modifiers: the name runs to the next %.
  EXPECT_EQ(sim::ExpandPercent("%windir:~0,2%x", Context(false, env)), "x");
}

}  // namespace
