// Objects behind the engine's handles, shared by the engine service files.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "base/handles.h"
#include "engine/gdi.h"

namespace platform {

struct EngineObject : HandleObject {
    bool ClosedByCloseHandle() const override { return false; }
};

struct EngineDevice : EngineObject {
    EngineDevice();
    ~EngineDevice() override;
    std::u16string driverName;
    std::u16string dataFile;
    std::atomic<DHPDEV> dhpdev{nullptr};
};

std::shared_ptr<EngineDevice> LookupEngineDevice(HDEV hdev);

}  // namespace platform
