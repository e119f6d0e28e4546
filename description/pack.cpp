// Packing a description object into a PPDDATA record: two passes over the
// object with the same code, the first only counting bytes so that the record
// is one exact-size allocation, the second writing it with offsets for links.
#include <cstring>

#include "common/drvmem.h"
#include "pack.h"

namespace {

inline std::size_t Round4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

template <class T>
T* At(BYTE* pDest, std::size_t offset) { return reinterpret_cast<T*>(pDest + offset); }

}  // namespace

std::size_t PackPstr(BYTE* pDest, std::size_t offset, const char* pstr, DWORD* pField)
{
    if (!pstr) return 0;
    const std::size_t cb = std::strlen(pstr) + 1;
    if (pDest) {
        std::memcpy(pDest + offset, pstr, cb);
        *pField = static_cast<DWORD>(offset);
    }
    return Round4(cb);
}

std::size_t PackPwstr(BYTE* pDest, std::size_t offset, const WCHAR* pwstr, DWORD* pField)
{
    if (!pwstr) return 0;
    std::size_t cch = 0;
    while (pwstr[cch]) ++cch;
    const std::size_t cb = (cch + 1) * sizeof(WCHAR);
    if (pDest) {
        std::memcpy(pDest + offset, pwstr, cb);
        *pField = static_cast<DWORD>(offset);
    }
    return Round4(cb);
}

// No keyword creates constraints: the block is a count of 0 and the entry size.
std::size_t PackUiConstraints(BYTE* pDest, std::size_t offset, const PPDOBJ*, PPDDATA* pOut)
{
    constexpr DWORD dwCount = 0;
    if (pDest) {
        auto* pBlock = At<UICONSTRAINTS>(pDest, offset);
        pBlock->wCount = dwCount;
        pBlock->wEntrySize = 8;
        pOut->pConstraints = static_cast<DWORD>(offset);
    }
    return 12 * dwCount + 4;
}

DWORD PackUiGroupDefault(UIGROUPOBJ* pGroup)
{
    if (pGroup->wGroupIndex == PPDGROUP_RESOLUTION) {
        const char* pstrName = pGroup->pstrDefault;
        if (!pstrName && pGroup->pOptions) pstrName = pGroup->pOptions->node.pstrName;
        if (!pstrName) return 300;
        const long long dpi = AsciiToLong(pstrName);
        return dpi < 1 ? 300 : static_cast<DWORD>(dpi);
    }
    if (!pGroup->pstrDefault) return 0;
    DWORD index = 0;
    const DWORD h = HashKeyword(pGroup->pstrDefault);
    for (UIOPTIONOBJ* pOpt = pGroup->pOptions; pOpt; pOpt = reinterpret_cast<UIOPTIONOBJ*>(pOpt->node.pNext), ++index)
        if (pOpt->node.dwHash == h && std::strcmp(pOpt->node.pstrName, pGroup->pstrDefault) == 0) return index;
    return 0;
}

std::size_t PackUiOption(BYTE* pDest, std::size_t offset, const UIOPTIONOBJ* pOpt, UIOPTION* pOut)
{
    std::size_t cb = PackPstr(pDest, offset, pOpt->pstrTranslation, pOut ? &pOut->pstrTranslation : nullptr);
    cb += PackPstr(pDest, offset + cb, pOpt->pstrInvocation, pOut ? &pOut->pstrInvocation : nullptr);
    return cb;
}

std::size_t PackResOption(BYTE* pDest, std::size_t offset, const UIOPTIONOBJ* pOpt, RESOPTION* pOut)
{
    std::size_t cb = PackPstr(pDest, offset, pOpt->pstrTranslation, pOut ? &pOut->pstrTranslation : nullptr);
    cb += PackPstr(pDest, offset + cb, pOpt->pstrInvocation, pOut ? &pOut->pstrInvocation : nullptr);
    cb += PackPstr(pDest, offset + cb, pOpt->pstrReserved, pOut ? &pOut->pstrReserved : nullptr);
    cb += PackPstr(pDest, offset + cb, pOpt->pstrSetResolution, pOut ? &pOut->pstrSetResolution : nullptr);
    return cb;
}

// Packs a list: each node's fixed record, then its name, then what the item
// packer adds. The list field and each copy's pNext receive offsets.
template <class Node, class Packer>
std::size_t PackListObj(BYTE* pDest, std::size_t offset, Node* pList, DWORD* pListField, std::size_t cbRecord,
                        Packer packer)
{
    const std::size_t start = offset;
    DWORD* pLink = pListField;
    for (Node* pNode = pList; pNode; pNode = reinterpret_cast<Node*>(pNode->node.pNext)) {
        const std::size_t recordOffset = offset;
        if (pDest) {
            auto* pRecord = At<DWORD>(pDest, recordOffset);  // pNext, pstrName, dwHash open every record
            *pLink = static_cast<DWORD>(recordOffset);
            pRecord[2] = pNode->node.dwHash;
            pLink = &pRecord[0];
        }
        offset += Round4(cbRecord);
        offset += PackPstr(pDest, offset, pNode->node.pstrName, pDest ? At<DWORD>(pDest, recordOffset + 4) : nullptr);
        offset += packer(pDest, offset, pNode, recordOffset);
    }
    return offset - start;
}

std::size_t PackUiGroup(BYTE* pDest, std::size_t offset, UIGROUPOBJ* pGroup, std::size_t recordOffset)
{
    UIGROUP* pOut = pDest ? At<UIGROUP>(pDest, recordOffset) : nullptr;
    std::size_t cb = PackPstr(pDest, offset, pGroup->pstrTranslation, pOut ? &pOut->pstrTranslation : nullptr);
    if (pOut) {
        pOut->dwDefault = PackUiGroupDefault(pGroup);
        pOut->cbOption = pGroup->cbOption;
        pOut->wGroupIndex = pGroup->wGroupIndex;
        pOut->wGroupFlags = pGroup->wGroupFlags;
        pOut->wUiType = pGroup->wUiType;
        pOut->wSequence = pGroup->wSequence;
    }
    const bool bResolution = pGroup->wGroupIndex == PPDGROUP_RESOLUTION;
    const bool bInputSlot = pGroup->wGroupIndex == PPDGROUP_INPUTSLOT;
    cb += PackListObj(pDest, offset + cb, pGroup->pOptions, pOut ? &pOut->pOptions : nullptr, pGroup->cbOption,
                      [&](BYTE* d, std::size_t off, UIOPTIONOBJ* pOpt, std::size_t recOff) -> std::size_t {
                          if (bResolution) return PackResOption(d, off, pOpt, d ? At<RESOPTION>(d, recOff) : nullptr);
                          if (d && bInputSlot) At<INPUTSLOT>(d, recOff)->bRequiresPageRegion = pOpt->bRequiresPageRegion;
                          return PackUiOption(d, off, pOpt, d ? At<UIOPTION>(d, recOff) : nullptr);
                      });
    return cb;
}

std::size_t DoPackPpd(BYTE* pDest, PPDOBJ* pPpdObj)
{
    PPDDATA* pOut = pDest ? At<PPDDATA>(pDest, 0) : nullptr;
    if (pOut) {
        pOut->wChecksum = pPpdObj->wChecksum;
        pOut->wLsOrientation = pPpdObj->wLsOrientation;
        pOut->dwLanguageLevel = pPpdObj->dwLanguageLevel;
        pOut->bColorDevice = pPpdObj->bColorDevice;
        pOut->dwMaxMediaWidth = pPpdObj->dwMaxMediaWidth;
        pOut->dwMaxMediaHeight = pPpdObj->dwMaxMediaHeight;
        pOut->wGroupCount = pPpdObj->wGroupCount;
    }
    std::size_t offset = sizeof(PPDDATA);
    offset += PackPwstr(pDest, offset, pPpdObj->pwstrFileName, pOut ? &pOut->pwstrFileName : nullptr);
    offset += PackPstr(pDest, offset, pPpdObj->pstrNickName, pOut ? &pOut->pstrNickName : nullptr);
    offset += PackUiConstraints(pDest, offset, pPpdObj, pOut);
    offset += PackListObj(pDest, offset, pPpdObj->pUiGroups, pOut ? &pOut->pUiGroups : nullptr, sizeof(UIGROUP),
                          [](BYTE* d, std::size_t off, UIGROUPOBJ* pGroup, std::size_t recOff) {
                              return PackUiGroup(d, off, pGroup, recOff);
                          });
    return offset;
}

void PpdSortUiGroups(PPDOBJ* pPpdObj)
{
    WORD n = 0;
    for (UIGROUPOBJ* p = pPpdObj->pUiGroups; p; p = reinterpret_cast<UIGROUPOBJ*>(p->node.pNext)) p->wSequence = n++;
    pPpdObj->wGroupCount = n;
}

PPDDATA* PackPpdData(PPDOBJ* pPpdObj)
{
    if (!pPpdObj) return nullptr;
    UIGROUPOBJ* pSlots = pPpdObj->apPredefGroups[PPDGROUP_INPUTSLOT];
    if (pSlots && (pSlots->wGroupFlags & (UIGF_REQUIRES_PAGERGN_TRUE | UIGF_REQUIRES_PAGERGN_FALSE))) {
        const DWORD bRequires = (pSlots->wGroupFlags & UIGF_REQUIRES_PAGERGN_TRUE) ? 1 : 0;
        for (UIOPTIONOBJ* p = pSlots->pOptions; p; p = reinterpret_cast<UIOPTIONOBJ*>(p->node.pNext))
            p->bRequiresPageRegion = bRequires;
    }
    PpdSortUiGroups(pPpdObj);

    PPDDATA* pPpdData = nullptr;
    const std::size_t cb = DoPackPpd(nullptr, pPpdObj);
    if (cb <= 0xFFFFFFFFu) pPpdData = static_cast<PPDDATA*>(DrvAllocMem(cb, true));
    if (pPpdData) {
        DoPackPpd(reinterpret_cast<BYTE*>(pPpdData), pPpdObj);
        pPpdData->dwSize = static_cast<DWORD>(cb);
        pPpdData->wVersion = PPDDATA_VERSION;
        for (auto& off : pPpdData->apPredefGroups) off = 0;
    }
    PPDOBJ_Delete(pPpdObj);
    return pPpdData;
}

// Reads a decimal number the way atol does: leading white space, a sign, then
// digits up to the first other character. Saturates instead of overflowing.
long long AsciiToLong(const char* s)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
    bool bNegative = false;
    if (*s == '+' || *s == '-') bNegative = *s++ == '-';
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v * 10 + (*s - '0');
        if (v > 0x7FFFFFFF) v = 0x80000000LL;
    }
    if (bNegative) return -v;
    return v > 0x7FFFFFFF ? 0x7FFFFFFF : v;
}
