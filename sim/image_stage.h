// Whole saves of an image changed in place. A run (or a restart) never
// touches the image folder itself: it works on a working copy beside it, made
// of hard links, and the copy replaces the image in one switch at the end.
// Beside an image <parent>/<name> live, only while a save is in flight:
//
//   <name>.vtsim-new     the working copy the run changes and saves into
//   <name>.vtsim-commit  the commit marker: the working copy is whole and synced
//   <name>.vtsim-old     the image as it was, removed after the switch
//
// The switch: sync the working copy, create the marker, rename the image to
// .vtsim-old, rename the working copy to the image, remove the marker, remove
// .vtsim-old. A process killed anywhere leaves a state RecoverImage resolves:
// with the marker the switch is rolled forward (the new image), without it
// the working copy is dropped (the old image). Either way the image folder is
// exactly the old or exactly the new image, in the documented layout.
#pragma once

#include <string>

#include "sim/machine.h"

namespace sim {

// Finishes or undoes a save a killed process left in flight beside `image`
// (LoadImage calls it first). False, with one line, when the host refuses a
// step; true when nothing was in flight or it was resolved.
bool RecoverImage(const std::string& image, std::string* error);

// The working copy of one run in place.
class ImageStage {
 public:
  ImageStage() = default;
  ImageStage(const ImageStage&) = delete;
  ImageStage& operator=(const ImageStage&) = delete;
  // A working copy not switched in is removed: the image stays as it was.
  ~ImageStage();

  // Makes the working copy of `image` and points `m` (loaded from `image`)
  // at it. False, with one line, when the copy cannot be made beside it.
  bool Begin(const std::string& image, Machine& m, std::string* error);

  // Switches the working copy (already saved into with SaveImage) in for
  // the image.
  bool Commit(std::string* error);

 private:
  std::string image_, stage_, old_, marker_;
  bool active_ = false;
};

// One step of a save is done. With CVS_SAVE_KILL_AFTER=N in the environment
// the process kills itself (SIGKILL) after its Nth step, so a test can stop a
// save at every step.
void SaveStepDone();

}  // namespace sim
