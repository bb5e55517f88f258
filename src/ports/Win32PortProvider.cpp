#include "ports/Win32PortProvider.h"

#include "ports/PortMapValues.h"

#include <windows.h>

#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zor::ports {

namespace {

std::string utf8(const wchar_t* text, size_t length)
{
    if (length == 0)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

// A string of a buffer that may or may not end in its terminator.
std::string utf8(const std::vector<wchar_t>& buffer)
{
    size_t length = 0;
    while (length < buffer.size() && buffer[length] != L'\0')
        ++length;
    return utf8(buffer.data(), length);
}

std::vector<PortMapValue> readPortMapValues()
{
    std::vector<PortMapValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName, &longestData,
            nullptr, nullptr)
        == ERROR_SUCCESS) {
        for (DWORD i = 0; i < count; ++i) {
            std::vector<wchar_t> name(longestName + 1);
            std::vector<wchar_t> data(longestData / sizeof(wchar_t) + 1);
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataBytes = longestData;
            DWORD type = 0;
            if (RegEnumValueW(
                    key, i, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataBytes)
                    != ERROR_SUCCESS
                || type != REG_SZ)
                continue;
            values.push_back({ utf8(name.data(), nameLength), utf8(data) });
        }
    }
    RegCloseKey(key);
    return values;
}

std::string registryProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property)
{
    DWORD bytes = 0;
    SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, nullptr, 0, &bytes);
    if (bytes == 0)
        return {};
    std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1);
    if (!SetupDiGetDeviceRegistryPropertyW(
            set, &device, property, nullptr, reinterpret_cast<BYTE*>(value.data()), bytes, nullptr))
        return {};
    return utf8(value);
}

std::string instanceId(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    DWORD length = 0;
    SetupDiGetDeviceInstanceIdW(set, &device, nullptr, 0, &length);
    std::vector<wchar_t> id(length + 1);
    if (length == 0 || !SetupDiGetDeviceInstanceIdW(set, &device, id.data(), length, nullptr))
        return {};
    return utf8(id);
}

std::string keyValue(HKEY key, const wchar_t* name)
{
    std::vector<wchar_t> data(256);
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) != ERROR_SUCCESS
        || type != REG_SZ)
        return {};
    return utf8(data);
}

// What the setup database says about one device; a device interface
// carries its path, matched by the "(COMn)" of its description, instead of
// a port name.
TPortEntry deviceRecord(HDEVINFO set, SP_DEVINFO_DATA& device, bool viaInterface)
{
    TPortEntry record;
    record.Driver = registryProperty(set, device, SPDRP_DRIVER);
    record.Service = registryProperty(set, device, SPDRP_SERVICE);
    record.NamePDO = registryProperty(set, device, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME);
    record.Description = registryProperty(set, device, SPDRP_DEVICEDESC);
    record.Manufacturer = registryProperty(set, device, SPDRP_MFG);
    record.InstanceId = instanceId(set, device);
    record.RegKey = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\" + record.InstanceId + "\\Device Parameters";
    if (viaInterface)
        return record;
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key != INVALID_HANDLE_VALUE) {
        record.PortName = keyValue(key, L"PortName");
        RegCloseKey(key);
    }
    return record;
}

// The classes whose device interfaces are enumerated, then those whose
// devices are: modems, COM ports and the ports class, then every class a
// serial port hides in (infrared, adapters, Bluetooth, modems,
// multifunction and multiport cards, legacy drivers).
const GUID kComPortInterface = { 0x86E0D1E0, 0x8089, 0x11D0, { 0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73 } };
const GUID kModemInterface = { 0x2C7089AA, 0x2E0E, 0x11D1, { 0xB1, 0x14, 0x00, 0xC0, 0x4F, 0xC2, 0xAA, 0xE4 } };
const GUID kInterfaceClasses[] = { kModemInterface, kComPortInterface, GUID_DEVCLASS_PORTS };
const GUID kDeviceClasses[]
    = { GUID_DEVCLASS_PORTS, GUID_DEVCLASS_INFRARED, GUID_DEVCLASS_ADAPTER, GUID_DEVCLASS_BLUETOOTH,
          GUID_DEVCLASS_MODEM, GUID_DEVCLASS_MULTIFUNCTION, GUID_DEVCLASS_MULTIPORTSERIAL, GUID_DEVCLASS_LEGACYDRIVER };

void readDevices(const GUID& guid, bool viaInterface, bool presentOnly, std::vector<TPortEntry>& records)
{
    const DWORD flags = (presentOnly ? DIGCF_PRESENT : 0u) | (viaInterface ? DIGCF_DEVICEINTERFACE : 0u);
    const HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE)
        return;
    for (DWORD i = 0;; ++i) {
        SP_DEVINFO_DATA device {};
        device.cbSize = sizeof(device);
        if (viaInterface) {
            SP_DEVICE_INTERFACE_DATA iface {};
            iface.cbSize = sizeof(iface);
            if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &iface))
                break;
            // The device behind the interface comes with the interface's
            // detail, which has to be asked for whole.
            DWORD bytes = 0;
            SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &bytes, nullptr);
            std::vector<BYTE> detail(std::max<DWORD>(bytes, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)));
            auto* path = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detail.data());
            path->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (!SetupDiGetDeviceInterfaceDetailW(
                    set, &iface, path, static_cast<DWORD>(detail.size()), nullptr, &device))
                continue;
        } else if (!SetupDiEnumDeviceInfo(set, i, &device)) {
            break;
        }
        records.push_back(deviceRecord(set, device, viaInterface));
    }
    SetupDiDestroyDeviceInfoList(set);
}

} // namespace

PlatformPorts Win32PortProvider::ReadPorts()
{
    PlatformPorts ports;
    ports.map = PortMapFromValues(readPortMapValues());
    for (const GUID& guid : kInterfaceClasses)
        readDevices(guid, true, presentOnly_, ports.devices);
    for (const GUID& guid : kDeviceClasses)
        readDevices(guid, false, presentOnly_, ports.devices);
    return ports;
}

} // namespace zor::ports
