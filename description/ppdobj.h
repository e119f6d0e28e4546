// The parse-time description object: printer-wide values and the lists of UI
// groups and options that the keyword handlers fill. Internal to the
// description library; packed into a PPDDATA record when complete.
#pragma once

#include "description/ppd.h"
#include "reader.h"

// Every list node opens with these fields.
struct LISTNODE {
    LISTNODE* pNext;
    char* pstrName;
    DWORD dwHash;
};

// One option of a group. The parse-time record holds the fields of every kind
// of option; cbOption of its group says which of them are packed.
struct UIOPTIONOBJ {
    LISTNODE node;
    char* pstrTranslation;
    char* pstrInvocation;
    DWORD bRequiresPageRegion;  // InputSlot options
    char* pstrReserved;         // Resolution options: never filled
    char* pstrSetResolution;    // Resolution options
};

struct UIGROUPOBJ {
    LISTNODE node;
    char* pstrTranslation;
    char* pstrDefault;  // name of the default option while parsing (dwDefault)
    DWORD cbOption;
    WORD wGroupIndex;
    WORD wGroupFlags;
    WORD wUiType;
    WORD wSequence;
    UIOPTIONOBJ* pOptions;
};

struct PPDOBJ {
    DWORD dwSize;
    WCHAR* pwstrFileName;
    char* pstrNickName;
    WORD wVersion;
    WORD wChecksum;
    WORD wReserved1;
    WORD wLsOrientation;
    DWORD dwLanguageLevel;
    DWORD bColorDevice;
    DWORD dwMaxMediaWidth;
    DWORD dwMaxMediaHeight;
    WORD wGroupCount;
    WORD wReserved2;
    UIGROUPOBJ* pUiGroups;
    UIGROUPOBJ* apPredefGroups[MAX_PREDEF_GROUPS];
    void* pConstraints;  // no keyword adds constraints; stays empty
    HEAPOBJ pool;
};

// ---- Build ----------------------------------------------------------------------------
PPDOBJ* PPDOBJ_Create(PCWSTR pwstrPath);
void PPDOBJ_Delete(PPDOBJ* pPpdObj);
BOOL PPDOBJ_ParseFile(PPDOBJ* pPpdObj, PARSEROBJ* pParser, PCWSTR pwstrPath);
void PPDOBJ_SetDefaults(PPDOBJ* pPpdObj);

// ---- Lists -----------------------------------------------------------------------------
void LISTOBJ_Add(LISTNODE** ppList, LISTNODE* pNode);
LISTNODE* LISTOBJ_Find(LISTNODE* pList, const char* pstrName);
LISTNODE* LISTOBJ_FindItemIndex(LISTNODE* pList, const char* pstrName, WORD* pwIndex);
using LISTENUMPROC = BOOL (*)(LISTNODE* pNode, void* pArg);
LISTNODE* LISTOBJ_Enum(LISTNODE* pList, LISTENUMPROC pfn, void* pArg);
DWORD LISTOBJ_Count(LISTNODE* pList);
UIOPTIONOBJ* UIGROUP_GetOptions(UIGROUPOBJ* pGroup);

template <class T>
LISTNODE** ListHead(T** pp) { return reinterpret_cast<LISTNODE**>(pp); }
template <class T>
LISTNODE* ListOf(T* p) { return reinterpret_cast<LISTNODE*>(p); }

// ---- Groups and options ----------------------------------------------------------------
struct UIGROUPINFO {
    const char* pstrName;
    DWORD cbOption;
    WORD wUiType;
    WORD wGroupIndex;
};

WORD GetUiGroupIndex(const char* pstrName);
void GetUiGroupInfo(UIGROUPINFO* pInfo, WORD wIndex, const char* pstrName);
int CreateUiGroup(PPDOBJ* pPpdObj, WORD wIndex, const char* pstrName, UIGROUPOBJ** ppGroup);
UIGROUPOBJ* UIGROUP_Create(PPDOBJ* pPpdObj, const UIGROUPINFO* pInfo);
int CreateUiOption(PPDOBJ* pPpdObj, PARSEROBJ* pParser, WORD wIndex, UIOPTIONOBJ** ppOption);
UIOPTIONOBJ* UIOPTION_Create(HEAPOBJ hPool, const BUFOBJ* pOption, const BUFOBJ* pXlation, DWORD cbOption);

// ---- Values -------------------------------------------------------------------------------
struct STRTABLE {
    const char* pstrWord;
    WORD wValue;
};
extern const STRTABLE boolStrs[];
extern const STRTABLE lsoStrs[];

int GetBooleanValue(DWORD* pdwValue, const char* pstrText);
int GetIntegerValue(DWORD* pdwValue, const char* pstrText);
int GetStringValue(char** ppstr, const BUFOBJ* pBuf, HEAPOBJ hPool, DWORD dwKind);
BOOL SearchStringTable(const STRTABLE* pTable, const char* pstrText, WORD* pwValue);
BOOL EqualWordString(const char* pstrWord, const char* pstrText);

// ---- Handlers ------------------------------------------------------------------------------
int NullProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int ColorDeviceProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int NickNameProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int LanguageLevelProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int LsOrientationProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int MaxMediaWidthProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int MaxMediaHeightProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int InputSlotProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int RequiresPageRgnProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int CommonUiOptionProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int CommonUiDefaultProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int ResolutionProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);
int SetResolutionProc(PPDOBJ* pPpdObj, PARSEROBJ* pParser);

// ---- Serialising builds ----------------------------------------------------------------------
// Every description build of the process runs under this lock, because the
// keyword table's seen marks are process-wide. It may be taken recursively.
void PpdEnterBuildLock();
void PpdLeaveBuildLock();

struct PpdBuildLock {
    PpdBuildLock() { PpdEnterBuildLock(); }
    ~PpdBuildLock() { PpdLeaveBuildLock(); }
    PpdBuildLock(const PpdBuildLock&) = delete;
    PpdBuildLock& operator=(const PpdBuildLock&) = delete;
};
