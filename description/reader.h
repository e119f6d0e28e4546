// The description file reader: character classes, bounded buffers, the mapped
// input file with its running CRC-16, the entry reader, the keyword table and
// the block pool. Internal to the description library.
#pragma once

#include <cstddef>

#include "base/wintypes.h"

// ---- Statuses of every reading step and handler -----------------------------------
constexpr int PPDERR_NONE = 0;
constexpr int PPDERR_EOF = 1;
constexpr int PPDERR_SYNTAX = 3;
constexpr int PPDERR_MEMORY = 4;

// ---- Character classes ----------------------------------------------------------------
constexpr BYTE CC_VALUE = 0x01;
constexpr BYTE CC_KEYWORD = 0x02;
constexpr BYTE CC_OPTION = 0x04;
constexpr BYTE CC_XLATION = 0x08;
constexpr BYTE CC_BLANK = 0x10;
constexpr BYTE CC_NEWLINE = 0x20;
constexpr BYTE CC_HEXALPHA = 0x40;
constexpr BYTE CC_DIGIT = 0x80;

extern const BYTE charTable[256];

inline bool IsClass(int c, BYTE mask) { return (charTable[static_cast<BYTE>(c)] & mask) != 0; }
inline bool IsBlank(int c) { return IsClass(c, CC_BLANK); }
inline bool IsNewline(int c) { return IsClass(c, CC_NEWLINE); }
inline bool IsHexDigit(int c) { return IsClass(c, CC_DIGIT | CC_HEXALPHA); }

// Value 0 to 15 of a hexadecimal digit.
int HexValue(int c);

// ---- CRC-16 (polynomial 0x1021, MSB first, start 0, no final inversion) --------------
extern const WORD Crc16Table[256];
inline WORD Crc16Update(WORD crc, BYTE b) { return static_cast<WORD>(Crc16Table[(crc >> 8) ^ b] ^ (crc << 8)); }
WORD Crc16(const BYTE* p, std::size_t cb, WORD crc = 0);

// ---- Input file -----------------------------------------------------------------------
struct FILEOBJ {
    HANDLE hMapping;     // the mapped view (UI build) or the module handle (render build)
    const BYTE* pCur;    // read position
    DWORD cbLeft;        // bytes left
    WORD* pChecksum;     // where the checksum accumulates
};

// Maps a whole file read-only. *phMapping receives the mapping (the view in the
// UI build, the module in the render build), *ppView the bytes, *pcb (may be
// null) their count. A file of length 0 fails.
BOOL MAPFILE(PCWSTR pwstrPath, HANDLE* phMapping, const BYTE** ppView, DWORD* pcb);
void MAPFILE_Release(HANDLE hMapping);

FILEOBJ* FILEOBJ_Create(PCWSTR pwstrPath, WORD* pChecksum);
void FILEOBJ_Delete(FILEOBJ* pFile);

inline int FILEOBJ_GetChar(FILEOBJ* pFile, int* pc)
{
    if (pFile->cbLeft == 0) return PPDERR_EOF;
    BYTE b = *pFile->pCur++;
    pFile->cbLeft--;
    *pFile->pChecksum = Crc16Update(*pFile->pChecksum, b);
    *pc = b;
    return PPDERR_NONE;
}

// Passes over the next n bytes (n <= cbLeft) as n calls of FILEOBJ_GetChar
// would, checksum included.
inline void FILEOBJ_Consume(FILEOBJ* pFile, std::size_t n)
{
    WORD crc = *pFile->pChecksum;
    const BYTE* p = pFile->pCur;
    for (std::size_t i = 0; i < n; ++i) crc = Crc16Update(crc, p[i]);
    *pFile->pChecksum = crc;
    pFile->pCur = p + n;
    pFile->cbLeft -= static_cast<DWORD>(n);
}

// ---- Bounded buffers --------------------------------------------------------------------
struct BUFOBJ {
    DWORD dwCapacity;
    DWORD dwLength;
    char* pText;  // dwCapacity + 1 bytes
};

void BUFOBJ_Initialize(BUFOBJ* pBuf, char* pStorage, DWORD dwCapacity);
inline void BUFOBJ_Reset(BUFOBJ* pBuf)
{
    pBuf->dwLength = 0;
    pBuf->pText[0] = '\0';
}
inline int BUFOBJ_AddChar(BUFOBJ* pBuf, int c)
{
    if (pBuf->dwLength >= pBuf->dwCapacity) return PPDERR_MEMORY;
    pBuf->pText[pBuf->dwLength++] = static_cast<char>(c);
    return PPDERR_NONE;
}
inline bool BUFOBJ_IsEmpty(const BUFOBJ* pBuf) { return pBuf->dwLength == 0; }
int BUFOBJ_GetString(BUFOBJ* pBuf, FILEOBJ* pFile, int* pc, BYTE classMask);
// Copies the text into pDest (at least dwLength + 1 bytes) with <hex> escapes decoded.
int BUFOBJ_CopyStringHex(const BUFOBJ* pBuf, char* pDest);

// ---- Entry reader ------------------------------------------------------------------------
constexpr DWORD VALUE_NONE = 0;
constexpr DWORD VALUE_QUOTED = 2;
constexpr DWORD VALUE_SYMBOL = 3;
constexpr DWORD VALUE_PLAIN = 4;

constexpr DWORD MAX_KEYWORD_LEN = 40;
constexpr DWORD INIT_VALUE_LEN = 1024;
constexpr DWORD VALUE_GROW_LEN = 1024;

struct PARSEROBJ {
    BUFOBJ keyword;
    BUFOBJ option;
    BUFOBJ xlation;
    BUFOBJ value;
    DWORD dwValueType;
    char achKeyword[MAX_KEYWORD_LEN + 1];
    char achOption[MAX_KEYWORD_LEN + 1];
    char achXlation[MAX_KEYWORD_LEN + 1];
};

PARSEROBJ* PARSEROBJ_Create();
void PARSEROBJ_Delete(PARSEROBJ* pParser);
int PARSEROBJ_ParseEntry(PARSEROBJ* pParser, FILEOBJ* pFile);
int PARSEROBJ_ParseKeyword(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc);
int PARSEROBJ_ParseOption(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc);
int PARSEROBJ_ParseXlation(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc);
int PARSEROBJ_ParseValue(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc);
int PARSEROBJ_SkipLine(PARSEROBJ* pParser, FILEOBJ* pFile, int* pc);

// ---- Keywords ---------------------------------------------------------------------------
struct PPDOBJ;
using KEYWORDPROC = int (*)(PPDOBJ* pPpdObj, PARSEROBJ* pParser);

constexpr WORD KW_VALUE_MASK = 0x0007;
constexpr WORD KW_OPTION = 0x0008;
constexpr WORD KW_REPEAT = 0x0010;
constexpr WORD KW_SEEN = 0x8000;

struct KEYWORDENTRY {
    const char* pstrKeyword;
    KEYWORDPROC pfnProc;
    WORD wFlags;
};

constexpr DWORD NUM_KEYWORDS = 20;
constexpr DWORD HASH_TABLE_SIZE = 127;

extern KEYWORDENTRY keywordTable[NUM_KEYWORDS];

struct HASHSLOT {
    DWORD dwHash;
    WORD wIndex;  // NUM_KEYWORDS marks an empty slot
};
const HASHSLOT* GetHashTable();  // filled on first use, safely across threads

void InitKeywordTable();
DWORD HashKeyword(const char* s);
KEYWORDENTRY* SearchKeyword(const char* pstrKeyword);
BOOL CheckKeywordParams(const KEYWORDENTRY* pEntry, const PARSEROBJ* pParser);
BOOL CheckKeywordDuplicates(const KEYWORDENTRY* pEntry);
int PPDOBJ_InterpretEntry(PPDOBJ* pPpdObj, PARSEROBJ* pParser);

// ---- Block pool ---------------------------------------------------------------------------
struct BLOCKOBJ {
    DWORD dwSize;       // data area size
    DWORD dwFree;       // bytes still free
    BYTE* pNextFree;
    BLOCKOBJ* pNext;
};
constexpr DWORD DEFAULT_BLOCK_SIZE = 4080;
// Allocations are rounded to 8 bytes (the records of the parse-time object hold
// 64-bit pointers on this platform).
constexpr DWORD POOL_ALIGN = 8;

using HEAPOBJ = BLOCKOBJ**;

HEAPOBJ HEAPOBJ_Create();
void* HEAPOBJ_Alloc(HEAPOBJ hPool, std::size_t cb);
void HEAPOBJ_Delete(HEAPOBJ hPool);
BLOCKOBJ* BLOCKOBJ_Create(DWORD dwSize);
void BLOCKOBJ_Delete(BLOCKOBJ* pBlock);
