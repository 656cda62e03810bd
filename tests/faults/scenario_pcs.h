// The scenario PCs the fault matrix and the randomised run start from: the
// whole-scrub scenarios of tests/scenarios/ (a sample image and a script).
#pragma once

#include <string>
#include <vector>

struct ScenarioPc {
  std::string name;    // "xp", "2000" … (the scenario full_run_NAME)
  std::string image;   // host folder of the sample image
  std::string script;  // the script's text
  std::string device;  // the device the script selects
};

// The scenario PCs in the order the matrix prefers them (XP first).
std::vector<ScenarioPc> LoadScenarioPcs();
// The source folder (CVS_SOURCE_DIR).
std::string SourceDir();
