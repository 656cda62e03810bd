// DeletePnPClasses / DeletePnPClass: device instances of the device's classes
// are removed through the Plug-and-Play class installer. SetupApi.dll is
// loaded at run time (older Windows lack it), never imported.
#include <cstring>

#include "app/main_window.h"
#include "journal/restore_point.h"
#include "journal/undo_journal.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "printing/pnp_report.h"
#include "resources/string_table.h"

namespace {

const char kLibrary[] = "SetupApi.dll";
constexpr DWORD kPropertyBuffer = 512;
constexpr size_t kIdBuffer = 512;

struct SetupApi {
  SetupDiGetClassDevsFn getClassDevs = nullptr;
  SetupDiEnumDeviceInfoFn enumDeviceInfo = nullptr;
  SetupDiGetDeviceRegistryPropertyFn getProperty = nullptr;
  SetupDiCallClassInstallerFn callClassInstaller = nullptr;
  SetupDiDestroyDeviceInfoListFn destroyList = nullptr;
};

template <class Fn>
bool Resolve(HMODULE library, const char* exportName, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, exportName)));
  return fn != nullptr;
}

// The name of the first function the library lacks (reported without the
// "A" of the ANSI ones), or nullptr when all five are there.
const char* ResolveAll(HMODULE library, SetupApi& api) {
  if (!Resolve(library, "SetupDiGetClassDevsA", api.getClassDevs)) return "SetupDiGetClassDevs";
  if (!Resolve(library, "SetupDiEnumDeviceInfo", api.enumDeviceInfo)) {
    return "SetupDiEnumDeviceInfo";
  }
  if (!Resolve(library, "SetupDiGetDeviceRegistryPropertyA", api.getProperty)) {
    return "SetupDiGetDeviceRegistryProperty";
  }
  if (!Resolve(library, "SetupDiCallClassInstaller", api.callClassInstaller)) {
    return "SetupDiCallClassInstaller";
  }
  if (!Resolve(library, "SetupDiDestroyDeviceInfoList", api.destroyList)) {
    return "SetupDiDestroyDeviceInfoList";
  }
  return nullptr;
}

void ShowIncomplete(const std::string& detail) {
  MessageBoxA(nullptr, (detail + LoadStr(IDS_PNP_INCOMPLETE)).c_str(), LoadStr(IDS_PNP_BOX_CAPTION),
              MB_ICONEXCLAMATION);
}

// A library without its functions leaves the run unable to go on safely.
[[noreturn]] void EndForMissingFunction(HMODULE library, const char* function) {
  const std::string detail = FormatText(LoadStr(IDS_PNP_FUNCTION_MISSING), function, kLibrary);
  PnPLogNote("DeletePnPClass() -- GetProcAddress()", detail);
  ShowIncomplete(detail);
  FreeLibrary(library);
  g_RestorePoint.EndEarly();
  if (CCvScrubberDlg* dlg = TheMainWindow()) {
    WinHelpA(dlg->View().Handle(), LoadStr(IDS_HELP_FILE_NAME), HELP_QUIT, 0);
  }
  ExitProcess(static_cast<UINT>(-1));
}

// A device property as text; empty when it cannot be read.
std::string ReadProperty(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device,
                         DWORD property) {
  BYTE buffer[kPropertyBuffer + 1] = {};
  DWORD type = 0;
  DWORD needed = 0;
  if (!api.getProperty(set, &device, property, &type, buffer, kPropertyBuffer, &needed)) {
    return std::string();
  }
  // A list of IDs: only the first (up to its zero) counts.
  return reinterpret_cast<const char*>(buffer);
}

void ExamineDevice(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device,
                   const std::string& className, const CStringArray& pnpIDs) {
  if (!SameTextNoCase(ReadProperty(api, set, device, SPDRP_CLASS), className)) return;
  const std::string hardwareId = UpperText(ReadProperty(api, set, device, SPDRP_HARDWAREID));
  for (const std::string& entry : pnpIDs) {
    // An empty ID is in every hardware ID: it must not remove the whole class.
    if (entry.empty()) continue;
    if (hardwareId.find(UpperText(CutToBuffer(entry, kIdBuffer))) == std::string::npos) continue;
    if (!g_UndoJournal.RecordRemoved(JournalItem::kDevice,
                                     ReadProperty(api, set, device, SPDRP_HARDWAREID))) {
      return;
    }
    if (!api.callClassInstaller(DIF_REMOVE, set, &device)) {
      PnPLogError("DeletePnPClass() -- SetupDiCallClassInstaller()",
                  FormatText(LoadStr(IDS_PNP_DEVICE_NOT_REMOVED), className.c_str()),
                  GetLastError());
    }
    return;  // one removal per device
  }
}

}  // namespace

int DeletePnPClass(const std::string& className, const CStringArray& pnpIDs) {
  HMODULE library = LoadLibraryA(kLibrary);
  if (library == nullptr) {
    const std::string detail = FormatText(LoadStr(IDS_PNP_LIBRARY_FAILED), kLibrary);
    PnPLogNote("DeletePnPClass() -- LoadLibrary()", detail);
    ShowIncomplete(detail);
    return 0;
  }
  SetupApi api;
  if (const char* missing = ResolveAll(library, api)) EndForMissingFunction(library, missing);

  HDEVINFO set = api.getClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PROFILE);
  if (set == INVALID_HANDLE_VALUE) {
    PnPLogError("DeletePnPClass() -- SetupDiGetClassDevs()", LoadStr(IDS_PNP_DEVICE_LIST_FAILED),
                GetLastError());
    FreeLibrary(library);
    return 0;
  }
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device;
    std::memset(&device, 0, sizeof(device));
    device.cbSize = sizeof(device);
    if (!api.enumDeviceInfo(set, index, &device)) break;
    ExamineDevice(api, set, device, className, pnpIDs);
  }
  api.destroyList(set);
  FreeLibrary(library);
  return 1;
}

int DeletePnPClasses(const CStringArray& classes, const CStringArray& pnpIDs) {
  PnPLogText(LoadStr(IDS_PNP_CLASSES_BANNER));
  for (const std::string& className : classes) {
    const std::string line = FormatText(LoadStr(IDS_PNP_CLASS_UNREGISTERED), className.c_str());
    PnPProgress(line);
    if (DeletePnPClass(className, pnpIDs) == 0) return 0;
    PnPLogText(line + "\n");
  }
  PnPLogText("\n");
  return 1;
}
