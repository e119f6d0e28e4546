// The keyword handlers: each takes the entry held by the reader and fills the
// description object.
#include <cstring>

#include "ppdobj.h"

namespace {

constexpr char defaultPrefixStr[] = "Default";

}  // namespace

int NullProc(PPDOBJ*, PARSEROBJ*)
{
    return PPDERR_NONE;
}

int ColorDeviceProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    GetBooleanValue(&pPpdObj->bColorDevice, pParser->value.pText);
    return PPDERR_NONE;
}

int NickNameProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    return GetStringValue(&pPpdObj->pstrNickName, &pParser->value, pPpdObj->pool, VALUE_QUOTED);
}

int LanguageLevelProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    return GetIntegerValue(&pPpdObj->dwLanguageLevel, pParser->value.pText);
}

int LsOrientationProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    WORD w = 0;
    if (SearchStringTable(lsoStrs, pParser->value.pText, &w)) pPpdObj->wLsOrientation = w;
    return PPDERR_NONE;
}

int MaxMediaWidthProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    return GetIntegerValue(&pPpdObj->dwMaxMediaWidth, pParser->value.pText);
}

int MaxMediaHeightProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    return GetIntegerValue(&pPpdObj->dwMaxMediaHeight, pParser->value.pText);
}

int InputSlotProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    UIOPTIONOBJ* pOpt = nullptr;
    int status = CreateUiOption(pPpdObj, pParser, PPDGROUP_INPUTSLOT, &pOpt);
    if (status != PPDERR_NONE) return status;
    status = GetStringValue(&pOpt->pstrInvocation, &pParser->value, pPpdObj->pool, VALUE_NONE);
    pOpt->bRequiresPageRegion = 1;
    return status;
}

int RequiresPageRgnProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    DWORD bValue = 0;
    if (std::strcmp(pParser->option.pText, "All") == 0) {
        UIGROUPOBJ* pGroup = nullptr;
        int status = CreateUiGroup(pPpdObj, PPDGROUP_INPUTSLOT, "InputSlot", &pGroup);
        if (status != PPDERR_NONE) return status;
        status = GetBooleanValue(&bValue, pParser->value.pText);
        if (status != PPDERR_NONE) return status;
        pGroup->wGroupFlags |= bValue ? UIGF_REQUIRES_PAGERGN_TRUE : UIGF_REQUIRES_PAGERGN_FALSE;
        return PPDERR_NONE;
    }
    UIOPTIONOBJ* pOpt = nullptr;
    int status = CreateUiOption(pPpdObj, pParser, PPDGROUP_INPUTSLOT, &pOpt);
    if (status != PPDERR_NONE) return status;
    GetBooleanValue(&bValue, pParser->value.pText);
    pOpt->bRequiresPageRegion = bValue;
    return PPDERR_NONE;
}

int CommonUiOptionProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    UIOPTIONOBJ* pOpt = nullptr;
    int status = CreateUiOption(pPpdObj, pParser, PPDGROUP_OTHER, &pOpt);
    if (status != PPDERR_NONE) return status;
    return GetStringValue(&pOpt->pstrInvocation, &pParser->value, pPpdObj->pool, VALUE_NONE);
}

int CommonUiDefaultProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    const char* pstrName = pParser->keyword.pText;
    constexpr std::size_t cchPrefix = sizeof(defaultPrefixStr) - 1;
    if (std::strncmp(pstrName, defaultPrefixStr, cchPrefix) == 0) pstrName += cchPrefix;
    UIGROUPOBJ* pGroup = nullptr;
    int status = CreateUiGroup(pPpdObj, PPDGROUP_OTHER, pstrName, &pGroup);
    if (status != PPDERR_NONE) return status;
    return GetStringValue(&pGroup->pstrDefault, &pParser->value, pPpdObj->pool, VALUE_NONE);
}

int ResolutionProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    UIOPTIONOBJ* pOpt = nullptr;
    int status = CreateUiOption(pPpdObj, pParser, PPDGROUP_RESOLUTION, &pOpt);
    if (status != PPDERR_NONE) return status;
    return GetStringValue(&pOpt->pstrInvocation, &pParser->value, pPpdObj->pool, VALUE_NONE);
}

int SetResolutionProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    UIOPTIONOBJ* pOpt = nullptr;
    int status = CreateUiOption(pPpdObj, pParser, PPDGROUP_RESOLUTION, &pOpt);
    if (status != PPDERR_NONE) return status;
    return GetStringValue(&pOpt->pstrSetResolution, &pParser->value, pPpdObj->pool, VALUE_NONE);
}
