#include "tools/vtsim/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "tools/vtsim/host_paths.h"

namespace fs = std::filesystem;

namespace vtsim {

OutputFile::~OutputFile() {
  if (!open_) return;
  out_.close();
  std::error_code ignored;
  fs::remove(temporary_, ignored);
}

bool OutputFile::Open(const std::string& path, std::string* error) {
  name_ = path;
  final_ = Resolved(path);
  std::error_code ec;
  if (fs::is_directory(final_, ec)) {
    *error = path + ": is a folder";
    return false;
  }
  temporary_ = final_;
  temporary_ += ".vtsim-" + std::to_string(::getpid()) + ".tmp";
  // O_EXCL: never take over a file that happens to have that name.
  const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) {
    *error = path + ": cannot be written (" + std::generic_category().message(errno) + ")";
    return false;
  }
  ::close(fd);
  out_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!out_) {
    fs::remove(temporary_, ec);
    *error = path + ": cannot be written";
    return false;
  }
  open_ = true;
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (!open_) return true;
  open_ = false;
  out_.flush();
  const bool written = static_cast<bool>(out_);
  out_.close();
  std::error_code ec;
  if (!written || out_.fail()) {
    fs::remove(temporary_, ec);
    *error = name_ + ": cannot be written";
    return false;
  }
  fs::rename(temporary_, final_, ec);
  if (ec) {
    fs::remove(temporary_, ec);
    *error = name_ + ": cannot be replaced (" + ec.message() + ")";
    return false;
  }
  return true;
}

}  // namespace vtsim
