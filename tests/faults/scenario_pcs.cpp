#include "faults/scenario_pcs.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string SourceDir() {
  const char* dir = std::getenv("CVS_SOURCE_DIR");
  return dir ? dir : ".";
}

std::vector<ScenarioPc> LoadScenarioPcs() {
  std::vector<ScenarioPc> pcs;
  for (const char* name : {"xp", "2000", "nt4", "me", "98", "95"}) {
    const std::string dir = SourceDir() + "/tests/scenarios/full_run_" + name;
    ScenarioPc pc;
    pc.name = name;
    std::ifstream sample(dir + "/sample");
    std::string sampleName;
    std::getline(sample, sampleName);
    while (!sampleName.empty() && (sampleName.back() == '\r' || sampleName.back() == ' '))
      sampleName.pop_back();
    pc.image = SourceDir() + "/samples/" + sampleName;
    std::ifstream script(dir + "/script.txt");
    std::stringstream text;
    text << script.rdbuf();
    pc.script = text.str();
    std::istringstream lines(pc.script);
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("select ", 0) == 0) pc.device = line.substr(7);
    pcs.push_back(pc);
  }
  return pcs;
}
