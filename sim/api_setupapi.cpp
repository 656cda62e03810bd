// SetupAPI's device calls: device information sets over machine.json
// "devices", their properties, and removal by the class installer.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/devices.h"
#include "sim/machine.h"
#include "sim/text.h"

using sim::DeviceRecord;
using sim::Fail;
using sim::Machine;

namespace {

// Properties Windows knows end below this; a larger one is refused.
constexpr DWORD kPropertyLimit = 0x25;

struct DeviceSet : sim::HandleObject {
  sim::HandleKind Kind() const override { return sim::HandleKind::Other; }
  std::vector<DeviceRecord> devices;
};

DeviceSet* FindSet(Machine& m, HDEVINFO set) {
  if (!set || set == INVALID_HANDLE_VALUE) return nullptr;
  // Other subsystems keep objects of kind Other too: tell them apart by type.
  return dynamic_cast<DeviceSet*>(m.handles.Get(set));
}

// The set's record the caller's SP_DEVINFO_DATA names (by its DevInst), or
// nullptr after setting the error Windows gives.
DeviceRecord* FindDevice(Machine& m, DeviceSet* set, PSP_DEVINFO_DATA data) {
  if (!data) return Fail(m, ERROR_INVALID_PARAMETER, static_cast<DeviceRecord*>(nullptr));
  if (data->cbSize != sizeof(SP_DEVINFO_DATA))
    return Fail(m, ERROR_INVALID_USER_BUFFER, static_cast<DeviceRecord*>(nullptr));
  for (DeviceRecord& d : set->devices) {
    if (d.dev_inst == data->DevInst) return &d;
  }
  return Fail(m, ERROR_INVALID_PARAMETER, static_cast<DeviceRecord*>(nullptr));
}

// The record the caller names, without judging the call (for faults).
const DeviceRecord* PeekDevice(DeviceSet* set, PSP_DEVINFO_DATA data) {
  if (!data) return nullptr;
  for (const DeviceRecord& d : set->devices)
    if (d.dev_inst == data->DevInst) return &d;
  return nullptr;
}

bool HasEnumerator(const DeviceRecord& d, const std::string& enumerator) {
  if (d.hardware_ids.empty()) return false;
  const std::string& first = d.hardware_ids.front();
  return sim::EqualNoCase(first.substr(0, first.find('\\')), enumerator);
}

}  // namespace

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND, DWORD Flags) {
  Machine& m = sim::CurrentOrDie();
  if (!sim::HasSetupApi(m)) return Fail(m, ERROR_PROC_NOT_FOUND, INVALID_HANDLE_VALUE);
  if (DWORD e = m.faults.Check("SetupDiGetClassDevsA", "", "", Enumerator ? Enumerator : ""))
    return Fail(m, e, INVALID_HANDLE_VALUE);
  if (!ClassGuid && !(Flags & (DIGCF_ALLCLASSES | DIGCF_DEVICEINTERFACE)))
    return Fail(m, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  // Device interfaces are not part of this PC.
  if (Flags & DIGCF_DEVICEINTERFACE)
    return Fail(m, ERROR_CALL_NOT_IMPLEMENTED, INVALID_HANDLE_VALUE);
  auto set = std::make_unique<DeviceSet>();
  for (DeviceRecord& d : sim::CurrentDevices(m)) {
    if ((Flags & DIGCF_PRESENT) && !d.present) continue;
    if (ClassGuid && !(Flags & DIGCF_ALLCLASSES) &&
        !(d.has_class_guid && sim::SameGuid(d.class_guid, *ClassGuid)))
      continue;
    if (Enumerator && *Enumerator && !HasEnumerator(d, Enumerator)) continue;
    set->devices.push_back(std::move(d));
  }
  return m.handles.Add(std::move(set));
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("SetupDiEnumDeviceInfo")) return Fail(m, e, FALSE);
  DeviceSet* set = FindSet(m, DeviceInfoSet);
  if (!set) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!DeviceInfoData) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))
    return Fail(m, ERROR_INVALID_USER_BUFFER, FALSE);
  if (MemberIndex >= set->devices.size()) return Fail(m, ERROR_NO_MORE_ITEMS, FALSE);
  const DeviceRecord& d = set->devices[MemberIndex];
  DeviceInfoData->ClassGuid = d.has_class_guid ? d.class_guid : GUID{};
  DeviceInfoData->DevInst = d.dev_inst;
  DeviceInfoData->Reserved = MemberIndex + 1;
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                              PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                              PDWORD PropertyRegDataType, PBYTE PropertyBuffer,
                                              DWORD PropertyBufferSize, PDWORD RequiredSize) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("SetupDiGetDeviceRegistryPropertyA")) return Fail(m, e, FALSE);
  DeviceSet* set = FindSet(m, DeviceInfoSet);
  if (!set) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  DeviceRecord* d = FindDevice(m, set, DeviceInfoData);
  if (!d) return FALSE;
  if (Property >= kPropertyLimit) return Fail(m, ERROR_INVALID_REG_PROPERTY, FALSE);
  if (d->removed) return Fail(m, ERROR_NO_SUCH_DEVINST, FALSE);
  if (!PropertyBuffer && PropertyBufferSize) return Fail(m, ERROR_INVALID_USER_BUFFER, FALSE);

  DWORD type = REG_SZ;
  std::string data;  // with its terminating zero(s)
  if (Property == SPDRP_DEVICEDESC && d->has_description) {
    data = d->description + '\0';
  } else if (Property == SPDRP_HARDWAREID && !d->hardware_ids.empty()) {
    type = REG_MULTI_SZ;
    for (const std::string& id : d->hardware_ids) data += id + '\0';
    data += '\0';
  } else if (Property == SPDRP_CLASS && d->has_class) {
    data = d->device_class + '\0';
  } else if (Property == SPDRP_CLASSGUID && d->has_class_guid) {
    data = sim::GuidText(d->class_guid) + '\0';
  } else {
    // Every other property is one this device does not have.
    return Fail(m, ERROR_INVALID_DATA, FALSE);
  }
  const DWORD size = static_cast<DWORD>(data.size());
  if (PropertyRegDataType) *PropertyRegDataType = type;
  if (RequiredSize) *RequiredSize = size;
  if (PropertyBufferSize < size) return Fail(m, ERROR_INSUFFICIENT_BUFFER, FALSE);
  std::memcpy(PropertyBuffer, data.data(), size);
  return TRUE;
}

BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                      PSP_DEVINFO_DATA DeviceInfoData) {
  Machine& m = sim::CurrentOrDie();
  DeviceSet* set = FindSet(m, DeviceInfoSet);
  const DeviceRecord* peek = set ? PeekDevice(set, DeviceInfoData) : nullptr;
  const std::string id = peek && !peek->hardware_ids.empty() ? peek->hardware_ids.front() : "";
  if (DWORD e = m.faults.Check("SetupDiCallClassInstaller", "", "", id)) return Fail(m, e, FALSE);
  if (!set) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  // Only the removal of a device is modelled; other requests are not
  // answered as if they had done something.
  if (InstallFunction != DIF_REMOVE) return Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  DeviceRecord* d = FindDevice(m, set, DeviceInfoData);
  if (!d) return FALSE;
  if (m.system.NtFamily() && !m.system.administrator) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  // The record stays in the set (indices do not move); the device is gone.
  if (d->removed || !sim::RemoveDevice(m, *d)) return Fail(m, ERROR_NO_SUCH_DEVINST, FALSE);
  d->removed = true;
  return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("SetupDiDestroyDeviceInfoList")) return Fail(m, e, FALSE);
  if (!FindSet(m, DeviceInfoSet)) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  m.handles.Close(DeviceInfoSet);
  return TRUE;
}
