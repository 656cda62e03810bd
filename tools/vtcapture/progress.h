// The one progress line on the console, rewritten in place ("\r") so that a
// long capture shows it is alive without filling the screen.
#pragma once

#include <string>

namespace vtcapture {

class Progress {
 public:
  // Shows STAGE and COUNT, at most every 256th call per stage.
  void Tick(const char* stage, unsigned long count);
  // Ends the line with a final count.
  void Done(const char* stage, unsigned long count);
  // A line of its own (a warning), not overwritten.
  void Note(const std::string& text);

 private:
  void Show(const char* stage, unsigned long count);
  bool open_ = false;
};

}  // namespace vtcapture
