#include "faults/cell_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/program_entry.h"
#include "app/run_state.h"
#include "oracle/oracle.h"
#include "sim/image.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Tabs and new lines cannot occur in the subjects of a call (paths, keys, names).
void WriteCalls(const std::map<std::string, sim::CallSeen>& calls, const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  for (const auto& [name, c] : calls)
    out << name << '\t' << c.count << '\t' << c.first_path << '\t' << c.first_key << '\t'
        << c.first_name << '\t' << c.last_path << '\t' << c.last_key << '\t' << c.last_name << '\n';
  for (const auto& [name, c] : calls)
    for (const auto& s : c.distinct)
      out << '+' << name << '\t' << s[0] << '\t' << s[1] << '\t' << s[2] << '\n';
}

std::map<std::string, sim::CallSeen> ReadCalls(const fs::path& file) {
  std::map<std::string, sim::CallSeen> calls;
  std::istringstream in(ReadText(file));
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '\t')) f.push_back(field);
    f.resize(8);
    if (!f[0].empty() && f[0][0] == '+') {
      calls[f[0].substr(1)].distinct.push_back({f[1], f[2], f[3]});
      continue;
    }
    sim::CallSeen& c = calls[f[0]];
    c.count = static_cast<unsigned>(std::stoul(f[1].empty() ? "0" : f[1]));
    c.first_path = f[2], c.first_key = f[3], c.first_name = f[4];
    c.last_path = f[5], c.last_key = f[6], c.last_name = f[7];
  }
  return calls;
}

std::string FindLog(const fs::path& drives) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(drives, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "vtcvscrubber.log") {
      std::string text = ReadText(it->path()), out;
      for (char c : text)
        if (c != '\r') out += c;
      return out;
    }
  }
  return "";
}

// The child: copy, load, run as vtsim does, save, report into files.
[[noreturn]] void RunChild(const CellSpec& spec, const fs::path& work) {
  alarm(120);
  std::error_code ec;
  if (spec.prepare) {
    fs::copy(spec.image, work / "before", fs::copy_options::recursive, ec);
    spec.prepare((work / "before").string());
    fs::copy(work / "before", work / "image", fs::copy_options::recursive, ec);
  } else {
    fs::copy(spec.image, work / "image", fs::copy_options::recursive, ec);
  }
  // Host files the simulation might write by mistake land here, not in the test's folder.
  fs::current_path(work / "outside", ec);
  setenv("TMPDIR", (work / "outside").c_str(), 1);
  sim::Machine m;
  std::string error, internal;
  int code = -1;
  if (!sim::LoadImage((work / "image").string(), m, &error)) {
    internal = "load: " + error;
  } else {
    for (const sim::Fault& f : spec.faults) m.faults.list.push_back(f);
    m.user.SetScript(spec.script);
    std::ofstream transcript(work / "transcript.txt", std::ios::binary);
    m.user.SetTranscriptStream(&transcript);
    {
      sim::ScopedMachine scope(m);
      ResetAllRunState();
      try {
        code = ProgramMain() & 0xFF;
        m.user.Write("exit", std::to_string(code));
      } catch (const sim::ProcessExit& exit) {
        code = static_cast<int>(exit.code & 0xFF);
        m.user.Write("exit", std::to_string(code));
      } catch (const sim::ScriptAbort& abort) {
        code = 3;
        m.user.Write("exit", "3");
        internal = "";  // a script that runs out is an outcome, not a fault
        std::ofstream(work / "abort", std::ios::binary) << abort.message;
      } catch (const std::exception& e) {
        internal = std::string("exception: ") + e.what();
      }
    }
    if (!sim::SaveImage(m, &error)) internal += " save: " + error;
    WriteCalls(m.faults.seen, work / "calls.txt");
    int untouched = 0;
    for (size_t i = 0; i < spec.faults.size() && i < m.faults.list.size(); ++i)
      if (m.faults.list[m.faults.list.size() - spec.faults.size() + i].times ==
          spec.faults[i].times)
        ++untouched;
    std::ofstream(work / "untouched") << untouched;
  }
  // The oracle runs here, in parallel with the other cells.
  oracle::ImageSnapshot before, after;
  std::ofstream findings(work / "oracle.txt", std::ios::binary);
  if (!oracle::ReadSnapshot((spec.prepare ? work / "before" : fs::path(spec.image)).string(),
                            &before, &error) ||
      !oracle::ReadSnapshot((work / "image").string(), &after, &error))
    findings << "image unreadable: " << error << "\n";
  else
    for (const std::string& v :
         oracle::CheckRun(before, after, spec.device, FindLog(work / "image" / "drives")))
      findings << v << "\n";
  findings.close();
  std::ofstream(work / "internal", std::ios::app) << internal;
  std::ofstream(work / "exit") << code;
  _exit(0);
}

void Collect(const CellSpec& spec, const fs::path& work, int status,
             const std::vector<std::string>& outsideBefore, CellResult* r) {
  r->work = work.string();
  r->before = spec.prepare ? (work / "before").string() : spec.image;
  if (WIFSIGNALED(status)) {
    r->crashed = true;
    r->crash = "killed by signal " + std::to_string(WTERMSIG(status));
  } else if (!fs::exists(work / "exit")) {
    r->crashed = true;
    r->crash = "no report (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
  }
  const std::string code = ReadText(work / "exit");
  r->exit_code = code.empty() ? -1 : std::stoi(code);
  r->internal = ReadText(work / "internal");
  r->transcript = ReadText(work / "transcript.txt");
  r->abort = ReadText(work / "abort");
  r->log = FindLog(work / "image" / "drives");
  r->calls = ReadCalls(work / "calls.txt");
  std::istringstream findings(ReadText(work / "oracle.txt"));
  for (std::string line; std::getline(findings, line);) r->oracle.push_back(line);
  const std::string untouched = ReadText(work / "untouched");
  r->faults_untouched = untouched.empty() ? 0 : std::stoi(untouched);
  r->outside_changed = oracle::ListTree((work / "outside").string()) != outsideBefore;
}

}  // namespace

std::vector<CellResult> RunCells(const std::vector<CellSpec>& cells, const std::string& root,
                                 int jobs) {
  std::vector<CellResult> results(cells.size());
  std::map<pid_t, size_t> running;
  std::vector<std::vector<std::string>> outside(cells.size());
  size_t next = 0;
  auto reap = [&]() {
    int status = 0;
    const pid_t pid = waitpid(-1, &status, 0);
    auto it = running.find(pid);
    if (it == running.end()) return;
    const size_t i = it->second;
    running.erase(it);
    Collect(cells[i], fs::path(root) / std::to_string(i), status, outside[i], &results[i]);
  };
  while (next < cells.size() || !running.empty()) {
    if (next < cells.size() && static_cast<int>(running.size()) < jobs) {
      const fs::path work = fs::path(root) / std::to_string(next);
      fs::remove_all(work);
      fs::create_directories(work / "outside");
      std::ofstream(work / "outside" / "canary.txt") << "left alone\n";
      outside[next] = oracle::ListTree((work / "outside").string());
      const pid_t pid = fork();
      if (pid == 0) RunChild(cells[next], work);
      running[pid] = next++;
    } else {
      reap();
    }
  }
  return results;
}
