// Any bytes as a device mode handed in by an application or the spooler:
// validation against a printer (sized and unsized), conversion between versions
// (sized and unsized) and the spooler's conversion modes. The sized forms get a
// buffer of exactly the input's length; the unsized ones, which trust the size
// fields, a buffer large enough for any size fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "description/ppd.h"
#include "fuzz_spool.h"
#include "settings/settings.h"

namespace {

constexpr size_t kLargest = 0xFFFF + 0xFFFF;  // dmSize + dmDriverExtra at their largest

void Check(bool ok)
{
    if (!ok) std::abort();
}

struct Descriptions {
    PPDDATA* ppd[2];
    Descriptions()
    {
        auto& spool = fuzzspool::Get();
        for (int i = 0; i < 2; ++i) {
            ppd[i] = PpdCreate(spool.ppd[i].c_str(), nullptr);
            Check(ppd[i] != nullptr);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Descriptions descriptions;
    auto& spool = fuzzspool::Get();
    if (size < 2) return 0;
    const uint8_t mode = data[0], outSize = data[1];
    data += 2;
    size -= 2;
    const PPDDATA* ppd = descriptions.ppd[mode & 1];

    std::vector<uint8_t> exact(data, data + size);
    const auto* pdmExact = reinterpret_cast<const DEVMODEW*>(exact.data());
    std::vector<uint8_t> large(kLargest + sizeof(DRVDEVMODE), 0);
    std::memcpy(large.data(), data, std::min(size, large.size()));
    const auto* pdmLarge = reinterpret_cast<const DEVMODEW*>(large.data());

    DRVDEVMODE out = dmDefault;
    Check(SetDefaultDevMode(&out, spool.name.c_str(), ppd, FALSE));
    if (ValidateSetDevModeSized(spool.printer, &out, size ? pdmExact : nullptr, static_cast<DWORD>(size), ppd))
        Check(out.dmPublic.dmSize == DM_PUBLIC_SIZE && out.dmPublic.dmDriverExtra == sizeof(DRVEXTRA));
    out = dmDefault;
    Check(SetDefaultDevMode(&out, spool.name.c_str(), ppd, FALSE));
    if (size >= sizeof(DEVMODEW) || (mode & 2)) ValidateSetDevMode(spool.printer, &out, pdmLarge, ppd);

    // Into an output of the driver's own version, or a short buffer of any size.
    std::vector<uint8_t> target(sizeof(DRVDEVMODE));
    std::memcpy(target.data(), &dmDefault, sizeof(DRVDEVMODE));
    auto* pdmTarget = reinterpret_cast<DEVMODEW*>(target.data());
    ConvertDevmodeSized(pdmExact, static_cast<DWORD>(size), pdmTarget, static_cast<DWORD>(target.size()));
    std::vector<uint8_t> small(outSize);
    std::memcpy(small.data(), &dmDefault, std::min<size_t>(outSize, sizeof(DRVDEVMODE)));
    ConvertDevmodeSized(pdmExact, static_cast<DWORD>(size), small.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(small.data()),
                        outSize);
    if (size >= sizeof(DEVMODEW)) {
        std::vector<uint8_t> whole(kLargest + sizeof(DRVDEVMODE), 0);
        std::memcpy(whole.data(), &dmDefault, sizeof(DRVDEVMODE));
        ConvertDevmode(pdmLarge, reinterpret_cast<DEVMODEW*>(whole.data()));
    }
    for (DWORD fMode : {CDM_CONVERT, CDM_CONVERT351, CDM_DRIVER_DEFAULT}) {
        std::vector<uint8_t> buffer(target);
        LONG cb = static_cast<LONG>((mode & 4) ? outSize : buffer.size());
        if (static_cast<size_t>(cb) > buffer.size()) cb = static_cast<LONG>(buffer.size());
        CommonDrvConvertDevmode(spool.name.c_str(), pdmLarge, reinterpret_cast<DEVMODEW*>(buffer.data()), &cb, fMode,
                                &DriverVersions);
    }
    return 0;
}
