// Where vtsim's own output may go: the checks that keep a transcript or an
// --output copy from landing on the image or the script.
#pragma once

#include <filesystem>
#include <string>

namespace vtsim {

// `p` made absolute with every link and ".." resolved, as far as it exists.
std::filesystem::path Resolved(const std::filesystem::path& p);

// True when `p` is `folder` or lies anywhere below it (both resolved).
bool IsInside(const std::filesystem::path& p, const std::filesystem::path& folder);

// True when `a` and `b` name one file: the same resolved path, or (both
// existing) the same device and inode, as a hard link gives.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// True when the existing file `file` is also one of the files below
// `folder` under another name (a hard link into it).
bool LinkedInto(const std::filesystem::path& file, const std::filesystem::path& folder);

}  // namespace vtsim
