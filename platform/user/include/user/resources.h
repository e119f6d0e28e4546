// String resources of a module: LoadStringA/LoadStringW read the string table
// that the module carries as data (see platform/user/README.md for the format).
#pragma once

#include "user/usertypes.h"

extern "C" {

// Copies string uID of hInstance's table into lpBuffer (cchBufferMax characters,
// bytes for the A form, including the terminator), truncating and always
// terminating; returns the characters copied without the terminator. 0 when the
// string does not exist or is empty. LoadStringW with cchBufferMax 0 stores a
// read-only pointer to the string (valid while the module is loaded) in
// *(LPCWSTR*)lpBuffer and returns its length.
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

}  // extern "C"
