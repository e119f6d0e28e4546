// Singly linked lists of named nodes, kept in the order names were first met.
#include <cstring>

#include "ppdobj.h"

void LISTOBJ_Add(LISTNODE** ppList, LISTNODE* pNode)
{
    pNode->dwHash = HashKeyword(pNode->pstrName);
    pNode->pNext = nullptr;
    while (*ppList) ppList = &(*ppList)->pNext;
    *ppList = pNode;
}

LISTNODE* LISTOBJ_FindItemIndex(LISTNODE* pList, const char* pstrName, WORD* pwIndex)
{
    const DWORD h = HashKeyword(pstrName);
    WORD index = 0;
    for (LISTNODE* p = pList; p; p = p->pNext, ++index) {
        if (p->dwHash == h && std::strcmp(p->pstrName, pstrName) == 0) {
            if (pwIndex) *pwIndex = index;
            return p;
        }
    }
    if (pwIndex) *pwIndex = 0xFFFF;
    return nullptr;
}

LISTNODE* LISTOBJ_Find(LISTNODE* pList, const char* pstrName)
{
    return LISTOBJ_FindItemIndex(pList, pstrName, nullptr);
}

LISTNODE* LISTOBJ_Enum(LISTNODE* pList, LISTENUMPROC pfn, void* pArg)
{
    for (LISTNODE* p = pList; p; p = p->pNext)
        if (!pfn(p, pArg)) return p;
    return nullptr;
}

DWORD LISTOBJ_Count(LISTNODE* pList)
{
    DWORD n = 0;
    for (LISTNODE* p = pList; p; p = p->pNext) ++n;
    return n;
}

UIOPTIONOBJ* UIGROUP_GetOptions(UIGROUPOBJ* pGroup)
{
    return pGroup ? pGroup->pOptions : nullptr;
}
