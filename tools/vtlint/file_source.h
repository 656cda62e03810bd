// Where vtlint finds the DAT lists the control file names: beside it, as the
// program finds them in its current directory.
#pragma once

#include <map>
#include <string>

namespace vtlint {

class FileSource {
 public:
  virtual ~FileSource() = default;
  // The bytes of `name`, a file name relative to the control file's folder as
  // the control file gives it (backslashes, any case). False when the program
  // could not open it; *shown is the name findings use.
  virtual bool Read(const std::string& name, std::string* bytes, std::string* shown) = 0;
};

// Files of a host folder; names are matched without case, as on Windows.
class HostFolderSource : public FileSource {
 public:
  explicit HostFolderSource(std::string folder) : folder_(std::move(folder)) {}
  bool Read(const std::string& name, std::string* bytes, std::string* shown) override;

 private:
  std::string folder_;
};

// Files held in memory (the fuzz target, tests).
class MemorySource : public FileSource {
 public:
  void Add(const std::string& name, const std::string& bytes) { files_[Key(name)] = bytes; }
  bool Read(const std::string& name, std::string* bytes, std::string* shown) override;

 private:
  static std::string Key(const std::string& name);
  std::map<std::string, std::string> files_;
};

// True when the program cannot open `name` relative to its folder whatever
// the folder holds: empty, absolute ("C:\x", "\x"), or with wildcards.
bool UnusableRelativeName(const std::string& name);

}  // namespace vtlint
