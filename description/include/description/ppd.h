// The printer description record: one self-contained allocation holding the
// printer-wide values of the description file, its UI groups and their options.
//
// The record stays in its packed form for its whole life: every link is a u32
// byte offset from the start of the record (0 = none), exactly as in the binary
// description file. PpdCreate validates every offset, string and list once, so
// the accessors below may follow links without further checks. Other subsystems
// include only this header.
#pragma once

#include <cstddef>

#include "base/wintypes.h"

// ---- Record layout (little-endian, byte for byte as in the binary file) ---------

constexpr WORD PPDDATA_VERSION = 3;

// Predefined UI groups, by index (apPredefGroups).
constexpr WORD PPDGROUP_INPUTSLOT = 0;
constexpr WORD PPDGROUP_MANUALFEED = 1;
constexpr WORD PPDGROUP_DUPLEX = 2;
constexpr WORD PPDGROUP_COLLATE = 3;
constexpr WORD PPDGROUP_RESOLUTION = 4;
constexpr WORD PPDGROUP_OTHER = 5;
constexpr WORD MAX_PREDEF_GROUPS = 5;

// wUiType
constexpr WORD UITYPE_BOOLEAN = 0;
constexpr WORD UITYPE_PICKONE = 1;

// wGroupFlags of the InputSlot group ("RequiresPageRegion All")
constexpr WORD UIGF_REQUIRES_PAGERGN_TRUE = 0x0001;
constexpr WORD UIGF_REQUIRES_PAGERGN_FALSE = 0x0002;

struct PPDDATA {
    DWORD dwSize;              // size of the whole record = size of the binary file
    DWORD pwstrFileName;       // offset of the description file's path (wide, NUL-terminated); 68
    DWORD pstrNickName;        // offset of the nickname or 0
    WORD wVersion;             // PPDDATA_VERSION
    WORD wChecksum;            // CRC-16 of the description file
    WORD wReserved1;
    WORD wLsOrientation;       // 0 Any, 1 Plus90, 2 Minus90
    DWORD dwLanguageLevel;     // the printer model number
    DWORD bColorDevice;
    DWORD dwMaxMediaWidth;
    DWORD dwMaxMediaHeight;
    WORD wGroupCount;
    WORD wReserved2;
    DWORD pUiGroups;           // offset of the first UIGROUP or 0
    DWORD apPredefGroups[MAX_PREDEF_GROUPS];  // offsets by predefined index; 0 in the file, set when validated
    DWORD pConstraints;        // offset of the constraints block
};
using PPPDDATA = PPDDATA*;

static_assert(sizeof(PPDDATA) == 68);
static_assert(offsetof(PPDDATA, dwSize) == 0);
static_assert(offsetof(PPDDATA, pwstrFileName) == 4);
static_assert(offsetof(PPDDATA, pstrNickName) == 8);
static_assert(offsetof(PPDDATA, wVersion) == 12);
static_assert(offsetof(PPDDATA, wChecksum) == 14);
static_assert(offsetof(PPDDATA, wReserved1) == 16);
static_assert(offsetof(PPDDATA, wLsOrientation) == 18);
static_assert(offsetof(PPDDATA, dwLanguageLevel) == 20);
static_assert(offsetof(PPDDATA, bColorDevice) == 24);
static_assert(offsetof(PPDDATA, dwMaxMediaWidth) == 28);
static_assert(offsetof(PPDDATA, dwMaxMediaHeight) == 32);
static_assert(offsetof(PPDDATA, wGroupCount) == 36);
static_assert(offsetof(PPDDATA, wReserved2) == 38);
static_assert(offsetof(PPDDATA, pUiGroups) == 40);
static_assert(offsetof(PPDDATA, apPredefGroups) == 44);
static_assert(offsetof(PPDDATA, pConstraints) == 64);

struct UIGROUP {
    DWORD pNext;            // offset of the next group or 0
    DWORD pstrName;         // offset of the group name
    DWORD dwHash;           // HashKeyword of the name
    DWORD pstrTranslation;  // offset or 0
    DWORD dwDefault;        // Resolution: default dpi; others: index of the default option
    DWORD cbOption;         // 20, 24 (InputSlot) or 28 (Resolution)
    WORD wGroupIndex;       // PPDGROUP_*
    WORD wGroupFlags;       // UIGF_*
    WORD wUiType;           // UITYPE_*
    WORD wSequence;         // position in the group list
    DWORD pOptions;         // offset of the first option or 0
};
using PUIGROUP = UIGROUP*;

static_assert(sizeof(UIGROUP) == 36);
static_assert(offsetof(UIGROUP, pNext) == 0);
static_assert(offsetof(UIGROUP, pstrName) == 4);
static_assert(offsetof(UIGROUP, dwHash) == 8);
static_assert(offsetof(UIGROUP, pstrTranslation) == 12);
static_assert(offsetof(UIGROUP, dwDefault) == 16);
static_assert(offsetof(UIGROUP, cbOption) == 20);
static_assert(offsetof(UIGROUP, wGroupIndex) == 24);
static_assert(offsetof(UIGROUP, wGroupFlags) == 26);
static_assert(offsetof(UIGROUP, wUiType) == 28);
static_assert(offsetof(UIGROUP, wSequence) == 30);
static_assert(offsetof(UIGROUP, pOptions) == 32);

// Common part of every option record (20 bytes; the whole record of a group
// other than InputSlot and Resolution).
struct UIOPTION {
    DWORD pNext;            // offset of the next option or 0
    DWORD pstrName;         // offset of the option keyword
    DWORD dwHash;           // HashKeyword of the option keyword
    DWORD pstrTranslation;  // offset or 0
    DWORD pstrInvocation;   // offset or 0
};
using PUIOPTION = UIOPTION*;

// Option of the InputSlot group (24 bytes).
struct INPUTSLOT {
    DWORD pNext;
    DWORD pstrName;
    DWORD dwHash;
    DWORD pstrTranslation;
    DWORD pstrInvocation;
    DWORD bRequiresPageRegion;  // 0 or 1
};

// Option of the Resolution group (28 bytes).
struct RESOPTION {
    DWORD pNext;
    DWORD pstrName;
    DWORD dwHash;
    DWORD pstrTranslation;
    DWORD pstrInvocation;
    DWORD pstrReserved;        // always 0
    DWORD pstrSetResolution;   // offset of the "SetResolution" value or 0
};

static_assert(sizeof(UIOPTION) == 20 && sizeof(INPUTSLOT) == 24 && sizeof(RESOPTION) == 28);
static_assert(offsetof(UIOPTION, pNext) == 0 && offsetof(UIOPTION, pstrName) == 4 &&
              offsetof(UIOPTION, dwHash) == 8 && offsetof(UIOPTION, pstrTranslation) == 12 &&
              offsetof(UIOPTION, pstrInvocation) == 16);
static_assert(offsetof(INPUTSLOT, pstrInvocation) == 16 && offsetof(INPUTSLOT, bRequiresPageRegion) == 20);
static_assert(offsetof(RESOPTION, pstrInvocation) == 16 && offsetof(RESOPTION, pstrReserved) == 20 &&
              offsetof(RESOPTION, pstrSetResolution) == 24);

// Constraints block: count, entry size (8), then count entries of four u16.
struct UICONSTRAINTS {
    WORD wCount;
    WORD wEntrySize;
};
static_assert(sizeof(UICONSTRAINTS) == 4);

// ---- Making and freeing a record ---------------------------------------------------

// A ready record for the description file at pwstrPpdFile: from its binary
// description file when that is valid, otherwise by parsing the description
// (the UI build then rewrites the binary file). Null when the description
// cannot be read or memory runs out. hModule plays no part in the result.
// Serialised process-wide with the description build lock.
PPDDATA* PpdCreate(PCWSTR pwstrPpdFile, HANDLE hModule);

// Where PpdCreateEx took the record from.
constexpr DWORD PPDSRC_BINARY = 1;   // a valid binary description file was reused
constexpr DWORD PPDSRC_PARSED = 2;   // the description was parsed (UI build: binary file rewritten)
PPDDATA* PpdCreateEx(PCWSTR pwstrPpdFile, DWORD* pdwSource);

// Parses the description file alone (no binary file read or written).
PPDDATA* PpdParse(PCWSTR pwstrPpdFile);

// The binary description file's path: the description path with everything
// after the last '.' of its file-name part (after the last '/' or '\\') replaced
// by "BPD" (".BPD" appended when the file name has no '.').
// FALSE when the result with its NUL would exceed cchBpdFile (at most BPD_MAX_PATH).
constexpr DWORD BPD_MAX_PATH = 260;  // characters of a binary file path, NUL included
BOOL GenerateBpdFilename(PWSTR pwstrBpdFile, DWORD cchBpdFile, PCWSTR pwstrPpdFile);

// Frees a record made by PpdCreate (null is accepted).
void PpdDelete(PPDDATA* pPpdData);

// ---- Queries ----------------------------------------------------------------------

// The Resolution group's default in dpi, 300 without a Resolution group.
DWORD PpdDefaultResolution(const PPDDATA* pPpdData);
// The first Resolution option whose name begins with the number dpi, or null.
const RESOPTION* PpdFindResolution(const PPDDATA* pPpdData, LONG dpi);
// Invocation of the group's option "True" (bFlag != 0) or "False"; null when
// the group, the option or its invocation is missing.
const char* FindBooleanOptionCode(const PPDDATA* pPpdData, const UIGROUP* pGroup, BOOL bFlag);
const char* PpdFindCollateCode(const PPDDATA* pPpdData, BOOL bFlag);
// TRUE when the Duplex group exists and has at least one option.
BOOL PpdSupportDuplex(const PPDDATA* pPpdData);

// ---- Accessors ----------------------------------------------------------------------
// On a record returned by PpdCreate (validated). Each returns null for an absent link.

const WCHAR* PpdFileName(const PPDDATA* pPpdData);
const char* PpdNickName(const PPDDATA* pPpdData);
// A string field (pstrName, pstrTranslation, ...) of the record.
const char* PpdString(const PPDDATA* pPpdData, DWORD offset);
const UICONSTRAINTS* PpdConstraints(const PPDDATA* pPpdData);

// Groups in list order, and the predefined ones by index (PPDGROUP_INPUTSLOT ...).
const UIGROUP* PpdFirstGroup(const PPDDATA* pPpdData);
const UIGROUP* PpdNextGroup(const PPDDATA* pPpdData, const UIGROUP* pGroup);
const UIGROUP* PpdPredefGroup(const PPDDATA* pPpdData, WORD wIndex);

// Options of a group in list order; by 0-based position; their number.
const UIOPTION* PpdFirstOption(const PPDDATA* pPpdData, const UIGROUP* pGroup);
const UIOPTION* PpdNextOption(const PPDDATA* pPpdData, const UIOPTION* pOption);
const UIOPTION* PpdOptionAt(const PPDDATA* pPpdData, const UIGROUP* pGroup, DWORD dwIndex);
DWORD PpdOptionCount(const PPDDATA* pPpdData, const UIGROUP* pGroup);

// The full record of an option of the InputSlot group / the Resolution group;
// null when the group's options are not of that kind.
const INPUTSLOT* PpdInputSlotOption(const UIGROUP* pGroup, const UIOPTION* pOption);
const RESOPTION* PpdResOption(const UIGROUP* pGroup, const UIOPTION* pOption);

// Shorthands for the string fields of groups and options.
inline const char* PpdGroupName(const PPDDATA* p, const UIGROUP* g) { return g ? PpdString(p, g->pstrName) : nullptr; }
inline const char* PpdOptionName(const PPDDATA* p, const UIOPTION* o) { return o ? PpdString(p, o->pstrName) : nullptr; }
inline const char* PpdOptionTranslation(const PPDDATA* p, const UIOPTION* o) { return o ? PpdString(p, o->pstrTranslation) : nullptr; }
inline const char* PpdOptionInvocation(const PPDDATA* p, const UIOPTION* o) { return o ? PpdString(p, o->pstrInvocation) : nullptr; }
