// UI groups and options of the description object.
#include <cstring>

#include "ppdobj.h"

namespace {

const UIGROUPINFO uigrpInfo[] = {
    {"InputSlot", sizeof(INPUTSLOT), UITYPE_PICKONE, PPDGROUP_INPUTSLOT},
    {"ManualFeed", sizeof(UIOPTION), UITYPE_BOOLEAN, PPDGROUP_MANUALFEED},
    {"Duplex", sizeof(UIOPTION), UITYPE_PICKONE, PPDGROUP_DUPLEX},
    {"Collate", sizeof(UIOPTION), UITYPE_BOOLEAN, PPDGROUP_COLLATE},
    {"Resolution", sizeof(RESOPTION), UITYPE_PICKONE, PPDGROUP_RESOLUTION},
};

char* PoolCopy(HEAPOBJ hPool, const char* s, std::size_t len)
{
    auto* p = static_cast<char*>(HEAPOBJ_Alloc(hPool, len + 1));
    if (!p) return nullptr;
    std::memcpy(p, s, len);
    p[len] = '\0';
    return p;
}

}  // namespace

WORD GetUiGroupIndex(const char* pstrName)
{
    for (const auto& info : uigrpInfo)
        if (std::strcmp(info.pstrName, pstrName) == 0) return info.wGroupIndex;
    return PPDGROUP_OTHER;
}

void GetUiGroupInfo(UIGROUPINFO* pInfo, WORD wIndex, const char* pstrName)
{
    if (wIndex >= PPDGROUP_OTHER) wIndex = GetUiGroupIndex(pstrName);
    if (wIndex < PPDGROUP_OTHER) {
        *pInfo = uigrpInfo[wIndex];
        return;
    }
    *pInfo = {pstrName, sizeof(UIOPTION), UITYPE_PICKONE, PPDGROUP_OTHER};
}

UIGROUPOBJ* UIGROUP_Create(PPDOBJ* pPpdObj, const UIGROUPINFO* pInfo)
{
    auto* pGroup = static_cast<UIGROUPOBJ*>(HEAPOBJ_Alloc(pPpdObj->pool, sizeof(UIGROUPOBJ)));
    if (!pGroup) return nullptr;
    std::memset(pGroup, 0, sizeof(*pGroup));
    pGroup->node.pstrName = PoolCopy(pPpdObj->pool, pInfo->pstrName, std::strlen(pInfo->pstrName));
    if (!pGroup->node.pstrName) return nullptr;
    pGroup->cbOption = pInfo->cbOption;
    pGroup->wUiType = pInfo->wUiType;
    pGroup->wGroupIndex = pInfo->wGroupIndex;
    if (pInfo->wGroupIndex < PPDGROUP_OTHER) pPpdObj->apPredefGroups[pInfo->wGroupIndex] = pGroup;
    return pGroup;
}

int CreateUiGroup(PPDOBJ* pPpdObj, WORD wIndex, const char* pstrName, UIGROUPOBJ** ppGroup)
{
    UIGROUPINFO info;
    GetUiGroupInfo(&info, wIndex, pstrName);
    auto* pGroup = reinterpret_cast<UIGROUPOBJ*>(LISTOBJ_Find(ListOf(pPpdObj->pUiGroups), info.pstrName));
    if (!pGroup) {
        pGroup = UIGROUP_Create(pPpdObj, &info);
        if (!pGroup) return PPDERR_MEMORY;
        LISTOBJ_Add(ListHead(&pPpdObj->pUiGroups), &pGroup->node);
    }
    *ppGroup = pGroup;
    return PPDERR_NONE;
}

UIOPTIONOBJ* UIOPTION_Create(HEAPOBJ hPool, const BUFOBJ* pOption, const BUFOBJ* pXlation, DWORD)
{
    auto* pOpt = static_cast<UIOPTIONOBJ*>(HEAPOBJ_Alloc(hPool, sizeof(UIOPTIONOBJ)));
    if (!pOpt) return nullptr;
    std::memset(pOpt, 0, sizeof(*pOpt));
    pOpt->node.pstrName = PoolCopy(hPool, pOption->pText, pOption->dwLength);
    if (!pOpt->node.pstrName) return nullptr;
    if (!BUFOBJ_IsEmpty(pXlation) && GetStringValue(&pOpt->pstrTranslation, pXlation, hPool, VALUE_QUOTED) != PPDERR_NONE)
        return nullptr;
    return pOpt;
}

int CreateUiOption(PPDOBJ* pPpdObj, PARSEROBJ* pParser, WORD wIndex, UIOPTIONOBJ** ppOption)
{
    UIGROUPOBJ* pGroup = nullptr;
    int status = CreateUiGroup(pPpdObj, wIndex, pParser->keyword.pText, &pGroup);
    if (status != PPDERR_NONE) return status;

    auto* pOpt = reinterpret_cast<UIOPTIONOBJ*>(LISTOBJ_Find(ListOf(pGroup->pOptions), pParser->option.pText));
    if (pOpt) {
        if (!BUFOBJ_IsEmpty(&pParser->xlation) && !pOpt->pstrTranslation) {
            status = GetStringValue(&pOpt->pstrTranslation, &pParser->xlation, pPpdObj->pool, VALUE_QUOTED);
            if (status != PPDERR_NONE) return status;
        }
    } else {
        pOpt = UIOPTION_Create(pPpdObj->pool, &pParser->option, &pParser->xlation, pGroup->cbOption);
        if (!pOpt) return PPDERR_MEMORY;
        LISTOBJ_Add(ListHead(&pGroup->pOptions), &pOpt->node);
    }
    *ppOption = pOpt;
    return PPDERR_NONE;
}
