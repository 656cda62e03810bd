// What every window of the terminal front end shares: its [window] and
// [closed] lines, what a person at the terminal is told, and the loop that
// lets the script act until it ends.
#pragma once

#include <string>

#include "sim/machine.h"

namespace textui {

class TextWindow {
 protected:
  explicit TextWindow(const std::string& title) : title_(title) {
    User().Write("window", sim::EscapeText(title_));
  }

  static sim::User& User() { return sim::CurrentOrDie().user; }
  // Shows a line to the person at the terminal (nothing for a script).
  static void Tell(const std::string& text) { User().Tell(text); }
  static bool AtTerminal() { return User().AtTerminal(); }

  // Hands script lines to dispatch until the window is ended; returns its result.
  template <class Dispatch>
  int Loop(Dispatch dispatch) {
    while (!ended_) dispatch();
    User().Write("closed", sim::EscapeText(title_) + " -> " + std::to_string(result_));
    Tell("Window \"" + title_ + "\" closed.");
    return result_;
  }
  void End(int result) {
    ended_ = true;
    result_ = result;
  }
  bool Ended() const { return ended_; }

  std::string title_;

 private:
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace textui
