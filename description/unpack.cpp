// Validating a packed record once ("unpacking"): every link of the record is
// an offset and stays one; this pass proves that each offset, string and list
// lies inside dwSize, so that the accessors can follow them unchecked, and it
// fills apPredefGroups with the offsets of the predefined groups.
#include <cstring>

#include "pack.h"

namespace {

bool ValidString(const BYTE* pBase, DWORD cb, DWORD offset)
{
    if (offset < sizeof(PPDDATA) || offset >= cb) return false;
    return std::memchr(pBase + offset, 0, cb - offset) != nullptr;
}

bool ValidOptionalString(const BYTE* pBase, DWORD cb, DWORD offset)
{
    return offset == 0 || ValidString(pBase, cb, offset);
}

bool ValidWideString(const BYTE* pBase, DWORD cb, DWORD offset)
{
    if (offset < sizeof(PPDDATA) || offset >= cb || offset % 2 != 0) return false;
    for (DWORD i = offset; i + 1 < cb; i += 2)
        if (pBase[i] == 0 && pBase[i + 1] == 0) return true;
    return false;
}

DWORD ExpectedOptionSize(WORD wGroupIndex)
{
    if (wGroupIndex == PPDGROUP_INPUTSLOT) return sizeof(INPUTSLOT);
    if (wGroupIndex == PPDGROUP_RESOLUTION) return sizeof(RESOPTION);
    return sizeof(UIOPTION);
}

// Walks a group's options: each record 4-byte aligned, wholly inside the
// record, after the group and after the option before it (so the list ends).
bool ValidOptions(const BYTE* pBase, DWORD cb, DWORD groupOffset, const UIGROUP* pGroup, DWORD* pdwCount)
{
    DWORD count = 0;
    DWORD prev = groupOffset;
    for (DWORD off = pGroup->pOptions; off != 0; ++count) {
        if (off <= prev || off % 4 != 0 || off > cb - pGroup->cbOption) return false;
        const auto* pOpt = reinterpret_cast<const UIOPTION*>(pBase + off);
        if (!ValidString(pBase, cb, pOpt->pstrName) || !ValidOptionalString(pBase, cb, pOpt->pstrTranslation) ||
            !ValidOptionalString(pBase, cb, pOpt->pstrInvocation))
            return false;
        if (pGroup->cbOption == sizeof(INPUTSLOT)) {
            if (reinterpret_cast<const INPUTSLOT*>(pOpt)->bRequiresPageRegion > 1) return false;
        } else if (pGroup->cbOption == sizeof(RESOPTION)) {
            const auto* pRes = reinterpret_cast<const RESOPTION*>(pOpt);
            if (!ValidOptionalString(pBase, cb, pRes->pstrReserved) ||
                !ValidOptionalString(pBase, cb, pRes->pstrSetResolution))
                return false;
        }
        prev = off;
        off = pOpt->pNext;
    }
    *pdwCount = count;
    return true;
}

}  // namespace

BOOL UnpackPpdData(PPDDATA* pPpdData)
{
    if (!pPpdData) return FALSE;
    const DWORD cb = pPpdData->dwSize;
    const auto* pBase = reinterpret_cast<const BYTE*>(pPpdData);
    if (cb < sizeof(PPDDATA) || pPpdData->wVersion != PPDDATA_VERSION) return FALSE;
    if (!ValidWideString(pBase, cb, pPpdData->pwstrFileName)) return FALSE;
    if (!ValidOptionalString(pBase, cb, pPpdData->pstrNickName)) return FALSE;
    if (pPpdData->pConstraints != 0) {
        const DWORD off = pPpdData->pConstraints;
        if (off < sizeof(PPDDATA) || off % 2 != 0 || off > cb - sizeof(UICONSTRAINTS)) return FALSE;
        const auto* pBlock = reinterpret_cast<const UICONSTRAINTS*>(pBase + off);
        const std::size_t cbEntries = std::size_t{pBlock->wCount} * pBlock->wEntrySize;
        if (cbEntries > cb - off - sizeof(UICONSTRAINTS)) return FALSE;
    }

    DWORD apGroups[MAX_PREDEF_GROUPS] = {};
    DWORD count = 0;
    DWORD prev = sizeof(PPDDATA) - 1;
    for (DWORD off = pPpdData->pUiGroups; off != 0; ++count) {
        if (off <= prev || off % 4 != 0 || off > cb - sizeof(UIGROUP)) return FALSE;
        const auto* pGroup = reinterpret_cast<const UIGROUP*>(pBase + off);
        if (!ValidString(pBase, cb, pGroup->pstrName) || !ValidOptionalString(pBase, cb, pGroup->pstrTranslation))
            return FALSE;
        if (pGroup->wGroupIndex > PPDGROUP_OTHER || pGroup->cbOption != ExpectedOptionSize(pGroup->wGroupIndex) ||
            pGroup->wUiType > UITYPE_PICKONE || pGroup->wSequence != count)
            return FALSE;
        DWORD cOptions = 0;
        if (!ValidOptions(pBase, cb, off, pGroup, &cOptions)) return FALSE;
        if (pGroup->wGroupIndex != PPDGROUP_RESOLUTION && pGroup->dwDefault >= (cOptions ? cOptions : 1)) return FALSE;
        if (pGroup->wGroupIndex < PPDGROUP_OTHER) apGroups[pGroup->wGroupIndex] = off;
        prev = off;
        off = pGroup->pNext;
    }
    if (count != pPpdData->wGroupCount) return FALSE;
    std::memcpy(pPpdData->apPredefGroups, apGroups, sizeof(apGroups));
    return TRUE;
}
