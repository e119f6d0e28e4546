// The caller name and help file of a printer's sheets.
#include <string>

#include "uidrv.h"

namespace {

constexpr char16_t kHelpModel0[] = u"LX3060Q.hlp";
constexpr char16_t kHelpOther[] = u"WQEN.hlp";

}  // namespace

WORD ddfn_CallerName(const UIDATA* pUiData)
{
    return pUiData && pUiData->dwUiModel == 0 ? IDS_CALLER_MODEL0 : IDS_CALLER_OTHER;
}

LPWSTR GetHelpFileName(DWORD dwModel, HANDLE hPrinter, HANDLE hHeap)
{
    if (auto* pDriver = static_cast<PDRIVER_INFO_3W>(MyGetPrinterDriver(hPrinter, 3))) {
        LPWSTR pHelp = nullptr;
        bool named = pDriver->pHelpFile && *pDriver->pHelpFile;
        if (named) pHelp = GetStringFromUnicode(pDriver->pHelpFile, hHeap);
        DrvFreeMem(pDriver);
        if (named) return pHelp;
    }
    DWORD cbNeeded = 0;
    if (GetPrinterDriverDirectoryW(nullptr, nullptr, 1, nullptr, 0, &cbNeeded) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || cbNeeded < sizeof(WCHAR))
        return nullptr;
    std::u16string dir(cbNeeded / sizeof(WCHAR), u'\0');
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir.data()),
                                    static_cast<DWORD>(dir.size() * sizeof(WCHAR)), &cbNeeded))
        return nullptr;
    dir.resize(std::char_traits<char16_t>::length(dir.c_str()));
    std::u16string path = dir + u"/" + (dwModel == 0 ? kHelpModel0 : kHelpOther);
    return GetStringFromUnicode(path.c_str(), hHeap);
}
