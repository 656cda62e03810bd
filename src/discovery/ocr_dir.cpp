// GetOCRDir: where the OCR software of the device was installed.
#include "app/run_state.h"
#include "discovery/detection.h"
#include "discovery/finder_caches.h"
#include "discovery/search_registry.h"

namespace {

// The OCR path reader's buffer is one byte short of a path buffer.
constexpr DWORD kOCRBuffer = 259;

}  // namespace

void CFindAiOinReg::GetOCRDir(char* out, int nDeviceModel) {
  char* cache = Caches().ocrDir;
  if (cache[0] != '\0') {
    CopyPath(out, cache);
    return;
  }
  const char* key = "";  // the older generations have no key: the hive itself is read
  switch (nDeviceModel) {
    case kModelCorvusM:
    case kModelCorvusN:
    case kModelCorvusP:
    case kModelTRX380:
      key = "Software\\Vantrel\\VTAiO07\\Install";
      break;
    case kModelTRX420:
      key = "Software\\Vantrel\\vt trx 420 series\\Install";
      break;
    case kModelCorvusW:
      key = "Software\\Vantrel\\vt corvus w series\\Install";
      break;
    case kModelCorvusMOwn:
      key = "Software\\Vantrel\\vt corvus m series\\Install";
      break;
    default:
      // Photo Desk software comes without OCR.
      if (IsPhotoDeskModel(nDeviceModel)) return;
      break;
  }
  CSearchRegistry registry;
  if (!registry.OpenKey(key)) {
    CopyPath(out, g_sDefaultOCRDir.c_str());
    return;
  }
  if (registry.ReadValue("READIRISTARGETDIR", out, kOCRBuffer)) {
    CopyPath(cache, out);
    return;
  }
  if (registry.OpenKey(key) && registry.ReadValue("< TBD... >", out, kOCRBuffer)) {
    CopyPath(cache, out);
    return;
  }
  CopyPath(out, g_sDefaultOCRDir.c_str());
}
