// What the small dialogs show besides their buttons, top to bottom, as their
// templates lay it out: static texts from the string table and list boxes.
// The terminal draws them for a person; the transcript does not carry them.
#pragma once

#include <string>
#include <vector>

namespace textui {

struct LayoutItem {
  unsigned textId;  // a string of the string table, or 0
  int listId;       // a list box whose lines are shown here, or 0
};

// The layout of the dialog titled `title`; empty for a dialog without texts.
std::vector<LayoutItem> DialogLayout(const std::string& title);

}  // namespace textui
