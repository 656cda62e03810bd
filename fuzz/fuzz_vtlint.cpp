// libFuzzer: arbitrary control-file and DAT text through vtlint's checks. The
// input is the control file, a zero byte, the registry list, a zero byte and
// the files list; every DAT name the control file gives finds one of the two
// lists. Without a zero byte the input is both lists of a fixed control file
// that names them, so list texts alone reach the registry and files rules.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "control_lint.h"
#include "file_source.h"

namespace {

const char kControlFile[] =
    "; Version 2.03\r\n[VT Dev -- XP Files]\r\nFilesPath=F.dat\r\nRegPath=R.dat\r\n"
    "DefaultVTDir=C:\\VT\r\nDefaultOCRDir=\r\n[VT Dev -- Common]\r\nnumSWvers=0\r\nOCRVal=x\r\n"
    "TestKey=SOFTWARE\\VT\r\nDevIDname=VT Dev\r\nDevIDfax=\r\nnumPnPIDs=1\r\nPnP1=VID_1\r\n"
    "KnownClasses=Image\r\nMonitors=\r\nServices=\r\nNumMSIs=0\r\nnumMagicKeys=0\r\n";

// Any usable name finds a list: names starting with R or r the registry
// list, others the files list.
class TwoLists : public vtlint::FileSource {
 public:
  TwoLists(std::string reg, std::string files) : reg_(std::move(reg)), files_(std::move(files)) {}
  bool Read(const std::string& name, std::string* bytes, std::string* shown) override {
    *shown = name;
    if (vtlint::UnusableRelativeName(name)) return false;
    *bytes = (name[0] == 'R' || name[0] == 'r') ? reg_ : files_;
    return true;
  }

 private:
  std::string reg_;
  std::string files_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  size_t start = 0;
  while (parts.size() < 2) {
    const size_t zero = input.find('\0', start);
    if (zero == std::string::npos) break;
    parts.push_back(input.substr(start, zero - start));
    start = zero + 1;
  }
  parts.push_back(input.substr(start));
  if (parts.size() == 1) {
    TwoLists lists(input, input);
    vtlint::LintControlData("ini", kControlFile, lists, vtlint::AllVersionCodes());
    return 0;
  }
  TwoLists lists(parts[1], parts.size() > 2 ? parts[2] : std::string());
  vtlint::LintControlData("ini", parts[0], lists, vtlint::AllVersionCodes());
  return 0;
}
