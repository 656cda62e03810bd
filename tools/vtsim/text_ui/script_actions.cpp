#include "tools/vtsim/text_ui/script_actions.h"

#include "app/dialog_ids.h"
#include "sim/text.h"

namespace textui {

bool SameNoCase(const std::string& a, const std::string& b) { return sim::EqualNoCase(a, b); }

int KeyCode(const sim::ScriptAction& action) {
  if (action.verb != sim::ScriptVerb::kKey) return 0;
  switch (action.key) {
    case sim::ScriptKey::kTyped:
      return static_cast<unsigned char>(action.typed);
    case sim::ScriptKey::kEnter:
      return kKeyEnter;
    case sim::ScriptKey::kEscape:
      return kKeyEscape;
    case sim::ScriptKey::kF1:
      return kKeyF1;
    case sim::ScriptKey::kNone:
      break;
  }
  return 0;
}

const char* KeyOffer() {
  return "  key CHARACTER (an accelerator), key Enter, key Escape, key F1\n";
}

}  // namespace textui
