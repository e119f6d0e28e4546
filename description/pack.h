// Packing, validating ("unpacking") and the binary description file.
// Internal to the description library.
#pragma once

#include <cstddef>

#include "common/strings.h"
#include "ppdobj.h"

// ---- Packing (a null destination only counts bytes) --------------------------------------
PPDDATA* PackPpdData(PPDOBJ* pPpdObj);  // always deletes the object
std::size_t DoPackPpd(BYTE* pDest, PPDOBJ* pPpdObj);
std::size_t PackPstr(BYTE* pDest, std::size_t offset, const char* pstr, DWORD* pField);
std::size_t PackPwstr(BYTE* pDest, std::size_t offset, const WCHAR* pwstr, DWORD* pField);
std::size_t PackUiConstraints(BYTE* pDest, std::size_t offset, const PPDOBJ* pPpdObj, PPDDATA* pOut);
std::size_t PackUiGroup(BYTE* pDest, std::size_t offset, UIGROUPOBJ* pGroup, std::size_t recordOffset);
DWORD PackUiGroupDefault(UIGROUPOBJ* pGroup);
std::size_t PackUiOption(BYTE* pDest, std::size_t offset, const UIOPTIONOBJ* pOpt, UIOPTION* pOut);
std::size_t PackResOption(BYTE* pDest, std::size_t offset, const UIOPTIONOBJ* pOpt, RESOPTION* pOut);
void PpdSortUiGroups(PPDOBJ* pPpdObj);
long long AsciiToLong(const char* s);

// ---- Validating a packed record ---------------------------------------------------------------
// Checks every offset, string and list of the record against dwSize and fills
// apPredefGroups with the groups' offsets. FALSE for a damaged record, which is
// then treated like a stale binary file. Safe to call more than once.
BOOL UnpackPpdData(PPDDATA* pPpdData);

// ---- Binary description file --------------------------------------------------------------------
constexpr DWORD BPD_MIN_SIZE = 84;  // a binary file must be larger than this
PPDDATA* GetBinaryPpdData(PCWSTR pwstrPpdFile);
BOOL SaveBinaryPpdData(PCWSTR pwstrPpdFile, const PPDDATA* pPpdData);
BOOL EqualFileNames(const WCHAR* a, const WCHAR* b);
