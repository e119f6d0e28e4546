// The ordered-dither tables: the level table and the two threshold matrices.
#include <array>

#include "halftone.h"

namespace {
constexpr std::array<LONG, 256> MakeColorTbl()
{
    std::array<LONG, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = (i + 1) >> 2;
    return t;
}
}  // namespace

// Starts out built, so that a rebuild by Dither only writes entries that were
// changed (never, in practice): devices on other threads read it meanwhile.
LONG ColorTbl[256] = {};
static const bool bColorTblInit = [] {
    constexpr auto t = MakeColorTbl();
    for (int i = 0; i < 256; ++i) ColorTbl[i] = t[i];
    return true;
}();

const LONG Dither1[8][8] = {
    {5, 23, 46, 63, 53, 29, 9, 7},     {21, 44, 36, 34, 32, 42, 31, 15}, {49, 40, 24, 12, 18, 38, 51, 56},
    {58, 25, 10, 0, 2, 16, 54, 60},    {52, 28, 8, 6, 4, 22, 47, 62},    {37, 43, 30, 14, 20, 45, 33, 35},
    {19, 41, 50, 57, 48, 39, 26, 13},  {3, 17, 55, 61, 59, 27, 11, 1},
};

const LONG Dither2[8][8] = {
    {48, 39, 23, 59, 61, 37, 21, 50}, {16, 0, 7, 40, 18, 2, 5, 42},     {32, 8, 15, 24, 46, 10, 13, 26},
    {63, 31, 44, 55, 53, 29, 34, 57}, {60, 36, 20, 51, 49, 38, 22, 58}, {19, 3, 4, 43, 17, 1, 6, 41},
    {47, 11, 12, 27, 33, 9, 14, 25},  {52, 28, 35, 56, 62, 30, 45, 54},
};
