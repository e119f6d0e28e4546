// The entry reader: turns the description file into entries of main keyword,
// option keyword, translation string and value.
#include <cstring>

#include "common/drvmem.h"
#include "reader.h"

PARSEROBJ* PARSEROBJ_Create()
{
    auto* pParser = static_cast<PARSEROBJ*>(DrvAllocMem(sizeof(PARSEROBJ), true));
    if (!pParser) return nullptr;
    auto* pValue = static_cast<char*>(DrvAllocMem(INIT_VALUE_LEN + 1, true));
    if (!pValue) {
        DrvFreeMem(pParser);
        return nullptr;
    }
    BUFOBJ_Initialize(&pParser->keyword, pParser->achKeyword, MAX_KEYWORD_LEN);
    BUFOBJ_Initialize(&pParser->option, pParser->achOption, MAX_KEYWORD_LEN);
    BUFOBJ_Initialize(&pParser->xlation, pParser->achXlation, MAX_KEYWORD_LEN);
    BUFOBJ_Initialize(&pParser->value, pValue, INIT_VALUE_LEN);
    pParser->dwValueType = VALUE_NONE;
    return pParser;
}

void PARSEROBJ_Delete(PARSEROBJ* pParser)
{
    if (!pParser) return;
    DrvFreeMem(pParser->value.pText);
    DrvFreeMem(pParser);
}

namespace {

// Replaces a full value buffer by one 1024 characters larger. On failure the
// old buffer stays in place.
int GrowValueBuffer(BUFOBJ* pBuf)
{
    if (pBuf->dwCapacity > 0xFFFFFFFFu - VALUE_GROW_LEN - 1) return PPDERR_MEMORY;
    auto* pNew = static_cast<char*>(DrvAllocMem(std::size_t{pBuf->dwCapacity} + VALUE_GROW_LEN + 1, true));
    if (!pNew) return PPDERR_MEMORY;
    std::memcpy(pNew, pBuf->pText, pBuf->dwLength);
    DrvFreeMem(pBuf->pText);
    pBuf->pText = pNew;
    pBuf->dwCapacity += VALUE_GROW_LEN;
    return PPDERR_NONE;
}

inline bool IsValueEnd(int c, bool bQuoted)
{
    return bQuoted ? c == '"' : (IsNewline(c) || c == '/');
}

int TerminateValue(BUFOBJ* pBuf, int status)
{
    pBuf->pText[pBuf->dwLength] = '\0';
    return status;
}

// Appends the bytes up to the end of the value and reads the byte that ends
// it, as byte-by-byte reading would: PPDERR_NONE with *pc the ending byte,
// PPDERR_EOF when the file ends first, PPDERR_MEMORY when the buffer cannot grow.
int CollectValueRun(BUFOBJ* pBuf, FILEOBJ* pFile, int* pc, bool bQuoted)
{
    const BYTE* start = pFile->pCur;
    const BYTE* end = start + pFile->cbLeft;
    const BYTE* stop = start;
    if (bQuoted) {
        const void* q = std::memchr(start, '"', static_cast<std::size_t>(end - start));
        stop = q ? static_cast<const BYTE*>(q) : end;
    } else {
        while (stop < end && !IsValueEnd(*stop, false)) ++stop;
    }
    const std::size_t n = static_cast<std::size_t>(stop - start);
    while (std::size_t{pBuf->dwLength} + n > pBuf->dwCapacity)
        if (GrowValueBuffer(pBuf) != PPDERR_NONE) return PPDERR_MEMORY;
    std::memcpy(pBuf->pText + pBuf->dwLength, start, n);
    pBuf->dwLength += static_cast<DWORD>(n);
    if (stop == end) {
        if (n) *pc = end[-1];
        FILEOBJ_Consume(pFile, n);
        return PPDERR_EOF;
    }
    *pc = *stop;
    FILEOBJ_Consume(pFile, n + 1);
    return PPDERR_NONE;
}

}  // namespace

// Reads up to and including the next line end byte.
int PARSEROBJ_SkipLine(PARSEROBJ*, FILEOBJ* pFile, int* pc)
{
    const BYTE* p = pFile->pCur;
    const BYTE* end = p + pFile->cbLeft;
    while (p < end && !IsNewline(*p)) ++p;
    if (p == end) {
        const std::size_t n = static_cast<std::size_t>(end - pFile->pCur);
        if (n) *pc = end[-1];
        FILEOBJ_Consume(pFile, n);
        return PPDERR_EOF;
    }
    *pc = *p;
    FILEOBJ_Consume(pFile, static_cast<std::size_t>(p - pFile->pCur) + 1);
    return PPDERR_NONE;
}

// Passes over every line that does not start with "*" (or starts with "*%",
// a comment) and collects the main keyword of the next entry.
int PARSEROBJ_ParseKeyword(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc)
{
    for (;;) {
        int status = FILEOBJ_GetChar(pFile, pc);
        if (status != PPDERR_NONE) return status;
        if (*pc == '*') {
            status = FILEOBJ_GetChar(pFile, pc);
            if (status != PPDERR_NONE) return status;
            if (*pc != '%') return BUFOBJ_GetString(&pParser->keyword, pFile, pc, CC_KEYWORD);
        }
        if (IsNewline(*pc)) continue;
        status = PARSEROBJ_SkipLine(pParser, pFile, pc);
        if (status != PPDERR_NONE) return status;
    }
}

int PARSEROBJ_ParseOption(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc)
{
    return BUFOBJ_GetString(&pParser->option, pFile, pc, CC_OPTION);
}

int PARSEROBJ_ParseXlation(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc)
{
    int status = FILEOBJ_GetChar(pFile, pc);  // the byte after "/"
    if (status != PPDERR_NONE) return status;
    return BUFOBJ_GetString(&pParser->xlation, pFile, pc, CC_XLATION);
}

// Reads the value that follows ":". A quoted value runs to the closing quote
// (across lines); a plain one to the line end or "/". The rest of the line
// after the value is discarded.
int PARSEROBJ_ParseValue(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc)
{
    BUFOBJ* pBuf = &pParser->value;
    int status;
    do {
        status = FILEOBJ_GetChar(pFile, pc);
        if (status != PPDERR_NONE) return status;
    } while (IsBlank(*pc));

    const bool bQuoted = *pc == '"';
    if (bQuoted) {
        pParser->dwValueType = VALUE_QUOTED;
        status = FILEOBJ_GetChar(pFile, pc);
    } else {
        pParser->dwValueType = VALUE_PLAIN;
    }
    if (status == PPDERR_NONE && !IsValueEnd(*pc, bQuoted)) {
        // The current byte, then the rest of the run straight from the mapped bytes.
        if (BUFOBJ_AddChar(pBuf, *pc) != PPDERR_NONE) {
            if (GrowValueBuffer(pBuf) != PPDERR_NONE) return TerminateValue(pBuf, PPDERR_MEMORY);
            BUFOBJ_AddChar(pBuf, *pc);
        }
        status = CollectValueRun(pBuf, pFile, pc, bQuoted);
        if (status == PPDERR_MEMORY) return TerminateValue(pBuf, status);
    }
    pBuf->pText[pBuf->dwLength] = '\0';
    if (status != PPDERR_NONE) return status;

    if (!IsNewline(*pc)) {
        status = PARSEROBJ_SkipLine(pParser, pFile, pc);
        if (status != PPDERR_NONE) return status;
    }
    if (!bQuoted && pBuf->pText[0] == '^') pParser->dwValueType = VALUE_SYMBOL;
    return PPDERR_NONE;
}

int PARSEROBJ_ParseEntry(PARSEROBJ* pParser, FILEOBJ* pFile)
{
    BUFOBJ_Reset(&pParser->keyword);
    BUFOBJ_Reset(&pParser->option);
    BUFOBJ_Reset(&pParser->xlation);
    BUFOBJ_Reset(&pParser->value);
    pParser->dwValueType = VALUE_NONE;

    int c = 0;
    int status = PARSEROBJ_ParseKeyword(pParser, pFile, &c);
    if (status != PPDERR_NONE) return status;

    while (IsBlank(c)) {
        status = FILEOBJ_GetChar(pFile, &c);
        if (status != PPDERR_NONE) return status;
    }
    if (IsNewline(c)) return PPDERR_NONE;

    if (c != ':') {
        status = PARSEROBJ_ParseOption(pParser, pFile, &c);
        if (status != PPDERR_NONE) return status;
        while (IsBlank(c)) {
            status = FILEOBJ_GetChar(pFile, &c);
            if (status != PPDERR_NONE) return status;
        }
        if (c == '/') {
            status = PARSEROBJ_ParseXlation(pParser, pFile, &c);
            if (status != PPDERR_NONE) return status;
        }
        if (c != ':') return PPDERR_SYNTAX;
    }
    return PARSEROBJ_ParseValue(pParser, pFile, &c);
}
