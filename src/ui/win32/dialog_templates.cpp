#include "ui/win32/dialog_templates.h"

#include "resources/resource.h"
#include "resources/string_table.h"

namespace win32ui {

// The information and restart dialogs are created without owner, as the
// logic asks; the About box belongs to the main window.
DialogTemplate TemplateForTitle(const std::string& title) {
  if (title == LoadStr(IDS_INFO_TITLE)) return {IDD_INFO, IDR_INFO_ACCELERATORS, false};
  if (title == LoadStr(IDS_REBOOT_TITLE)) return {IDD_REBOOT, IDR_REBOOT_ACCELERATORS, false};
  if (title == LoadStr(IDS_ABOUT_TITLE)) return {IDD_ABOUTBOX, 0, true};
  return {0, 0, false};
}

}  // namespace win32ui
