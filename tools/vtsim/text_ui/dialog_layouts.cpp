#include "tools/vtsim/text_ui/dialog_layouts.h"

#include "app/dialog_ids.h"
#include "resources/string_table.h"

namespace textui {

std::vector<LayoutItem> DialogLayout(const std::string& title) {
  if (title == LoadStr(IDS_ABOUT_TITLE)) return {{IDS_ABOUT_VERSION, 0}};
  if (title == LoadStr(IDS_INFO_TITLE)) {
    return {{IDS_INFO_CHOSEN_TITLE, 0},
            {0, kIdChosenList},
            {IDS_INFO_FOUND_TITLE, 0},
            {0, kIdFoundList},
            {IDS_INFO_QUESTION, 0}};
  }
  if (title == LoadStr(IDS_REBOOT_TITLE)) return {{IDS_REBOOT_TEXT_1, 0}, {IDS_REBOOT_TEXT_2, 0}};
  return {};
}

}  // namespace textui
