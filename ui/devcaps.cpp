// DrvDeviceCapabilities: what a printer offers, for the driver default or a
// caller's device mode merged into it.
#include <cstring>

#include "uidrv.h"

namespace {

struct DevModeOwner {
    PDRVDEVMODE p = static_cast<PDRVDEVMODE>(DrvAllocMem(sizeof(DRVDEVMODE), true));
    ~DevModeOwner() { DrvFreeMem(p); }
    DevModeOwner() = default;
    DevModeOwner(const DevModeOwner&) = delete;
    DevModeOwner& operator=(const DevModeOwner&) = delete;
};

// The paper capabilities: form numbers, sizes or names of the forms that are labels.
DWORD PaperCapability(HANDLE hPrinter, WORD iDevCap, PVOID pOutput, const DRVDEVMODE& dm)
{
    PLABELDATA pDb = GetLabelDatabase(hPrinter, dm.dmPublic.dmDeviceName);
    if (!pDb) return GDI_ERROR;
    DWORD cForms = 0;
    PFORM_INFO_1W pForms = GetDatabaseForms(hPrinter, &cForms);
    DWORD result = GDI_ERROR;
    if (pForms && cForms > 0) {
        PWSTR pNames = iDevCap == DC_PAPERNAMES ? static_cast<PWSTR>(pOutput) : nullptr;
        PWORD pPapers = iDevCap == DC_PAPERS ? static_cast<PWORD>(pOutput) : nullptr;
        PPOINTL pSizes = iDevCap == DC_PAPERSIZE ? static_cast<PPOINTL>(pOutput) : nullptr;
        result = EnumPaperSizes(pDb, pForms, cForms, pNames, pPapers, pSizes, nullptr);
    }
    FreeDatabaseForms(pForms);
    FreeLabelDatabase(pDb);
    return result;
}

DWORD ExtentCapability(HANDLE hPrinter, WORD iDevCap, PVOID pOutput, const DRVDEVMODE& dm, const PPDDATA* pPpd)
{
    const DWORD model = dm.dmPrivate.dwModel;
    if (model >= MODEL_COUNT) return GDI_ERROR;
    const DEVSPEC& limits = devspec[model];
    POINTL extent{};
    if (iDevCap == DC_MINEXTENT) {
        extent = POINTL{limits.lWidthMin, limits.alHeightMin[1]};
    } else {
        PPRINTERPROP pProp = GetPrinterProperties(hPrinter, pPpd);
        if (!pProp) return GDI_ERROR;
        extent = POINTL{limits.lWidthMax, limits.alHeightMax[pProp->bExpansionRAM ? 1 : 0]};
        DrvFreeMem(pProp);
    }
    if (pOutput) std::memcpy(pOutput, &extent, sizeof extent);
    return 1;
}

DWORD Answer(HANDLE hPrinter, WORD iDevCap, PVOID pOutput, const DRVDEVMODE& dm, const PPDDATA* pPpd)
{
    const DEVMODEW& pub = dm.dmPublic;
    switch (iDevCap) {
    case DC_FIELDS: return pub.dmFields;
    case DC_PAPERS:
    case DC_PAPERSIZE:
    case DC_PAPERNAMES: return PaperCapability(hPrinter, iDevCap, pOutput, dm);
    case DC_MINEXTENT:
    case DC_MAXEXTENT: return ExtentCapability(hPrinter, iDevCap, pOutput, dm, pPpd);
    case DC_BINS: return EnumBins(static_cast<PWORD>(pOutput), pPpd);
    case DC_DUPLEX: return PpdSupportDuplex(pPpd) ? 1 : 0;
    case DC_SIZE: return pub.dmSize;
    case DC_EXTRA: return pub.dmDriverExtra;
    case DC_VERSION: return pub.dmSpecVersion;
    case DC_DRIVER: return pub.dmDriverVersion;
    case DC_BINNAMES: return EnumBinNames(static_cast<PWSTR>(pOutput), pPpd);
    case DC_ENUMRESOLUTIONS: return PsEnumResolutions(static_cast<PLONG>(pOutput), pPpd);
    case DC_FILEDEPENDENCIES:
        if (pOutput) *static_cast<PWSTR>(pOutput) = 0;
        return 0;
    case DC_TRUETYPE: return 0;
    case DC_ORIENTATION: return 90;
    case DC_COPIES: return 9999;
    default: return GDI_ERROR;
    }
}

}  // namespace

LBLUI_EXPORT DWORD DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pOutput,
                                         DEVMODEW* pdmSrc)
{
    if (iDevCap < DC_FIELDS || iDevCap > DC_COPIES) return GDI_ERROR;
    PPDDATA* pPpd = LoadPpdFile(hPrinter);
    if (!pPpd) return GDI_ERROR;
    DWORD result = GDI_ERROR;
    {
        DevModeOwner dm;
        if (dm.p && SetDefaultDevMode(dm.p, pDeviceName, pPpd, IsMetricCountry()) &&
            ValidateSetDevMode(hPrinter, dm.p, pdmSrc, pPpd))
            result = Answer(hPrinter, iDevCap, pOutput, *dm.p, pPpd);
    }
    UnloadPpdFile(pPpd);
    return result;
}
