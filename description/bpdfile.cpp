// The binary description file beside the description file: its name, the
// checks that make it usable, and (UI build) writing it.
#include <atomic>
#include <cstring>
#include <random>

#include "base/files.h"
#include "common/drvmem.h"
#include "pack.h"

BOOL GenerateBpdFilename(PWSTR pwstrBpdFile, DWORD cchBpdFile, PCWSTR pwstrPpdFile)
{
    static constexpr WCHAR kExt[] = u"BPD";
    if (!pwstrBpdFile || cchBpdFile == 0) return FALSE;
    pwstrBpdFile[0] = 0;
    if (!pwstrPpdFile) return FALSE;
    if (cchBpdFile > BPD_MAX_PATH) cchBpdFile = BPD_MAX_PATH;

    // The extension is the file-name part's: a dot in a directory name does not count.
    std::size_t cch = 0;
    std::size_t dot = static_cast<std::size_t>(-1);
    for (; pwstrPpdFile[cch]; ++cch) {
        if (pwstrPpdFile[cch] == u'.') dot = cch;
        if (pwstrPpdFile[cch] == u'/' || pwstrPpdFile[cch] == u'\\') dot = static_cast<std::size_t>(-1);
    }
    const std::size_t keep = dot != static_cast<std::size_t>(-1) ? dot + 1 : cch;
    const bool bAddDot = dot == static_cast<std::size_t>(-1);
    const std::size_t need = keep + (bAddDot ? 1 : 0) + 3 + 1;
    if (need > cchBpdFile) return FALSE;
    std::memcpy(pwstrBpdFile, pwstrPpdFile, keep * sizeof(WCHAR));
    std::size_t pos = keep;
    if (bAddDot) pwstrBpdFile[pos++] = u'.';
    for (WCHAR c : kExt) pwstrBpdFile[pos++] = c;  // includes the NUL
    return TRUE;
}

BOOL EqualFileNames(const WCHAR* a, const WCHAR* b)
{
    auto fold = [](WCHAR c) -> WCHAR { return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 32) : c; };
    for (; *a && *b; ++a, ++b)
        if (fold(*a) != fold(*b)) return FALSE;
    return *a == *b;
}

namespace {

bool LastWriteTime(PCWSTR pwstrPath, FILETIME* pTime)
{
    HANDLE h = CreateFileW(pwstrPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE || !h) return false;
    BOOL bOk = GetFileTime(h, nullptr, nullptr, pTime);
    CloseHandle(h);
    return bOk != FALSE;
}

// The binary file is current when it is not older than the description file.
// Both builds check, so that the two halves of the driver never use different
// descriptions when the binary file could not be rewritten.
bool BinaryIsCurrent(PCWSTR pwstrPpdFile, PCWSTR pwstrBpdFile)
{
    FILETIME ftPpd{}, ftBpd{};
    if (!LastWriteTime(pwstrPpdFile, &ftPpd) || !LastWriteTime(pwstrBpdFile, &ftBpd)) return false;
    return CompareFileTime(&ftBpd, &ftPpd) >= 0;
}

#if defined(LBL_UI_BUILD)
// Creates a new file beside the binary file under a name no one else uses,
// never through an existing file or link; its name is left in awchTmp.
HANDLE CreateTemporary(const WCHAR* awchBpd, std::size_t cch, WCHAR* awchTmp)
{
    static std::atomic<unsigned> counter{std::random_device{}()};
    std::memcpy(awchTmp, awchBpd, cch * sizeof(WCHAR));
    for (int attempt = 0; attempt < 16; ++attempt) {
        unsigned tag = counter.fetch_add(0x9E3779B9u) ^ (std::random_device{}() << 1);
        std::size_t pos = cch;
        awchTmp[pos++] = u'.';
        for (int i = 0; i < 8; ++i) awchTmp[pos++] = u"0123456789abcdef"[(tag >> (28 - 4 * i)) & 0xF];
        for (WCHAR c : u".tmp") awchTmp[pos++] = c;  // includes the NUL
        HANDLE h = CreateFileW(awchTmp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h && h != INVALID_HANDLE_VALUE) return h;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}
#endif

}  // namespace

PPDDATA* GetBinaryPpdData(PCWSTR pwstrPpdFile)
{
    WCHAR awchBpd[BPD_MAX_PATH];
    if (!GenerateBpdFilename(awchBpd, BPD_MAX_PATH, pwstrPpdFile)) return nullptr;
    if (!BinaryIsCurrent(pwstrPpdFile, awchBpd)) return nullptr;
    HANDLE hMapping = nullptr;
    const BYTE* pView = nullptr;
    DWORD cb = 0;
    if (!MAPFILE(awchBpd, &hMapping, &pView, &cb)) return nullptr;
    PPDDATA* pPpdData = nullptr;
    if (cb > BPD_MIN_SIZE) {
        DWORD dwSize = 0;
        std::memcpy(&dwSize, pView, sizeof(dwSize));
        if (dwSize == cb) {
            pPpdData = static_cast<PPDDATA*>(DrvAllocMem(cb));
            if (pPpdData) std::memcpy(pPpdData, pView, cb);
        }
    }
    MAPFILE_Release(hMapping);
    return pPpdData;
}

// Writes the record to a new temporary file and renames it over the binary
// file, so that a reader never sees half a file and nothing is written through
// a link someone left there. Failures are ignored by the caller.
BOOL SaveBinaryPpdData(PCWSTR pwstrPpdFile, const PPDDATA* pPpdData)
{
#if defined(LBL_UI_BUILD)
    WCHAR awchBpd[BPD_MAX_PATH];
    WCHAR awchTmp[BPD_MAX_PATH + 16];
    if (!pPpdData || !GenerateBpdFilename(awchBpd, BPD_MAX_PATH, pwstrPpdFile)) return FALSE;
    std::size_t cch = 0;
    while (awchBpd[cch]) ++cch;

    HANDLE h = CreateTemporary(awchBpd, cch, awchTmp);
    if (h == INVALID_HANDLE_VALUE || !h) return FALSE;
    DWORD cbWritten = 0;
    BOOL bOk = WriteFile(h, pPpdData, pPpdData->dwSize, &cbWritten, nullptr) && cbWritten == pPpdData->dwSize;
    bOk = CloseHandle(h) && bOk;
    if (bOk) bOk = MoveFileExW(awchTmp, awchBpd, MOVEFILE_REPLACE_EXISTING);
    if (!bOk) DeleteFileW(awchTmp);
    return bOk;
#else
    (void)pwstrPpdFile;
    (void)pPpdData;
    return FALSE;
#endif
}
