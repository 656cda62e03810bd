// An output file written through a temporary file in the same folder and
// renamed onto its name at the end, so the old file stays whole until then
// and a reader never sees half of the new one.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace vtsim {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file when Commit was not called: a run that never
  // started leaves an older file of that name as it was.
  ~OutputFile();

  // Creates the temporary file beside `path` (links in `path` resolved, so a
  // link keeps pointing at the file); false with a message naming `path`.
  bool Open(const std::string& path, std::string* error);
  std::ostream& stream() { return out_; }
  // Renames the temporary file onto the file's name; false with a message.
  bool Commit(std::string* error);

 private:
  std::string name_;  // as given, for messages
  std::filesystem::path final_;
  std::filesystem::path temporary_;
  std::ofstream out_;
  bool open_ = false;
};

}  // namespace vtsim
