// wsprintfA/wsprintfW: Windows formatting. %d %i %ld %li read a 32-bit int, %u
// %lu %x %X %lx %lX a 32-bit unsigned; %c a character; %s a string of the
// function's width, %ws / %ls a wide and %hs a narrow one; flags '-', '0', '#',
// width and precision. The output holds at most 1024 characters with the
// terminator; the result is the characters written without it.
#pragma once

#include <cstdarg>

#include "user/usertypes.h"

constexpr int WSPRINTF_MAX = 1024;

extern "C" {
int wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...);
int wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...);
int wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist);
int wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist);
}
