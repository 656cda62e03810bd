// The fault matrix: every faultable Windows call the program makes on the
// scenario PCs, failed once with each error code its removal step names and
// with 5, 32 and 112, on its first call and (where it is made more than once)
// on its latest one. Each cell must end soundly (no crash, only named
// removals) and its outcome must be the reviewed one of docs/fault-matrix.md.
// CVS_REGEN_FAULT_MATRIX=1 rewrites that table from this run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "faults/cell_checks.h"
#include "faults/cell_run.h"
#include "faults/fault_codes.h"
#include "faults/scenario_pcs.h"
#include "support/test_machine.h"

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Lines of `now` that `base` does not have (as many times).
std::vector<std::string> NewLines(const std::string& base, const std::string& now) {
  std::multiset<std::string> old;
  for (const std::string& l : LinesOf(base)) old.insert(l);
  std::vector<std::string> out;
  for (const std::string& l : LinesOf(now)) {
    auto it = old.find(l);
    if (it != old.end())
      old.erase(it);
    else
      out.push_back(l);
  }
  return out;
}

std::string Short(std::string text, size_t n = 70) {
  for (char& c : text)
    if (c == '|') c = '/';
  return text.size() > n ? text.substr(0, n) + "…" : text;
}

// The name the run log gives a call: without the "A" of the ANSI form.
std::string LoggedName(const std::string& call) {
  if (call.size() > 2 && call.back() == 'A' &&
      std::islower(static_cast<unsigned char>(call[call.size() - 2])))
    return call.substr(0, call.size() - 1);
  return call;
}

// Lines every run log may gain when a run ends otherwise (the footer).
bool Incidental(const std::string& line) {
  return line.find_first_not_of(" \t*") == std::string::npos || line == "End of VtCvScrubber.Log";
}

// The outcome of a cell in words, against the run without faults.
std::string Outcome(const CellResult& base, const CellResult& r, const std::string& call) {
  if (r.crashed) return "CRASH (" + r.crash + ")";
  if (!r.internal.empty()) return "SIMULATION FAULT (" + Short(r.internal) + ")";
  if (r.faults_untouched > 0) return "not reached";
  std::string words;
  std::vector<std::string> logged;
  for (const std::string& l : NewLines(base.log, r.log))
    if (!Incidental(l)) logged.push_back(l);
  bool named = false, system = false;
  for (const std::string& l : logged) {
    named = named || l.find(LoggedName(call)) != std::string::npos;
    system = system || l.find("System message") != std::string::npos;
  }
  bool fewer = false;
  for (const std::string& l : NewLines(r.log, base.log)) fewer = fewer || !Incidental(l);
  if (named || system)
    words = "logged";
  else if (!logged.empty())
    words = "log differs: '" + Short(logged.front(), 50) + "'";
  else if (fewer)
    words = "silent, fewer lines";
  else
    words = "silent";
  for (const std::string& l : NewLines(base.transcript, r.transcript))
    if (l.rfind("[box] ", 0) == 0) {
      words += ", box '" + Short(l.substr(6), 60) + "'";
      break;
    }
  // The run goes on when it reaches the window the run without faults ended at.
  std::string lastWindow;
  for (const std::string& l : LinesOf(base.transcript))
    if (l.rfind("[window] ", 0) == 0) lastWindow = l;
  const std::vector<std::string> lines = LinesOf(r.transcript);
  const bool reached = std::find(lines.begin(), lines.end(), lastWindow) != lines.end();
  if (reached) {
    words += ", run goes on";
  } else if (r.exit_code == 3) {
    const size_t at = r.abort.find("window \"");
    const std::string window =
        at == std::string::npos ? "" : r.abort.substr(at + 8, r.abort.find('"', at + 8) - at - 8);
    words += ", run stops: window '" + window + "' waits for what the script does not give";
  } else {
    words += ", run stops";
  }
  const bool restart = [](const std::string& t) {
    return t.find("\n[restart]") != std::string::npos;
  }(base.transcript);
  if (restart && r.transcript.find("\n[restart]") == std::string::npos && reached)
    words += ", no restart";
  if (r.exit_code != base.exit_code && r.exit_code != 3)
    words += " (exit " + std::to_string(r.exit_code) + ")";
  return words;
}

struct Cell {
  std::string call;
  unsigned code;
  size_t pc;
  bool later;           // aimed at the latest call by its subjects
  std::string subject;  // aimed at one of the other subjects ("" = not)
  CellSpec spec;
};

std::string SubjectText(const std::vector<std::string>& s) {
  std::string text;
  for (const std::string& part : s)
    if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
  return text;
}

std::string MatrixPath() { return SourceDir() + "/docs/fault-matrix.md"; }

TEST(FaultMatrix, EveryCellEndsSoundlyAndAsReviewed) {
  TestMachine tm;  // for its temporary folder
  // CVS_FAULT_KEEP=DIR keeps the runs' folders there, to look at a failing one.
  const char* keep = std::getenv("CVS_FAULT_KEEP");
  const std::string root = (keep ? std::string(keep) : tm.ImageDir()) + "/matrix";
  const std::vector<ScenarioPc> pcs = LoadScenarioPcs();
  const char* jobsText = std::getenv("CVS_FAULT_JOBS");
  const int jobs = jobsText ? std::max(1, std::atoi(jobsText)) : 2;

  std::vector<CellSpec> probes;
  for (const ScenarioPc& pc : pcs) probes.push_back({pc.image, pc.script, {}, pc.device, nullptr});
  const std::vector<CellResult> bases = RunCells(probes, root + "/base", jobs);
  for (size_t i = 0; i < pcs.size(); ++i) {
    for (const std::string& p : CellProblems(bases[i]))
      ADD_FAILURE() << pcs[i].name << " without faults: " << p;
  }

  // Every call made on some PC, on the first PC (in the preferred order) that makes it.
  std::map<std::string, size_t> firstPc;
  for (size_t i = 0; i < pcs.size(); ++i)
    for (const auto& [call, seen] : bases[i].calls)
      if (seen.count > 0) firstPc.emplace(call, i);
  std::vector<Cell> cells;
  for (const auto& [call, pc] : firstPc) {
    const sim::CallSeen& seen = bases[pc].calls.at(call);
    for (unsigned code : CodesFor(call)) {
      sim::Fault first{call, "", "", "", code, 1};
      cells.push_back({call,
                       code,
                       pc,
                       false,
                       "",
                       {pcs[pc].image, pcs[pc].script, {first}, pcs[pc].device, nullptr}});
      const bool distinct = seen.last_path + seen.last_key + seen.last_name !=
                            seen.first_path + seen.first_key + seen.first_name;
      if (seen.count > 1 && distinct) {
        sim::Fault later{call, seen.last_path, seen.last_key, seen.last_name, code, 1};
        cells.push_back({call,
                         code,
                         pc,
                         true,
                         "",
                         {pcs[pc].image, pcs[pc].script, {later}, pcs[pc].device, nullptr}});
      }
    }
  }
  // Each other distinct subject the call was made with, failed with 5.
  for (const auto& [call, pc] : firstPc) {
    const sim::CallSeen& seen = bases[pc].calls.at(call);
    for (const std::vector<std::string>& subject : seen.distinct) {
      const std::vector<std::string> first = {seen.first_path, seen.first_key, seen.first_name};
      const std::vector<std::string> last = {seen.last_path, seen.last_key, seen.last_name};
      if (subject == first || subject == last || SubjectText(subject).empty()) continue;
      sim::Fault f{call, subject[0], subject[1], subject[2], 5, 1};
      cells.push_back({call,
                       5,
                       pc,
                       false,
                       SubjectText(subject),
                       {pcs[pc].image, pcs[pc].script, {f}, pcs[pc].device, nullptr}});
    }
  }
  std::vector<CellSpec> specs;
  for (const Cell& c : cells) specs.push_back(c.spec);
  const std::vector<CellResult> results = RunCells(specs, root + "/cells", jobs);

  std::map<std::pair<std::string, unsigned>, std::pair<std::string, std::string>> rows;
  std::vector<std::string> subjectRows;
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    const std::string outcome = Outcome(bases[c.pc], results[i], c.call);
    if (!c.subject.empty()) {
      subjectRows.push_back("| " + c.call + " | " + Short(c.subject, 90) + " | " + pcs[c.pc].name +
                            " | " + outcome + " |\n");
    }
    for (const std::string& p : CellProblems(results[i]))
      ADD_FAILURE() << c.call << " error " << c.code << (c.later ? " (latest call)" : "")
                    << (c.subject.empty() ? "" : " (" + c.subject + ")") << " on " << pcs[c.pc].name
                    << ": " << p;
    if (!c.subject.empty()) continue;
    auto& row = rows[{c.call, c.code}];
    (c.later ? row.second : row.first) = outcome;
    for (const std::string& p : CellProblems(results[i]))
      ADD_FAILURE() << c.call << " error " << c.code << (c.later ? " (latest call)" : "") << " on "
                    << pcs[c.pc].name << ": " << p;
  }

  std::ostringstream table;
  table << "# Fault matrix\n\n"
           "Generated by `test_faults` (tests/faults/fault_matrix_test.cpp): each Windows call\n"
           "the program makes on the whole-scrub scenario PCs (tests/scenarios/full_run_*),\n"
           "failed once with the error code, on the first PC (XP, 2000, NT 4, ME, 98, 95) that\n"
           "makes it. \"First call\" fails the first matching call; \"latest call\" fails the\n"
           "first call with the subjects (path, key, name) of the latest one, where it differs.\n"
           "Outcomes are compared with the run without faults: \"logged\" = a new run-log line\n"
           "names the call or gives a system message; \"run goes on\" = the run reaches the\n"
           "window the faultless run ends at. Every cell also passed the oracle (only named\n"
           "removals, shared counters down by one at most, nothing outside the image).\n"
           "Rewrite with `CVS_REGEN_FAULT_MATRIX=1 build/test/test_faults`.\n\n"
           "| Call | Error | PC | First call | Latest call |\n"
           "|---|---|---|---|---|\n";
  for (const auto& [key, row] : rows)
    table << "| " << key.first << " | " << key.second << " | " << pcs[firstPc[key.first]].name
          << " | " << row.first << " | " << (row.second.empty() ? "—" : row.second) << " |\n";

  table << "\n## Other subjects, error 5\n\n"
           "The first calls with each other distinct subject (up to six subjects a call),\n"
           "failed with error 5.\n\n"
           "| Call | Subject | PC | Outcome |\n"
           "|---|---|---|---|\n";
  for (const std::string& row : subjectRows) table << row;

  if (std::getenv("CVS_REGEN_FAULT_MATRIX")) {
    std::ofstream(MatrixPath(), std::ios::binary) << table.str();
    return;
  }
  std::ifstream in(MatrixPath(), std::ios::binary);
  std::stringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(golden.str(), table.str())
      << "docs/fault-matrix.md differs from this run; review and regenerate with "
         "CVS_REGEN_FAULT_MATRIX=1";
}

}  // namespace
