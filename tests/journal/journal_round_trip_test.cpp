// A whole scrub with the undo journal on, then its restore script: the
// registry is again what it was, but for what the journal says it cannot
// put back.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/sample_run.h"
#include "sim/batch_interpreter.h"
#include "sim/registry.h"

namespace {

// Every key (as "path") and value (as "path\t name") of the registry, with
// its type and data, by name in upper case (the registry ignores case).
using Flat = std::map<std::string, std::string>;

void Flatten(const sim::RegKey* key, const std::string& path, Flat* out) {
  (*out)[path] = "";
  for (const sim::RegValue& v : key->values)
    (*out)[path + "\t" + sim::UpperCase(std::string(v.name()))] =
        std::to_string(v.type) + ":" + std::string(v.data());
  for (const sim::KeyRef& sub : key->subkeys())
    Flatten(sub.get(), path + "\\" + sim::UpperCase(sub->name), out);
}

Flat FlatRegistry(const sim::Registry& r) {
  Flat flat;
  for (int i = 0; r.Root(i) != nullptr; ++i) Flatten(r.Root(i), std::to_string(i), &flat);
  return flat;
}

class JournalRoundTripTest : public SampleRun {};

TEST_F(JournalRoundTripTest, RestoreScriptPutsTheRegistryBack) {
  const auto work = Copy("xp");
  Replace(work / "drives/C/Scrubber/VtCvScrubber.ini", "[VT TRX 5100 series -- Common]\r\n",
          "[VT TRX 5100 series -- Common]\r\nUndoJournal=1\r\n");
  Start(work, "press Yes\npress OK\npress Cancel\n");
  const Flat before = FlatRegistry(m.registry);
  dlg.UninstallSelectedDevice();
  const Flat scrubbed = FlatRegistry(m.registry);
  ASSERT_NE(scrubbed, before);

  const std::string script = "C:\\WINDOWS\\TEMP\\VtUndo.001\\Restore.bat";
  std::ifstream in(m.files.Lookup(script).host, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_NE(text.find("regedit /s "), std::string::npos) << text;
  std::ostringstream out;
  sim::BatchInterpreter(m, out).Run(text, {script});
  EXPECT_NE(out.str().find("-> imported C:\\WINDOWS\\TEMP\\VtUndo.001\\Undo.reg"),
            std::string::npos)
      << out.str();
  EXPECT_EQ(out.str().find("-> skipped"), std::string::npos) << out.str();

  // What the package's own uninstall took (machine.json "removes" and its
  // Uninstall entry): the log names the package as removed, and no restore
  // script can install it again.
  const std::string uninstall = "0\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\";
  const std::string package = uninstall + "UNINSTALL\\{28ABC70E-91EF-A4C9-C665-284CB0F07586}";
  const std::string appPath = uninstall + "APP PATHS\\VTPDMAIN.EXE";
  const std::string components = "0\\SOFTWARE\\VANTREL\\PHOTODESK\\VT TRX 5100 SERIES\\COMPONENTS";
  const std::string expected = appPath + "\n" + appPath + "\t\n" + appPath + "\tPATH\n" + package +
                               "\n" + package + "\tDISPLAYNAME\n" + package + "\tDISPLAYVERSION\n" +
                               package + "\tINSTALLLOCATION\n" + package + "\tPUBLISHER\n" +
                               package + "\tUNINSTALLSTRING\n" + package + "\tWINDOWSINSTALLER\n" +
                               components + "\n" + components + "\tCOPY\n" + components +
                               "\tFAX\n" + components + "\tSCAN\n";
  const Flat after = FlatRegistry(m.registry);
  std::string lost;
  for (const auto& [name, data] : before) {
    auto it = after.find(name);
    if (it == after.end() || it->second != data) lost += name + "\n";
  }
  EXPECT_EQ(lost, expected);
  const std::string log = LogOnDisk();
  EXPECT_NE(log.find("Removed VT MSI package '{28ABC70E-91EF-A4C9-C665-284CB0F07586}'"),
            std::string::npos);
  EXPECT_EQ(log.find("Not removed:"), std::string::npos) << log;
}

}  // namespace
