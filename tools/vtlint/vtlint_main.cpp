// vtlint: checks the control file and its DAT lists as a compiler would.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "control_lint.h"
#include "file_source.h"
#include "options.h"
#include "report.h"

int main(int argc, char** argv) {
  using namespace vtlint;
  Options options;
  std::string error;
  if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::cerr << "vtlint: " << error << '\n' << kUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.list_rules) {
    PrintRules(std::cout);
    return 0;
  }
  std::error_code ec;
  std::ifstream in(options.control_file, std::ios::binary);
  if (!in || std::filesystem::is_directory(options.control_file, ec)) {
    std::cerr << "vtlint: " << options.control_file << ": cannot read the control file\n";
    return 2;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  HostFolderSource beside(std::filesystem::path(options.control_file).parent_path().string());
  const Findings findings = Selected(
      LintControlData(options.control_file, bytes.str(), beside, options.versions), options);
  Print(findings, std::cout);
  return ExitStatus(findings, options);
}
