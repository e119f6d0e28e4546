// Building the description object from a description file.
#include <cstring>

#include "common/drvmem.h"
#include "ppdobj.h"

void PPDOBJ_SetDefaults(PPDOBJ* pPpdObj)
{
    pPpdObj->wChecksum = 0;
    pPpdObj->bColorDevice = 0;
    pPpdObj->dwLanguageLevel = 1;
}

BOOL PPDOBJ_ParseFile(PPDOBJ* pPpdObj, PARSEROBJ* pParser, PCWSTR pwstrPath)
{
    FILEOBJ* pFile = FILEOBJ_Create(pwstrPath, &pPpdObj->wChecksum);
    if (!pFile) return FALSE;
    int status;
    do {
        status = PARSEROBJ_ParseEntry(pParser, pFile);
        if (status == PPDERR_NONE) status = PPDOBJ_InterpretEntry(pPpdObj, pParser);
    } while (status == PPDERR_NONE || status == PPDERR_SYNTAX);
    FILEOBJ_Delete(pFile);
    return status == PPDERR_EOF;
}

PPDOBJ* PPDOBJ_Create(PCWSTR pwstrPath)
{
    if (!pwstrPath) return nullptr;
    PpdBuildLock lock;
    PARSEROBJ* pParser = PARSEROBJ_Create();
    if (!pParser) return nullptr;
    HEAPOBJ hPool = HEAPOBJ_Create();
    if (!hPool) {
        PARSEROBJ_Delete(pParser);
        return nullptr;
    }

    std::size_t cch = 0;
    while (pwstrPath[cch]) ++cch;
    auto* pPpdObj = static_cast<PPDOBJ*>(HEAPOBJ_Alloc(hPool, sizeof(PPDOBJ)));
    auto* pwstrName = static_cast<WCHAR*>(HEAPOBJ_Alloc(hPool, (cch + 1) * sizeof(WCHAR)));
    if (pPpdObj && pwstrName) {
        std::memset(pPpdObj, 0, sizeof(*pPpdObj));
        pPpdObj->pool = hPool;
        std::memcpy(pwstrName, pwstrPath, (cch + 1) * sizeof(WCHAR));
        pPpdObj->pwstrFileName = pwstrName;
        PPDOBJ_SetDefaults(pPpdObj);
        InitKeywordTable();
        if (PPDOBJ_ParseFile(pPpdObj, pParser, pwstrPath)) {
            PARSEROBJ_Delete(pParser);
            return pPpdObj;
        }
    }
    HEAPOBJ_Delete(hPool);
    PARSEROBJ_Delete(pParser);
    return nullptr;
}

void PPDOBJ_Delete(PPDOBJ* pPpdObj)
{
    if (pPpdObj) HEAPOBJ_Delete(pPpdObj->pool);
}
