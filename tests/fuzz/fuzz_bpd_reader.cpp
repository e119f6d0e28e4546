// Any bytes as a binary description file: the checks that decide whether it
// is used, then every accessor and query on a record that passed them.
#include <cstdint>
#include <cstring>
#include <string>

#include "common/drvmem.h"
#include "pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // As GetBinaryPpdData: larger than 84 bytes and dwSize equal to the length.
    if (size <= BPD_MIN_SIZE || size > 0xFFFFFFFFu) return 0;
    DWORD dwSize = 0;
    std::memcpy(&dwSize, data, sizeof(dwSize));
    if (dwSize != size) return 0;
    auto* p = static_cast<PPDDATA*>(DrvAllocMem(size));
    if (!p) return 0;
    std::memcpy(p, data, size);
    if (UnpackPpdData(p) && UnpackPpdData(p)) {
        volatile std::size_t sink = std::char_traits<char16_t>::length(PpdFileName(p));
        sink = sink + EqualFileNames(FileNamePart(PpdFileName(p)), u"x.ppd");
        if (const char* s = PpdNickName(p)) sink = sink + std::strlen(s);
        if (const UICONSTRAINTS* c = PpdConstraints(p)) sink = sink + c->wCount;
        for (const UIGROUP* g = PpdFirstGroup(p); g; g = PpdNextGroup(p, g)) {
            sink = sink + std::strlen(PpdGroupName(p, g));
            if (const char* t = PpdString(p, g->pstrTranslation)) sink = sink + std::strlen(t);
            sink = sink + PpdOptionCount(p, g) + (PpdOptionAt(p, g, g->dwDefault) != nullptr);
            for (const UIOPTION* o = PpdFirstOption(p, g); o; o = PpdNextOption(p, o)) {
                sink = sink + std::strlen(PpdOptionName(p, o));
                if (const char* t = PpdOptionTranslation(p, o)) sink = sink + std::strlen(t);
                if (const char* t = PpdOptionInvocation(p, o)) sink = sink + std::strlen(t);
                if (const RESOPTION* r = PpdResOption(g, o))
                    if (const char* t = PpdString(p, r->pstrSetResolution)) sink = sink + std::strlen(t);
                if (const INPUTSLOT* s = PpdInputSlotOption(g, o)) sink = sink + s->bRequiresPageRegion;
            }
        }
        sink = sink + PpdDefaultResolution(p) + (PpdFindResolution(p, 300) != nullptr) + PpdSupportDuplex(p);
        sink = sink + (PpdFindCollateCode(p, TRUE) != nullptr) + (PpdFindCollateCode(p, FALSE) != nullptr);
        for (WORD i = 0; i < MAX_PREDEF_GROUPS; ++i) sink = sink + (PpdPredefGroup(p, i) != nullptr);
    }
    DrvFreeMem(p);
    return 0;
}
