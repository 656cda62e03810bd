// Which resources make up the small dialog that the logic names by its title.
#pragma once

#include <string>

namespace win32ui {

struct DialogTemplate {
  int dialogId;        // 0: no template for this title
  int acceleratorsId;  // 0: none
  bool ownedByMainWindow;
};

DialogTemplate TemplateForTitle(const std::string& title);

}  // namespace win32ui
