// A whole scrub of each sample PC with the undo journal on, then its restore
// script: the registry is again what it was, but for what the installer
// packages' own uninstall took (the log names each package as removed; no
// script can install one again).
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/sample_run.h"
#include "sim/batch_interpreter.h"
#include "sim/registry.h"
#include "sim/text.h"

namespace {

// Every key (as its path) and value (as path TAB name) of a tree, with its
// type and data; names in upper case, as the registry ignores case.
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

// The path Flatten gives a key.
std::string FlatPath(const sim::Registry& r, const sim::RegKey* key) {
  std::string path;
  for (; key->parent != nullptr; key = key->parent) path = "\\" + sim::UpperCase(key->name) + path;
  for (int i = 0; r.Root(i) != nullptr; ++i)
    if (r.Root(i) == key) return std::to_string(i) + path;
  return "?" + path;
}

// What the packages of the image remove when they are uninstalled.
Flat PackageKeys(const sim::Machine& m) {
  Flat keys;
  if (!m.json.contains("installer_products")) return keys;
  for (const auto& product : m.json["installer_products"]) {
    std::vector<std::string> paths = {
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
        product["code"].get<std::string>()};
    if (product.contains("removes"))
      for (const auto& item : product["removes"]) paths.push_back(item.get<std::string>());
    for (const std::string& path : paths)
      if (const sim::RegKey* key = m.registry.Find(path))
        Flatten(key, FlatPath(m.registry, key), &keys);
  }
  return keys;
}

class JournalRoundTripTest : public SampleRun, public ::testing::WithParamInterface<std::string> {
 protected:
  // UndoJournal=1 in every device's common section.
  static void SwitchJournalOn(const std::filesystem::path& ini) {
    std::ifstream in(ini, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::string out;
    for (size_t from = 0; from < text.size();) {
      size_t end = text.find('\n', from);
      end = end == std::string::npos ? text.size() : end + 1;
      const std::string line = text.substr(from, end - from);
      out += line;
      if (line.find("-- Common]") != std::string::npos) out += "UndoJournal=1\r\n";
      from = end;
    }
    std::ofstream(ini, std::ios::binary | std::ios::trunc) << out;
  }
};

TEST_P(JournalRoundTripTest, RestoreScriptPutsTheRegistryBack) {
  const auto work = Copy(GetParam());
  SwitchJournalOn(work / "drives/C/Scrubber/VtCvScrubber.ini");
  Start(work, "press Yes\npress OK\npress Cancel\n");
  const Flat before = FlatRegistry(m.registry);
  const Flat packages = PackageKeys(m);
  dlg.UninstallSelectedDevice();
  ASSERT_NE(FlatRegistry(m.registry), before);

  const std::string temp = *m.system.Directory("temp");
  const std::string script = temp + "VtUndo.001\\Restore.bat";
  std::ifstream in(m.files.Lookup(script).host, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_NE(text.find("regedit /s "), std::string::npos) << text;
  std::ostringstream out;
  sim::BatchInterpreter(m, out).Run(text, {script});
  EXPECT_NE(out.str().find("-> imported " + temp + "VtUndo.001\\Undo.reg"), std::string::npos)
      << out.str();
  EXPECT_EQ(out.str().find("-> skipped"), std::string::npos) << out.str();

  const Flat after = FlatRegistry(m.registry);
  std::string lost;
  for (const auto& [name, data] : before) {
    auto it = after.find(name);
    if ((it == after.end() || it->second != data) && !packages.count(name)) lost += name + "\n";
  }
  EXPECT_EQ(lost, "");
  // Every registry entry had its backup: what was kept for want of one is a
  // file (one in use cannot be copied, so it stays where it is).
  const std::string log = LogOnDisk();
  const std::string mark = ">>> Not removed: ";
  for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
    const std::string what = log.substr(at + mark.size(), 3);
    EXPECT_TRUE(what.size() == 3 && what[1] == ':' && what[2] == '\\')
        << log.substr(at, log.find('\n', at) - at);
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, JournalRoundTripTest,
                         ::testing::Values("95", "98", "me-shared", "nt4-nodirs", "2000-env", "xp",
                                           "xp-two"),
                         [](const auto& sample) {
                           std::string name = sample.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

}  // namespace
