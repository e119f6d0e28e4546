// Code pages and locale: the ANSI code page (1252 unless configured otherwise),
// conversions between it and UTF-16, and the user's country.
#pragma once

#include <string>
#include <string_view>

#include "base/wintypes.h"

extern "C" {

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

UINT GetACP();
void EngGetCurrentCodePage(PUSHORT OemCodePage, PUSHORT AnsiCodePage);

// Win32 conversions (lblui). Counts are in characters / bytes; -1 means NUL-terminated input.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar);

// Engine conversion (lblrender): cjWideChar and cjMultiByte are byte counts. Returns bytes written, -1 on failure.
INT EngWideCharToMultiByte(UINT CodePage, LPWSTR WideCharString, INT BytesInWideCharString,
                           LPSTR MultiByteString, INT BytesInMultiByteString);
INT EngMultiByteToWideChar(UINT CodePage, LPWSTR WideCharString, INT BytesInWideCharString,
                           LPSTR MultiByteString, INT BytesInMultiByteString);

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCTYPE LOCALE_ICOUNTRY = 0x00000005;
// Returns the characters written including the terminator, 0 on failure.
int GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData);

}  // extern "C"

namespace platform {

// Sets the ANSI code page of the process (1252 by default; 932 and 65001 also known).
BOOL SetAnsiCodePage(UINT codePage);

// UTF-8 <-> UTF-16 helpers for tools and tests.
std::u16string Widen(std::string_view utf8);
std::string Narrow(std::u16string_view utf16);

}  // namespace platform
