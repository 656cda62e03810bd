// The copy of an image that `vtsim run --output DIR` runs on.
#pragma once

#include <string>

namespace vtsim {

// Refuses (false with one line) when `dir` exists and is no empty folder, or
// lies inside `image`, or when `image` holds anything but files and folders
// (a link, a device …). Writes nothing.
bool CheckCopyTarget(const std::string& image, const std::string& dir, std::string* error);

// Copies the files and folders of `image` into `dir` (made if absent). On
// failure what was copied is removed again.
bool CopyImage(const std::string& image, const std::string& dir, std::string* error);

}  // namespace vtsim
