// Conversions of entry values: boolean words, integers, strings, word tables.
#include <cstring>

#include "ppdobj.h"

const STRTABLE boolStrs[] = {{"True", 1}, {"False", 0}, {nullptr, 0}};
const STRTABLE lsoStrs[] = {{"Any", 0}, {"Plus90", 1}, {"Minus90", 2}, {nullptr, 3}};

BOOL EqualWordString(const char* pstrWord, const char* pstrText)
{
    const std::size_t n = std::strlen(pstrWord);
    if (std::strncmp(pstrWord, pstrText, n) != 0) return FALSE;
    return pstrText[n] == '\0' || IsBlank(pstrText[n]);
}

BOOL SearchStringTable(const STRTABLE* pTable, const char* pstrText, WORD* pwValue)
{
    for (; pTable->pstrWord; ++pTable) {
        if (EqualWordString(pTable->pstrWord, pstrText)) {
            *pwValue = pTable->wValue;
            return TRUE;
        }
    }
    *pwValue = pTable->wValue;
    return FALSE;
}

int GetBooleanValue(DWORD* pdwValue, const char* pstrText)
{
    WORD w = 0;
    BOOL bFound = SearchStringTable(boolStrs, pstrText, &w);
    *pdwValue = w;
    return bFound ? PPDERR_NONE : PPDERR_SYNTAX;
}

int GetIntegerValue(DWORD* pdwValue, const char* pstrText)
{
    bool bNegative = false;
    if (*pstrText == '-') {
        bNegative = true;
        ++pstrText;
    }
    if (!IsClass(*pstrText, CC_DIGIT)) return PPDERR_SYNTAX;
    DWORD value = 0;
    for (; IsClass(*pstrText, CC_DIGIT); ++pstrText) value = value * 10 + static_cast<DWORD>(*pstrText - '0');
    *pdwValue = bNegative ? 0 : value;
    return PPDERR_NONE;
}

int GetStringValue(char** ppstr, const BUFOBJ* pBuf, HEAPOBJ hPool, DWORD dwKind)
{
    if (*ppstr) return PPDERR_NONE;
    auto* p = static_cast<char*>(HEAPOBJ_Alloc(hPool, std::size_t{pBuf->dwLength} + 1));
    if (!p) return PPDERR_MEMORY;
    if (dwKind == VALUE_QUOTED) {
        if (BUFOBJ_CopyStringHex(pBuf, p) != PPDERR_NONE) return PPDERR_SYNTAX;
    } else {
        std::memcpy(p, pBuf->pText, pBuf->dwLength);
        p[pBuf->dwLength] = '\0';
    }
    *ppstr = p;
    return PPDERR_NONE;
}
