// Copies of strings in a sheet's heap.
#include <cstring>

#include "uidrv.h"

LPWSTR GetStringFromAnsi(LPCSTR pAnsi, HANDLE hHeap)
{
    if (!pAnsi) return nullptr;
    const SIZE_T cch = std::strlen(pAnsi) + 1;  // a code page of 1252 or 932 never needs more characters than bytes
    auto* p = static_cast<LPWSTR>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, cch * sizeof(WCHAR)));
    if (!p) return nullptr;
    SJIS2Unicode(p, pAnsi, static_cast<INT>(cch));
    return p;
}

LPWSTR GetStringFromUnicode(LPCWSTR pUnicode, HANDLE hHeap)
{
    if (!pUnicode) return nullptr;
    SIZE_T cch = 0;
    while (pUnicode[cch]) ++cch;
    auto* p = static_cast<LPWSTR>(HeapAlloc(hHeap, 0, (cch + 1) * sizeof(WCHAR)));
    if (!p) return nullptr;
    std::memcpy(p, pUnicode, (cch + 1) * sizeof(WCHAR));
    return p;
}
