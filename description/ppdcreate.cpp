// Getting a ready description record: from a valid binary description file,
// or by parsing the description file and packing the result.
#include "common/drvmem.h"
#include "pack.h"

namespace {

PPDDATA* ParseAndPack(PCWSTR pwstrPpdFile)
{
    PPDOBJ* pPpdObj = PPDOBJ_Create(pwstrPpdFile);
    if (!pPpdObj) return nullptr;
    return PackPpdData(pPpdObj);
}

PPDDATA* Unpacked(PPDDATA* pPpdData)
{
    if (pPpdData && !UnpackPpdData(pPpdData)) {
        PpdDelete(pPpdData);
        return nullptr;
    }
    return pPpdData;
}

}  // namespace

PPDDATA* PpdCreateEx(PCWSTR pwstrPpdFile, DWORD* pdwSource)
{
    if (pdwSource) *pdwSource = 0;
    if (!pwstrPpdFile) return nullptr;
    PpdBuildLock lock;

    // A binary file is used only if it is valid through and through and was
    // made from a description file of the same name.
    if (PPDDATA* pPpdData = GetBinaryPpdData(pwstrPpdFile)) {
        if (pPpdData->wVersion == PPDDATA_VERSION && UnpackPpdData(pPpdData) &&
            EqualFileNames(FileNamePart(PpdFileName(pPpdData)), FileNamePart(pwstrPpdFile))) {
            if (pdwSource) *pdwSource = PPDSRC_BINARY;
            return pPpdData;
        }
        PpdDelete(pPpdData);
    }

    PPDDATA* pPpdData = ParseAndPack(pwstrPpdFile);
    if (!pPpdData) return nullptr;
#if defined(LBL_UI_BUILD)
    SaveBinaryPpdData(pwstrPpdFile, pPpdData);
#endif
    pPpdData = Unpacked(pPpdData);
    if (pPpdData && pdwSource) *pdwSource = PPDSRC_PARSED;
    return pPpdData;
}

PPDDATA* PpdCreate(PCWSTR pwstrPpdFile, HANDLE)
{
    return PpdCreateEx(pwstrPpdFile, nullptr);
}

PPDDATA* PpdParse(PCWSTR pwstrPpdFile)
{
    if (!pwstrPpdFile) return nullptr;
    PpdBuildLock lock;
    return Unpacked(ParseAndPack(pwstrPpdFile));
}
