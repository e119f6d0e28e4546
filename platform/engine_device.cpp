// The engine device (HDEV) of a printer: the paths the driver asks the engine for.
#include <new>

#include "platform/driverdir.h"
#include "platform/codepage.h"
#include "platform/engine.h"
#include "platform/engine_internal.h"

namespace platform {
namespace {
std::atomic<long> liveDevices{0};
}

EngineDevice::EngineDevice() { ++liveDevices; }
EngineDevice::~EngineDevice() { --liveDevices; }

std::shared_ptr<EngineDevice> LookupEngineDevice(HDEV hdev)
{
    return LookupHandle<EngineDevice>(reinterpret_cast<HANDLE>(hdev));
}

HDEV CreateEngineDevice(const PrinterRecord& printer)
{
    auto device = std::shared_ptr<EngineDevice>(new (std::nothrow) EngineDevice);
    if (!device) return nullptr;
    // The render library's path where the platform finds it by name; a stored path is never used.
    const std::string& stored = printer.renderLibrary;
    const std::string found = DriverLibraryPath(stored.substr(stored.find_last_of("/\\") + 1));
    device->driverName = Widen(found.empty() ? stored : found);
    device->dataFile = Widen(printer.dataFile);
    return reinterpret_cast<HDEV>(RegisterHandle(device));
}

void DeleteEngineDevice(HDEV hdev)
{
    ReleaseHandleOf<EngineDevice>(reinterpret_cast<HANDLE>(hdev));
}

BOOL SetEngineDeviceDriverData(HDEV hdev, DHPDEV dhpdev)
{
    auto device = LookupEngineDevice(hdev);
    if (!device) return FALSE;
    device->dhpdev = dhpdev;
    return TRUE;
}

DHPDEV EngineDeviceDriverData(HDEV hdev)
{
    auto device = LookupEngineDevice(hdev);
    return device ? device->dhpdev.load() : nullptr;
}

long LiveEngineDevices() { return liveDevices; }

}  // namespace platform

extern "C" {

// The strings live in the device object, which the handle table keeps alive
// until DeleteEngineDevice.
LPWSTR EngGetDriverName(HDEV hdev)
{
    auto device = platform::LookupEngineDevice(hdev);
    if (!device) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return device->driverName.data();
}

LPWSTR EngGetPrinterDataFileName(HDEV hdev)
{
    auto device = platform::LookupEngineDevice(hdev);
    if (!device) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return device->dataFile.data();
}

}  // extern "C"
