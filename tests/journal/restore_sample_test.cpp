// A whole scrub of a sample PC with the undo journal on, the next start of
// Windows (the erase batch), and then the file part of Restore.bat run on
// the simulated PC: every file and folder of the PC before the scrub is back
// with its content and its read-only flag.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/program_entry.h"
#include "app/run_state.h"
#include "sim/batch_interpreter.h"
#include "sim/image.h"
#include "sim/machine.h"
#include "sim/reboot.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Snapshot {
  std::map<std::string, std::string> files;  // Windows path -> content
  std::map<std::string, bool> read_only;
  std::set<std::string> folders;
  std::set<std::string> package_files;  // what the installer packages remove
};

// Windows paths are compared without case, as the PC compares them.
std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Snapshot Take(const fs::path& image) {
  sim::Machine m;
  std::string error;
  EXPECT_TRUE(sim::LoadImage(image.string(), m, &error)) << error;
  Snapshot s;
  if (m.json.contains("installer_products"))
    for (const auto& product : m.json["installer_products"])
      for (const auto& path : product.value("removes", nlohmann::ordered_json::array()))
        s.package_files.insert(Upper(path.get<std::string>()));
  const fs::path drives = image / "drives";
  for (auto it = fs::recursive_directory_iterator(drives); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string rel = fs::relative(it->path(), drives).string();
    std::string win = rel.substr(0, 1) + ":\\" + (rel.size() > 2 ? rel.substr(2) : "");
    for (char& c : win)
      if (c == '/') c = '\\';
    if (it->is_directory()) {
      s.folders.insert(Upper(win));
    } else {
      s.files[Upper(win)] = ReadText(it->path());
      s.read_only[Upper(win)] = m.files.Flags(win).read_only;
    }
  }
  return s;
}

void SetJournalSwitch(const fs::path& ini) {
  std::string text = ReadText(ini), out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    out += line + "\n";
    if (line.find("-- Common]") != std::string::npos) out += "UndoJournal=1\r\n";
  }
  std::ofstream(ini, std::ios::binary) << out;
}

// A sample PC, the scenario whose script scrubs it, and its temporary folder
// (where the run log and the journal go).
struct SampleCase {
  const char* sample;
  const char* scenario;
  const char* temp;
};
// gtest names each case by its sample.
void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.sample; }

class RestoreSampleTest : public ::testing::TestWithParam<SampleCase> {
 protected:
  void SetUp() override {
    const char* source = std::getenv("CVS_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    source_ = source;
    work_ = fs::temp_directory_path() /
            ("cvs_restore_" + std::string(GetParam().sample) + "_" + std::to_string(::getpid()));
    fs::remove_all(work_);
    fs::copy(source_ / "samples" / GetParam().sample, work_, fs::copy_options::recursive);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(work_);
  }

  // The program once, answered by the scenario's script.
  void Scrub(const std::string& script) {
    sim::Machine m;
    std::string error;
    ASSERT_TRUE(sim::LoadImage(work_.string(), m, &error)) << error;
    m.user.SetScript(script);
    std::ostringstream transcript;
    m.user.SetTranscriptStream(&transcript);
    {
      sim::ScopedMachine scope(m);
      ResetAllRunState();
      try {
        ProgramMain();
      } catch (const sim::ProcessExit&) {
      }
      ResetAllRunState();
    }
    ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  }

  void Reboot() {
    sim::Machine m;
    std::string error;
    ASSERT_TRUE(sim::LoadImage(work_.string(), m, &error)) << error;
    std::ostringstream out;
    sim::Reboot(m, out);
    ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  }

  // Restore.bat without its regedit line; what the interpreter printed.
  std::string RunRestoreFiles(const std::string& scriptPath, const std::string& script) {
    sim::Machine m;
    std::string error;
    EXPECT_TRUE(sim::LoadImage(work_.string(), m, &error)) << error;
    std::string text;
    std::istringstream in(script);
    std::string line;
    while (std::getline(in, line))
      if (line.rfind("regedit", 0) != 0) text += line + "\n";
    std::ostringstream out;
    {
      sim::ScopedMachine scope(m);
      sim::BatchInterpreter(m, out).Run(text, {scriptPath});
    }
    EXPECT_TRUE(sim::SaveImage(m, &error)) << error;
    return out.str();
  }

  fs::path source_;
  fs::path work_;
};

TEST_P(RestoreSampleTest, EveryRemovedFileAndFolderComesBack) {
  SetJournalSwitch(work_ / "drives/C/Scrubber/VtCvScrubber.ini");
  const Snapshot before = Take(work_);
  Scrub(ReadText(source_ / "tests/scenarios" / GetParam().scenario / "script.txt"));
  Reboot();
  const Snapshot scrubbed = Take(work_);
  const std::string journal = std::string(GetParam().temp) + "VtUndo.001";
  ASSERT_TRUE(scrubbed.files.count(Upper(journal + "\\Restore.bat")));
  // The scrub removed something, or the test would prove nothing.
  size_t removed = 0;
  for (const auto& [path, content] : before.files) removed += scrubbed.files.count(path) == 0;
  EXPECT_GT(removed, 5u);

  const std::string out = RunRestoreFiles(journal + "\\Restore.bat",
                                          scrubbed.files.at(Upper(journal + "\\Restore.bat")));
  const Snapshot after = Take(work_);
  // The fax folder goes to the Recycle Bin, from which the user takes it back.
  auto recycled = [](const std::string& path) {
    return path.find("\\MY FAXES") != std::string::npos;
  };
  std::string wrong;
  for (const std::string& folder : before.folders)
    if (!recycled(folder) && !after.folders.count(folder))
      wrong += "folder missing: " + folder + "\n";
  for (const auto& [path, content] : before.files) {
    // The package's own uninstall removes it: Removed.txt says so, no script
    // puts a package back.
    if (recycled(path) || before.package_files.count(path)) continue;
    auto it = after.files.find(path);
    if (it == after.files.end()) {
      wrong += "missing: " + path + "\n";
    } else if (it->second != content) {
      wrong += "other content: " + path + "\n";
    } else if (after.read_only.at(path) != before.read_only.at(path)) {
      wrong += "other read-only flag: " + path + "\n";
    }
  }
  EXPECT_EQ(wrong, "") << out;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, RestoreSampleTest,
    ::testing::Values(SampleCase{"95", "full_run_95", "C:\\WINDOWS\\TEMP\\"},
                      SampleCase{"98", "full_run_98", "C:\\WINDOWS\\TEMP\\"},
                      SampleCase{"me-shared", "full_run_me", "C:\\WINDOWS\\TEMP\\"},
                      SampleCase{"nt4-nodirs", "full_run_nt4", "C:\\TEMP\\"},
                      SampleCase{"2000-env", "full_run_2000", "C:\\WINNT\\TEMP\\"},
                      SampleCase{"xp", "full_run_xp", "C:\\WINDOWS\\TEMP\\"}),
    [](const ::testing::TestParamInfo<SampleCase>& c) {
      std::string name = c.param.sample;
      for (char& ch : name)
        if (ch == '-') ch = '_';
      return name;
    });

}  // namespace
