#include "sim/image_stage.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace sim {

namespace fs = std::filesystem;

namespace {

// The image's own folder: an image named through a link is switched where
// it really lies, so the link keeps naming it.
fs::path RealImagePath(const std::string& image) {
  std::error_code ec;
  fs::path p = fs::absolute(image, ec).lexically_normal();
  if (!p.has_filename()) p = p.parent_path();
  for (int i = 0; i < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++i) {
    const fs::path target = fs::read_symlink(p, ec);
    if (ec) break;
    p = (target.is_absolute() ? target : p.parent_path() / target).lexically_normal();
    if (!p.has_filename()) p = p.parent_path();
  }
  const fs::path parent = fs::weakly_canonical(p.parent_path(), ec);
  return ec ? p : parent / p.filename();
}

struct Siblings {
  fs::path image, stage, old, marker;
};

Siblings SiblingsOf(const std::string& image) {
  Siblings s;
  s.image = RealImagePath(image);
  const std::string base = s.image.string();
  s.stage = base + ".vtsim-new";
  s.old = base + ".vtsim-old";
  s.marker = base + ".vtsim-commit";
  return s;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// Makes a rename or removal in the parent folder durable.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool Fail(std::string* error, const fs::path& p, const std::string& what) {
  if (error) *error = p.filename().string() + ": " + what;
  return false;
}

bool Rename(const fs::path& from, const fs::path& to, std::string* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  return Fail(error, from, "cannot be renamed to " + to.filename().string());
}

bool RemoveTree(const fs::path& p, std::string* error) {
  std::error_code ec;
  fs::remove_all(p, ec);
  return !ec || Fail(error, p, "cannot be removed (" + ec.message() + ")");
}

// Copies the tree `from` to `to` (absent) as hard links: the copy costs one
// link a file, and the sim breaks a link before it writes into a file.
bool LinkTree(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code ec;
  fs::create_directory(to, from, ec);
  if (ec) return Fail(error, to, "cannot be made (" + ec.message() + ")");
  for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status st = it->symlink_status(ec);
    if (ec) break;
    const fs::path target = to / it->path().filename();
    if (fs::is_directory(st)) {
      if (!LinkTree(it->path(), target, error)) return false;
    } else if (fs::is_symlink(st)) {
      fs::copy_symlink(it->path(), target, ec);
    } else if (fs::is_regular_file(st)) {
      if (::link(it->path().c_str(), target.c_str()) != 0)
        fs::copy_file(it->path(), target, fs::copy_options::none, ec);
    } else {
      return Fail(error, it->path(), "a special file; the image cannot be copied for the run");
    }
  }
  return !ec || Fail(error, from, "cannot be copied for the run (" + ec.message() + ")");
}

}  // namespace

void SaveStepDone() {
  static const long killAfter = [] {
    const char* v = std::getenv("CVS_SAVE_KILL_AFTER");
    return v ? std::strtol(v, nullptr, 10) : 0L;
  }();
  static long steps = 0;
  if (killAfter > 0 && ++steps == killAfter) std::raise(SIGKILL);
}

bool RecoverImage(const std::string& image, std::string* error) {
  const Siblings s = SiblingsOf(image);
  const bool committed = Exists(s.marker);
  if (committed && Exists(s.stage)) {
    // The switch stopped before the working copy took the image's place.
    if (Exists(s.image)) {
      if (Exists(s.old) && !RemoveTree(s.old, error)) return false;
      if (!Rename(s.image, s.old, error)) return false;
    }
    if (!Rename(s.stage, s.image, error)) return false;
    SyncFolder(s.image.parent_path());
  } else if (!committed && Exists(s.stage)) {
    // The run or its save stopped before the working copy was whole.
    if (!RemoveTree(s.stage, error)) return false;
  }
  if (committed) {
    if (::unlink(s.marker.c_str()) != 0) return Fail(error, s.marker, "cannot be removed");
    SyncFolder(s.image.parent_path());
  }
  if (Exists(s.old)) {
    if (!Exists(s.image)) return Rename(s.old, s.image, error);
    return RemoveTree(s.old, error);
  }
  return true;
}

ImageStage::~ImageStage() {
  if (!active_) return;
  std::error_code ec;
  fs::remove_all(stage_, ec);
}

bool ImageStage::Begin(const std::string& image, Machine& m, std::string* error) {
  const Siblings s = SiblingsOf(image);
  image_ = s.image.string();
  stage_ = s.stage.string();
  old_ = s.old.string();
  marker_ = s.marker.string();
  if (!s.image.has_filename() || s.image == s.image.root_path())
    return Fail(error, s.image, "the image cannot be changed in place");
  if (Exists(s.stage) && !RemoveTree(s.stage, error)) return false;
  active_ = true;
  if (!LinkTree(s.image, s.stage, error)) return false;
  m.image_dir = stage_;
  m.files.drives_root = (s.stage / "drives").string();
  return true;
}

bool ImageStage::Commit(std::string* error) {
  const fs::path parent = fs::path(image_).parent_path();
  // Everything the run wrote into the working copy reaches the disk before
  // the marker says it is whole.
  const int fd = ::open(stage_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail(error, stage_, "cannot be opened");
  const bool synced = ::syncfs(fd) == 0;
  ::close(fd);
  if (!synced) return Fail(error, stage_, "cannot be synced");
  SaveStepDone();

  const int marker = ::open(marker_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (marker < 0) return Fail(error, marker_, "cannot be created");
  ::fsync(marker);
  ::close(marker);
  SyncFolder(parent);
  SaveStepDone();
  active_ = false;  // from here on the new image wins, whatever happens

  if (!Rename(image_, old_, error)) return false;
  SaveStepDone();
  if (!Rename(stage_, image_, error)) return false;
  SyncFolder(parent);
  SaveStepDone();
  if (::unlink(marker_.c_str()) != 0) return Fail(error, marker_, "cannot be removed");
  SyncFolder(parent);
  SaveStepDone();
  if (!RemoveTree(old_, error)) return false;
  SaveStepDone();
  return true;
}

}  // namespace sim
