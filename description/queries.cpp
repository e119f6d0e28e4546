// Queries on a finished description record.
#include <cstring>

#include "common/drvmem.h"
#include "pack.h"

void PpdDelete(PPDDATA* pPpdData)
{
    DrvFreeMem(pPpdData);
}

DWORD PpdDefaultResolution(const PPDDATA* pPpdData)
{
    const UIGROUP* pGroup = PpdPredefGroup(pPpdData, PPDGROUP_RESOLUTION);
    return pGroup ? pGroup->dwDefault : 300;
}

const RESOPTION* PpdFindResolution(const PPDDATA* pPpdData, LONG dpi)
{
    const UIGROUP* pGroup = PpdPredefGroup(pPpdData, PPDGROUP_RESOLUTION);
    for (const UIOPTION* pOpt = PpdFirstOption(pPpdData, pGroup); pOpt; pOpt = PpdNextOption(pPpdData, pOpt)) {
        const char* pstrName = PpdOptionName(pPpdData, pOpt);
        if (pstrName && AsciiToLong(pstrName) == dpi) return PpdResOption(pGroup, pOpt);
    }
    return nullptr;
}

const char* FindBooleanOptionCode(const PPDDATA* pPpdData, const UIGROUP* pGroup, BOOL bFlag)
{
    if (!pGroup) return nullptr;
    const char* pstrWanted = bFlag ? "True" : "False";
    for (const UIOPTION* pOpt = PpdFirstOption(pPpdData, pGroup); pOpt; pOpt = PpdNextOption(pPpdData, pOpt)) {
        const char* pstrName = PpdOptionName(pPpdData, pOpt);
        if (pstrName && std::strcmp(pstrName, pstrWanted) == 0) return PpdOptionInvocation(pPpdData, pOpt);
    }
    return nullptr;
}

const char* PpdFindCollateCode(const PPDDATA* pPpdData, BOOL bFlag)
{
    return FindBooleanOptionCode(pPpdData, PpdPredefGroup(pPpdData, PPDGROUP_COLLATE), bFlag);
}

BOOL PpdSupportDuplex(const PPDDATA* pPpdData)
{
    const UIGROUP* pGroup = PpdPredefGroup(pPpdData, PPDGROUP_DUPLEX);
    return pGroup && pGroup->pOptions != 0;
}
