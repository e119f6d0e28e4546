// The keyword table, its hash and the dispatch of one read entry.
#include <cstring>

#include "ppdobj.h"
#include "reader.h"

KEYWORDENTRY keywordTable[NUM_KEYWORDS] = {
    {"ColorDevice", ColorDeviceProc, 0x0004},
    {"NickName", NickNameProc, 0x0002},
    {"LanguageLevel", LanguageLevelProc, 0x0002},
    {"LandscapeOrientation", LsOrientationProc, 0x0004},
    {"MaxMediaWidth", MaxMediaWidthProc, 0x0002},
    {"MaxMediaHeight", MaxMediaHeightProc, 0x0002},
    {"InputSlot", InputSlotProc, 0x0009},
    {"DefaultInputSlot", CommonUiDefaultProc, 0x0004},
    {"RequiresPageRegion", RequiresPageRgnProc, 0x000C},
    {"Collate", CommonUiOptionProc, 0x0009},
    {"DefaultCollate", CommonUiDefaultProc, 0x0004},
    {"Duplex", CommonUiOptionProc, 0x0009},
    {"DefaultDuplex", CommonUiDefaultProc, 0x0004},
    {"ManualFeed", CommonUiOptionProc, 0x0009},
    {"DefaultManualFeed", CommonUiDefaultProc, 0x0004},
    {"Resolution", ResolutionProc, 0x0009},
    {"DefaultResolution", CommonUiDefaultProc, 0x0004},
    {"SetResolution", SetResolutionProc, 0x0009},
    {"DefaultInstalledMemory", CommonUiDefaultProc, 0x0004},
    {"End", NullProc, 0x0010},
};

DWORD HashKeyword(const char* s)
{
    DWORD h = 0;
    for (; *s; ++s) h = (h << 1) ^ static_cast<BYTE>(*s);
    return h;
}

namespace {

struct HashTable {
    HASHSLOT slots[HASH_TABLE_SIZE];
};

HashTable BuildHashTable()
{
    HashTable t;
    for (auto& slot : t.slots) slot = {0, static_cast<WORD>(NUM_KEYWORDS)};
    for (WORD i = 0; i < NUM_KEYWORDS; ++i) {
        DWORD h = HashKeyword(keywordTable[i].pstrKeyword);
        DWORD s = h % HASH_TABLE_SIZE;
        while (t.slots[s].wIndex != NUM_KEYWORDS) s = (s + 1) % HASH_TABLE_SIZE;
        t.slots[s] = {h, i};
    }
    return t;
}

}  // namespace

// Built on first use; the initialisation of a function-local static is safe
// when two threads arrive at once.
const HASHSLOT* GetHashTable()
{
    static const HashTable table = BuildHashTable();
    return table.slots;
}

void InitKeywordTable()
{
    for (auto& entry : keywordTable) entry.wFlags &= static_cast<WORD>(~KW_SEEN);
    (void)GetHashTable();
}

KEYWORDENTRY* SearchKeyword(const char* pstrKeyword)
{
    const HASHSLOT* slots = GetHashTable();
    const DWORD h = HashKeyword(pstrKeyword);
    DWORD s = h % HASH_TABLE_SIZE;
    for (DWORD probes = 0; probes < HASH_TABLE_SIZE; ++probes) {
        const HASHSLOT& slot = slots[s];
        if (slot.wIndex >= NUM_KEYWORDS) return nullptr;
        if (slot.dwHash == h && std::strcmp(keywordTable[slot.wIndex].pstrKeyword, pstrKeyword) == 0)
            return &keywordTable[slot.wIndex];
        s = (s + 1) % HASH_TABLE_SIZE;
    }
    return nullptr;
}

BOOL CheckKeywordParams(const KEYWORDENTRY* pEntry, const PARSEROBJ* pParser)
{
    const bool bHasOption = !BUFOBJ_IsEmpty(&pParser->option);
    const bool bNeedsOption = (pEntry->wFlags & KW_OPTION) != 0;
    if (bHasOption != bNeedsOption) return FALSE;
    switch (pEntry->wFlags & KW_VALUE_MASK) {
    case 0:
        return TRUE;
    case 1:
        return pParser->dwValueType == VALUE_QUOTED;
    case 2:
        return pParser->dwValueType == VALUE_QUOTED || pParser->dwValueType == VALUE_PLAIN;
    case 4:
        return pParser->dwValueType == VALUE_PLAIN && pParser->value.dwLength > 0;
    default:
        return FALSE;
    }
}

BOOL CheckKeywordDuplicates(const KEYWORDENTRY* pEntry)
{
    if (!(pEntry->wFlags & KW_SEEN)) return TRUE;
    return (pEntry->wFlags & (KW_OPTION | KW_REPEAT)) != 0;
}

int PPDOBJ_InterpretEntry(PPDOBJ* pPpdObj, PARSEROBJ* pParser)
{
    if (pParser->keyword.pText[0] == '?') return PPDERR_NONE;
    KEYWORDENTRY* pEntry = SearchKeyword(pParser->keyword.pText);
    if (!pEntry || !pEntry->pfnProc) return PPDERR_NONE;
    if (!CheckKeywordParams(pEntry, pParser)) return PPDERR_SYNTAX;
    if (!CheckKeywordDuplicates(pEntry)) return PPDERR_NONE;
    int status = pEntry->pfnProc(pPpdObj, pParser);
    if (status == PPDERR_NONE) pEntry->wFlags |= KW_SEEN;
    return status;
}
