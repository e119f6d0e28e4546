// Bounded text buffers of the entry reader.
#include "reader.h"

void BUFOBJ_Initialize(BUFOBJ* pBuf, char* pStorage, DWORD dwCapacity)
{
    pBuf->dwCapacity = dwCapacity;
    pBuf->dwLength = 0;
    pBuf->pText = pStorage;
    pStorage[0] = '\0';
}

// Collects the run of characters of the given class that starts with the
// current byte. A run longer than the buffer gives PPDERR_MEMORY, an empty one
// PPDERR_SYNTAX; otherwise the status of the read that ended the run.
int BUFOBJ_GetString(BUFOBJ* pBuf, FILEOBJ* pFile, int* pc, BYTE classMask)
{
    int status = PPDERR_NONE;
    while (IsClass(*pc, classMask)) {
        status = BUFOBJ_AddChar(pBuf, *pc);
        if (status != PPDERR_NONE) break;
        status = FILEOBJ_GetChar(pFile, pc);
        if (status != PPDERR_NONE) break;
    }
    pBuf->pText[pBuf->dwLength] = '\0';
    if (pBuf->dwLength == 0) return PPDERR_SYNTAX;
    return status;
}

// "<" opens hexadecimal mode and ">" closes it; inside, pairs of hex digits
// give one byte each. The result is never longer than the text.
int BUFOBJ_CopyStringHex(const BUFOBJ* pBuf, char* pDest)
{
    bool bHex = false;
    int high = -1;
    char* d = pDest;
    int status = PPDERR_NONE;
    for (DWORD i = 0; i < pBuf->dwLength; ++i) {
        int c = static_cast<BYTE>(pBuf->pText[i]);
        if (!bHex) {
            if (c == '<')
                bHex = true;
            else
                *d++ = static_cast<char>(c);
        } else if (c == '>') {
            if (high >= 0) {
                status = PPDERR_SYNTAX;
                break;
            }
            bHex = false;
        } else if (IsHexDigit(c)) {
            if (high < 0) {
                high = HexValue(c);
            } else {
                *d++ = static_cast<char>((high << 4) | HexValue(c));
                high = -1;
            }
        } else {
            status = PPDERR_SYNTAX;
            break;
        }
    }
    if (high >= 0) status = PPDERR_SYNTAX;
    *d = '\0';
    return status;
}
