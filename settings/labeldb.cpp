// The label database ("LabelData"): a u32 entry count followed by the LABELDATA
// records, handed around as a pointer to the first record.
#include <cstring>

#include "settings/settings.h"
#include "spooler_io.h"

namespace {

constexpr LPCWSTR kLabelData = u"LabelData";
constexpr DWORD kCountSize = sizeof(DWORD);

PLABELDATA RecordsOf(PVOID pBlock)
{
    return reinterpret_cast<PLABELDATA>(static_cast<BYTE*>(pBlock) + kCountSize);
}

PVOID BlockOf(const LABELDATA* pDb)
{
    return const_cast<BYTE*>(reinterpret_cast<const BYTE*>(pDb) - kCountSize);
}

// The one-entry database of the standard label.
PLABELDATA DefaultLabelDatabase(LPCWSTR pName)
{
    PVOID pBlock = DrvAllocMem(kCountSize + sizeof(LABELDATA), true);
    if (!pBlock) return nullptr;
    DWORD dwCount = 1;
    std::memcpy(pBlock, &dwCount, sizeof(dwCount));
    PLABELDATA pDb = RecordsOf(pBlock);
    *pDb = DefaultLabel;
    MakeStandardLabelName(pDb->szLabelName, pName);
    return pDb;
}

// A stored value is taken only when its size is exactly 4 + 248 × count for a
// count of at least one and its first record carries cbSize 248.
bool IsSoundDatabase(const BYTE* pBlock, DWORD cbBlock)
{
    if (cbBlock < kCountSize + sizeof(LABELDATA)) return false;
    DWORD dwCount = 0, cbFirst = 0;
    std::memcpy(&dwCount, pBlock, sizeof(dwCount));
    std::memcpy(&cbFirst, pBlock + kCountSize, sizeof(cbFirst));
    if (cbFirst != sizeof(LABELDATA)) return false;
    return dwCount >= 1 && (cbBlock - kCountSize) / sizeof(LABELDATA) == dwCount &&
           (cbBlock - kCountSize) % sizeof(LABELDATA) == 0;
}

}  // namespace

void MakeStandardLabelName(LPWSTR pDest, LPCWSTR pName)
{
    if (!pDest) return;
    INT i = 0;
    if (pName) {
        for (; i < CCHLABELNAME - 1 && pName[i]; ++i) pDest[i] = pName[i];
    }
    if (i < CCHLABELNAME - 1) pDest[i++] = u' ';
    for (INT j = 0; i < CCHLABELNAME - 1 && kStandardLabelName[j]; ++j) pDest[i++] = kStandardLabelName[j];
    for (; i < CCHLABELNAME; ++i) pDest[i] = 0;
}

PLABELDATA GetLabelDatabase(HANDLE hPrinter, LPCWSTR pName)
{
    DWORD dwProbe = 0, dwType = 0, cbNeeded = 0;
    DWORD dwErr = ReadPrinterValue(hPrinter, kLabelData, &dwType, reinterpret_cast<LPBYTE>(&dwProbe),
                                   sizeof(dwProbe), &cbNeeded);
    if (dwErr != ERROR_MORE_DATA || cbNeeded <= kCountSize) return DefaultLabelDatabase(pName);

    auto* pBlock = static_cast<BYTE*>(DrvAllocMem(cbNeeded, false));
    if (!pBlock) return nullptr;
    // The value may have changed since the probe: judge it by the size now read.
    DWORD cbRead = 0;
    DWORD dwErr2 = ReadPrinterValue(hPrinter, kLabelData, &dwType, pBlock, cbNeeded, &cbRead);
    if (cbRead == 0 || cbRead > cbNeeded) cbRead = cbNeeded;
    if (dwErr2 != ERROR_SUCCESS || !IsSoundDatabase(pBlock, cbRead)) {
        DrvFreeMem(pBlock);
        return DefaultLabelDatabase(pName);
    }

    // Names are compared and copied as strings: make sure each one ends in its field.
    PLABELDATA pDb = RecordsOf(pBlock);
    for (DWORD i = 0, n = GetLabelNum(pDb); i < n; ++i) pDb[i].szLabelName[CCHLABELNAME - 1] = 0;
    return pDb;
}

void FreeLabelDatabase(PLABELDATA pDb)
{
    if (pDb) DrvFreeMem(BlockOf(pDb));
}

DWORD GetLabelNum(const LABELDATA* pDb)
{
    if (!pDb) return 0;
    DWORD dwCount = 0;
    std::memcpy(&dwCount, BlockOf(pDb), sizeof(dwCount));
    return dwCount;
}

PLABELDATA FindLabelData(PLABELDATA pDb, LPCWSTR pName)
{
    if (!pDb || !pName) return nullptr;
    for (DWORD i = 0, n = GetLabelNum(pDb); i < n; ++i) {
        const WCHAR* a = pDb[i].szLabelName;
        INT k = 0;
        while (k < CCHLABELNAME && a[k] && a[k] == pName[k]) ++k;
        if (k < CCHLABELNAME && a[k] == pName[k]) return &pDb[i];
    }
    return nullptr;
}

#if defined(LBL_UI_BUILD)
BOOL SaveLabelData(HANDLE hPrinter, PLABELDATA pDb)
{
    if (!hPrinter || !pDb) return FALSE;
    const unsigned long long cb = kCountSize + 1ull * sizeof(LABELDATA) * GetLabelNum(pDb);
    if (cb > 0xFFFFFFFFull) return FALSE;
    // A failed write is not reported: the caller has nothing better to do with it.
    WritePrinterValue(hPrinter, kLabelData, REG_BINARY, BlockOf(pDb), static_cast<DWORD>(cb));
    return TRUE;
}
#endif
