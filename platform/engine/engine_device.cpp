// The engine device (HDEV) of a printer: the paths the driver asks the engine for.
#include <new>

#include "base/codepage.h"
#include "base/driverlib.h"
#include "engine/engine.h"
#include "engine_internal.h"

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
    // The render library where the platform finds it by name; a stored path is never used.
    device->driverName = Widen(DriverLibraryPath(printer.renderLibrary));
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
