// A place inside a JSON document ("printers[0].name") and the line of the
// text it stands on. The JSON library keeps no positions of parsed values, so
// error messages about machine.json find their line with a small tokenizer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

class JsonPath {
 public:
  struct Step {
    bool is_index = false;
    std::string key;   // an object member
    size_t index = 0;  // an array element
  };

  JsonPath() = default;
  JsonPath Key(const std::string& key) const;
  JsonPath Index(size_t index) const;
  const std::vector<Step>& steps() const { return steps_; }
  bool empty() const { return steps_.empty(); }

  // "printers[0].name"; a key that is no plain name is written in quotes
  // and brackets: files["C:\x.dll"].in_use. Error messages pass it through
  // sim::Excerpt, which doubles the backslash as the file writes it.
  std::string Text() const;

 private:
  std::vector<Step> steps_;
};

// The line (from 1) of `path` in `text`: the line of the member's key or of
// the array element. When the path goes further than the text, the line of
// the deepest part that exists (so a missing member names its object).
// Never fails: malformed text gives the line reached so far.
size_t LineOfJsonPath(const std::string& text, const JsonPath& path);

// The first member name that appears twice in one object of `text`, with its
// path and line; false when there is none (or the text is malformed there).
bool FindDuplicateJsonKey(const std::string& text, JsonPath* path, size_t* line);

}  // namespace sim
