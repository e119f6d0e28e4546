// Reading a validated record: links are offsets from the start of the record.
#include "pack.h"

namespace {

template <class T>
const T* At(const PPDDATA* p, DWORD offset)
{
    if (!p || offset == 0 || offset >= p->dwSize) return nullptr;
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(p) + offset);
}

}  // namespace

const WCHAR* PpdFileName(const PPDDATA* p)
{
    return p ? At<WCHAR>(p, p->pwstrFileName) : nullptr;
}

const char* PpdNickName(const PPDDATA* p)
{
    return p ? At<char>(p, p->pstrNickName) : nullptr;
}

const char* PpdString(const PPDDATA* p, DWORD offset)
{
    return At<char>(p, offset);
}

const UICONSTRAINTS* PpdConstraints(const PPDDATA* p)
{
    return p ? At<UICONSTRAINTS>(p, p->pConstraints) : nullptr;
}

const UIGROUP* PpdFirstGroup(const PPDDATA* p)
{
    return p ? At<UIGROUP>(p, p->pUiGroups) : nullptr;
}

const UIGROUP* PpdNextGroup(const PPDDATA* p, const UIGROUP* pGroup)
{
    return pGroup ? At<UIGROUP>(p, pGroup->pNext) : nullptr;
}

const UIGROUP* PpdPredefGroup(const PPDDATA* p, WORD wIndex)
{
    if (!p || wIndex >= MAX_PREDEF_GROUPS) return nullptr;
    return At<UIGROUP>(p, p->apPredefGroups[wIndex]);
}

const UIOPTION* PpdFirstOption(const PPDDATA* p, const UIGROUP* pGroup)
{
    return pGroup ? At<UIOPTION>(p, pGroup->pOptions) : nullptr;
}

const UIOPTION* PpdNextOption(const PPDDATA* p, const UIOPTION* pOption)
{
    return pOption ? At<UIOPTION>(p, pOption->pNext) : nullptr;
}

const UIOPTION* PpdOptionAt(const PPDDATA* p, const UIGROUP* pGroup, DWORD dwIndex)
{
    const UIOPTION* pOpt = PpdFirstOption(p, pGroup);
    for (; pOpt && dwIndex > 0; --dwIndex) pOpt = PpdNextOption(p, pOpt);
    return pOpt;
}

DWORD PpdOptionCount(const PPDDATA* p, const UIGROUP* pGroup)
{
    DWORD n = 0;
    for (const UIOPTION* pOpt = PpdFirstOption(p, pGroup); pOpt; pOpt = PpdNextOption(p, pOpt)) ++n;
    return n;
}

const INPUTSLOT* PpdInputSlotOption(const UIGROUP* pGroup, const UIOPTION* pOption)
{
    if (!pGroup || !pOption || pGroup->cbOption != sizeof(INPUTSLOT)) return nullptr;
    return reinterpret_cast<const INPUTSLOT*>(pOption);
}

const RESOPTION* PpdResOption(const UIGROUP* pGroup, const UIOPTION* pOption)
{
    if (!pGroup || !pOption || pGroup->cbOption != sizeof(RESOPTION)) return nullptr;
    return reinterpret_cast<const RESOPTION*>(pOption);
}
