// Field arithmetic and job facts shared by the command generators.
#include <cstdlib>

#include "commands.h"

namespace {

constexpr LONG kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

LONG DigitOfMagnitude(long long magnitude, int place)
{
    if (place < 0 || place > 9) return 0;
    return static_cast<LONG>((magnitude / kPow10[place]) % 10);
}

const LABELDATA kNoLabel{};

}  // namespace

LONG Digit(LONG v, int place)
{
    // A plain digit field has no room for a sign: negative values go out as 0.
    return v < 0 ? 0 : DigitOfMagnitude(v, place);
}

LONG SignOf(LONG v) { return v < 0 ? '-' : '+'; }

LONG MagDigit(LONG v, int place) { return DigitOfMagnitude(std::llabs(static_cast<long long>(v)), place); }

const LABELDATA* ddfn_JobLabel(const PDEV* pPDev)
{
    return pPDev->formInfo.pLabel ? pPDev->formInfo.pLabel : &kNoLabel;
}

DWORD ddfn_Model(const PDEV* pPDev)
{
    const DWORD dwModel = pPDev->dm.dmPrivate.dwModel;
    return dwModel < MODEL_COUNT ? dwModel : MODEL_COUNT - 1;
}

LONG ddfn_SpeedCode(const PDEV* pPDev, const LABELDATA* pLabel)
{
    const DEVSPEC& row = devspec[ddfn_Model(pPDev)];
    // The model's list of speeds ends at the first unused (0) position.
    INT cSpeeds = 1;
    while (cSpeeds < 4 && row.alIssueSpeed[cSpeeds] != 0) ++cSpeeds;
    INT i = pLabel->iIssueSpeed;
    if (i < 0) i = 0;
    if (i >= cSpeeds) i = cSpeeds - 1;
    return row.alSpeedCode[i];
}

BOOL ddfn_MayCompress(const PDEV* pPDev)
{
    const DWORD dwModel = pPDev->dm.dmPrivate.dwModel;
    return dwModel == 0 || pPDev->dm.dmPrivate.bCompression == 1 || dwModel == 9 || dwModel == 10;
}

ULONG ddfn_PlaneCount(const PDEV* pPDev)
{
    return pPDev->cPlanes >= 4 ? 4 : 1;
}

ULONG ddfn_FirstPlane(const PDEV* pPDev)
{
    return ddfn_PlaneCount(pPDev) == 4 && pPDev->dm.dmPrivate.bFourColor == 0 ? 1 : 0;
}
