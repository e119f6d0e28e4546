// The input file: mapped read-only as a whole, read one byte at a time with
// the checksum updated on the way.
#include "base/files.h"
#include "common/drvmem.h"
#include "reader.h"

BOOL MAPFILE(PCWSTR pwstrPath, HANDLE* phMapping, const BYTE** ppView, DWORD* pcb)
{
    *phMapping = nullptr;
    *ppView = nullptr;
    if (pcb) *pcb = 0;
    if (!pwstrPath) return FALSE;
#if defined(LBL_RENDER_BUILD)
    HANDLE hModule = EngLoadModule(const_cast<LPWSTR>(pwstrPath));
    if (!hModule) return FALSE;
    ULONG cb = 0;
    PVOID pView = EngMapModule(hModule, &cb);
    if (!pView) {
        EngFreeModule(hModule);
        return FALSE;
    }
    *phMapping = hModule;
    *ppView = static_cast<const BYTE*>(pView);
    if (pcb) *pcb = cb;
    return TRUE;
#else
    HANDLE hFile = CreateFileW(pwstrPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE || !hFile) return FALSE;
    DWORD cb = GetFileSize(hFile, nullptr);
    if (cb == INVALID_FILE_SIZE) {
        CloseHandle(hFile);
        return FALSE;
    }
    HANDLE hMap = CreateFileMappingW(hFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
    LPVOID pView = hMap ? MapViewOfFile(hMap, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (hMap) CloseHandle(hMap);
    CloseHandle(hFile);
    if (!pView) return FALSE;
    *phMapping = pView;
    *ppView = static_cast<const BYTE*>(pView);
    if (pcb) *pcb = cb;
    return TRUE;
#endif
}

void MAPFILE_Release(HANDLE hMapping)
{
    if (!hMapping) return;
#if defined(LBL_RENDER_BUILD)
    EngFreeModule(hMapping);
#else
    UnmapViewOfFile(hMapping);
#endif
}

FILEOBJ* FILEOBJ_Create(PCWSTR pwstrPath, WORD* pChecksum)
{
    auto* pFile = static_cast<FILEOBJ*>(DrvAllocMem(sizeof(FILEOBJ), true));
    if (!pFile) return nullptr;
    const BYTE* pView = nullptr;
    DWORD cb = 0;
    if (!MAPFILE(pwstrPath, &pFile->hMapping, &pView, &cb)) {
        DrvFreeMem(pFile);
        return nullptr;
    }
    pFile->pCur = pView;
    pFile->cbLeft = cb;
    pFile->pChecksum = pChecksum;
    return pFile;
}

void FILEOBJ_Delete(FILEOBJ* pFile)
{
    if (!pFile) return;
    MAPFILE_Release(pFile->hMapping);
    DrvFreeMem(pFile);
}
